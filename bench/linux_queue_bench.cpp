// The message queue of the Linux back end, with a real window (an X display when there is
// one: run under xvfb-run for the figures that matter).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"

namespace {

using namespace win;

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return win::DefWindowProcA(h, m, w, l);
}

struct Window {
    Window() {
        SetBackend(&backend);
        WNDCLASSA wc;
        wc.lpfnWndProc = &Proc;
        wc.lpszClassName = "BenchWin";
        backend.RegisterClassA(wc);
        hwnd = backend.CreateWindowExA(0, "BenchWin", "bench", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                       CW_USEDEFAULT, 800, 475, nullptr);
        backend.ShowWindow(hwnd, SW_SHOW);
        Drain();
    }
    ~Window() { SetBackend(nullptr); }
    void Drain() {
        MSG m;
        while (backend.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) backend.DispatchMessageA(&m);
    }
    LinuxBackend backend;
    HWND hwnd = nullptr;
};

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// What KeyPressed costs when nothing is queued: one PeekMessage that finds nothing.
void BM_PeekEmptyQueue(benchmark::State& state) {
    Window w;
    MSG m;
    for (auto _ : state) {
        benchmark::DoNotOptimize(w.backend.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    }
    state.SetLabel(w.backend.HasDisplay() ? "display" : "off-screen");
}
BENCHMARK(BM_PeekEmptyQueue);

// From PostMessage on another thread to WaitMessage returning on the GUI thread.
void BM_WaitMessageWakeUp(benchmark::State& state) {
    Window w;
    std::atomic<std::chrono::steady_clock::time_point> posted{};
    std::atomic<bool> go{false}, quit{false};
    std::thread poster([&] {
        while (!quit) {
            if (!go.exchange(false)) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));  // let the GUI block
            posted = std::chrono::steady_clock::now();
            w.backend.PostMessageA(w.hwnd, WM_USER, 0, 0);
        }
    });
    for (auto _ : state) {
        go = true;
        w.backend.WaitMessage();
        const auto woke = std::chrono::steady_clock::now();
        MSG m;
        while (!w.backend.PeekMessageA(&m, w.hwnd, WM_USER, WM_USER, PM_REMOVE)) {
            w.backend.WaitMessage();  // an unrelated event woke us first
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::max(woke, posted.load()) - posted.load()).count());
    }
    quit = true;
    poster.join();
    state.SetLabel(w.backend.HasDisplay() ? "display" : "off-screen");
}
BENCHMARK(BM_WaitMessageWakeUp)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);

// Process CPU time spent while the GUI thread waits one second in WaitMessage.
void BM_CpuWhileBlocked(benchmark::State& state) {
    Window w;
    double cpu = 0;
    for (auto _ : state) {
        std::thread poster([&] {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            w.backend.PostMessageA(w.hwnd, WM_USER, 0, 0);
        });
        const double start = CpuSeconds();
        MSG m;
        while (!w.backend.PeekMessageA(&m, w.hwnd, WM_USER, WM_USER, PM_REMOVE)) {
            w.backend.WaitMessage();
        }
        cpu += CpuSeconds() - start;
        poster.join();
    }
    state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / static_cast<double>(state.iterations());
    state.SetLabel(w.backend.HasDisplay() ? "display" : "off-screen");
}
BENCHMARK(BM_CpuWhileBlocked)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
