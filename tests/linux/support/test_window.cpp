#include "tests/linux/support/test_window.h"

#include <SDL.h>

namespace linux_test {

namespace {
TestWindows* g_current = nullptr;  // the procedure below is a plain function pointer
}

TestWindows::TestWindows() : backend_(std::make_unique<win::LinuxBackend>()) {
    win::SetBackend(backend_.get());
    g_current = this;
    win::WNDCLASSA wc;
    wc.lpfnWndProc = &TestWindows::Proc;
    wc.hbrBackground = backend_->GetStockObject(win::BLACK_BRUSH);
    wc.lpszClassName = "SonaraTest";
    backend_->RegisterClassA(wc);
}

TestWindows::~TestWindows() {
    backend_.reset();
    win::SetBackend(nullptr);
    g_current = nullptr;
}

win::LRESULT TestWindows::Proc(win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
    TestWindows* self = g_current;
    Received r{h, m, w, l};
    self->received_.push_back(r);
    win::LRESULT result = 0;
    if (self->handler && self->handler(r, &result)) return result;
    return win::DefWindowProcA(h, m, w, l);
}

win::HWND TestWindows::Open(int width, int height, const char* title) {
    win::HWND h =
        backend_->CreateWindowExA(0, "SonaraTest", title, win::WS_OVERLAPPEDWINDOW,
                                  win::CW_USEDEFAULT, win::CW_USEDEFAULT, width, height, nullptr);
    if (!h) return nullptr;
    backend_->ShowWindow(h, win::SW_SHOW);
    backend_->UpdateWindow(h);
    Pump();
    return h;
}

void TestWindows::Pump() {
    win::MSG m;
    while (backend_->PeekMessageA(&m, nullptr, 0, 0, win::PM_REMOVE)) {
        if (m.message == win::WM_QUIT) return;
        backend_->TranslateMessage(&m);
        backend_->DispatchMessageA(&m);
    }
}

bool TestWindows::PumpUntil(const std::function<bool()>& done, int ms) {
    const Uint32 end = SDL_GetTicks() + static_cast<Uint32>(ms);
    for (;;) {
        Pump();
        if (done()) return true;
        if (SDL_TICKS_PASSED(SDL_GetTicks(), end)) return false;
        SDL_Delay(5);
    }
}

std::vector<Received> TestWindows::Of(win::UINT message) const {
    std::vector<Received> out;
    for (const Received& r : received_) {
        if (r.message == message) out.push_back(r);
    }
    return out;
}

}  // namespace linux_test
