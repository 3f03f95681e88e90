// First stage of the pipeline: writes numbers, abbreviations, vowel-less words, symbols
// and accented characters out as Portuguese words. Windows-1252 in and out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tavena/Abbreviations.h"

namespace sonara {

std::string Normalise(std::string_view text, const AbbreviationTable& abbreviations);

// The readers of Normalise; pos is 0-based and moves past what was read.
// A run of word letters (a hyphen right after a letter stays inside); spelled letter by
// letter when it has no vowel and is not an abbreviation followed by its dot.
std::string ReadWord(std::string_view text, std::size_t& pos,
                     const AbbreviationTable& abbreviations);
// A number at a digit: digit by digit when the run holds a hyphen; leading zeros as
// "zero"; at most 15 digits; "." as thousands separator; ordinal suffixes º ª o. a. os. as.
std::string ReadNumber(std::string_view text, std::size_t& pos);

}  // namespace sonara
