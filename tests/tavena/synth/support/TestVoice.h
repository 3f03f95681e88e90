// Small voices in the synthesizer's format, written by the tests themselves, and the
// measurements the tests make on the sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synthtest {

constexpr uint32_t kRate = 16000;
constexpr uint32_t kVoiced = 0x80000000u;  // bit 31 of a pitch mark
constexpr int kSourcePeriod = 160;         // the test voice speaks at 100 Hz
constexpr int kHalf = 800;                 // each half of a unit: 50 ms

struct TestUnit {
    std::string left, right;
    std::vector<int16_t> samples;
    uint32_t boundary = 0;
    std::vector<uint32_t> marks;
};

// Builds the bytes of a voice file.
struct TestVoice {
    std::vector<std::string> phonemes;
    std::vector<TestUnit> units;
    uint32_t rate = kRate;

    std::string Bytes() const;
};

// Phonemes _ a i m s x. Every pair among _ a i m s is there; x joins only the pause. The
// vowels and m are pulse trains at 100 Hz through two resonances with a mark at each pulse;
// s is noise and _ silence, with unvoiced marks every 5 ms. `releaseGain` scales the unit
// a-_ (a louder recording of the same vowel). With `edgePoints`, every unit that starts or
// ends inside a vowel has an unvoiced point at that end (a cut falling inside a period).
TestVoice StandardVoice(double releaseGain = 1.0, bool edgePoints = false);

// Writes the bytes to a file in the test's temporary folder; its path.
std::string WriteVoiceFile(const std::string& bytes, const std::string& name);

// Pitch in Hz by normalised autocorrelation over `window` samples centred at `center`,
// searched from 60 to 500 Hz; 0 when there is no clear period.
double MeasurePitch(const std::vector<short>& x, long center, int window = 640);

// Root mean square of x[from, from + length).
double Rms(const std::vector<short>& x, long from, long length);

}  // namespace synthtest
