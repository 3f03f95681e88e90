// Fourth stage of the pipeline: intonation lines ("555|casa") to phoneme entries with
// stress marks, pause symbols and boundary pauses.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "diphone/tfTradut_tavena.h"
#include "tavena/Intonation.h"

namespace sonara {

// Per token: the header ";" + line, then "__" and an empty line for a boundary, a pause
// symbol ("_," ...) for punctuation, or the word's phoneme lines closed by an empty line;
// a final "__"; then final r2/s2 before a vowel become r/z.
Lines Transcribe(const Lines& intonation, const TavenaTradut& rules);

// 1-based position of the stressed vowel, 0 when the word has none.
std::size_t FindStress(std::string_view word);
// Words of at most two characters and POR DAS DOS COM NÃO SIM carry no stress mark.
bool IsUnstressedWord(std::string_view upperWord);
// Appends the word's phoneme lines and its closing empty line. stress is 1-based, 0 for
// none; ">" goes before the first phoneme produced at or after it. With `origins`, each
// line added gets there the 1-based word position of the rule that produced it (0 for
// the closing empty line).
void ApplyRules(std::string_view upperWord, std::size_t stress, const TavenaTradut& rules,
                Lines& out, std::vector<std::size_t>* origins = nullptr);
// Word-final "r2" and "s2" become "r" and "z" when the next word starts with a vowel.
void JoinBoundaries(Lines& lines);

}  // namespace sonara
