// CPU used while one real clip plays on the Linux back end: the clip player's wait, which
// blocks in WaitMessage between key checks, against the same wait written as a busy
// loop of KeyPressed calls. Reports process CPU time (every thread, the player's
// decoder included) per second of clip.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "console/TfCrt.h"
#include "game/MediaPlayer.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"

namespace {

void PlayOneClip(benchmark::State& state, bool busy) {
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        sonara::RunProgram([&] {
            sonara::ClearScreen();
            sonara::MediaPlayer player;
            std::clock_t c0 = std::clock();
            auto t0 = std::chrono::steady_clock::now();
            // The host path: the back end's clip player is handed it directly.
            const std::string clip = std::string("\"") + SONARA_BENCH_CLIP + "\"";
            player.CloseClip();
            player.OpenQuoted(clip);
            if (busy) {
                while (player.ClipPlaying()) {
                    if (sonara::KeyPressed()) sonara::ReadKey();
                }
            } else {
                player.WaitClipEnd();
            }
            cpu += double(std::clock() - c0) / CLOCKS_PER_SEC;
            wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            player.CloseClip();
        });
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["wall_s"] = benchmark::Counter(wall, benchmark::Counter::kAvgIterations);
    state.counters["cpu_share"] = wall > 0 ? cpu / wall : 0;
    win::SetBackend(nullptr);
}

void BM_ClipWaitBlocking(benchmark::State& state) {
    PlayOneClip(state, false);
}
void BM_ClipWaitBusyLoop(benchmark::State& state) {
    PlayOneClip(state, true);
}

BENCHMARK(BM_ClipWaitBlocking)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ClipWaitBusyLoop)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
