// tfTradut: transliteration, word splitting and spelling.
#include <array>

#include "diphone/tfTradut.h"
#include "diphone/tfTradut_classes.h"

namespace sonara {

using namespace tradut;

namespace {

// Replacements for codes 128-255: the accented letters at both their Windows-1252 and
// their DOS code page 850 positions. An empty entry stands for a control character.
constexpr std::array<const char*, 128> kHighCodes = {
    // 80-8F
    "ss", "u\"", "e'", "a^", "a~", "a`", "a'", "ss", "e^", "e\"", "e`", "i\"", "i^", "i`", "a~",
    "a'",
    // 90-9F
    "e'", "ae", "-", "o^", "o~", "o`", "u^", "u`", "y-", "o~", "u\"", "", "", "", "", "",
    // A0-AF
    "a'", "i'", "o'", "u'", "nh", "nh", "", "\xA7", "?", "", "", "\xAA", "", "!", "\"", "\"",
    // B0-BF
    "", "", "", "", "", "", "", "", "", "", "", "\xBA", "", "", "", "?",
    // C0-CF
    "a`", "a'", "a^", "a~", "a~", "a", "ae", "ss", "e`", "e'", "e^", "e\"", "i`", "i'", "i^", "i\"",
    // D0-DF
    "", "nh", "o`", "o'", "o^", "o~", "o`", "x", "0", "u`", "u'", "u^", "u", "", "", "",
    // E0-EF
    "a`", "a'", "a^", "a~", "a~", "a", "ae", "ss", "e`", "e'", "e^", "e\"", "i`", "i'", "i^", "i\"",
    // F0-FF
    "", "nh", "o`", "o'", "o^", "o~", "o`", "x", "0", "u`", "u'", "u^", "u", "", "", ""};

void AppendControl(std::string& out) {
    out += ' ';
    out += '\0';
    out += ' ';
}

bool HasLetterBeside(const std::string& text, std::size_t i) {
    return (i > 0 && IsLetter(text[i - 1])) || (i + 1 < text.size() && IsLetter(text[i + 1]));
}

}  // namespace

std::string TfTradut::Transliterate(std::string_view text) {
    std::string source(text);  // w and y are rewritten in place: later neighbours see them
    std::string out;
    out.reserve(source.size() + source.size() / 4);
    for (std::size_t i = 0; i < source.size(); ++i) {
        char& c = source[i];
        if ((c == 'W' || c == 'w') && HasLetterBeside(source, i)) c = 'u';
        if ((c == 'Y' || c == 'y') && HasLetterBeside(source, i)) c = 'i';
        unsigned char code = static_cast<unsigned char>(c);
        if (c == '\'' && i > 0 && (source[i - 1] == 'd' || source[i - 1] == 'D')) continue;
        if (code < 32) {
            AppendControl(out);
        } else if (code < 128) {
            out += c;
        } else if (*kHighCodes[code - 128] == '\0') {
            AppendControl(out);
        } else {
            out += kHighCodes[code - 128];
        }
    }
    return out;
}

std::optional<TradutWord> TfTradut::NextWord(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos >= text.size()) return std::nullopt;
    TradutWord word;
    char c = LowerAZ(text[pos]);
    if (!IsLetter(c)) {
        word.text.assign(1, c);
        ++pos;
        return word;
    }
    while (pos < text.size() && word.text.size() < kMaxWord) {
        c = LowerAZ(text[pos]);
        if (!IsWordChar(c)) break;
        word.text += c;
        if (IsVowel(c)) ++word.vowels;
        if (IsAccentMark(c) && c != '"') word.explicitAccent = true;
        ++pos;
    }
    return word;
}

bool TfTradut::IsToBeSpelled(std::string_view word) {
    if (!word.empty() && word[0] == '\0') return true;
    for (char c : word) {
        if (!IsConsonant(c) && !IsSeparator(c)) return false;
    }
    return true;
}

std::string TfTradut::SpellWord(std::string_view word) {
    std::string out;
    for (char c : word) {
        out += "[ /_";
        out += c;
        out += ']';
    }
    return out;
}

}  // namespace sonara
