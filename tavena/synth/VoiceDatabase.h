// A diphone voice in our own binary format (VOICE_FORMAT.md): phoneme names, diphone units
// with their pitch marks, and the samples. Loading checks every count, offset and length
// against the file's size before trusting it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace synth {

// Bit 31 of a stored pitch mark: the mark is a voiced period (an epoch).
constexpr uint32_t kVoicedMark = 0x80000000u;

struct DiphoneUnit {
    uint16_t left = 0;
    uint16_t right = 0;
    uint32_t firstSample = 0;
    uint32_t sampleCount = 0;
    uint32_t boundary = 0;  // samples from the unit's start to the border of its phonemes
    uint32_t firstMark = 0;
    uint32_t markCount = 0;
};

class VoiceDatabase {
  public:
    // Replaces the voice with the file's bytes; on failure the voice is empty and
    // `error` says why.
    bool Load(std::string_view bytes, std::string& error);
    bool LoadFile(const std::string& path, std::string& error);
    void Clear();

    bool Loaded() const { return rate_ != 0; }
    uint32_t Rate() const { return rate_; }
    int PhonemeCount() const { return static_cast<int>(names_.size()); }
    int DiphoneCount() const { return static_cast<int>(units_.size()); }
    const std::string& PhonemeName(int index) const { return names_[index]; }

    // The phoneme's index, or -1 when the voice does not have it (names are case-sensitive).
    int FindPhoneme(std::string_view name) const;
    // The unit joining two phonemes, or null when the voice lacks the pair.
    const DiphoneUnit* Find(int left, int right) const;

    const int16_t* Samples(const DiphoneUnit& unit) const {
        return samples_.data() + unit.firstSample;
    }
    const uint32_t* Marks(const DiphoneUnit& unit) const { return marks_.data() + unit.firstMark; }

  private:
    uint32_t rate_ = 0;
    std::vector<std::string> names_;
    std::vector<DiphoneUnit> units_;
    std::vector<int32_t> pairs_;  // P x P unit indices, -1 where the pair is missing
    std::vector<uint32_t> marks_;
    std::vector<int16_t> samples_;
};

}  // namespace synth
