// Simulation scripts from arbitrary bytes: loading never crashes, and running what was
// loaded ends with SimStopped once all input is delivered.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

win::LRESULT Proc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    return win::DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)sim::ParseKeySpec(text.substr(0, 12));

    sim::SimMachine m;
    win::SetBackend(&m);
    win::WNDCLASSA wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "Fuzz";
    win::RegisterClassA(wc);
    win::HWND hwnd = win::CreateWindowExA(0, "Fuzz", "fuzz", 0, 0, 0, 200, 100, nullptr);
    win::ShowWindow(hwnd, win::SW_SHOW);

    auto error = m.LoadScript(
        text, [](std::string_view line, std::uint32_t) { return !line.empty() && line[0] == 'x'; });
    (void)error;
    win::MSG msg;
    try {
        for (int rounds = 0; rounds < 100000; ++rounds) {
            win::WaitMessage();
            while (win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
                win::TranslateMessage(&msg);
                win::DispatchMessageA(&msg);
            }
        }
        std::abort();  // the input ran out long ago: WaitMessage must have stopped
    } catch (const sim::SimStopped&) {
    }
    if (m.InputPending()) std::abort();
    win::SetBackend(nullptr);
    return 0;
}
