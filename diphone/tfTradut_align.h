// Where each letter of a respelling (an exception's alias) stands in the word as written.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace sonara {

// Cost of putting one letter in the place of another (0 for letters taken as the same).
using LetterExchangeCost = int (*)(unsigned char aliasLetter, unsigned char wordLetter);

// A least-cost edit alignment of `alias` to `word` (inserting or dropping a letter costs
// 1): for each letter of `alias` its index in `word`, or npos for a letter the alias adds.
std::vector<std::size_t> AlignLetters(std::string_view alias, std::string_view word,
                                      LetterExchangeCost exchangeCost);

}  // namespace sonara
