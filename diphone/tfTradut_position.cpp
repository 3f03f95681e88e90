// tfTradut: where, in a word as written, the syllable that the rules stress begins its
// vowels. The syllables are the blank-separated pieces of the rules' output; the stress
// is the upper-case vowel that MarkStress or a written accent put into it.
#include <algorithm>

#include "diphone/tfTradut.h"
#include "diphone/tfTradut_align.h"
#include "diphone/tfTradut_classes.h"

namespace sonara {

using namespace tradut;

namespace {

// The u of qu and gu before a vowel belongs to the consonant, not to the syllable's
// vowels (queijo, guerra, quando).
bool IsSyllableVowel(std::string_view w, std::size_t i) {
    char c = LowerAZ(w[i]);
    if (!IsVowel(c)) return false;
    if (c != 'u' || i == 0 || i + 1 >= w.size()) return true;
    return !(IsGorQ(LowerAZ(w[i - 1])) && IsVowel(LowerAZ(w[i + 1])));
}

// Case ignored; a vowel for a vowel or a consonant for a consonant costs less than a
// vowel for a consonant.
int AliasExchangeCost(unsigned char aliasLetter, unsigned char wordLetter) {
    char a = LowerAZ(static_cast<char>(aliasLetter));
    char b = LowerAZ(static_cast<char>(wordLetter));
    if (a == b) return 0;
    return IsVowel(a) == IsVowel(b) ? 1 : 2;
}

// The first syllable vowel of the stressed syllable of `w` (0-based), or npos.
std::size_t StressedSyllableVowel(const std::vector<TradutStretch>& stretches, std::string_view w) {
    // Syllable of each stretch: a blank in an output starts the next one; an empty
    // output belongs to the syllable being read.
    std::vector<int> first(stretches.size());
    std::vector<int> last(stretches.size());
    int syllable = 0;
    int stressed = -1;
    bool any = false;
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const std::string& out = stretches[k].output;
        first[k] = syllable;
        for (std::size_t j = 0; j < out.size(); ++j) {
            if (out[j] == ' ' && any) ++syllable;
            if (out[j] == ' ' && j == 0) first[k] = syllable;
            if (out[j] != ' ') any = true;
            if (stressed < 0 && In("AEIOU", out[j])) stressed = syllable;
        }
        last[k] = syllable;
    }
    if (stressed < 0) {
        if (syllable != 0) return std::string_view::npos;
        stressed = 0;  // a single syllable is the stressed one
    }
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        if (first[k] > stressed || last[k] < stressed) continue;
        const TradutStretch& s = stretches[k];
        for (std::size_t i = s.pos; i < s.pos + s.length && i < w.size(); ++i) {
            if (IsSyllableVowel(w, i)) return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

int TfTradut::StressPosition(std::string_view written) const {
    std::string text = Transliterate(written);
    std::size_t pos = 0;
    std::optional<TradutWord> word = NextWord(text, pos);
    if (!word || IsToBeSpelled(word->text)) return 0;
    std::size_t start = pos - word->text.size();
    std::string original = word->text;
    ApplyException(*word);
    MarkStress(*word);
    std::size_t at = StressedSyllableVowel(TranslateStretches(word->text), word->text);
    if (at == std::string_view::npos) return 0;

    // An alias is another spelling: its stressed vowel is carried over to the written
    // word by aligning the two, then moved to the nearest syllable vowel from there.
    bool respelled = word->text.size() != original.size();
    for (std::size_t i = 0; !respelled && i < original.size(); ++i) {
        respelled = LowerAZ(word->text[i]) != original[i];
    }
    if (respelled) {
        std::vector<std::size_t> map = AlignLetters(word->text, original, &AliasExchangeCost);
        std::size_t k = at;
        while (k < map.size() && map[k] == std::string_view::npos) ++k;
        at = k < map.size() ? map[k] : original.size();
        while (at < original.size() && !IsSyllableVowel(original, at)) ++at;
        if (at >= original.size()) return 0;
    }

    // Back from the transliterated text to the written letters: each letter becomes a
    // piece of its own length (an apostrophe's depends on the letter before it).
    std::size_t target = start + at;
    std::size_t length = 0;
    for (std::size_t k = 0; k < written.size(); ++k) {
        if (k == 0) {
            length += Transliterate(written.substr(0, 1)).size();
        } else {
            length += Transliterate(written.substr(k - 1, 2)).size() -
                      Transliterate(written.substr(k - 1, 1)).size();
        }
        if (length > target) return static_cast<int>(k) + 1;
    }
    return 0;
}

}  // namespace sonara
