// The tool's edges speak UTF-8; modules speak Windows-1252.
#pragma once

#include "platform/cp1252.h"

namespace sonara_tool {
using win::Cp1252ToUtf8;
using win::Utf8ToCp1252;
}  // namespace sonara_tool
