// Real X input, sent with xdotool, reaching a window of the back end as Windows' messages.
// Needs an X display (the test script starts Xvfb); skipped without one.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/linux/support/shell.h"
#include "tests/linux/support/test_window.h"
#include "tests/linux/support/x_keyboard.h"

namespace linux_test {
namespace {

using namespace win;

// How long a step may take on a busy machine before the test gives up: only a failing
// test ever waits this long.
constexpr int kPatienceMs = 20000;

struct Dispatched {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool ctrl, shift, alt;  // GetKeyState at dispatch time
};

class XInput : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        if (Shell("xdotool version").empty()) GTEST_SKIP() << "xdotool missing";
        ASSERT_EQ(PrepareXKeyboard(), "");
        ASSERT_TRUE(t.backend().HasDisplay())
            << "video driver: "
            << (SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "none") << " "
            << SDL_GetError();
        t.handler = [this](const Received& r, LRESULT*) {
            auto& b = t.backend();
            seen.push_back(Dispatched{r.message, r.wParam, r.lParam, b.GetKeyState(VK_CONTROL) < 0,
                                      b.GetKeyState(VK_SHIFT) < 0, b.GetKeyState(VK_MENU) < 0});
            return false;
        };
        // The title goes to X as UTF-8.
        title = "sonara teclado \xE7 " + std::to_string(getpid());
        hwnd = t.Open(400, 200, title.c_str());
        ASSERT_NE(hwnd, nullptr);
        const std::string pid = std::to_string(getpid());
        xid = Shell("xdotool search --sync --name 'sonara teclado .* " + pid + "$'");
        ASSERT_FALSE(xid.empty()) << "window not found by its title";
        ASSERT_EQ(xid.find('\n'), std::string::npos);
        EXPECT_EQ(Shell("xdotool getwindowname " + xid), "sonara teclado \xC3\xA7 " + pid);
        Shell("xdotool windowfocus --sync " + xid);
        ASSERT_TRUE(t.PumpUntil([&] { return !t.Of(WM_SETFOCUS).empty(); }, kPatienceMs))
            << "no WM_SETFOCUS";
        EXPECT_EQ(t.backend().GetForegroundWindow(), hwnd);
        seen.clear();
    }

    // Sends the xdotool arguments and pumps until `count` messages of `message` arrived and
    // every key pressed is released again. The time limit only ends a failing test.
    std::vector<Dispatched> Send(const std::string& args, UINT message, std::size_t count = 1) {
        seen.clear();
        std::atomic<bool> finished{false};
        std::thread xdotool([&] {
            Shell("xdotool " + args);
            finished = true;
        });
        auto matching = [&] {
            std::vector<Dispatched> out;
            for (const Dispatched& d : seen)
                if (d.message == message) out.push_back(d);
            return out;
        };
        auto released = [&] {
            int balance = 0;
            for (const Dispatched& d : seen) {
                if (d.message == WM_KEYDOWN || d.message == WM_SYSKEYDOWN) ++balance;
                if (d.message == WM_KEYUP || d.message == WM_SYSKEYUP) --balance;
            }
            // A destroyed window gets no more ups.
            return balance <= 0 || !t.backend().WindowExists(hwnd);
        };
        t.PumpUntil([&] { return finished && matching().size() >= count && released(); },
                    kPatienceMs);
        xdotool.join();
        return matching();
    }

    TestWindows t;
    std::vector<Dispatched> seen;
    std::string title;
    std::string xid;
    HWND hwnd = nullptr;
};

TEST_F(XInput, LettersAndAccentedTextBecomeCharacters) {
    auto chars = Send("key a", WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, WPARAM{'a'});
    auto downs = std::count_if(seen.begin(), seen.end(), [](const Dispatched& d) {
        return d.message == WM_KEYDOWN && d.wParam == 'A';
    });
    EXPECT_EQ(downs, 1);

    chars = Send("key shift+b", WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, WPARAM{'B'});

    chars = Send("type --delay 250 '\xC3\xA7'", WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, WPARAM{231});
}

TEST_F(XInput, SpecialKeysCarryTheirModifiers) {
    auto f1 = Send("key F1", WM_KEYDOWN);
    ASSERT_EQ(f1.size(), 1u);
    EXPECT_EQ(f1[0].wParam, WPARAM{VK_F1});
    EXPECT_FALSE(f1[0].ctrl);

    auto ctrlF1 = Send("key ctrl+F1", WM_KEYDOWN, 2);
    ASSERT_EQ(ctrlF1.size(), 2u);
    EXPECT_EQ(ctrlF1[0].wParam, WPARAM{VK_CONTROL});
    EXPECT_EQ(ctrlF1[1].wParam, WPARAM{VK_F1});
    EXPECT_TRUE(ctrlF1[1].ctrl);

    auto shiftIns = Send("key shift+Insert", WM_KEYDOWN, 2);
    ASSERT_EQ(shiftIns.size(), 2u);
    EXPECT_EQ(shiftIns[1].wParam, WPARAM{VK_INSERT});
    EXPECT_TRUE(shiftIns[1].shift);
    EXPECT_FALSE(shiftIns[1].ctrl);

    auto ctrlBack = Send("key ctrl+BackSpace", WM_CHAR);
    ASSERT_EQ(ctrlBack.size(), 1u);
    EXPECT_EQ(ctrlBack[0].wParam, WPARAM{127});

    auto altLeft = Send("key alt+Left", WM_SYSKEYDOWN, 2);
    ASSERT_EQ(altLeft.size(), 2u);
    EXPECT_EQ(altLeft[1].wParam, WPARAM{VK_LEFT});
    EXPECT_TRUE(altLeft[1].lParam & KF_ALTDOWN_LPARAM);
    EXPECT_TRUE(altLeft[1].alt);

    auto f10 = Send("key F10", WM_SYSKEYDOWN);
    ASSERT_EQ(f10.size(), 1u);
    EXPECT_EQ(f10[0].wParam, WPARAM{VK_F10});

    // After all those releases no modifier is left down.
    EXPECT_GE(t.backend().GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(t.backend().GetKeyState(VK_SHIFT), 0);
    EXPECT_GE(t.backend().GetKeyState(VK_MENU), 0);
}

TEST_F(XInput, MouseButtonsAndWheel) {
    Shell("xdotool mousemove --window " + xid + " 30 40");
    auto left = Send("click 1", WM_LBUTTONDOWN);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(LOWORD(left[0].lParam), 30);
    EXPECT_EQ(HIWORD(left[0].lParam), 40);
    EXPECT_EQ(Send("click 3", WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Send("click 2", WM_MBUTTONDOWN).size(), 1u);
    auto up = Send("click 4", WM_MOUSEWHEEL);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(up[0].wParam), 120);
    auto down = Send("click 5", WM_MOUSEWHEEL);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(down[0].wParam), -120);
}

TEST_F(XInput, AltF4DestroysTheWindow) {
    Send("key alt+F4", WM_DESTROY);
    EXPECT_FALSE(t.backend().WindowExists(hwnd));
    EXPECT_FALSE(t.Of(WM_CLOSE).empty());
}

}  // namespace
}  // namespace linux_test
