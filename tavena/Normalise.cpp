#include "tavena/Normalise.h"

#include <cstdint>

#include "tavena/CharNames.h"
#include "tavena/Charset.h"
#include "tavena/Numbers.h"

namespace sonara {

namespace {

constexpr std::size_t kMaxDigits = 15;

unsigned char At(std::string_view text, std::size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

bool IsPassedPunctuation(unsigned char c) {
    return c == ' ' || c == '!' || c == '(' || c == ')' || c == ',' || c == '.' || c == ':' ||
           c == ';' || c == '?';
}

bool HasVowel(std::string_view run) {
    for (char c : run) {
        unsigned char u = static_cast<unsigned char>(c);
        if (IsWordLetter(u) && !IsConsonant(u)) return true;
    }
    return false;
}

// A run of digits and hyphens holding a hyphen, read character by character.
bool ReadDigitRun(std::string_view text, std::size_t& pos, std::string& out) {
    std::size_t end = pos;
    bool hyphen = false;
    while (end < text.size() && (IsDigit(At(text, end)) || text[end] == '-')) {
        hyphen = hyphen || text[end] == '-';
        ++end;
    }
    if (!hyphen) return false;
    for (; pos < end; ++pos) {
        out += ' ';
        out += text[pos] == '-' ? W("traço") : UnitsWord(text[pos] - '0');
    }
    return true;
}

// A "." between digit groups: three digits follow it and no fourth.
bool IsThousandsDot(std::string_view text, std::size_t i) {
    return text[i] == '.' && IsDigit(At(text, i + 1)) && IsDigit(At(text, i + 2)) &&
           IsDigit(At(text, i + 3)) && !IsDigit(At(text, i + 4));
}

std::uint64_t ReadValue(std::string_view text, std::size_t& pos) {
    std::uint64_t value = 0;
    std::size_t digits = 0;
    std::size_t scan = pos;
    while (scan < text.size()) {
        if (IsDigit(At(text, scan))) {
            if (digits == kMaxDigits) break;
            value = value * 10 + static_cast<std::uint64_t>(text[scan] - '0');
            ++digits;
            pos = ++scan;
        } else if (IsThousandsDot(text, scan)) {
            ++scan;
        } else {
            break;
        }
    }
    return value;
}

bool StartsAt(std::string_view text, std::size_t pos, std::string_view what) {
    return text.substr(pos, what.size()) == what;
}

// " " + words + " ".
void AppendSpaced(std::string& out, std::string_view words) {
    out += ' ';
    out += words;
    out += ' ';
}

}  // namespace

std::string ReadNumber(std::string_view text, std::size_t& pos) {
    std::string out;
    if (ReadDigitRun(text, pos, out)) return out;
    std::string prefix;
    while (pos + 1 < text.size() && text[pos] == '0' && IsDigit(At(text, pos + 1))) {
        prefix += "zero ";
        ++pos;
    }
    std::uint64_t value = ReadValue(text, pos);
    struct Suffix {
        std::string_view text;
        Gender gender;
        bool plural;
    };
    static constexpr Suffix kSuffixes[] = {
        {"\xBA", Gender::kMasculine, false}, {"\xAA", Gender::kFeminine, false},
        {"o.", Gender::kMasculine, false},   {"a.", Gender::kFeminine, false},
        {"os.", Gender::kMasculine, true},   {"as.", Gender::kFeminine, true}};
    for (const Suffix& s : kSuffixes) {
        if (StartsAt(text, pos, s.text)) {
            pos += s.text.size();
            return Ordinal(value, s.gender) + (s.plural ? "s" : "");
        }
    }
    return prefix + Cardinal(value);
}

std::string ReadWord(std::string_view text, std::size_t& pos,
                     const AbbreviationTable& abbreviations) {
    std::size_t start = pos;
    while (pos < text.size() && IsWordLetter(At(text, pos))) {
        ++pos;
        if (At(text, pos) == '-') ++pos;
    }
    std::string word(text.substr(start, pos - start));
    if (HasVowel(word)) return word;
    if (At(text, pos) == '.' && !abbreviations.FindAbbreviation(word).empty()) return word;
    std::string spelled;
    for (char c : word) {
        spelled += ' ';
        spelled += CharName(static_cast<unsigned char>(c));
    }
    return spelled;
}

std::string Normalise(std::string_view input, const AbbreviationTable& abbreviations) {
    std::string single;
    if (input.size() == 1) single = CharName(static_cast<unsigned char>(input[0]));
    std::string_view text = input.size() == 1 ? std::string_view(single) : input;

    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        unsigned char c = At(text, pos);
        if (c == '-' && pos > 0 && text[pos - 1] == ' ' && At(text, pos + 1) == ' ') {
            out += ",";
            ++pos;
        } else if (c == '-' && IsDigit(At(text, pos + 1))) {
            out += "menos ";
            ++pos;
        } else if (IsDigit(c)) {
            AppendSpaced(out, ReadNumber(text, pos));
            while (pos + 1 < text.size() && (text[pos] == ',' || text[pos] == '.') &&
                   IsDigit(At(text, pos + 1))) {
                out += text[pos] == ',' ? W("vírgula ") : "ponto ";
                ++pos;
                out += ReadNumber(text, pos);
                out += ' ';
            }
        } else if (IsWordLetter(c)) {
            std::string word = ReadWord(text, pos, abbreviations);
            std::string expansion;
            if (At(text, pos) == '.' && At(text, pos + 1) == ' ') {
                expansion = abbreviations.FindAbbreviation(word);
            }
            if (expansion.empty()) {
                out += word;
            } else {
                out += expansion;
                ++pos;
            }
        } else if (StartsAt(text, pos, "...")) {
            out += "... ";
            pos += 3;
        } else if (c == '.' && pos + 1 < text.size() && text[pos + 1] != ' ') {
            out += " ponto ";
            ++pos;
        } else if (IsPassedPunctuation(c)) {
            out += static_cast<char>(c);
            ++pos;
        } else if (c == '\t' || c == '\n' || c == '\r') {
            ++pos;
        } else {
            AppendSpaced(out, CharName(c));
            ++pos;
        }
    }
    return out;
}

}  // namespace sonara
