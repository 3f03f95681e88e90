// The hot-and-cold hints of the vowel challenge.
#pragma once

#include <cstdint>
#include <string_view>

namespace sonara {

// The hidden vowel's index: 0 A, 1 E, 2 I, 3 O, 4 U.
constexpr int kVowelCount = 5;
constexpr char kVowels[kVowelCount + 1] = "AEIOU";

// The hint code of an upper-case letter A-Z when vowel `vowelIndex` hides: 'x' (found),
// 'p', 'q', 'm', 'f' or 'g'; 0 for anything that is not a letter A-Z or a bad index.
char HintCode(int vowelIndex, std::uint8_t letter);

// The clip of a hint code, or empty for 'x' and for unknown codes.
std::string_view HintClip(char code);

}  // namespace sonara
