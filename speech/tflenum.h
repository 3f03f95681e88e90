// Numbers read aloud from recorded Portuguese words: the words of a number and the
// recordings that say them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sonara {

class SpeechPlayer;

// The words of one group of three digit characters ("000" gives the empty string).
// Anything but three digits gives the empty string too.
std::string GroupToWords(std::string_view digits);

// The words of group `index` (0 = trillions ... 4 = units) of a 15-digit string,
// followed by its scale word ("mil ", "milhões ", ...; each ends with a space).
std::string ScaledGroup(std::string_view fifteenDigits, int index);

// Brazilian Portuguese words of n separated by single spaces; a number that ends with a
// scale word keeps that word's trailing space ("mil ", "dois milhões ").
std::string NumberToWords(std::uint32_t n);

// The recordings SpeakNumberWords opens for `words`, in play order, as 8-character names
// without directory or ".wav": "_" + the word cut to 8 characters, with ã -> a,
// õ -> o and dezessete -> dezeset. With `feminine`, a last word um or dois is said
// uma or duas.
std::vector<std::string> NumberWordRecordings(std::string_view words, bool feminine);

// Recordings are a 44-byte header followed by 8-bit samples; the word buffer holds
// 30000 sample bytes after its own header.
inline constexpr std::size_t kRecordingHeaderBytes = 44;
inline constexpr std::size_t kWordBufferSamples = 30000;

// Sample bytes a recording file of `fileSize` bytes contributes: everything after its
// header. A file not longer than its header holds no samples and is skipped like a
// missing recording.
std::size_t RecordingSampleBytes(std::uint64_t fileSize);

// A run of one recording's samples placed in the word buffer.
struct WordPiece {
    std::size_t recording;  // index into the sizes given to PlanWordImages
    std::size_t offset;     // first sample byte of the run within that recording
    std::size_t length;
    bool operator==(const WordPiece&) const = default;
};

// How the recordings of one number, given by their sample byte counts, are heard: a list
// of sound images, each at most kWordBufferSamples bytes, played one after the other.
// Words are joined into one image while they fit; when the next word does not fit, the
// image so far is played first. A recording longer than the whole buffer is played in
// pieces: full buffers, then its remainder, which later words may join.
std::vector<std::vector<WordPiece>> PlanWordImages(const std::vector<std::size_t>& sampleBytes);

// Plays the recordings of `words` (as NumberToWords gives them) from the letters
// directory, joined into one sound image of at most 30000 samples at a time, and
// returns when all were heard or a key stopped the sound. Missing recordings are
// skipped silently. The first form uses the current diphone synthesizer's letters
// directory and player and does nothing without them.
void SpeakNumberWords(std::string_view words, bool feminine);
void SpeakNumberWords(std::string_view words, bool feminine, std::string_view lettersDir,
                      SpeechPlayer& player);

}  // namespace sonara
