// tfTradut: Brazilian Portuguese letter-to-sound rules and exceptions for the diphone
// synthesizer. Windows-1252 text in, phoneme-group string out: "[out1/out2/...]" per
// translated word, "[ /_c]" per character of a spelled word.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diphone/tfTradut_files.h"

namespace sonara {

// A rule: left(match)right=output, contexts and match at most 5 characters.
using Regra = RuleParts;

// One matched stretch of a translated word: the letters it consumed and its output
// (already upper-cased when its first letter is stressed).
struct TradutStretch {
    std::size_t pos = 0;     // first letter, 0-based
    std::size_t length = 0;  // letters consumed
    std::string output;
};

// A word as NextWord takes it from the transliterated text.
struct TradutWord {
    std::string text;             // lower-cased (A-Z only), at most kMaxWord characters
    int vowels = 0;               // vowels counted while taking it
    bool explicitAccent = false;  // holds an accent mark other than the diaeresis
};

class TfTradut {
  public:
    static constexpr int kFirstChainCode = 32;
    static constexpr int kLastChainCode = 95;
    static constexpr std::size_t kChainCount = 64;
    static constexpr std::size_t kOutputWidth = 11;
    // Longer runs of word characters are cut here; the rest starts the next word.
    static constexpr std::size_t kMaxWord = 255;

    // Empties the chains and the exception table, then reads the rule file's bytes.
    // A rule starts the chain of its first match character, unless that chain exists:
    // then it is linked behind the rule read just before it, so rules of one first
    // character must stand together. Lines that cannot join a chain (no "(", empty
    // match, first match character outside 32-95) are skipped.
    void LoadRulesText(std::string_view bytes);
    // The same from a file; false (with everything emptied) when it cannot be read.
    bool LoadRules(std::string_view path);

    // Replaces the exception table with the file's lines (at most 15000 records; empty
    // lines and lines over 252 characters skipped) and sorts it.
    void LoadExceptionsText(std::string_view bytes);
    bool LoadExceptions(std::string_view path);

    // Releases every rule of the 64 chains.
    void FreeRules();

    // Never fails; uses whatever rules and exceptions are loaded.
    std::string TextToPhonemes(std::string_view text) const;

    // The stages of TextToPhonemes, each usable alone.
    static std::string Transliterate(std::string_view text);
    // The next word at or after `pos` (0-based), moving `pos` past it; nullopt when
    // only blanks remain.
    static std::optional<TradutWord> NextWord(std::string_view text, std::size_t& pos);
    // Replaces the word by its alias; a final "s" or "m" is set aside and the rest
    // looked up again while letters remain, and follows the alias.
    void ApplyException(TradutWord& word) const;
    // Upper-cases the stressed vowel of a word without an explicit accent.
    static void MarkStress(TradutWord& word);
    // Spelled: first character code 0, or only consonants and separators.
    static bool IsToBeSpelled(std::string_view word);
    static std::string SpellWord(std::string_view word);
    std::string TranslateWord(std::string_view word) const;
    // The stretches TranslateWord joins with "/".
    std::vector<TradutStretch> TranslateStretches(std::string_view word) const;

    // The 1-based position, in `written` (one Windows-1252 word), of the first vowel
    // letter of the syllable the rules stress after the exception lookup; 0 when no
    // syllable is stressed. Syllables are the blank-separated pieces of the output.
    int StressPosition(std::string_view written) const;

    // The rules tried for a character (32-95), in order of trial.
    std::span<const Regra> Chain(unsigned char first) const;
    std::size_t ExceptionCount() const { return exceptions_.size(); }
    // Non-empty, non-comment lines of the last load that give no usable entry: rule
    // lines that join no chain or land in another character's block, exception lines
    // that are too long, past the limit, or without "=" (comment lines, starting with
    // ";", are stored like the latter but not counted).
    std::size_t SkippedRuleLines() const { return skippedRules_; }
    std::size_t SkippedExceptionLines() const { return skippedExceptions_; }

  private:
    std::optional<std::size_t> ChainIndex(unsigned char first) const;
    bool RuleApplies(const Regra& rule, std::string_view word, std::size_t pos) const;

    std::array<std::vector<Regra>, kChainCount> chains_;
    std::vector<PalavraAlias> exceptions_;
    std::size_t skippedRules_ = 0;
    std::size_t skippedExceptions_ = 0;
};

}  // namespace sonara
