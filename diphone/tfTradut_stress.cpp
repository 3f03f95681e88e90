// tfTradut: the stressed vowel of a word without a written accent, found by a scan from
// the word's end and marked by upper-casing it.
#include "diphone/tfTradut.h"
#include "diphone/tfTradut_classes.h"

namespace sonara {

using namespace tradut;

namespace {

// The scan states: what has been seen at the end of the word so far.
enum class Scan {
    End,       // 0: at the end of the word
    Liquid,    // 1: ends in l, n, r, x or z
    FinalM,    // 2: ends in m
    FinalIU,   // 3: ends in i or u, alone or before m or s
    FinalS,    // 4: ends in s
    FinalAEO,  // 5: final a, e or o found; looking for the vowel before
    PenultIU,  // 6: i or u found before the final syllable
};

struct Scanner {
    const std::string& w;
    std::size_t i;  // current character, 0-based

    char At(std::ptrdiff_t offset) const {
        std::ptrdiff_t k = static_cast<std::ptrdiff_t>(i) + offset;
        if (k < 0 || k >= static_cast<std::ptrdiff_t>(w.size())) return '\0';
        return w[static_cast<std::size_t>(k)];
    }
};

enum class Decision { None, This, Next };

bool IsAEO(char c) {
    return In("aeo", c);
}
bool IsIU(char c) {
    return In("iu", c);
}

// State 6: the vowel before the final syllable is this one unless the i or u after it
// opens the syllable (after a consonant, gu/qu, or before a closing consonant cluster).
Decision PenultimateIU(const Scanner& s) {
    char c = s.At(0);
    if (IsConsonant(c)) return Decision::Next;
    if (c == 'u' && IsGorQ(s.At(-1))) return Decision::Next;
    char c2 = s.At(2);
    char c3 = s.At(3);
    bool cluster = (c2 == 'n' && c3 == 'h') || (c2 == 'r' && c3 == 'r') ||
                   (IsConsonant(c3) && c3 != 'h' && c3 != 'H');
    if (In("lmnrz", c2) && cluster) return Decision::Next;
    return Decision::This;
}

// One step of the scan: the new state, or a decision.
Decision Step(Scan& state, const Scanner& s) {
    char c = s.At(0);
    switch (state) {
        case Scan::End:
            if (IsAEO(c))
                state = Scan::FinalAEO;
            else if (IsIU(c))
                state = Scan::FinalIU;
            else if (In("lnrxz", c))
                state = Scan::Liquid;
            else if (c == 'm')
                state = Scan::FinalM;
            else if (c == 's')
                state = Scan::FinalS;
            return Decision::None;
        case Scan::Liquid:
            return IsVowel(c) ? Decision::This : Decision::None;
        case Scan::FinalM:
            if (c == 'o') return Decision::This;
            if (c == 'a' || c == 'e')
                state = Scan::FinalAEO;
            else if (IsIU(c))
                state = Scan::FinalIU;
            return Decision::None;
        case Scan::FinalIU:
            if (IsConsonant(c)) return Decision::Next;
            if (s.At(-1) == 'u' && IsGorQ(s.At(-2))) return Decision::Next;
            return Decision::This;
        case Scan::FinalS:
            if (IsAEO(c))
                state = Scan::FinalAEO;
            else if (IsIU(c))
                state = Scan::FinalIU;
            return Decision::None;
        case Scan::FinalAEO:
            if (IsAEO(c)) return Decision::This;
            if (IsIU(c)) state = Scan::PenultIU;
            return Decision::None;
        case Scan::PenultIU:
            return PenultimateIU(s);
    }
    return Decision::None;
}

bool TakesStress(const TradutWord& word) {
    if (word.explicitAccent) return false;
    if (word.vowels >= 2) return true;
    return word.vowels == 1 && !word.text.empty() && word.text.back() == 'l';
}

}  // namespace

void TfTradut::MarkStress(TradutWord& word) {
    if (!TakesStress(word)) return;
    std::string& w = word.text;
    Scan state = Scan::End;
    for (std::size_t i = w.size(); i-- > 0;) {
        Decision d = Step(state, Scanner{w, i});
        if (d == Decision::None) continue;
        std::size_t at = d == Decision::This ? i : i + 1;
        if (at < w.size()) w[at] = UpperAZ(w[at]);
        return;
    }
}

}  // namespace sonara
