// Character classes of the diphone letter-to-sound rules (ASCII only: accented letters
// are transliterated before any of these is asked).
#pragma once

#include <string_view>

namespace sonara::tradut {

inline bool In(std::string_view set, char c) {
    return c != '\0' && set.find(c) != set.npos;
}

inline bool IsVowel(char c) {
    return In("AEIOUaeiou", c);
}
inline bool IsConsonant(char c) {
    return In("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz", c);
}
inline bool IsLetter(char c) {
    return IsVowel(c) || IsConsonant(c);
}
inline bool IsAccentMark(char c) {
    return In("\"'^`~", c);
}
inline bool IsWordChar(char c) {
    return IsLetter(c) || IsAccentMark(c);
}
inline bool IsSeparator(char c) {
    return In(" !,.:;?", c);
}
inline bool IsAorO(char c) {
    return In("AOao", c);
}
inline bool IsFrontVowel(char c) {
    return In("EIei", c);
}
inline bool IsGorQ(char c) {
    return c == 'g' || c == 'q';
}

// Only a-z and A-Z change case.
inline char UpperAZ(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
inline char LowerAZ(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace sonara::tradut
