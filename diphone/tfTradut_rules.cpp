// tfTradut: translation of a word by the context-sensitive rules left(match)right=output.
#include "diphone/tfTradut.h"
#include "diphone/tfTradut_classes.h"

namespace sonara {

using namespace tradut;

namespace {

// A word seen with 1-based scan positions: 0 and size + 1 are its edges.
struct Scan {
    std::string_view w;
    std::ptrdiff_t n() const { return static_cast<std::ptrdiff_t>(w.size()); }
    bool Inside(std::ptrdiff_t s) const { return s >= 1 && s <= n(); }
    bool Edge(std::ptrdiff_t s) const { return s == 0 || s == n() + 1; }
    // The character at s, or 0 outside the word (0 belongs to no class).
    char At(std::ptrdiff_t s) const { return Inside(s) ? w[static_cast<std::size_t>(s - 1)] : 0; }
};

bool IsVowelOrAccent(char c) {
    return IsVowel(c) || IsAccentMark(c);
}

// One right-context symbol at s; false when it fails.
bool RightSymbol(const Scan& w, char symbol, std::ptrdiff_t& s) {
    char c = w.At(s);
    switch (symbol) {
        case '#':
            if (!IsVowelOrAccent(c)) return false;
            while (IsVowelOrAccent(w.At(s))) ++s;
            return true;
        case '%':
            return w.Edge(s);
        case '&':
            if (!In("lmnrz", c)) return false;
            ++s;
            return true;
        case '*':
            return IsConsonant(c) && !In("rlRL", c);
        case '+':
            if (!IsFrontVowel(c)) return false;
            s += IsAccentMark(w.At(s + 1)) ? 2 : 1;
            return true;
        case '[':
            return s > w.n() || (IsConsonant(c) && c != 'h' && c != 'H');
        case '\\':
            if (c == 's') ++s;
            return true;
        default:
            if (!w.Inside(s) || UpperAZ(c) != symbol) return false;
            ++s;
            return true;
    }
}

// One left-context symbol at s; false when it fails.
bool LeftSymbol(const Scan& w, char symbol, std::ptrdiff_t& s) {
    char c = w.At(s);
    switch (symbol) {
        case '#':
            if (!IsVowelOrAccent(c)) return false;
            while (IsVowelOrAccent(w.At(s))) --s;
            return true;
        case '%':
            return w.Edge(s);
        case ']':
            if (IsAorO(c)) {
                s -= 1;
            } else if (IsAccentMark(c) && IsAorO(w.At(s - 1))) {
                s -= 2;
            } else {
                return false;
            }
            return true;
        case '_':
            if (s == 0) return true;
            if (IsVowel(c)) {
                s -= 1;
            } else if (IsAccentMark(c) && IsVowel(w.At(s - 1))) {
                s -= 2;
            } else {
                return false;
            }
            return true;
        case '|':
            if (!In("nrs", c)) return false;
            --s;
            return true;
        default:
            if (s < 1 || UpperAZ(c) != symbol) return false;
            --s;
            return true;
    }
}

bool MatchHolds(const Scan& w, std::string_view match, std::ptrdiff_t pos) {
    for (std::size_t k = 0; k < match.size(); ++k) {
        std::ptrdiff_t s = pos + static_cast<std::ptrdiff_t>(k);
        if (!w.Inside(s) || UpperAZ(w.At(s)) != match[k]) return false;
    }
    return true;
}

bool RightHolds(const Scan& w, std::string_view right, std::ptrdiff_t s) {
    for (char symbol : right) {
        if (!RightSymbol(w, symbol, s)) return false;
    }
    return true;
}

bool LeftHolds(const Scan& w, std::string_view left, std::ptrdiff_t s) {
    for (std::size_t k = left.size(); k-- > 0;) {
        if (!LeftSymbol(w, left[k], s)) return false;
    }
    return true;
}

void UpperFirstVowel(std::string& output) {
    for (char& c : output) {
        if (IsVowel(c)) {
            c = UpperAZ(c);
            return;
        }
    }
}

}  // namespace

bool TfTradut::RuleApplies(const Regra& rule, std::string_view word, std::size_t pos) const {
    Scan w{word};
    std::ptrdiff_t at = static_cast<std::ptrdiff_t>(pos) + 1;
    std::ptrdiff_t length = static_cast<std::ptrdiff_t>(rule.match.size());
    return MatchHolds(w, rule.match, at) && LeftHolds(w, rule.left, at - 1) &&
           RightHolds(w, rule.right, at + length);
}

std::vector<TradutStretch> TfTradut::TranslateStretches(std::string_view word) const {
    std::vector<TradutStretch> stretches;
    std::size_t pos = 0;
    while (pos < word.size()) {
        char ch = UpperAZ(word[pos]);
        TradutStretch stretch{pos, 1, " /_"};
        stretch.output += ch;
        for (const Regra& rule : Chain(static_cast<unsigned char>(ch))) {
            if (RuleApplies(rule, word, pos)) {
                stretch.output = rule.output;
                stretch.length = rule.match.size();
                break;
            }
        }
        if (In("AEIOU", word[pos])) UpperFirstVowel(stretch.output);
        pos += stretch.length;
        stretches.push_back(std::move(stretch));
    }
    return stretches;
}

std::string TfTradut::TranslateWord(std::string_view word) const {
    std::string out = "[";
    for (const TradutStretch& stretch : TranslateStretches(word)) {
        if (stretch.pos > 0) out += '/';
        out += stretch.output;
    }
    out += ']';
    return out;
}

}  // namespace sonara
