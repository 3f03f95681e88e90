// Windows-1252 <-> UTF-8, for the edges: host file names, fonts, command lines, stdout.
#pragma once

#include <string>
#include <string_view>

namespace win {

std::string Cp1252ToUtf8(std::string_view text);
// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::string& out, char32_t cp);
// Characters outside Windows-1252 (and malformed UTF-8 bytes) become `replacement`.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');
// The Unicode code point of a Windows-1252 byte (undefined bytes map to themselves).
char32_t Cp1252ToCodePoint(unsigned char byte);
// The Windows-1252 byte of a code point, or -1 when it has none.
int CodePointToCp1252(char32_t cp);

}  // namespace win
