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

}  // namespace

Lines TagWords(std::string_view text, const ProsodyConfig& prosody) {
    Lines out{"[--]"};
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) break;
        std::string token;
        std::string category;
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == '.' && pos + 1 < text.size() && text[pos + 1] == '.') {
            token = ".";
            category = ".-";
            while (pos < text.size() && text[pos] == '.') ++pos;
        } else if (!IsWordLetter(c)) {
            token = std::string(1, static_cast<char>(c));
            category = token + token;
            ++pos;
        } else {
            std::size_t start = pos;
            while (pos < text.size() && IsWordLetter(static_cast<unsigned char>(text[pos]))) ++pos;
            token = std::string(text.substr(start, pos - start));
            category = prosody.CategoryOf(Upper(token));
        }
        out.push_back("[" + category + "]" + token);
        if (token[0] == '!' || token[0] == '.' || token[0] == '?') out.push_back("[--]");
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
