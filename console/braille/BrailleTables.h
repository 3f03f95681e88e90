// The display's character tables: braille text -> Braille ASCII -> dot patterns, and the
// chord table of the display's keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sonara {

// The Braille ASCII code of a Windows-1252 braille-text character.
unsigned char BrailleAscii(unsigned char c);

// The dots of a Braille ASCII code: bit 0 = dot 1 ... bit 5 = dot 6. Codes of 128 and
// above have no cell of their own and show blank.
std::uint8_t BrailleAsciiDots(unsigned char code);

// The dots of one braille-text character: both tables in turn.
inline std::uint8_t BrailleCellDots(unsigned char c) {
    return BrailleAsciiDots(BrailleAscii(c));
}

// One dot byte per character of a braille text (bit 0 = dot 1 ... bit 7 = dot 8).
std::string BrailleTextToDots(std::string_view braille);

// The character of a display key chord, value = dot1 x 1 + ... + dot6 x 32. Dots 7 and 8
// (bits 64 and 128) and anything above have no place in the six-dot table and are
// ignored, so a chord that adds them to other dots gives the character of its six dots.
char DisplayKeyChar(std::uint32_t chord);

}  // namespace sonara
