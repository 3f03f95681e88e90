// Where a word as written carries its stress, as the engine's transcription finds it:
// the exception lookup, the stress finder and the rules' stress mark.
#pragma once

#include <cstddef>
#include <string_view>

#include "diphone/tfTradut_tavena.h"

namespace sonara {

// The 1-based position in `written` (one Windows-1252 word) of the first vowel letter of
// the syllable whose phoneme the transcription marks with ">"; 0 when the word has no
// vowel. Short words that the engine leaves unmarked (de, por, sim...) are monosyllables
// or nearly so: their stress finder's vowel is given. Only the first 255 characters of a
// longer word are read.
std::size_t StressedLetter(std::string_view written, const TavenaTradut& rules);

}  // namespace sonara
