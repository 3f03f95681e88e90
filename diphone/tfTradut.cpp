// tfTradut: rule and exception tables and the word loop of TextToPhonemes.
#include "diphone/tfTradut.h"

#include "platform/api.h"

namespace sonara {

void TfTradut::LoadRulesText(std::string_view bytes) {
    FreeRules();
    exceptions_.clear();
    std::optional<std::size_t> previous;  // chain of the rule read just before
    for (std::string_view line : SplitLines(bytes)) {
        if (IsCommentLine(line)) continue;
        std::optional<Regra> rule = ParseRuleLine(line, kOutputWidth);
        if (!rule) continue;
        std::optional<std::size_t> own = ChainIndex(static_cast<unsigned char>(rule->match[0]));
        if (!own) continue;  // no chain for this first character
        // A character whose chain exists continues the block being read; out of its
        // block the rule lands in another character's chain, where it never matches.
        std::size_t target = chains_[*own].empty() || !previous ? *own : *previous;
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
    for (std::string_view line : SplitLines(bytes)) {
        if (exceptions_.size() >= kMaxExceptions) break;
        std::optional<PalavraAlias> pair = ParseExceptionLine(line);
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
