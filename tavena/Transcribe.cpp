#include "tavena/Transcribe.h"

#include "tavena/Charset.h"

namespace sonara {

namespace {

constexpr char kSyllableMark = '\xA8';
constexpr std::size_t kUsedOutput = 11;

// The word with 1-based access; 0 and size + 1 are its edges.
struct Word {
    std::string_view text;
    std::size_t Length() const { return text.size(); }
    unsigned char At(std::size_t i) const { return static_cast<unsigned char>(text[i - 1]); }
    bool Inside(std::size_t i) const { return i >= 1 && i <= text.size(); }
};

bool IsRuleConsonant(unsigned char c) {
    return IsConsonant(c);
}

bool MatchHolds(const Word& w, std::size_t pos, std::string_view match) {
    if (match.empty() || pos + match.size() - 1 > w.Length()) return false;
    for (std::size_t k = 0; k < match.size(); ++k) {
        unsigned char c = w.At(pos + k);
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        if (c != static_cast<unsigned char>(match[k])) return false;
    }
    return true;
}

bool LeftHolds(const Word& w, std::size_t pos, std::string_view pattern) {
    std::size_t i = pos - 1;
    for (std::size_t k = pattern.size(); k > 0; --k) {
        char s = pattern[k - 1];
        bool inside = i >= 1;
        unsigned char c = inside ? w.At(i) : 0;
        switch (s) {
            case '#':
                if (!inside || !IsRuleVowel(c)) return false;
                --i;
                break;
            case '%':
                if (i != 0) return false;
                break;
            case ']':
                if (!inside || !IsOpenVowel(c)) return false;
                --i;
                break;
            case '_':
                if (inside && !IsRuleVowel(c)) return false;
                if (inside) --i;
                break;
            case '|':
                if (!inside || !IsFinalNasalOrTrill(c)) return false;
                --i;
                break;
            default:
                if (!inside || c != static_cast<unsigned char>(s)) return false;
                --i;
        }
    }
    return true;
}

bool RightHolds(const Word& w, std::size_t pos, std::size_t matchLength, std::string_view pattern) {
    std::size_t i = pos + matchLength;
    for (char s : pattern) {
        bool inside = w.Inside(i);
        unsigned char c = inside ? w.At(i) : 0;
        switch (s) {
            case '#':
                if (!inside || !IsRuleVowel(c)) return false;
                ++i;
                break;
            case '%':
                if (i != w.Length() + 1) return false;
                break;
            case '&':
                if (!inside || !IsVoiced(c)) return false;
                ++i;
                break;
            case '*':
                if (!inside || !IsRuleConsonant(c) || c == 'L' || c == 'R') return false;
                break;
            case '+':
                if (!inside || !IsFrontVowel(c)) return false;
                ++i;
                break;
            case '[':
                if (inside && (!IsRuleConsonant(c) || c == 'H')) return false;
                break;
            case '\\':
                if (inside && c == 'S') ++i;
                break;
            default:
                if (!inside || c != static_cast<unsigned char>(s)) return false;
                ++i;
        }
    }
    return true;
}

const TavenaRule* ChooseRule(const Word& w, std::size_t pos, const TavenaTradut& rules) {
    for (const TavenaRule& r : rules.Chain(w.At(pos))) {
        if (MatchHolds(w, pos, r.match) && LeftHolds(w, pos, r.left) &&
            RightHolds(w, pos, r.match.size(), r.right)) {
            return &r;
        }
    }
    return nullptr;
}

// A phoneme line is added when it holds something beyond a lone stress mark; a mark
// with nothing after it waits for the next phoneme.
void Flush(std::string& buffer, Lines& out, std::size_t origin, std::vector<std::size_t>* origins) {
    if (buffer.empty() || buffer == ">") return;
    out.push_back(std::move(buffer));
    buffer.clear();
    if (origins != nullptr) origins->push_back(origin);
}

std::string PauseSymbol(char c) {
    if (c == ' ') return {};
    return std::string("_") + c;
}

bool IsPauseChar(char c) {
    return std::string_view(" !(),.:;?").find(c) != std::string_view::npos;
}

}  // namespace

void ApplyRules(std::string_view upperWord, std::size_t stress, const TavenaTradut& rules,
                Lines& out, std::vector<std::size_t>* origins) {
    const Word w{upperWord};
    bool marked = stress < 1;  // no stress: no mark
    std::string buffer;
    std::size_t pos = 1;
    while (pos <= w.Length()) {
        const TavenaRule* rule = ChooseRule(w, pos, rules);
        if (rule == nullptr) {
            ++pos;  // a letter without a rule is silent
            continue;
        }
        std::string_view output = std::string_view(rule->output).substr(0, kUsedOutput);
        for (char c : output) {
            if (!marked && pos >= stress) {
                buffer += '>';
                marked = true;
            }
            if (c == '&') {
                Flush(buffer, out, pos, origins);
            } else {
                buffer += c;
            }
        }
        if (!output.empty()) Flush(buffer, out, pos, origins);
        pos += rule->match.size();
    }
    out.emplace_back();  // closes the word
    if (origins != nullptr) origins->push_back(0);
}

void JoinBoundaries(Lines& lines) {
    for (std::size_t h = 2; h + 1 < lines.size(); ++h) {
        if (lines[h].empty() || lines[h][0] != ';') continue;
        std::string_view first = lines[h + 1];
        if (!first.empty() && first[0] == '>') first.remove_prefix(1);
        if (!first.empty() && first[0] == kSyllableMark) first.remove_prefix(1);
        if (!first.empty() &&
            std::string_view("aeiouwy").find(first[0]) != std::string_view::npos) {
            std::string& before = lines[h - 2];
            if (before == "r2") before = "r";
            if (before == "s2") before = "z";
        }
        ++h;
    }
}

Lines Transcribe(const Lines& intonation, const TavenaTradut& rules) {
    Lines out;
    for (const std::string& line : intonation) {
        out.push_back(";" + line);
        std::string token = Upper(line.size() > 4 ? std::string_view(line).substr(4) : "");
        if (token.empty()) {
            out.push_back("__");
            out.emplace_back();
        } else if (IsPauseChar(token[0])) {
            std::string pause = PauseSymbol(token[0]);
            if (!pause.empty()) out.push_back(std::move(pause));
        } else {
            rules.ApplyException(token);
            std::size_t stress = IsUnstressedWord(token) ? 0 : FindStress(token);
            ApplyRules(token, stress, rules, out);
        }
    }
    out.push_back("__");
    JoinBoundaries(out);
    return out;
}

}  // namespace sonara
