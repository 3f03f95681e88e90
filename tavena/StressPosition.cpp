#include "tavena/StressPosition.h"

#include <algorithm>
#include <string>
#include <vector>

#include "diphone/tfTradut_align.h"
#include "tavena/Charset.h"
#include "tavena/Transcribe.h"

namespace sonara {

namespace {

constexpr char kSyllableMark = '\xA8';
constexpr std::size_t kLongestWord = 255;

// A vowel letter that starts or carries a syllable: the u of qu and gu before a vowel
// belongs to the consonant (quase, guerra).
bool IsSyllableVowel(std::string_view upper, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(upper[i]);
    if (!IsRuleVowel(c)) return false;
    if (c != 'U' || i == 0 || i + 1 >= upper.size()) return true;
    char before = upper[i - 1];
    return !((before == 'Q' || before == 'G') &&
             IsRuleVowel(static_cast<unsigned char>(upper[i + 1])));
}

std::size_t NextSyllableVowel(std::string_view upper, std::size_t i) {
    while (i < upper.size() && !IsSyllableVowel(upper, i)) ++i;
    return i;
}

// Plain letters of the same kind cost less to exchange than a vowel for a consonant.
int ExchangeCost(unsigned char a, unsigned char b) {
    if (a == b) return 0;
    if (LowerChar(a) == LowerChar(b)) return 0;
    return IsRuleVowel(a) == IsRuleVowel(b) ? 1 : 2;
}

// A phoneme line without its stress and syllable marks.
std::string_view Phoneme(std::string_view line) {
    if (!line.empty() && line[0] == '>') line.remove_prefix(1);
    if (!line.empty() && line[0] == kSyllableMark) line.remove_prefix(1);
    return line;
}

bool IsGlide(std::string_view phoneme) {
    return phoneme == "y" || phoneme == "w";
}

// Vowel phonemes start with a vowel letter (a, @, e, E, an, en...); glides do not count.
bool IsVowelPhoneme(std::string_view phoneme) {
    return !phoneme.empty() && !IsGlide(phoneme) &&
           std::string_view("aeiouAEIOU@").find(phoneme[0]) != std::string_view::npos;
}

// 0-based position in `alias` of the letter whose rule wrote the nucleus of the marked
// syllable: the marked phoneme, or the vowel before it when the mark fell on the glide
// of a falling diphthong (sereia: the i of "rei" is marked, its syllable is read from e),
// or the glide before it in a rising one.
std::size_t MarkedLetter(const std::string& alias, std::size_t stress, const TavenaTradut& rules) {
    Lines lines;
    std::vector<std::size_t> origins;
    ApplyRules(alias, stress, rules, lines, &origins);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k].empty() || lines[k][0] != '>' || origins[k] == 0) continue;
        std::size_t at = k;
        if (k > 0 && origins[k - 1] > 0) {
            std::string_view here = Phoneme(lines[k]);
            std::string_view before = Phoneme(lines[k - 1]);
            // falling diphthong: the vowel before the glide; rising one: the glide's own
            // vowel letter (continuou: the u of "nwo"; not the u of qu, which the rule
            // of q writes, nor the glide that closes a syllable before: apoiado)
            bool falling = IsGlide(here) && IsVowelPhoneme(before);
            bool rising = IsVowelPhoneme(here) && IsGlide(before) &&
                          IsRuleVowel(static_cast<unsigned char>(alias[origins[k - 1] - 1])) &&
                          (k < 2 || !IsVowelPhoneme(Phoneme(lines[k - 2])));
            if (falling || rising) --at;
        }
        return origins[at] - 1;
    }
    return stress - 1;  // the rules wrote nothing at or after the stress
}

}  // namespace

std::size_t StressedLetter(std::string_view written, const TavenaTradut& rules) {
    // Longer "words" are cut to the 255 characters a word buffer holds: the alignment of
    // a respelling grows with the square of the length.
    const std::string upper = Upper(written.substr(0, kLongestWord));
    std::string alias = upper;
    rules.ApplyException(alias);
    const std::size_t stress = FindStress(alias);
    if (stress == 0) return 0;
    std::size_t at = NextSyllableVowel(alias, MarkedLetter(alias, stress, rules));
    if (alias != upper) {
        // A respelling: its letter is carried over to the written word.
        std::vector<std::size_t> map = AlignLetters(alias, upper, &ExchangeCost);
        std::size_t k = at;
        while (k < map.size() && map[k] == std::string_view::npos) ++k;
        at = k < map.size() ? map[k] : upper.size();
    }
    at = NextSyllableVowel(upper, at);
    if (at >= upper.size()) {
        // a respelling longer than the word (ok = ÔQUÊI): its last syllable vowel
        while (at > 0 && !IsSyllableVowel(upper, at - 1)) --at;
        if (at == 0) return 0;
        --at;
    }
    return at + 1;
}

}  // namespace sonara
