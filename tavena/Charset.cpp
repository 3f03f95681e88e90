#include "tavena/Charset.h"

#include "platform/cp1252.h"

namespace sonara {

namespace {

bool In(unsigned char c, std::string_view set) {
    return set.find(static_cast<char>(c)) != std::string_view::npos;
}

// Accented members written as Windows-1252 bytes.
constexpr std::string_view kAccentedLetters =
    "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCC\xCD\xD1\xD3\xD4\xD5\xD9\xDA\xDC"
    "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xEC\xED\xF1\xF3\xF4\xF5\xF9\xFA\xFC";
constexpr std::string_view kRuleVowels =
    "AEIOUaeiou\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC"
    "\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC";
constexpr std::string_view kOpenVowels = "AOao\xC1\xC2\xD3\xD4\xE1\xE2\xF3\xF4";
constexpr std::string_view kFrontVowels = "EIei\xC9\xCD\xE9\xED";

}  // namespace

unsigned char UpperChar(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
        case 0x9A:
            return 0x8A;  // s caron
        case 0x9C:
            return 0x8C;  // oe
        case 0x9E:
            return 0x8E;  // z caron
        case 0xFF:
            return 0x9F;  // y diaeresis
        default:
            return c;
    }
}

unsigned char LowerChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A:
            return 0x9A;
        case 0x8C:
            return 0x9C;
        case 0x8E:
            return 0x9E;
        case 0x9F:
            return 0xFF;
        default:
            return c;
    }
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
    return out;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
    return out;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

bool IsWordLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || In(c, kAccentedLetters);
}

bool IsConsonant(unsigned char c) {
    unsigned char u = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
    if (u >= 'B' && u <= 'Z') return !In(u, "EIOU");
    return In(c, "\xC7\xD1\xE7\xF1");
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool IsRuleVowel(unsigned char c) {
    return In(c, kRuleVowels);
}
bool IsOpenVowel(unsigned char c) {
    return In(c, kOpenVowels);
}
bool IsFrontVowel(unsigned char c) {
    return In(c, kFrontVowels);
}
bool IsVoiced(unsigned char c) {
    return In(c, "LMNRZlmnrz");
}
bool IsFinalNasalOrTrill(unsigned char c) {
    return In(c, "NRSnrs");
}

std::vector<std::string_view> FileLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::string W(std::string_view utf8) {
    return win::Utf8ToCp1252(utf8);
}

std::string Trim(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return std::string(text.substr(b, e - b));
}

}  // namespace sonara
