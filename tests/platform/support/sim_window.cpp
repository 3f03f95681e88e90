#include "tests/platform/support/sim_window.h"

#include <algorithm>

#include "platform/api.h"

namespace simtest {

namespace {
TestWindow* current = nullptr;

win::LRESULT Proc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (current != nullptr && (current->hwnd == hwnd || current->hwnd == nullptr)) {
        current->got.push_back(Got{msg, wp, lp, win::GetKeyState(win::VK_CONTROL) < 0,
                                   win::GetKeyState(win::VK_MENU) < 0,
                                   win::GetKeyState(win::VK_SHIFT) < 0});
        if (current->handler) {
            win::LRESULT r = current->handler(msg, wp, lp);
            if (r != -2) return r;
        }
    }
    return win::DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

TestWindow::TestWindow(sim::SimMachine& m) : machine(m) {
    current = this;
    win::SetBackend(&m);
    win::WNDCLASSA wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "SimTest";
    win::RegisterClassA(wc);
    hwnd = win::CreateWindowExA(0, "SimTest", "test", win::WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                nullptr);
    win::ShowWindow(hwnd, win::SW_SHOW);
}

TestWindow::~TestWindow() {
    current = nullptr;
}

std::vector<Got> TestWindow::Of(std::initializer_list<win::UINT> numbers) const {
    std::vector<Got> out;
    for (const Got& g : got)
        if (std::find(numbers.begin(), numbers.end(), g.msg) != numbers.end()) out.push_back(g);
    return out;
}

void TestWindow::Pump() {
    win::MSG msg;
    while (win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
        win::TranslateMessage(&msg);
        win::DispatchMessageA(&msg);
    }
}

}  // namespace simtest
