// Sample conversion for the sound mixer: PCM frames of 8-bit unsigned or 16-bit signed
// little-endian samples, mono or stereo, read as 16-bit stereo, and a linear-interpolating
// rate converter whose state carries over from one block to the next. No allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace win {

struct StereoFrame {
    std::int16_t left = 0;
    std::int16_t right = 0;
};

// Frame `index` of packed PCM (bits 8 or 16, channels 1 or 2).
inline StereoFrame ReadFrame(const std::uint8_t* data, std::size_t index, int bits, int channels) {
    auto sample = [&](std::size_t i) -> std::int16_t {
        if (bits == 8) return static_cast<std::int16_t>((data[i] - 128) * 256);
        const auto lo = static_cast<std::uint16_t>(data[2 * i]);
        const auto hi = static_cast<std::uint16_t>(data[2 * i + 1]);
        return static_cast<std::int16_t>(lo | (hi << 8));
    };
    if (channels == 1) {
        const std::int16_t s = sample(index);
        return {s, s};
    }
    return {sample(2 * index), sample(2 * index + 1)};
}

class RateConverter {
  public:
    RateConverter() { Configure(1, 1); }
    // Sets the rates and starts from silence.
    void Configure(std::uint32_t fromRate, std::uint32_t toRate);

    // The next output frame. `next(StereoFrame&)` supplies source frames and returns false
    // when none is available, which counts as a frame of silence.
    template <typename Next>
    StereoFrame Step(Next&& next) {
        phase_ += step_;
        while (phase_ >= kOne) {
            phase_ -= kOne;
            prev_ = cur_;
            if (!next(cur_)) cur_ = {};
        }
        return Lerp();
    }

  private:
    static constexpr std::uint64_t kOne = std::uint64_t{1} << 32;
    StereoFrame Lerp() const;

    std::uint64_t step_ = kOne;
    std::uint64_t phase_ = 0;
    StereoFrame prev_;
    StereoFrame cur_;
};

// A whole buffer converted at once (sound cues): interleaved 16-bit stereo at `toRate`.
std::vector<std::int16_t> ConvertToStereo(const std::uint8_t* data, std::size_t frames, int bits,
                                          int channels, std::uint32_t fromRate,
                                          std::uint32_t toRate);

}  // namespace win
