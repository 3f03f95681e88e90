#include "tavena/PhonemeLines.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace sonara {

namespace {

constexpr char kSyllableMark = '\xA8';
constexpr int kStressedPercent = 145;

// The integer part of a product, kept within 0..INT_MAX (file values are not trusted).
std::int64_t Whole(double value) {
    if (!(value > 0)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<std::int64_t>(value);
}

bool IsHeader(const std::string& line) {
    return line.size() >= 5 && line[0] == ';' && line[4] == '|';
}

struct WordState {
    int percent = 100;
    std::string code = "555";
    int stage = 0;
    std::size_t wordLength = 0;
};

int Level(const ProsodyConfig& prosody, const std::string& code, std::size_t digit) {
    char c = digit < code.size() ? code[digit] : '5';
    if (c < '0' || c > '9') return 0;  // "?" or another character: no pitch point
    return prosody.tabHertz[static_cast<std::size_t>(c - '0')];
}

// Base duration of a phoneme or pause, before the stress and speed factors.
std::int64_t BaseDuration(std::string& line, const WordState& w, const ProsodyConfig& prosody) {
    if (line[0] == '_') {
        std::int64_t d = prosody.DurationOf(line);
        if (line.size() == 1) {
            d = ProsodyConfig::kDefaultDuration;
        } else if (line[1] == ' ') {
            d = ParseInt(std::string_view(line).substr(2))
                    .value_or(ProsodyConfig::kDefaultDuration);
        }
        line = "_";
        return d;
    }
    std::int64_t d = prosody.DurationOf(line);
    if (w.stage < 2) {
        if (w.wordLength > 13) {
            d = d * 80 / 100;
        } else if (w.wordLength > 9) {
            d = d * 90 / 100;
        }
    }
    return d;
}

std::string PitchPoint(WordState& w, bool last, double pitchFactor, const ProsodyConfig& prosody) {
    int level = 0;
    int position = 50;
    if (w.stage == 0) {
        level = Level(prosody, w.code, 0);
        w.stage = 1;
    } else if (w.stage == 2) {
        level = Level(prosody, w.code, 1);
        position = 80;
        w.stage = 3;
    } else if (w.stage == 3 && last) {
        level = Level(prosody, w.code, 2);
    }
    if (level <= 0) return {};
    std::int64_t hz = Whole(static_cast<double>(level) * pitchFactor * prosody.hertz) / 100;
    if (hz <= 0) return {};  // no pitch of 0 Hz
    return " " + std::to_string(position) + " " + std::to_string(hz);
}

// What goes between two phonemes the voice database cannot join.
std::string Filler(const std::string& previous, const DiphoneList& diphones) {
    if (previous == "r2" && diphones.Contains("r2-_")) return "_ 50";
    if (diphones.Contains(previous + "-y")) return "y 50";
    return "_ 50";
}

}  // namespace

Lines PhonemeLineBuilder::BuildPhonemeLines(const Lines& phonemes, double pitchFactor,
                                            double durationFactor, const ProsodyConfig& prosody,
                                            const DiphoneList& diphones) {
    Lines out;
    out.reserve(phonemes.size() + phonemes.size() / 4);
    WordState w;
    std::string previous = "_";
    for (std::size_t i = 0; i < phonemes.size(); ++i) {
        std::string line = phonemes[i];
        bool last = i + 1 == phonemes.size() || phonemes[i + 1].empty();
        if (line.empty()) {
            w.percent = 100;
            current_.clear();
        } else if (IsHeader(line)) {
            w.code = line.substr(1, 3);
            line = ";" + line.substr(5);
            w.wordLength = line.size();
            w.stage = 0;
        } else {
            if (line[0] == '>') {
                line.erase(0, 1);
                if (!line.empty() && line[0] == kSyllableMark) line.erase(0, 1);
                w.percent = kStressedPercent;
                w.stage = 2;
            } else if (line[0] == kSyllableMark) {
                line.erase(0, 1);
                w.percent = 100;
            }
            if (line.empty()) continue;  // a mark with no phoneme after it says nothing
            std::int64_t d = BaseDuration(line, w, prosody);
            current_ = line;
            std::int64_t ms = Whole(static_cast<double>(d) * w.percent * durationFactor) / 100;
            line += " " + std::to_string(ms) + PitchPoint(w, last, pitchFactor, prosody);
        }
        if (!current_.empty()) {
            if (!diphones.Contains(previous + "-" + current_))
                out.push_back(Filler(previous, diphones));
            if (!line.empty()) previous = current_;
        }
        out.push_back(std::move(line));
    }
    return out;
}

}  // namespace sonara
