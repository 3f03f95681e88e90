// Tavena rule chains and exception lookup.
#include "diphone/tfTradut_tavena.h"

#include "platform/api.h"

namespace sonara {

namespace {

bool IsAccentedSmall(unsigned char c) {
    return c >= 0xE0 && c <= 0xFE && c != 0xF7;
}
bool IsAccentedCapital(unsigned char c) {
    return c >= 0xC0 && c <= 0xDE && c != 0xD7;
}

}  // namespace

char LocaleUpper(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || IsAccentedSmall(u)) return static_cast<char>(u - 0x20);
    switch (u) {
        case 0x9A:
            return static_cast<char>(0x8A);  // š
        case 0x9C:
            return static_cast<char>(0x8C);  // œ
        case 0x9E:
            return static_cast<char>(0x8E);  // ž
        case 0xFF:
            return static_cast<char>(0x9F);  // ÿ
        default:
            return c;
    }
}

char LocaleLower(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || IsAccentedCapital(u)) return static_cast<char>(u + 0x20);
    switch (u) {
        case 0x8A:
            return static_cast<char>(0x9A);
        case 0x8C:
            return static_cast<char>(0x9C);
        case 0x8E:
            return static_cast<char>(0x9E);
        case 0x9F:
            return static_cast<char>(0xFF);
        default:
            return c;
    }
}

std::string LocaleUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LocaleUpper(c);
    return out;
}

std::string LocaleLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LocaleLower(c);
    return out;
}

void TavenaTradut::LoadRulesText(std::string_view bytes) {
    FreeRules();
    exceptions_.clear();
    for (std::string_view line : SplitLines(bytes)) {
        if (IsCommentLine(line)) continue;
        std::optional<RuleParts> parts = ParseRuleLine(line, kOutputWidth);
        if (!parts) continue;
        unsigned char first = static_cast<unsigned char>(parts->match.front());
        if (first < kFirstChainCode) continue;  // control characters have no chain
        chains_[first - kFirstChainCode].push_back(
            TavenaRule{std::move(parts->left), std::move(parts->match), std::move(parts->right),
                       std::move(parts->output)});
    }
}

bool TavenaTradut::LoadRules(std::string_view path) {
    std::optional<std::string> bytes = win::ReadWholeFile(path);
    LoadRulesText(bytes ? *bytes : std::string_view{});
    return bytes.has_value();
}

void TavenaTradut::LoadExceptionsText(std::string_view bytes) {
    exceptions_.clear();
    for (std::string_view line : SplitLines(bytes)) {
        if (exceptions_.size() >= kMaxExceptions) break;
        std::optional<PalavraAlias> pair = ParseExceptionLine(LocaleUpper(line));
        if (pair) exceptions_.push_back(std::move(*pair));
    }
    SortExceptions(exceptions_);
}

bool TavenaTradut::LoadExceptions(std::string_view path) {
    std::optional<std::string> bytes = win::ReadWholeFile(path);
    LoadExceptionsText(bytes ? *bytes : std::string_view{});
    return bytes.has_value();
}

void TavenaTradut::FreeRules() {
    for (std::vector<TavenaRule>& chain : chains_) chain.clear();
}

std::span<const TavenaRule> TavenaTradut::Chain(unsigned char first) const {
    if (first < kFirstChainCode) return {};
    return chains_[first - kFirstChainCode];
}

void TavenaTradut::ApplyException(std::string& word) const {
    word = ApplyExceptionTable(exceptions_, word, "SM");
}

std::size_t TavenaTradut::RuleCount() const {
    std::size_t count = 0;
    for (const std::vector<TavenaRule>& chain : chains_) count += chain.size();
    return count;
}

}  // namespace sonara
