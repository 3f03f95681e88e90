// The simulated machine and the Linux back end behave alike, as Windows does, where the
// two were seen to differ: the caret's hide count, Alt+F4's close, MCI alias case,
// "close ... notify" and "play ... wait". Every case runs on both back ends.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/sim/SimMachine.h"

namespace {

using namespace win;

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen>* g_seen = nullptr;

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (g_seen) g_seen->push_back({m, w, l});
    return DefWindowProcA(h, m, w, l);
}

// One back end, current while the fixture lives, with a shown window.
class BothBackEnds : public ::testing::TestWithParam<bool /* linux */> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            linux_ = std::make_unique<LinuxBackend>();
            backend_ = linux_.get();
        } else {
            sim_ = std::make_unique<sim::SimMachine>();
            backend_ = sim_.get();
        }
        SetBackend(backend_);
        g_seen = &seen;
        WNDCLASSA wc;
        wc.lpfnWndProc = &Proc;
        wc.hbrBackground = GetStockObject(BLACK_BRUSH);
        wc.lpszClassName = "Agree";
        RegisterClassA(wc);
        hwnd = CreateWindowExA(0, "Agree", "agree", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 200, 100, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOW);
        Pump();
        seen.clear();
    }
    void TearDown() override {
        g_seen = nullptr;
        SetBackend(nullptr);
    }
    void Pump() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    // Pumps until `done` holds; the simulator's time passes by waiting, the real one's by
    // sleeping. The limit only ends a failing test.
    bool PumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            Pump();
            if (done()) break;
            if (sim_) {
                try {
                    WaitMessage();
                } catch (const sim::SimStopped&) {
                    return done();
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        return done();
    }
    std::vector<Seen> Of(UINT message) const {
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (s.message == message) out.push_back(s);
        return out;
    }
    bool CaretShown() { return sim_ ? sim_->Caret().visible : linux_->CaretShown(); }
    // A clip file both back ends can open: the generated pack's on Linux.
    std::string ClipPath() {
        if (sim_) {
            sim_->AddFile("c:\\clips\\A.mp4", "clip");
            return "c:\\clips\\A.mp4";
        }
        return std::string(SONARA_MEDIA_DIR) + "/A.mp4";
    }
    bool IsWindow(HWND h) {
        return sim_ ? GetClientRect(h, &scratch_) != 0 : linux_->WindowExists(h);
    }

    std::unique_ptr<sim::SimMachine> sim_;
    std::unique_ptr<LinuxBackend> linux_;
    Backend* backend_ = nullptr;
    std::vector<Seen> seen;
    HWND hwnd = nullptr;
    RECT scratch_{};
};

TEST_P(BothBackEnds, ShowCaretAndHideCaretCount) {
    ASSERT_TRUE(CreateCaret(hwnd, nullptr, 2, 10));
    EXPECT_FALSE(CaretShown());  // created hidden
    ShowCaret(hwnd);
    EXPECT_TRUE(CaretShown());
    HideCaret(hwnd);
    HideCaret(hwnd);
    ShowCaret(hwnd);
    EXPECT_FALSE(CaretShown());  // hidden twice, shown once
    ShowCaret(hwnd);
    EXPECT_TRUE(CaretShown());
    DestroyCaret();
}

TEST_P(BothBackEnds, AltF4PostsTheCloseAfterTheKey) {
    SendMessageA(hwnd, WM_SYSKEYDOWN, VK_F1 + 3, KF_ALTDOWN_LPARAM);
    EXPECT_TRUE(IsWindow(hwnd)) << "closed inside the key's own handling";
    EXPECT_TRUE(Of(WM_CLOSE).empty());
    ASSERT_TRUE(PumpUntil([&] { return !Of(WM_DESTROY).empty(); }));
    ASSERT_FALSE(Of(WM_SYSCOMMAND).empty());
    EXPECT_EQ(Of(WM_SYSCOMMAND)[0].wParam & 0xFFF0, WPARAM{SC_CLOSE});
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_P(BothBackEnds, ClipAliasesFoldAccentedLettersAndCloseNotifyAnswers) {
    if (GetParam() && !SONARA_MEDIA_ON) GTEST_SKIP() << "no media pack to open";
    const std::string open = "open \"" + ClipPath() + "\" type mpegVideo alias A\xE7\xE3o";
    ASSERT_EQ(mciSendStringA(open.c_str(), nullptr, 0, hwnd), 0u);
    EXPECT_EQ(mciSendStringA("play A\xC7\xC3O notify", nullptr, 0, hwnd), 0u);
    EXPECT_EQ(mciSendStringA("close a\xE7\xE3o notify", nullptr, 0, hwnd), 0u);
    ASSERT_TRUE(PumpUntil([&] { return Of(MM_MCINOTIFY).size() >= 2; }));
    const auto notes = Of(MM_MCINOTIFY);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].wParam, WPARAM{MCI_NOTIFY_ABORTED});     // the play
    EXPECT_EQ(notes[1].wParam, WPARAM{MCI_NOTIFY_SUCCESSFUL});  // the close
}

TEST_P(BothBackEnds, PlayWaitReturnsWhenTheClipHasEnded) {
    if (GetParam() && !SONARA_MEDIA_ON) GTEST_SKIP() << "no media pack to open";
    const std::string open = "open \"" + ClipPath() + "\" type mpegVideo alias w";
    ASSERT_EQ(mciSendStringA(open.c_str(), nullptr, 0, hwnd), 0u);
    const DWORD before = GetTickCount();
    EXPECT_EQ(mciSendStringA("play w wait", nullptr, 0, hwnd), 0u);
    EXPECT_GT(GetTickCount(), before);  // the clip's time went by inside the call
    EXPECT_EQ(mciSendStringA("close w", nullptr, 0, hwnd), 0u);
}

INSTANTIATE_TEST_SUITE_P(Agree, BothBackEnds, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Linux" : "Simulated"; });

}  // namespace
