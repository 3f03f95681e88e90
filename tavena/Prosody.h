// The prosody configuration: phoneme durations, keyword categories, intonation codes and
// the pitch levels, loaded from the sections [DURAÇÃO], [CHAVES] and [PROSÓDIA].
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonara {

struct Duration {
    std::string phoneme;  // up to 2 characters
    int ms = 0;
};

struct Keyword {
    std::string key;       // upper case
    std::string category;  // up to 2 characters, upper case
};

struct IntonationRule {
    std::string previous, current, next;  // category patterns, up to 3 characters; empty: any
    std::string code;                     // three characters
};

struct ProsodyConfig {
    static constexpr std::size_t kMaxDurations = 100;
    static constexpr std::size_t kMaxKeywords = 1000;
    static constexpr std::size_t kMaxIntonation = 300;
    static constexpr int kDefaultHertz = 230;
    static constexpr int kDefaultDuration = 100;

    std::vector<Duration> durations;         // file order
    std::vector<Keyword> keywords;           // sorted by key
    std::vector<IntonationRule> intonation;  // file order
    int hertz = kDefaultHertz;
    std::array<int, 10> tabHertz{};  // percent of hertz per code digit; 0: no pitch point

    // The first duration entry for the phoneme, or 100 ms.
    int DurationOf(std::string_view phoneme) const;
    // The category of an upper-case word, "XX" when unknown.
    std::string CategoryOf(std::string_view upperWord) const;
};

struct ProsodyLoad {
    bool ok = false;
    std::vector<std::string> messages;  // each for a modal message box, in order
};

// Parses the file's bytes into config; nullopt stands for a file that cannot be opened.
// The tables and HERTZ are reset first; the TABHERTZ levels stay until a line sets them.
ProsodyLoad ParseProsody(std::optional<std::string_view> bytes, ProsodyConfig& config);

// ParseProsody, then each message in a modal message box with an OK button.
bool LoadProsody(std::optional<std::string_view> bytes, ProsodyConfig& config);

// Parses a whole decimal integer (optional sign, surrounding blanks allowed).
std::optional<int> ParseInt(std::string_view text);

}  // namespace sonara
