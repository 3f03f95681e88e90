#include "console/braille/tfbrunif.h"

#include <cstddef>

namespace sonara {

// The text being walked, the position of the next unused character and the output.
struct Tfbrunif::Walk {
    std::string_view text;
    std::size_t p = 0;
    std::string out;

    // The character at p + ahead, or -1 beyond the end.
    int At(std::size_t ahead = 0) const {
        return p + ahead < text.size() ? static_cast<unsigned char>(text[p + ahead]) : -1;
    }
};

namespace {

constexpr int kTimes = 0xD7;   // multiplication sign
constexpr int kSharpS = 0xDF;  // German sharp s
constexpr int kDivide = 0xF7;  // division sign
constexpr char kBackquote = '`';

bool IsLower(int c) {
    return (c >= 'a' && c <= 'z') || c >= 224;
}
bool IsUpper(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 192 && c <= 223);
}
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
// Capitals that get a capital sign. The multiplication sign and the sharp s sit among the
// upper-case codes but have no lower-case letter: lower-casing would turn them into the
// division sign and y with diaeresis, so they never start or join a capital run.
bool IsCapital(int c) {
    return IsUpper(c) && c != kTimes && c != kSharpS;
}

bool IsMathFollower(int c) {
    if (c == kDivide) return true;
    if (c < 0) return false;
    for (char f : std::string_view("\"%'()*+-./:=EOX[]^_`eox{}"))
        if (c == static_cast<unsigned char>(f)) return true;
    return false;
}

char LowerCased(int c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
    if (c >= 192 && c <= 223) return static_cast<char>(c + 32);
    return static_cast<char>(c);
}

char UpperDigit(int d) {
    return "jabcdefghi"[d - '0'];
}
char LowerDigit(int d) {
    return "},;:/?!=\"*"[d - '0'];
}

std::string_view MathSign(int c) {
    switch (c) {
        case '"':
            return "\xFC\xFC";
        case '%':
            return "_}}";
        case '\'':
            return "\xFC";
        case '(':
            return "\xEA";
        case ')':
            return "\xE3";
        case '*':
        case 'X':
        case 'x':
            return "\xD7";
        case '+':
            return "+";
        case '-':
            return "-";
        case '.':
            return ".";
        case '/':
        case ':':
            return "\xF7";
        case '=':
            return "=";
        case 'E':
        case 'e':
            return "\x80"
                   "e";
        case 'O':
        case 'o':
            return "\xB0";
        case '[':
            return "\xE1";
        case ']':
            return "\xFA";
        case '^':
            return "\xE5";
        case '_':
        case kDivide:
            return "~\xF7";
        case '{':
            return "~l";
        case '}':
            return "_,";
        default:
            return "";  // a second backquote: nothing
    }
}

// Multi-cell signs of single symbols; empty when the symbol stands for itself.
std::string_view SymbolSign(int c) {
    switch (c) {
        case '%':
            return "_}";
        case '(':
            return "(.";
        case ')':
            return "\\)";
        case '/':
            return "\\,";
        case '[':
            return "[.";
        case '\\':
            return "~.";
        case ']':
            return "\\]";
        case 0x80:
            return "\x80"
                   "e";
        case 0x85:
            return "...";
        case 0x89:
            return "_}}";
        case 0x91:
        case 0x92:
            return "$\"";
        case 0x95:
            return "\xF5o";
        case 0x96:
        case 0x97:
        case 0xAD:
            return "--";
        case 0x9C:
            return "oe";
        case 0xA7:
            return "ss";
        case 0xAB:
        case 0xBB:
            return "\\\"";
        case 0xB2:
            return "\xE5#b";
        case 0xB3:
            return "\xE5#c";
        case 0xB9:
            return "\xE5#a";
        case 0xBC:
            return "#,d";
        case 0xBD:
            return "#,b";
        case 0xBE:
            return "#:d";
        case kSharpS:
            return "\xAC"
                   "b";
        case 0xE6:
            return "ae";
        default:
            return "";
    }
}

// A letter as written in a run. æ sits among the lower-case codes, but its cell would
// read as ã: it is written out as "ae", as the symbol table has it.
void AppendLetter(std::string& out, char c) {
    if (c == '\xE6') {
        out += "ae";
    } else {
        out += c;
    }
}

void LowerRun(std::string& out, std::string_view text, std::size_t& p) {
    AppendLetter(out, text[p++]);
    while (p < text.size()) {
        const int c = static_cast<unsigned char>(text[p]);
        if (!IsLower(c) && c != '-') break;
        AppendLetter(out, text[p++]);
    }
}

void Capitals(std::string& out, std::string_view text, std::size_t& p) {
    auto at = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
    };
    if (!IsCapital(at(p + 1))) {
        out += '{';
        AppendLetter(out, LowerCased(at(p++)));
        return;
    }
    out += "{{";
    while (IsCapital(at(p))) AppendLetter(out, LowerCased(at(p++)));
    if (IsLower(at(p))) out += '~';
}

