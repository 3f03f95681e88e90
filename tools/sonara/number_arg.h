// Reading a number given on the command line or on a line of standard input.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sonara_tool {

// Decimal digits, optionally surrounded by blanks (spaces, tabs, a line's carriage
// return), with a value that fits 32 unsigned bits. Anything else gives no number.
std::optional<std::uint32_t> ParseNumberArg(std::string_view text);

}  // namespace sonara_tool
