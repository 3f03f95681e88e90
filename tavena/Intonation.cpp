#include "tavena/Intonation.h"

#include "tavena/Charset.h"

namespace sonara {

namespace {

std::string Category(const std::string& line) {
    return line.size() >= 3 ? line.substr(1, 2) : "";
}

bool Fits(const std::string& pattern, const std::string& category) {
    return pattern.empty() || pattern == category;
}

std::string FindCode(const std::string& prev, const std::string& cur, const std::string& next,
                     bool useTable, const ProsodyConfig& prosody) {
    if (!useTable) return "555";
    for (const IntonationRule& r : prosody.intonation) {
        if (Fits(r.previous, prev) && Fits(r.current, cur) && Fits(r.next, next)) return r.code;
    }
    return "555";
}

struct Token {
    std::string text;
    std::string category;
};

// The token at pos (not a blank), moving pos past it.
Token ReadToken(std::string_view text, std::size_t& pos, const ProsodyConfig& prosody) {
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c == '.' && pos + 1 < text.size() && text[pos + 1] == '.') {
        while (pos < text.size() && text[pos] == '.') ++pos;
        return {".", ".-"};
    }
    if (!IsWordLetter(c)) {
        ++pos;
        return {std::string(1, static_cast<char>(c)), std::string(2, static_cast<char>(c))};
    }
    std::size_t start = pos;
    while (pos < text.size() && IsWordLetter(static_cast<unsigned char>(text[pos]))) ++pos;
    std::string word(text.substr(start, pos - start));
    std::string category = prosody.CategoryOf(Upper(word));
    return {std::move(word), std::move(category)};
}

}  // namespace

Lines TagWords(std::string_view text, const ProsodyConfig& prosody) {
    Lines out{"[--]"};
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) break;
        Token token = ReadToken(text, pos, prosody);
        char first = token.text[0];
        out.push_back("[" + token.category + "]" + token.text);
        if (first == '!' || first == '.' || first == '?') out.push_back("[--]");
    }
    return out;
}

Lines AssignIntonation(const Lines& tagged, bool useTable, const ProsodyConfig& prosody) {
    Lines out;
    std::string previous, current, next;
    char lastThird = '5';
    for (std::size_t i = 0; i <= tagged.size(); ++i) {
        if (i < tagged.size() && tagged[i].empty()) continue;
        previous = std::move(current);
        current = std::move(next);
        next = i < tagged.size() ? tagged[i] : std::string();
        if (current.empty()) continue;
        std::string code =
            FindCode(Category(previous), Category(current), Category(next), useTable, prosody);
        if (!code.empty() && code[0] == '?') code[0] = lastThird;
        if (code.size() >= 3) lastThird = code[2];
        out.push_back(code + "|" + (current.size() > 4 ? current.substr(4) : ""));
    }
    return out;
}

}  // namespace sonara
