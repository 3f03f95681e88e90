// Word tagging and intonation codes: the second and third stages of the pipeline.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tavena/Prosody.h"

namespace sonara {

using Lines = std::vector<std::string>;

// "[--]" first, then "[" + category + "]" + token per token, and "[--]" again after a
// token starting with "!", "." or "?". Words take their category from the keyword table
// ("XX" when absent); other characters are tokens with their character twice as category;
// a run of dots is the token "." with category ".-".
Lines TagWords(std::string_view text, const ProsodyConfig& prosody);

// One line per tagged line: a three-character code, "|" and the token. The code is the
// first intonation rule matching the categories of the previous, current and next line
// ("555" when none, or when useTable is false); a leading "?" takes the last digit of the
// previous code.
Lines AssignIntonation(const Lines& tagged, bool useTable, const ProsodyConfig& prosody);

}  // namespace sonara
