// Speech on the Linux back end under SDL's dummy audio driver (real time, no sound card):
//  - Speak call to the first block handed to the device (goal: first sample consumed
//    within 5 ms; the device then takes it within one mixing period, 11.6 ms at most);
//  - a key typed during speech to waveOutReset (goal: at most 15 ms);
//  - CPU of the whole process, SDL's threads included, while a long utterance plays
//    (goal: at most 2 % of a core).
// The data are made in a temporary data root: character recordings, no rules.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "bench/bench_support.h"
#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"

namespace {

using bench_support::Clock;
using bench_support::Recording;

class TimedLinux : public win::LinuxBackend {
  public:
    TimedLinux() : LinuxBackend(true) {}
    void Arm() {
        first_write_.reset();
        reset_.reset();
    }
    std::optional<Clock::time_point> firstWrite() const { return first_write_; }
    std::optional<Clock::time_point> reset() const { return reset_; }
    win::MMRESULT waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) override {
        if (!first_write_) first_write_ = Clock::now();
        return LinuxBackend::waveOutWrite(wo, hdr, size);
    }
    win::MMRESULT waveOutReset(win::HWAVEOUT wo) override {
        if (!reset_) reset_ = Clock::now();
        return LinuxBackend::waveOutReset(wo);
    }

  private:
    std::optional<Clock::time_point> first_write_;
    std::optional<Clock::time_point> reset_;
};

// A data root with the letters, an empty database and rules, and Sonara.ini.
std::filesystem::path MakeRoot() {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("sonara-bench-speech-" + std::to_string(getpid()));
    fs::create_directories(root / "letras");
    fs::create_directories(root / "difones");
    fs::create_directories(root / "windows");
    for (int c = 0; c < 256; ++c)
        std::ofstream(root / "letras" / ("_" + std::to_string(c) + ".wav"), std::ios::binary)
            << Recording(1100);
    for (const char* name : {"DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc"})
        std::ofstream(root / "difones" / name, std::ios::binary);
    std::ofstream(root / "windows" / "Sonara.ini")
        << "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\n";
    setenv("SONARA_DRIVE_C", root.c_str(), 1);
    setenv("SONARA_WINDIR", (root / "windows").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return root;
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct World {
    World() : root(MakeRoot()) {
        backend = std::make_unique<TimedLinux>();
        win::SetBackend(backend.get());
        process = std::make_unique<sonara::Process>();
        sonara::StartSpeech(1, "");
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    ~World() {
        sonara::EndSpeech();
        process.reset();
        win::SetBackend(nullptr);
        backend.reset();
        std::filesystem::remove_all(root);
    }
    std::filesystem::path root;
    std::unique_ptr<TimedLinux> backend;
    std::unique_ptr<sonara::Process> process;
};

void BM_SpeakToFirstBlockLinux(benchmark::State& state) {
    World world;
    sonara::Speak("a");  // the first use opens the device: not what is measured
    for (auto _ : state) {
        world.backend->Arm();
        const auto start = Clock::now();
        sonara::Speak("a");
        auto first = world.backend->firstWrite();
        if (!first) {
            state.SkipWithError("nothing was played");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*first - start).count());
    }
}
BENCHMARK(BM_SpeakToFirstBlockLinux)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void BM_KeyToReset(benchmark::State& state) {
    World world;
    win::HWND console = nullptr;
    for (auto _ : state) {
        world.backend->Arm();
        sonara::InitConsole();
        console = sonara::ConsoleWindow();
        Clock::time_point typed;
        std::thread typist([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            typed = Clock::now();
            win::PostMessageA(console, win::WM_CHAR, 'q', 0);
        });
        sonara::Speak("abcdefghijklmnopqrstuvwxyz");
        typist.join();
        sonara::FlushKeys();
        auto reset = world.backend->reset();
        if (!reset) {
            state.SkipWithError("no reset");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*reset - typed).count());
    }
}
BENCHMARK(BM_KeyToReset)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_CpuWhilePlaying(benchmark::State& state) {
    World world;
    double percent = 0;
    for (auto _ : state) {
        const double cpu0 = CpuSeconds();
        const auto wall0 = Clock::now();
        sonara::Speak("1234567 abcdefghijklmnopqrstuvwxyz");  // about 3.4 s of sound
        const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
        percent = 100.0 * (CpuSeconds() - cpu0) / wall;
    }
    state.counters["cpu_percent"] = percent;
}
BENCHMARK(BM_CpuWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

namespace {

// The floor under the last one: the same process waiting in WaitMessage for 3 s with
// nothing playing, woken once by another thread.
void BM_CpuWhileWaiting(benchmark::State& state) {
    World world;
    double percent = 0;
    sonara::InitConsole();
    win::HWND console = sonara::ConsoleWindow();
    for (auto _ : state) {
        const double cpu0 = CpuSeconds();
        const auto wall0 = Clock::now();
        std::thread waker([&] {
            std::this_thread::sleep_for(std::chrono::seconds(3));
            win::PostMessageA(console, win::WM_CHAR, 'q', 0);
        });
        while (!sonara::KeyPressed()) win::WaitMessage();
        waker.join();
        sonara::FlushKeys();
        const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
        percent = 100.0 * (CpuSeconds() - cpu0) / wall;
    }
    state.counters["cpu_percent"] = percent;
}
BENCHMARK(BM_CpuWhileWaiting)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
