// Letter-to-sound rules and exceptions as the Tavena engine loads them: the file
// syntax of the diphone synthesizer's rules, with 20-character outputs, one chain for
// every first match character from 32 to 255 (rules may come in any file order), and
// exception lines upper-cased for the locale before they are split.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diphone/tfTradut_files.h"

namespace sonara {

// One Tavena rule. Letters in match and contexts are written in upper case.
struct TavenaRule {
    std::string left;    // at most 5 symbols, tested from last to first
    std::string match;   // 1 to 5 characters; its first character selects the chain
    std::string right;   // at most 5 symbols, tested from first to last
    std::string output;  // at most 20 characters
};

// Windows upper- and lower-casing of the Brazilian locale over Windows-1252: a-z and
// the accented letters (À-Þ / à-þ except × and ÷, Š Œ Ž / š œ ž, Ÿ / ÿ) change case;
// ß, µ and every other byte stay.
char LocaleUpper(char c);
char LocaleLower(char c);
std::string LocaleUpper(std::string_view text);
std::string LocaleLower(std::string_view text);

class TavenaTradut {
  public:
    static constexpr int kFirstChainCode = 32;
    static constexpr std::size_t kChainCount = 224;
    static constexpr std::size_t kOutputWidth = 20;

    // Empties the chains and the exception table, then reads the rule file's bytes.
    // Each rule is appended to the chain of its first match character. Lines that
    // cannot join a chain (no "(", empty match, first character below 32) are skipped.
    void LoadRulesText(std::string_view bytes);
    // The same from a file; false (with everything emptied) when it cannot be read.
    bool LoadRules(std::string_view path);

    // Replaces the exception table with the file's lines, upper-cased with LocaleUpper
    // before they are split (at most 15000 records), and sorts it.
    void LoadExceptionsText(std::string_view bytes);
    // The same from a file; false (with the table emptied) when it cannot be read.
    bool LoadExceptions(std::string_view path);

    // Releases every rule of the 224 chains.
    void FreeRules();

    // The rules whose match begins with `first`, in file order; empty below code 32.
    std::span<const TavenaRule> Chain(unsigned char first) const;

    // `word` (upper-cased by the caller) is replaced by its alias; without a match a
    // final "S" or "M" is set aside and the rest looked up again while letters remain,
    // the letters set aside following the alias (or the word when nothing matched).
    void ApplyException(std::string& word) const;

    std::size_t RuleCount() const;
    std::size_t ExceptionCount() const { return exceptions_.size(); }

  private:
    std::array<std::vector<TavenaRule>, kChainCount> chains_;
    std::vector<PalavraAlias> exceptions_;
};

}  // namespace sonara
