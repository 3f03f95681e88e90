// Key names and the script language of simulated runs.
#include <gtest/gtest.h>

#include "platform/api.h"
#include "tests/platform/support/sim_window.h"

namespace {

using simtest::TestWindow;

TEST(KeySpec, NamesGiveVirtualKeysAndCharacters) {
    struct Case {
        const char* name;
        int vk;
        bool ctrl, alt, shift;
        int ch;
    } cases[] = {
        {"a", 'A', false, false, false, 'a'},
        {"A", 'A', false, false, true, 'A'},
        {"shift+a", 'A', false, false, true, 'A'},
        {"ctrl+a", 'A', true, false, false, 1},
        {"ctrl+Z", 'Z', true, false, true, 26},
        {"5", '5', false, false, false, '5'},
        {"*", '8', false, false, true, '*'},
        {"esc", win::VK_ESCAPE, false, false, false, 27},
        {"Enter", win::VK_RETURN, false, false, false, 13},
        {"backspace", win::VK_BACK, false, false, false, 8},
        {"tab", win::VK_TAB, false, false, false, 9},
        {"space", win::VK_SPACE, false, false, false, ' '},
        {"f12", win::VK_F12, false, false, false, 0},
        {"ctrl+alt+f11", win::VK_F11, true, true, false, 0},
        {"alt+x", 'X', false, true, false, 'x'},
        {"shift+insert", win::VK_INSERT, false, false, true, 0},
        {"pgdn", win::VK_NEXT, false, false, false, 0},
        {"pause", win::VK_PAUSE, false, false, false, 0},
        {"ctrl+pause", win::VK_CANCEL, true, false, false, 3},
        {"\xC3\xA7", 0, false, false, false, 0xE7},      // ç
        {"\xE2\x82\xAC", 0, false, false, false, 0x80},  // € in Windows-1252
    };
    for (const Case& c : cases) {
        auto k = sim::ParseKeySpec(c.name);
        ASSERT_TRUE(k) << c.name;
        EXPECT_EQ(k->vk, c.vk) << c.name;
        EXPECT_EQ(k->ctrl, c.ctrl) << c.name;
        EXPECT_EQ(k->alt, c.alt) << c.name;
        EXPECT_EQ(k->shift, c.shift) << c.name;
        EXPECT_EQ(k->ch, c.ch) << c.name;
    }
    for (const char* bad : {"", "f13", "f0", "meta+a", "ctrl+", "hyper", "ctrl+\xC3\xA7",
                            "\xE4\xB8\xAD" /* no Windows-1252 byte */, "\xC3"}) {
        EXPECT_FALSE(sim::ParseKeySpec(bad)) << bad;
    }
    auto plus = sim::ParseKeySpec("shift++");
    ASSERT_TRUE(plus);
    EXPECT_EQ(plus->ch, '+');
}

TEST(SimScript, LinesScheduleAtTheCursorThatOnlyWaitMoves) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    win::Sleep(1000);
    std::vector<std::pair<std::string, std::uint32_t>> extra;
    auto error = m.LoadScript(
        "# a comment\n"
        "\n"
        "key enter\r\n"
        "wait 500\n"
        "type Oi\n"
        "  click left  \n"
        "speak hello\n"
        "wait 100\n"
        "wheel down\n"
        "focus off\n"
        "close\n",
        [&](std::string_view line, std::uint32_t at) {
            extra.emplace_back(std::string(line), at);
            return true;
        });
    ASSERT_FALSE(error) << *error;
    ASSERT_EQ(extra.size(), 1u);
    EXPECT_EQ(extra[0].first, "speak hello");
    EXPECT_EQ(extra[0].second, 1500u);

    std::vector<std::pair<win::WPARAM, win::DWORD>> chars;
    win::MSG msg;
    try {
        while (true) {
            win::WaitMessage();
            while (win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
                win::TranslateMessage(&msg);
                if (msg.message == win::WM_CHAR) chars.emplace_back(msg.wParam, msg.time);
                win::DispatchMessageA(&msg);
            }
        }
    } catch (const sim::SimStopped&) {
    }
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0], (std::pair<win::WPARAM, win::DWORD>{13, 1000}));
    EXPECT_EQ(chars[1], (std::pair<win::WPARAM, win::DWORD>{'O', 1500}));
    EXPECT_EQ(chars[2], (std::pair<win::WPARAM, win::DWORD>{'i', 1510}));
    EXPECT_EQ(w.Of({win::WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_EQ(w.Of({win::WM_MOUSEWHEEL}).size(), 1u);
    EXPECT_EQ(w.Of({win::WM_KILLFOCUS}).size(), 1u);
    EXPECT_EQ(w.Of({win::WM_CLOSE}).size(), 1u);
    EXPECT_FALSE(m.InputPending());
}

TEST(SimScript, ErrorsNameTheLine) {
    sim::SimMachine m;
    auto e = m.LoadScript("wait 10\nkey nosuchkey\n");
    ASSERT_TRUE(e);
    EXPECT_NE(e->find("line 2"), std::string::npos) << *e;
    EXPECT_NE(e->find("nosuchkey"), std::string::npos) << *e;
    EXPECT_TRUE(m.LoadScript("wait -3"));
    EXPECT_TRUE(m.LoadScript("wait 99999999999"));
    EXPECT_TRUE(m.LoadScript("click sideways"));
    EXPECT_TRUE(m.LoadScript("dance"));
    EXPECT_TRUE(m.LoadScript("dance", [](std::string_view, std::uint32_t) { return false; }));
    EXPECT_TRUE(m.LoadScript("wait 4294967295\nwait 1"));  // beyond the end of time
}

}  // namespace