std::size_t DigitsFrom(std::string_view text, std::size_t i) {
    std::size_t n = 0;
    while (i + n < text.size() && IsDigit(static_cast<unsigned char>(text[i + n]))) ++n;
    return n;
}

std::size_t DigitsBefore(std::string_view text, std::size_t i) {
    std::size_t n = 0;
    while (n < i && IsDigit(static_cast<unsigned char>(text[i - n - 1]))) ++n;
    return n;
}

// An ordinal suffix right after the digits: its letters and how many characters it uses.
struct Ordinal {
    std::string_view letters;
    std::size_t used = 0;
};

Ordinal OrdinalAt(std::string_view rest) {
    auto at = [&](std::size_t i) { return i < rest.size() ? rest[i] : '\0'; };
    if (rest.empty()) return {};
    if (at(0) == '\xAA') return {"a", 1};
    if (at(0) == '\xBA') return {"o", 1};
    if ((at(0) == 'a' || at(0) == 'o') && at(1) == '.') return {rest.substr(0, 1), 2};
    if ((at(0) == 'a' || at(0) == 'o') && at(1) == 's' && at(2) == '.')
        return {rest.substr(0, 2), 3};
    return {};
}

}  // namespace

std::string Tfbrunif::TranslateToBraille(std::string_view text) {
    Walk w{text, 0, {}};
    w.out.reserve(text.size() * 2);
    while (w.p < text.size()) TranslateAt(w);
    return std::move(w.out);
}

void Tfbrunif::TranslateAt(Walk& w) {
    const int c = w.At();
    const int next = w.At(1);
    if (IsLower(c)) return LowerRun(w.out, w.text, w.p);
    if (IsCapital(c)) return Capitals(w.out, w.text, w.p);
    if (IsDigit(c)) return Number(w);
    if ((c == '(' || c == '[') && IsDigit(next)) return NumericBracket(w);
    if (!inParens_ && w.p > 0 && (c == ')' || c == ']') &&
        IsDigit(static_cast<unsigned char>(w.text[w.p - 1]))) {
        w.out += c == ')' ? '\xE3' : '\xFA';
        inParens_ = false;
        ++w.p;
        return;
    }
    if (c == kBackquote && IsDigit(next)) {  // fraction: numerator low, denominator as is
        w.out += '#';
        ++w.p;
        while (IsDigit(w.At())) w.out += LowerDigit(w.At()), ++w.p;
        if (w.At() == '/') {
            ++w.p;
            while (IsDigit(w.At())) w.out += w.text[w.p++];
        }
        return;
    }
    if (c == kBackquote && IsMathFollower(next)) {
        w.out += MathSign(next);
        w.p += 2;
        return;
    }
    if (c == '.') {
        w.out += '.';
        ++w.p;
        return;
    }
    if (c == '"' || c == 0x93 || c == 0x94) {
        w.out += '"';
        ++w.p;
        return;
    }
    Symbol(w);
}

void Tfbrunif::Number(Walk& w) {
    w.out += '#';
    const std::size_t digits = DigitsFrom(w.text, w.p);
    const Ordinal ordinal = OrdinalAt(w.text.substr(w.p + digits));
    if (!ordinal.letters.empty()) {
        for (std::size_t i = 0; i < digits; ++i) w.out += LowerDigit(w.At(i));
        w.out += ordinal.letters;
        w.p += digits + ordinal.used;
        return;
    }
    for (int c = w.At();; c = w.At()) {
        if (c == '$' || c == ',') {
            w.out += static_cast<char>(c);
        } else if (IsDigit(c)) {
            w.out += UpperDigit(c);
        } else if (c == '.') {
            const std::size_t after = DigitsFrom(w.text, w.p + 1);
            const bool newNumber = after > 0 && after < 3 && DigitsBefore(w.text, w.p) < 3;
            w.out += newNumber ? ".#" : ".";  // a date's next part, or thousands
        } else if (c >= 'a' && c <= 'j') {
            w.out += '~';  // the letter starts a lower-case run of its own
            return;
        } else {
            return;
        }
        ++w.p;
    }
}

void Tfbrunif::NumericBracket(Walk& w) {
    const char open = w.text[w.p];
    const char close = open == '(' ? ')' : ']';
    inParens_ = false;
    const std::size_t at = w.text.find(close, w.p + 1);
    if (at != std::string_view::npos && IsDigit(static_cast<unsigned char>(w.text[at - 1]))) {
        w.out += open == '(' ? '\xEA' : '\xE1';
        ++w.p;
        return;
    }
    inParens_ = true;
    Symbol(w);
}

void Tfbrunif::Symbol(Walk& w) {
    const int c = w.At();
    const std::string_view sign = SymbolSign(c);
    if (sign.empty()) {
        w.out += static_cast<char>(c);
    } else {
        w.out += sign;
    }
    if (c == '(') inParens_ = true;
    if (c == ')') inParens_ = false;
    ++w.p;
}

}  // namespace sonara
