#include "speech/tflenum.h"

#include <algorithm>
#include <string_view>

namespace sonara {
namespace {

constexpr std::string_view kUnits[10] = {"",      "um",   "dois", "tres", "quatro",
                                         "cinco", "seis", "sete", "oito", "nove"};
constexpr std::string_view kTeens[10] = {"dez",    "onze",      "doze",      "treze",   "quatorze",
                                         "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
constexpr std::string_view kTens[10] = {"",          "",         "vinte",   "trinta",  "quarenta",
                                        "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
constexpr std::string_view kHundreds[10] = {
    "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
// Scale words of the groups trillions .. units; Windows-1252 ã (E3) and õ (F5).
constexpr std::string_view kScaleOne[5] = {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil ", ""};
constexpr std::string_view kScaleMany[5] = {
    "trilh\xF5"
    "es ",
    "bilh\xF5"
    "es ",
    "milh\xF5"
    "es ",
    "mil ", ""};

constexpr int kGroups = 5;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The recording name of one word, before the feminine change.
std::string RecordingName(std::string_view word) {
    std::string w;
    for (char c : word) w += c == '\xE3' ? 'a' : c == '\xF5' ? 'o' : c;
    if (w == "dezessete") w = "dezeset";  // else it shares 8 characters with dezesseis
    return ("_" + w).substr(0, 8);
}

}  // namespace

std::string GroupToWords(std::string_view g) {
    if (g.size() != 3 || !std::all_of(g.begin(), g.end(), IsDigit)) return {};
    if (g == "000") return {};
    if (g == "100") return "cem";
    const int h = g[0] - '0', t = g[1] - '0', u = g[2] - '0';
    std::string r;
    if (h != 0) {
        r = kHundreds[h];
        if (t == 0 && u == 0) return r;
        r += " e ";
    }
    if (t == 1) return r += kTeens[u];
    if (t != 0) {
        r += kTens[t];
        if (u == 0) return r;
        r += " e ";
    }
    if (u != 0) r += kUnits[u];
    return r;
}

std::string ScaledGroup(std::string_view s, int i) {
    if (i < 0 || i >= kGroups || s.size() < 3u * (i + 1)) return {};
    const std::string_view g = s.substr(3 * i, 3);
    std::string w = GroupToWords(g);
    if (!kScaleOne[i].empty() && g != "000") {
        w += ' ';
        w += g == "001" ? kScaleOne[i] : kScaleMany[i];
    }
    return w;
}

std::string NumberToWords(std::uint32_t n) {
    if (n == 0) return "zero";
    std::string s = std::string(14, '0') + std::to_string(n);
    s = s.substr(s.size() - 15);
    std::string groups[kGroups];
    int last = kGroups - 1;
    for (int i = 0; i < kGroups; ++i) groups[i] = ScaledGroup(s, i);
    for (int i = kGroups - 1; i >= 0; --i) {
        if (!groups[i].empty()) {
            last = i;
            break;
        }
    }
    std::string r;
    std::string_view sep;
    for (int i = 0; i <= last; ++i) {
        if (i == last && !groups[i].empty()) r += sep;  // "e" joins the last group
        r += groups[i];
        if (!groups[i].empty()) sep = "e ";
    }
    // One thousand is "mil", not "um mil"; "um milhão" stays.
    if (r.starts_with("um mil") && !r.starts_with("um milh")) r.erase(0, 3);
    return r;
}

std::vector<std::string> NumberWordRecordings(std::string_view words, bool feminine) {
    std::vector<std::string> names;
    std::size_t i = 0;
    while (true) {
        i = words.find_first_not_of(' ', i);
        if (i == std::string_view::npos) break;
        std::size_t end = std::min(words.find(' ', i), words.size());
        names.push_back(RecordingName(words.substr(i, end - i)));
        i = end;
    }
    // Only the last word agrees with a feminine noun: vinte e uma, but dois mil.
    if (feminine && !names.empty()) {
        if (names.back() == "_um") names.back() = "_uma";
        if (names.back() == "_dois") names.back() = "_duas";
    }
    return names;
}

std::size_t RecordingSampleBytes(std::uint64_t fileSize) {
    return fileSize > kRecordingHeaderBytes
               ? static_cast<std::size_t>(fileSize - kRecordingHeaderBytes)
               : 0;
}

std::vector<std::vector<WordPiece>> PlanWordImages(const std::vector<std::size_t>& sampleBytes) {
    std::vector<std::vector<WordPiece>> images;
    std::vector<WordPiece> image;
    std::size_t total = 0;
    auto play = [&] {
        images.push_back(std::move(image));
        image.clear();
        total = 0;
    };
    for (std::size_t r = 0; r < sampleBytes.size(); ++r) {
        std::size_t offset = 0;
        while (offset < sampleBytes[r]) {
            const std::size_t left = sampleBytes[r] - offset;
            const std::size_t room = kWordBufferSamples - total;
            if (left > room && total > 0) {
                play();
                continue;
            }
            const std::size_t take = std::min(left, room);
            image.push_back({r, offset, take});
            total += take;
            offset += take;
        }
    }
    if (total > 0) play();
    return images;
}

}  // namespace sonara
