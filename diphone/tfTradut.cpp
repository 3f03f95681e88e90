// tfTradut: rule and exception tables and the word loop of TextToPhonemes.
#include "diphone/tfTradut.h"

#include "platform/api.h"

namespace sonara {

namespace {

bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

void TfTradut::LoadRulesText(std::string_view bytes) {
    FreeRules();
    exceptions_.clear();
    skippedRules_ = 0;
    skippedExceptions_ = 0;
    std::optional<std::size_t> previous;  // chain of the rule read just before
    for (std::string_view line : SplitLines(bytes)) {
        if (IsCommentLine(line) || IsBlankLine(line)) continue;
        std::optional<Regra> rule = ParseRuleLine(line, kOutputWidth);
        std::optional<std::size_t> own;
        if (rule) own = ChainIndex(static_cast<unsigned char>(rule->match[0]));
        if (!own) {  // no chain for this first character
            ++skippedRules_;
            continue;
        }
        // A character whose chain exists continues the block being read; out of its
        // block the rule lands in another character's chain, where it never matches.
        std::size_t target = chains_[*own].empty() || !previous ? *own : *previous;
        if (target != *own) ++skippedRules_;
        chains_[target].push_back(std::move(*rule));
        previous = target;
    }
}

bool TfTradut::LoadRules(std::string_view path) {
    std::optional<std::string> bytes = win::ReadWholeFile(path);
    LoadRulesText(bytes ? *bytes : std::string_view{});
    return bytes.has_value();
}

void TfTradut::LoadExceptionsText(std::string_view bytes) {
    exceptions_.clear();
    skippedExceptions_ = 0;
    for (std::string_view line : SplitLines(bytes)) {
        if (line.empty()) continue;
        std::optional<PalavraAlias> pair;
        if (exceptions_.size() < kMaxExceptions) pair = ParseExceptionLine(line);
        // A comment line (";...") is stored like any line without "=", matching nothing.
        bool unusable = !pair || (line.find('=') == std::string_view::npos && !IsCommentLine(line));
        if (unusable) ++skippedExceptions_;
        if (pair) exceptions_.push_back(std::move(*pair));
    }
    SortExceptions(exceptions_);
}

bool TfTradut::LoadExceptions(std::string_view path) {
    std::optional<std::string> bytes = win::ReadWholeFile(path);
    LoadExceptionsText(bytes ? *bytes : std::string_view{});
    return bytes.has_value();
}

void TfTradut::FreeRules() {
    for (std::vector<Regra>& chain : chains_) chain.clear();
}

std::optional<std::size_t> TfTradut::ChainIndex(unsigned char first) const {
    if (first < kFirstChainCode || first > kLastChainCode) return std::nullopt;
    return first - kFirstChainCode;
}

std::span<const Regra> TfTradut::Chain(unsigned char first) const {
    std::optional<std::size_t> index = ChainIndex(first);
    if (!index) return {};
    return chains_[*index];
}

void TfTradut::ApplyException(TradutWord& word) const {
    word.text = ApplyExceptionTable(exceptions_, word.text, "sm");
}

std::string TfTradut::TextToPhonemes(std::string_view text) const {
    std::string source = Transliterate(text);
    std::string result;
    std::size_t pos = 0;
    while (std::optional<TradutWord> word = NextWord(source, pos)) {
        ApplyException(*word);
        MarkStress(*word);
        result += IsToBeSpelled(word->text) ? SpellWord(word->text) : TranslateWord(word->text);
    }
    return result;
}

}  // namespace sonara
