// Line syntax of the rule and exception files, shared by both rule engines.
#include "diphone/tfTradut_files.h"

#include <algorithm>

namespace sonara {

namespace {

std::string Cut(std::string_view text, std::size_t width) {
    return std::string(text.substr(0, width));
}

// The characters of `line` from `from` up to the next `stop` (or the end), and the
// position just past that `stop` (npos when the line ended first).
std::string_view TakeUntil(std::string_view line, std::size_t from, char stop, std::size_t& next) {
    if (from >= line.size()) {
        next = std::string_view::npos;
        return {};
    }
    std::size_t at = line.find(stop, from);
    if (at == std::string_view::npos) {
        next = std::string_view::npos;
        return line.substr(from);
    }
    next = at + 1;
    return line.substr(from, at - from);
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

bool IsCommentLine(std::string_view line) {
    return !line.empty() && line.front() == ';';
}

std::optional<RuleParts> ParseRuleLine(std::string_view line, std::size_t outputWidth) {
    std::size_t open = line.find('(');
    if (open == std::string_view::npos) return std::nullopt;
    RuleParts parts;
    parts.left = Cut(line.substr(0, open), kContextWidth);
    std::size_t next = 0;
    parts.match = Cut(TakeUntil(line, open + 1, ')', next), kContextWidth);
    if (parts.match.empty()) return std::nullopt;
    if (next != std::string_view::npos) {
        parts.right = Cut(TakeUntil(line, next, '=', next), kContextWidth);
    }
    if (next != std::string_view::npos) {
        parts.output = Cut(TakeUntil(line, next, '|', next), outputWidth);
    }
    return parts;
}

std::optional<PalavraAlias> ParseExceptionLine(std::string_view line) {
    if (line.empty() || line.size() > kMaxExceptionLine) return std::nullopt;
    std::string text(line);
    text += "|=|";
    std::size_t equals = text.find('=');
    std::size_t bar = text.find('|', equals + 1);
    return PalavraAlias{text.substr(0, equals), text.substr(equals + 1, bar - equals - 1)};
}

void SortExceptions(std::vector<PalavraAlias>& table) {
    std::sort(table.begin(), table.end(), [](const PalavraAlias& a, const PalavraAlias& b) {
        return a.palavra < b.palavra;  // char_traits<char> compares bytes as unsigned
    });
}

const PalavraAlias* FindException(const std::vector<PalavraAlias>& table, std::string_view word) {
    std::ptrdiff_t low = 0;
    std::ptrdiff_t high = static_cast<std::ptrdiff_t>(table.size()) - 1;
    while (low <= high) {
        std::ptrdiff_t middle = (low + high) / 2;
        int order = word.compare(table[static_cast<std::size_t>(middle)].palavra);
        if (order == 0) return &table[static_cast<std::size_t>(middle)];
        if (order > 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return nullptr;
}

std::string ApplyExceptionTable(const std::vector<PalavraAlias>& table, std::string_view word,
                                std::string_view suffixLetters) {
    std::string_view stem = word;
    while (!stem.empty()) {
        if (const PalavraAlias* found = FindException(table, stem)) {
            return found->alias + std::string(word.substr(stem.size()));
        }
        if (suffixLetters.find(stem.back()) == std::string_view::npos) break;
        stem.remove_suffix(1);
    }
    return std::string(word);
}

}  // namespace sonara
