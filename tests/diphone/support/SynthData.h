// Small data for the synthesizer's tests, made in the test: diphone databases, character
// recordings, and a player that keeps every image it is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "diphone/DiphoneSynth.h"

namespace sonara::testdata {

inline std::string Le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// A canonical 11025 Hz 8-bit mono WAV file holding `samples`.
inline std::string Wav(const std::string& samples) {
    return "RIFF" + Le(static_cast<std::uint32_t>(36 + samples.size()), 4) + "WAVEfmt " +
           Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(11025, 4) + Le(11025, 4) + Le(1, 2) + Le(8, 2) +
           "data" + Le(static_cast<std::uint32_t>(samples.size()), 4) + samples;
}

// Samples that show where they came from: `first`, first + 1, ... (mod 256).
inline std::string Ramp(std::size_t n, int first) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((first + i) & 0xFF);
    return s;
}

struct Diphone {
    std::string name;  // as stored in the index (upper case)
    std::string samples;
};

struct Database {
    std::string index;
    std::string data;
};

// Index entries in the given order, samples laid out one after another.
inline Database MakeDatabase(const std::vector<Diphone>& diphones) {
    Database db;
    for (const Diphone& d : diphones) {
        std::string name = d.name;
        name.resize(8, '\0');
        db.index += static_cast<char>(d.name.size()) + name +
                    Le(static_cast<std::uint32_t>(d.samples.size()), 2) +
                    Le(static_cast<std::uint32_t>(db.data.size()), 4);
        db.data += d.samples;
    }
    return db;
}

// Keeps a copy of every image (header and samples) it is asked to play.
class RecordingPlayer : public SpeechPlayer {
  public:
    void PlayImageAndWait(const std::uint8_t* image) override {
        const std::uint32_t size = image[40] | (image[41] << 8) | (image[42] << 16) |
                                   (static_cast<std::uint32_t>(image[43]) << 24);
        images.emplace_back(reinterpret_cast<const char*>(image), 44 + size);
    }
    bool IsSpeaking() override { return false; }

    // The samples of image i.
    std::string Samples(std::size_t i) const { return images.at(i).substr(44); }
    std::string AllSamples() const {
        std::string all;
        for (std::size_t i = 0; i < images.size(); ++i) all += Samples(i);
        return all;
    }
    std::vector<std::string> images;
};

}  // namespace sonara::testdata
