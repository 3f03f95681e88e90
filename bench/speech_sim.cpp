// Speak on the simulated machine: CPU time from the call to the first block handed to
// the wave-out device, for a sentence of ten words (goal: at most 1 ms). The data are
// made here: character recordings and no rules, so each word is spelled from recordings,
// the most file work per word the built-in path does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"

namespace {

using Clock = std::chrono::steady_clock;

// Notes the real time of the first block written after Arm().
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

std::string Recording(std::size_t samples) {
    auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    return "RIFF" + le(static_cast<std::uint32_t>(36 + samples), 4) + "WAVEfmt " + le(16, 4) +
           le(1, 2) + le(1, 2) + le(11025, 4) + le(11025, 4) + le(1, 2) + le(8, 2) + "data" +
           le(static_cast<std::uint32_t>(samples), 4) + std::string(samples, '\x90');
}

void BM_SpeakToFirstBlock(benchmark::State& state) {
    TimedSim machine;
    win::SetBackend(&machine);
    machine.AddFile("c:\\windows\\Sonara.ini",
                    "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\n");
    for (int c = 0; c < 256; ++c)
        machine.AddFile("c:\\letras\\_" + std::to_string(c) + ".wav", Recording(1500));
    for (const char* name : {"DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc"})
        machine.AddFile(std::string("c:\\difones\\") + name, "");
    auto process = std::make_unique<sonara::Process>();
    sonara::StartSpeech(1, "");
    const std::string sentence = "o menino abre a caixa e acha todas as letras do alfabeto";
    for (auto _ : state) {
        machine.Arm();
        machine.ClearRecords();
        const auto start = Clock::now();
        sonara::Speak(sentence);
        auto first = machine.First();
        if (!first) {
            state.SkipWithError("nothing was played");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*first - start).count());
    }
    sonara::EndSpeech();
    process.reset();
    win::SetBackend(nullptr);
}
BENCHMARK(BM_SpeakToFirstBlock)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
