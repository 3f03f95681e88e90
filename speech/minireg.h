// Reads one string value of the registry.
#pragma once

#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace sonara {

// path is the key path, a backslash and the value name. On success `value` holds the
// string without its terminating zero; on failure it is left as it was.
bool ReadRegString(win::HKEY root, std::string_view path, std::string& value);

}  // namespace sonara
