// Windows-1252 character classes and case mapping shared by the text stages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sonara {

// Upper- and lower-casing as the locale does it: a-z and the accented letters.
unsigned char UpperChar(unsigned char c);
unsigned char LowerChar(unsigned char c);
std::string Upper(std::string_view text);
std::string Lower(std::string_view text);
// Only a-z become A-Z.
std::string UpperAscii(std::string_view text);

// The 84 letters a word may be made of (plain and the Portuguese accented letters).
bool IsWordLetter(unsigned char c);
// The 46 consonants: B-Z without vowels, both cases, and Ç Ñ ç ñ.
bool IsConsonant(unsigned char c);
bool IsDigit(unsigned char c);

// Classes of the letter-to-sound rule contexts.
bool IsRuleVowel(unsigned char c);
bool IsOpenVowel(unsigned char c);
bool IsFrontVowel(unsigned char c);
bool IsVoiced(unsigned char c);
bool IsFinalNasalOrTrill(unsigned char c);

// Windows-1252 bytes of a UTF-8 literal: lets tables keep readable accented text.
std::string W(std::string_view utf8);

// Splits file bytes into lines at CR LF, LF or CR.
std::vector<std::string_view> FileLines(std::string_view bytes);

// Without leading and trailing blanks and control characters.
std::string Trim(std::string_view text);

}  // namespace sonara
