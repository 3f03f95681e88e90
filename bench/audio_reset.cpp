// Time from waveOutReset to silence on SDL's dummy driver, which consumes at real time as a
// sound card does: the reset itself (every block returned), and until the mixer has
// produced its first period without the reset voice. The device's own buffer adds at most
// one more period (11.6 ms at 512 frames / 44.1 kHz).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/linux/LinuxAudio.h"

namespace {

void BM_ResetToSilence(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    win::LinuxAudio audio([](win::HWND, win::UINT, win::WPARAM, win::LPARAM) {});
    win::WAVEFORMATEX f;  // 11025 Hz, 8-bit mono
    win::HWAVEOUT wo = nullptr;
    if (audio.waveOutOpen(&wo, win::WAVE_MAPPER, &f, 0, 0, win::CALLBACK_NULL) != 0) {
        state.SkipWithError("no audio device");
        return;
    }
    std::vector<std::vector<char>> data(16, std::vector<char>(8192, 0x60));
    std::vector<win::WAVEHDR> hdr(16);
    for (auto& h : hdr) audio.waveOutPrepareHeader(wo, &h, sizeof h);
    double resetUs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < hdr.size(); ++i) {
            hdr[i].lpData = data[i].data();
            hdr[i].dwBufferLength = 8192;
            audio.waveOutWrite(wo, &hdr[i], sizeof hdr[i]);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // playing
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        audio.waveOutReset(wo);
        resetUs +=
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        const std::uint64_t mixed = audio.MixedPeriods();
        while (audio.MixedPeriods() < mixed + 1) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
    state.counters["reset_us"] = benchmark::Counter(resetUs / state.iterations());
    audio.waveOutClose(wo);
}
BENCHMARK(BM_ResetToSilence)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace
