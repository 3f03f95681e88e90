// Shared by `sonara phonemes` and `sonara stress`: their options and the loading of the
// rule and exception files (named by option, else those of the diphone directory).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "diphone/tfTradut.h"

namespace sonara_tool {

struct TradutOptions {
    std::optional<std::string> rules;       // UTF-8 host or Windows-style path
    std::optional<std::string> exceptions;  // UTF-8 host or Windows-style path
    std::vector<std::string> words;         // the remaining arguments, UTF-8
};

// Parses --exceptions FILE (and --rules FILE when allowed); false with a message on
// stderr on a bad option.
bool ParseTradutOptions(const std::vector<std::string>& args, bool allowRules,
                        TradutOptions& options);

// Loads the tables through the current back end (the rules only when `withRules`). A
// file named by option must be readable (false, with a message); a missing file of the
// diphone directory leaves its table empty, with a message on stderr.
bool LoadTradutTables(const TradutOptions& options, bool withRules, sonara::TfTradut& tradut);

// Lines of standard input, without their line ends.
std::vector<std::string> ReadStdinLines();

// Writes Windows-1252 text to stdout as UTF-8, then a line end.
void PrintLine(const std::string& text);

}  // namespace sonara_tool
