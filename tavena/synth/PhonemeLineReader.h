// Reads phoneme lines: a name, a duration in milliseconds, then pairs of position (percent
// of the phoneme) and pitch (Hz). ";" starts a comment; blank lines are skipped. Anything
// else is refused with a reason, and every limit is checked before it is trusted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace synth {

constexpr int kMaxPitchPoints = 64;
constexpr size_t kMaxNameLength = 7;
constexpr size_t kMaxLineLength = 4096;
constexpr double kMaxMilliseconds = 10000.0;
constexpr double kMaxHertz = 2000.0;

struct PitchPoint {
    float percent = 0;
    float hertz = 0;
};

struct PhonemeLine {
    char name[kMaxNameLength + 1] = {};
    double milliseconds = 0;
    int pointCount = 0;
    PitchPoint points[kMaxPitchPoints];

    std::string_view Name() const { return name; }
    // "_" and "#" are pauses: silence of their duration.
    bool IsPause() const { return Name() == "_" || Name() == "#"; }
};

enum class LineKind { Phoneme, Blank, Error };

// One line without its line break.
LineKind ParseLine(std::string_view line, PhonemeLine& out, std::string& error);

// Calls `visit(line)` for each line of a zero-terminated text (lines end at LF, CR or CR LF)
// until it returns false. Refuses a line longer than kMaxLineLength without reading
// further: false with `error` set. Never reads past the terminating zero.
template <typename Visit>
bool ForEachLine(const char* text, Visit&& visit, std::string& error) {
    const char* p = text;
    while (*p != '\0') {
        size_t length = 0;
        while (p[length] != '\0' && p[length] != '\n' && p[length] != '\r') {
            if (++length > kMaxLineLength) {
                error = "phoneme line longer than " + std::to_string(kMaxLineLength) + " bytes";
                return false;
            }
        }
        if (!visit(std::string_view(p, length))) return false;
        p += length;
        if (*p == '\r' && p[1] == '\n') {
            p += 2;
        } else if (*p != '\0') {
            ++p;
        }
    }
    return true;
}

}  // namespace synth
