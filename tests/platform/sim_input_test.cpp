// Scripted input reaches the window as Windows delivers it.
#include <gtest/gtest.h>

#include "platform/api.h"
#include "tests/platform/support/sim_window.h"

namespace {

using simtest::Got;
using simtest::TestWindow;

constexpr std::initializer_list<win::UINT> kKeyMessages = {win::WM_KEYDOWN,  win::WM_KEYUP,
                                                           win::WM_CHAR,     win::WM_SYSKEYDOWN,
                                                           win::WM_SYSKEYUP, win::WM_SYSCHAR};

sim::KeySpec Key(const char* name) {
    auto k = sim::ParseKeySpec(name);
    EXPECT_TRUE(k.has_value()) << name;
    return k.value_or(sim::KeySpec{});
}

TEST(SimInput, PlainKeyGivesDownCharUp) {
    sim::SimMachine m;
    TestWindow w(m);
    m.PressKey(Key("a"), 0);
    w.Pump();
    auto keys = w.Of(kKeyMessages);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].msg, win::WM_KEYDOWN);
    EXPECT_EQ(keys[0].wp, win::WPARAM{'A'});
    EXPECT_EQ(keys[1].msg, win::WM_CHAR);
    EXPECT_EQ(keys[1].wp, win::WPARAM{'a'});
    EXPECT_EQ(keys[2].msg, win::WM_KEYUP);
    EXPECT_NE(keys[2].lp & (win::LPARAM{1} << 31), 0);
}

TEST(SimInput, ModifiersAreHeldWhileTheKeyIsDispatched) {
    sim::SimMachine m;
    TestWindow w(m);
    m.PressKey(Key("ctrl+c"), 0);
    w.Pump();
    auto keys = w.Of(kKeyMessages);
    // ctrl down, C down, char 3, C up, ctrl up
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0].wp, win::WPARAM(win::VK_CONTROL));
    EXPECT_EQ(keys[1].wp, win::WPARAM{'C'});
    EXPECT_TRUE(keys[1].ctrl);
    EXPECT_EQ(keys[2].msg, win::WM_CHAR);
    EXPECT_EQ(keys[2].wp, 3u);
    EXPECT_TRUE(keys[2].ctrl);
    EXPECT_FALSE(keys[4].ctrl);  // the modifier's own key-up was taken
    EXPECT_GE(win::GetKeyState(win::VK_CONTROL), 0);
}

TEST(SimInput, AltCombinationsAndF10AreSystemKeys) {
    sim::SimMachine m;
    TestWindow w(m);
    m.PressKey(Key("alt+x"), 0);
    m.PressKey(Key("f10"), 5);
    m.PressKey(Key("ctrl+alt+f11"), 10);
    m.Sleep(20);
    w.Pump();
    auto keys = w.Of(kKeyMessages);
    // alt down, x down, syschar, x up, alt up; F10 down, up; ctrl, alt, F11 down/up, alt, ctrl
    ASSERT_EQ(keys.size(), 13u);
    EXPECT_EQ(keys[0].msg, win::WM_SYSKEYDOWN);
    EXPECT_EQ(keys[1].msg, win::WM_SYSKEYDOWN);
    EXPECT_NE(keys[1].lp & win::KF_ALTDOWN_LPARAM, 0);
    EXPECT_EQ(keys[2].msg, win::WM_SYSCHAR);
    EXPECT_EQ(keys[2].wp, win::WPARAM{'x'});
    EXPECT_EQ(keys[3].msg, win::WM_SYSKEYUP);
    EXPECT_EQ(keys[5].msg, win::WM_SYSKEYDOWN);
    EXPECT_EQ(keys[5].wp, win::WPARAM(win::VK_F10));
    // With Ctrl also held the keys are plain key downs and type nothing.
    EXPECT_EQ(keys[9].msg, win::WM_KEYDOWN);
    EXPECT_EQ(keys[9].wp, win::WPARAM(win::VK_F11));
    EXPECT_TRUE(keys[9].ctrl && keys[9].alt);
}

TEST(SimInput, DirectlyTypedCharacterIsOnlyACharMessage) {
    sim::SimMachine m;
    TestWindow w(m);
    m.PressKey(Key("\xC3\xA7"), 0);  // ç in UTF-8
    w.Pump();
    auto keys = w.Of(kKeyMessages);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].msg, win::WM_CHAR);
    EXPECT_EQ(keys[0].wp, 0xE7u);
}

TEST(SimInput, InputWaitsForItsTime) {
    sim::SimMachine m;
    TestWindow w(m);
    m.PressKey(Key("b"), 100);
    EXPECT_TRUE(m.InputPending());
    w.Pump();
    EXPECT_TRUE(w.Of(kKeyMessages).empty());
    m.Sleep(99);
    w.Pump();
    EXPECT_TRUE(w.Of(kKeyMessages).empty());
    m.Sleep(1);
    EXPECT_FALSE(m.InputPending());
    w.Pump();
    EXPECT_EQ(w.Of({win::WM_CHAR}).size(), 1u);
}

TEST(SimInput, MouseWheelFocusAndClose) {
    sim::SimMachine m;
    TestWindow w(m);
    m.Click(1, 0);
    m.Wheel(-120, 0);
    m.Focus(false, 0);
    m.Focus(true, 0);
    w.Pump();
    auto mouse = w.Of({win::WM_RBUTTONDOWN, win::WM_RBUTTONUP, win::WM_MOUSEWHEEL});
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(win::GET_WHEEL_DELTA_WPARAM(mouse[2].wp), -120);
    auto focus = w.Of({win::WM_SETFOCUS, win::WM_KILLFOCUS});
    // The first WM_SETFOCUS came from showing the window.
    ASSERT_EQ(focus.size(), 3u);
    EXPECT_EQ(focus[1].msg, win::WM_KILLFOCUS);
    EXPECT_EQ(focus[2].msg, win::WM_SETFOCUS);
    EXPECT_EQ(win::GetForegroundWindow(), w.hwnd);

    m.Close(0);
    w.Pump();
    EXPECT_EQ(w.Of({win::WM_CLOSE}).size(), 1u);
    EXPECT_EQ(w.Of({win::WM_DESTROY}).size(), 1u);  // DefWindowProc destroyed it
    EXPECT_EQ(win::GetForegroundWindow(), nullptr);
}

TEST(SimInput, AltF4BecomesCloseThroughDefWindowProc) {
    sim::SimMachine m;
    TestWindow w(m);
    m.PressKey(Key("alt+f4"), 0);
    w.Pump();
    EXPECT_EQ(w.Of({win::WM_CLOSE}).size(), 1u);
    EXPECT_EQ(w.Of({win::WM_DESTROY}).size(), 1u);
}

TEST(SimInput, MouseButtonStateForGetAsyncKeyState) {
    sim::SimMachine m;
    win::SetBackend(&m);
    EXPECT_GE(win::GetAsyncKeyState(win::VK_LBUTTON), 0);
    m.SetMouseButtonDown(0, true);
    EXPECT_LT(win::GetAsyncKeyState(win::VK_LBUTTON), 0);
    EXPECT_GE(win::GetAsyncKeyState(win::VK_MBUTTON), 0);
}

}  // namespace
