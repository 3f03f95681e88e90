#include "platform/pcm_convert.h"

namespace win {

void RateConverter::Configure(std::uint32_t fromRate, std::uint32_t toRate) {
    if (fromRate == 0 || toRate == 0) fromRate = toRate = 1;
    step_ = (static_cast<std::uint64_t>(fromRate) << 32) / toRate;
    if (step_ == 0) step_ = 1;
    phase_ = 0;
    prev_ = {};
    cur_ = {};
}

StereoFrame RateConverter::Lerp() const {
    const auto frac = static_cast<std::int64_t>(phase_ >> 16);  // 16-bit fraction
    auto mix = [frac](std::int16_t a, std::int16_t b) {
        return static_cast<std::int16_t>(a + (((b - a) * frac) >> 16));
    };
    return {mix(prev_.left, cur_.left), mix(prev_.right, cur_.right)};
}

std::vector<std::int16_t> ConvertToStereo(const std::uint8_t* data, std::size_t frames, int bits,
                                          int channels, std::uint32_t fromRate,
                                          std::uint32_t toRate) {
    std::vector<std::int16_t> out;
    if (frames == 0 || fromRate == 0 || toRate == 0) return out;
    // The interpolator runs one source frame behind: one more frame lets the last one out.
    const std::uint64_t scaled = (static_cast<std::uint64_t>(frames) + 1) * toRate;
    const auto outFrames = static_cast<std::size_t>((scaled + fromRate - 1) / fromRate);
    out.reserve(outFrames * 2);
    RateConverter conv;
    conv.Configure(fromRate, toRate);
    std::size_t read = 0;
    auto next = [&](StereoFrame& f) {
        if (read >= frames) return false;
        f = ReadFrame(data, read++, bits, channels);
        return true;
    };
    for (std::size_t i = 0; i < outFrames; ++i) {
        const StereoFrame f = conv.Step(next);
        out.push_back(f.left);
        out.push_back(f.right);
    }
    return out;
}

}  // namespace win
