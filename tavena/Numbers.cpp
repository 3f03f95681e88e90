#include "tavena/Numbers.h"

#include <array>

#include "tavena/Charset.h"

namespace sonara {

namespace {

struct NumberWords {
    std::array<std::string, 10> units, teens, tens, hundreds;
    std::array<std::string, 10> ordUnits, ordTens, ordHundreds;
    std::string thousandth;
    std::array<std::string, 4> groupSingular, groupPlural;

    NumberWords() {
        units = {"zero",  "um",   "dois", W("três"), "quatro",
                 "cinco", "seis", "sete", "oito",    "nove"};
        teens = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                 "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
        tens = {"",         "",        "vinte",   "trinta", "quarenta", W("cinqüenta"),
                "sessenta", "setenta", "oitenta", "noventa"};
        hundreds = {"",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
                    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
        ordUnits = {"",       "primeiro", "segundo",   "terceiro", "quarto",
                    "quinto", "sexto",    W("sétimo"), "oitavo",   "nono"};
        ordTens = {"",
                   W("décimo"),
                   W("vigésimo"),
                   W("trigésimo"),
                   W("quadragésimo"),
                   W("quinquagésimo"),
                   W("sexagésimo"),
                   W("septuagésimo"),
                   W("octagésimo"),
                   W("nonagésimo")};
        ordHundreds = {"",
                       W("centésimo"),
                       W("ducentésimo"),
                       W("tricentésimo"),
                       W("quadrigentésimo"),
                       W("quingentésimo"),
                       W("seiscentésimo"),
                       W("septigentésimo"),
                       W("octigentésimo"),
                       W("nongentésimo")};
        thousandth = W("milésimo");
        groupSingular = {W("trilhão "), W("bilhão "), W("milhão "), "mil "};
        groupPlural = {W("trilhões "), W("bilhões "), W("milhões "), "mil "};
    }
};

const NumberWords& Words() {
    static const NumberWords words;
    return words;
}

// Words of one three-digit group h d u.
std::string GroupWords(int h, int d, int u) {
    const NumberWords& w = Words();
    if (h == 0 && d == 0 && u == 0) return {};
    if (h == 1 && d == 0 && u == 0) return "cem";
    std::string out;
    if (h != 0) {
        out += w.hundreds[h];
        if (d == 0 && u == 0) return out;
        out += " e ";
    }
    if (d == 1) return out + w.teens[u];
    if (d != 0) {
        out += w.tens[d];
        if (u == 0) return out;
        out += " e ";
    }
    if (u != 0) out += w.units[u];
    return out;
}

std::string Feminine(std::string word) {
    if (!word.empty()) word.back() = 'a';
    return word;
}

}  // namespace

std::string UnitsWord(int digit) {
    return Words().units.at(static_cast<std::size_t>(digit));
}

std::string Cardinal(std::uint64_t value) {
    if (value == 0) return "zero";
    value %= 1000000000000000ULL;
    const NumberWords& w = Words();
    std::array<std::string, 5> groups;
    std::uint64_t rest = value;
    for (int g = 4; g >= 0; --g) {
        int digits = static_cast<int>(rest % 1000);
        rest /= 1000;
        groups[g] = GroupWords(digits / 100, digits / 10 % 10, digits % 10);
        if (!groups[g].empty() && g < 4) {
            groups[g] += " " + (digits == 1 ? w.groupSingular[g] : w.groupPlural[g]);
        }
    }
    int last = 4;
    while (last > 0 && groups[last].empty()) --last;
    std::string result;
    bool earlier = false;
    for (int g = 0; g <= last; ++g) {
        if (g == last && earlier) result += "e ";
        result += groups[g];
        if (!groups[g].empty()) earlier = true;
    }
    if (result.rfind("um mil", 0) == 0 && result.rfind("um milh", 0) != 0) result.erase(0, 3);
    return result;
}

std::string Ordinal(std::uint64_t value, Gender gender) {
    if (value >= 2000) return Cardinal(value);
    if (value == 0) return "zero";
    const NumberWords& w = Words();
    const std::array<const std::string*, 4> places = {
        &w.ordUnits[value % 10], &w.ordTens[value / 10 % 10], &w.ordHundreds[value / 100 % 10],
        value >= 1000 ? &w.thousandth : nullptr};
    std::string out;
    for (const std::string* word : places) {
        if (word == nullptr || word->empty()) continue;
        std::string form = gender == Gender::kFeminine ? Feminine(*word) : *word;
        out = out.empty() ? form : form + " " + out;
    }
    return out;
}

}  // namespace sonara
