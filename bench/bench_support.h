// Pieces the speech benchmarks share.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/sim/SimMachine.h"

namespace bench_support {

using Clock = std::chrono::steady_clock;

// The simulated machine, noting the real time of the first block written after Arm().
class TimedSim : public sim::SimMachine {
  public:
    void Arm() { first_.reset(); }
    std::optional<Clock::time_point> First() const { return first_; }
    win::MMRESULT waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) override {
        if (!first_) first_ = Clock::now();
        return SimMachine::waveOutWrite(wo, hdr, size);
    }

  private:
    std::optional<Clock::time_point> first_;
};

// An 11025 Hz 8-bit mono recording of `samples` quiet samples, as a WAV file's bytes.
inline std::string Recording(std::size_t samples) {
    auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    return "RIFF" + le(static_cast<std::uint32_t>(36 + samples), 4) + "WAVEfmt " + le(16, 4) +
           le(1, 2) + le(1, 2) + le(11025, 4) + le(11025, 4) + le(1, 2) + le(8, 2) + "data" +
           le(static_cast<std::uint32_t>(samples), 4) + std::string(samples, '\x90');
}

}  // namespace bench_support
