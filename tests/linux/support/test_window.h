// A back end and a tiny window procedure that records what it receives, for the Linux
// back-end tests.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"

namespace linux_test {

struct Received {
    win::HWND hwnd;
    win::UINT message;
    win::WPARAM wParam;
    win::LPARAM lParam;
};

class TestWindows {
  public:
    TestWindows();
    ~TestWindows();

    win::LinuxBackend& backend() { return *backend_; }
    // A shown window of the given client size, its first paint done and messages drained.
    win::HWND Open(int width, int height, const char* title = "sonara test");
    // Dispatches every queued message (PeekMessage, TranslateMessage, DispatchMessage).
    void Pump();
    // Pumps until `done` holds or `ms` pass; true when it held.
    bool PumpUntil(const std::function<bool()>& done, int ms = 3000);
    // Received messages with this number.
    std::vector<Received> Of(win::UINT message) const;
    void Forget() { received_.clear(); }

    // Called for every message before the default handling; return true to stop there.
    std::function<bool(const Received&, win::LRESULT*)> handler;
    std::vector<Received> received_;

  private:
    static win::LRESULT Proc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);
    std::unique_ptr<win::LinuxBackend> backend_;
};

}  // namespace linux_test
