// A whole process on a fresh simulated machine for tests of the wave output and the
// speech that goes through it, with helpers that build WAV files and images.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace wavtest {

void Put16(std::string& s, std::uint16_t v);
void Put32(std::string& s, std::uint32_t v);

// A chunk: id, 32-bit size (the body's unless `claimed` is given), body.
std::string Chunk(std::string_view id, const std::string& body,
                  std::optional<std::uint32_t> claimed = std::nullopt);
// The 16-byte PCM format body.
std::string FormatBody(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels);
// "RIFF" + size + "WAVE" + the chunks (size = 4 + their length unless given).
std::string Riff(const std::string& chunks, std::optional<std::uint32_t> claimed = std::nullopt);
// A canonical file: format chunk then data chunk.
std::string Wav(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels,
                const std::string& data);
// `n` bytes counting up from `first` (wrapping), so every block is recognisable.
std::string Ramp(std::size_t n, std::uint8_t first = 0);

class WavHarness {
  public:
    // The machine is the back end; the process is started with `ini` as Sonara.ini in
    // the Windows directory.
    explicit WavHarness(const std::string& ini = "");
    ~WavHarness();

    void Key(std::string_view name, std::uint32_t at);
    // The blocks written so far, and their transcript details ("256 11025/8/1").
    std::vector<std::string> Blocks() const;
    std::vector<std::string> WaveLines() const;
    // Index in the event list of the first event of `kind` (or of "wave" with detail).
    int EventIndex(std::string_view kind, std::size_t from = 0) const;
    // Finishes what is queued: waits while the wave output plays.
    void Drain();

    sim::SimMachine machine;
    std::unique_ptr<sonara::Process> process;
};

}  // namespace wavtest
