// sonara tavena stress: the engine's stressed syllable of words.
#pragma once

#include <string>
#include <vector>

namespace sonara_tool {

// args: the words after "stress" ("--position" and data options included).
int TavenaStress(const std::vector<std::string>& args);

}  // namespace sonara_tool
