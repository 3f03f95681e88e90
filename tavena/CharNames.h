// Spoken names of single Windows-1252 characters.
#pragma once

#include <string>

namespace sonara {

// The name of a character ("interrogação" for "?", " sê" for "c"); empty when it has none.
const std::string& CharName(unsigned char c);

}  // namespace sonara
