// The line syntax shared by the rule and exception files of both rule engines:
// rule lines left(match)right=output| and exception lines word=alias|.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonara {

// One rule line split into its four parts, each already cut to its width.
struct RuleParts {
    std::string left;
    std::string match;
    std::string right;
    std::string output;
};

// One exception record: a word and the text that replaces it.
struct PalavraAlias {
    std::string palavra;
    std::string alias;
};

inline constexpr std::size_t kContextWidth = 5;
inline constexpr std::size_t kMaxExceptions = 15000;
// Exception lines longer than this cannot take the "|=|" sentinel inside the
// 255-character line and are skipped.
inline constexpr std::size_t kMaxExceptionLine = 252;

// Text lines of a file: LF, CR LF and a lone CR all end a line; the last line needs
// no terminator.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// True for a comment line (first character ";").
bool IsCommentLine(std::string_view line);

// Splits a rule line; nullopt for a line without "(" or with an empty match, which
// cannot join any chain. A missing ")", "=" or "|" lets its part run to the end of
// the line and leaves the later parts empty.
std::optional<RuleParts> ParseRuleLine(std::string_view line, std::size_t outputWidth);

// Splits an exception line as word=alias with the "|=|" sentinel appended; nullopt for
// an empty line or one longer than kMaxExceptionLine.
std::optional<PalavraAlias> ParseExceptionLine(std::string_view line);

// Sorts by palavra in byte order (the order among equal words is not fixed).
void SortExceptions(std::vector<PalavraAlias>& table);

// Looks `word` up among the sorted records by halving; nullptr when absent.
const PalavraAlias* FindException(const std::vector<PalavraAlias>& table, std::string_view word);

// The lookup with suffix stripping: while `word` is not found and ends in one of
// `suffixLetters`, that letter moves to the front of the suffix and the rest is looked
// up again. Returns alias + suffix when found, else the word unchanged.
std::string ApplyExceptionTable(const std::vector<PalavraAlias>& table, std::string_view word,
                                std::string_view suffixLetters);

}  // namespace sonara
