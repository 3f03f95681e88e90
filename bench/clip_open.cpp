// Time to open a clip (load it paused and wait until mpv has it) and close it again, on a
// generated 3-second 1024x768 H.264/AAC clip, with no picture sink and no sound device.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/linux/LinuxClips.h"

namespace {

void BM_ClipOpen(benchmark::State& state) {
    const std::string path = "/tmp/bench_clip_open.mp4";
    const std::string make =
        "ffmpeg -y -loglevel error -f lavfi -i color=c=blue:s=1024x768:d=3:r=15 -f lavfi "
        "-i sine=d=3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest " +
        path + " </dev/null";
    if (std::system(make.c_str()) != 0) {
        state.SkipWithError("ffmpeg could not make the clip");
        return;
    }
    win::LinuxClips::Options options;
    options.audioOutput = "null";
    win::LinuxClips clips([](win::HWND, win::UINT, win::WPARAM, win::LPARAM) {}, nullptr, nullptr,
                          options);
    const std::string open = "open \"" + path + "\" type mpegVideo alias pipoco";
    for (auto _ : state) {
        if (clips.mciSendStringA(open.c_str(), nullptr, 0, nullptr) != 0) {
            state.SkipWithError("open failed");
            return;
        }
        state.PauseTiming();
        clips.mciSendStringA("close pipoco", nullptr, 0, nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClipOpen)->Unit(benchmark::kMillisecond)->Iterations(15)->UseRealTime();

}  // namespace
