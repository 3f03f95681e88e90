// Splits an MCI command string into its words: blanks separate, a double-quoted part is
// one word (without its quotes).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Nothing when a quote is not closed.
std::optional<std::vector<std::string>> SplitMciWords(std::string_view command);

}  // namespace sim
