// A test window on the simulated machine whose procedure logs every message it gets.
#pragma once

#include <functional>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace simtest {

struct Got {
    win::UINT msg;
    win::WPARAM wp;
    win::LPARAM lp;
    bool ctrl, alt, shift;  // GetKeyState at dispatch
};

// One per test: registers the class "SimTest", creates and shows the window.
struct TestWindow {
    explicit TestWindow(sim::SimMachine& m);
    ~TestWindow();
    // The messages of these numbers, in order.
    std::vector<Got> Of(std::initializer_list<win::UINT> numbers) const;
    // PeekMessage(PM_REMOVE) + Translate + Dispatch until the queue is empty.
    void Pump();

    sim::SimMachine& machine;
    win::HWND hwnd = nullptr;
    std::vector<Got> got;
    std::function<win::LRESULT(win::UINT, win::WPARAM, win::LPARAM)> handler;  // optional
};

}  // namespace simtest
