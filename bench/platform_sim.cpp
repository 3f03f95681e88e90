// Costs of the platform layer that loops pay: an empty pump pass on the simulated machine
// (the clip wait's whole cost per pass) and a profile lookup in a settings file.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/api.h"
#include "platform/profile.h"
#include "platform/sim/SimMachine.h"

namespace {

win::LRESULT Proc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    return win::DefWindowProcA(hwnd, msg, wp, lp);
}

void BM_SimPostAndPump(benchmark::State& state) {
    sim::SimMachine m;
    win::SetBackend(&m);
    win::WNDCLASSA wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "Bench";
    win::RegisterClassA(wc);
    win::HWND hwnd = win::CreateWindowExA(0, "Bench", "", 0, 0, 0, 100, 100, nullptr);
    win::MSG msg;
    for (auto _ : state) {
        win::PostMessageA(hwnd, 0x4E, 0, 0);
        while (win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            win::TranslateMessage(&msg);
            win::DispatchMessageA(&msg);
        }
        win::Sleep(0);  // keeps the empty peeks from counting as a busy loop
    }
    win::SetBackend(nullptr);
}
BENCHMARK(BM_SimPostAndPump);

void BM_ProfileLookup(benchmark::State& state) {
    std::string ini;
    for (int s = 0; s < 10; ++s) {
        ini += "[SECTION" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 20; ++k)
            ini += "Key" + std::to_string(k) + " = value " + std::to_string(k) + "\r\n";
    }
    for (auto _ : state) benchmark::DoNotOptimize(win::FindProfileValue(ini, "section9", "KEY19"));
}
BENCHMARK(BM_ProfileLookup);

}  // namespace
