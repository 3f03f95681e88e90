#include "tavena/synth/PhonemeLineReader.h"

#include <cstring>

namespace synth {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next blank-separated token, or empty at the end of the line.
std::string_view NextToken(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) ++start;
    size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

// Plain decimal numbers only: digits with an optional fraction, an optional leading sign.
// No exponents, so "nan", "inf" and 1e999 are refused as text rather than as values.
bool ParseNumber(std::string_view token, double& value) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    double result = 0;
    int digits = 0;
    while (i < token.size() && token[i] >= '0' && token[i] <= '9') {
        if (++digits > 12) return false;
        result = result * 10 + (token[i++] - '0');
    }
    if (i < token.size() && token[i] == '.') {
        ++i;
        double scale = 0.1;
        int fraction = 0;
        while (i < token.size() && token[i] >= '0' && token[i] <= '9') {
            if (++fraction <= 9) result += scale * (token[i] - '0');
            scale /= 10;
            ++i;
        }
        digits += fraction;
    }
    if (digits == 0 || i != token.size()) return false;
    value = negative ? -result : result;
    return true;
}

LineKind Refuse(std::string& error, std::string_view line, const char* why) {
    error = std::string(why) + ": \"" + std::string(line.substr(0, 60)) + "\"";
    return LineKind::Error;
}

}  // namespace

LineKind ParseLine(std::string_view line, PhonemeLine& out, std::string& error) {
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 && c != '\t') return Refuse(error, line, "control character in line");
    }
    std::string_view rest = line.substr(0, line.find(';'));
    const std::string_view name = NextToken(rest);
    if (name.empty()) return LineKind::Blank;
    if (name.size() > kMaxNameLength) return Refuse(error, line, "phoneme name too long");

    double ms = 0;
    const std::string_view duration = NextToken(rest);
    if (duration.empty()) return Refuse(error, line, "phoneme without a duration");
    if (!ParseNumber(duration, ms)) return Refuse(error, line, "duration is not a number");
    if (ms < 0) return Refuse(error, line, "negative duration");
    if (ms > kMaxMilliseconds) return Refuse(error, line, "duration over 10 seconds");

    PhonemeLine parsed;
    std::memcpy(parsed.name, name.data(), name.size());
    parsed.name[name.size()] = '\0';
    parsed.milliseconds = ms;
    for (;;) {
        const std::string_view percentText = NextToken(rest);
        if (percentText.empty()) break;
        const std::string_view hertzText = NextToken(rest);
        if (hertzText.empty()) return Refuse(error, line, "pitch position without its pitch");
        if (parsed.pointCount == kMaxPitchPoints) {
            return Refuse(error, line, "more than 64 pitch points");
        }
        double percent = 0;
        double hertz = 0;
        if (!ParseNumber(percentText, percent) || !ParseNumber(hertzText, hertz)) {
            return Refuse(error, line, "pitch point is not a number");
        }
        if (percent < 0 || percent > 100)
            return Refuse(error, line, "pitch position outside 0-100");
        if (hertz <= 0 || hertz > kMaxHertz) return Refuse(error, line, "pitch outside 0-2000 Hz");
        parsed.points[parsed.pointCount++] = {static_cast<float>(percent),
                                              static_cast<float>(hertz)};
    }
    out = parsed;
    return LineKind::Phoneme;
}

}  // namespace synth
