// Key translation: virtual keys, the messages of one key event, the character rule and
// the key-state table.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/LinuxInput.h"

namespace win {
namespace {

HWND const kWnd = reinterpret_cast<HWND>(std::uintptr_t{0x42});

std::vector<MSG> Key(int vk, int scancode, KeyMods mods, bool down = true) {
    KeyEvent ev;
    ev.vk = vk;
    ev.scancode = scancode;
    ev.down = down;
    ev.mods = mods;
    std::vector<MSG> out;
    AppendKeyMessages(ev, kWnd, out);
    return out;
}

KeyMods Ctrl() {
    KeyMods m;
    m.ctrl = true;
    return m;
}
KeyMods Alt() {
    KeyMods m;
    m.alt = true;
    return m;
}

TEST(VirtualKeys, LettersDigitsAndNamedKeys) {
    const KeyMods none;
    EXPECT_EQ(VkFromSdl(SDLK_a, SDL_SCANCODE_A, none), 'A');
    EXPECT_EQ(VkFromSdl(SDLK_z, SDL_SCANCODE_Z, none), 'Z');
    EXPECT_EQ(VkFromSdl(SDLK_7, SDL_SCANCODE_7, none), '7');
    EXPECT_EQ(VkFromSdl(SDLK_F1, SDL_SCANCODE_F1, none), VK_F1);
    EXPECT_EQ(VkFromSdl(SDLK_F12, SDL_SCANCODE_F12, none), VK_F12);
    EXPECT_EQ(VkFromSdl(SDLK_INSERT, SDL_SCANCODE_INSERT, none), VK_INSERT);
    EXPECT_EQ(VkFromSdl(SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, none), VK_NEXT);
    EXPECT_EQ(VkFromSdl(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, none), VK_SHIFT);
    EXPECT_EQ(VkFromSdl(SDLK_RALT, SDL_SCANCODE_RALT, none), VK_MENU);
    EXPECT_EQ(SideVkFromScancode(SDL_SCANCODE_RALT), VK_RMENU);
    EXPECT_EQ(VkFromSdl(SDLK_PAUSE, SDL_SCANCODE_PAUSE, none), VK_PAUSE);
    EXPECT_EQ(VkFromSdl(SDLK_PAUSE, SDL_SCANCODE_PAUSE, Ctrl()), VK_CANCEL);
}

TEST(VirtualKeys, LayoutKeysGoByPosition) {
    const KeyMods none;
    // The ABNT2 c-cedilla key sits where US has the semicolon.
    EXPECT_EQ(VkFromSdl(0xE7, SDL_SCANCODE_SEMICOLON, none), VK_OEM_1);
    EXPECT_EQ(VkFromSdl(SDLK_MINUS, SDL_SCANCODE_MINUS, none), VK_OEM_MINUS);
    // A letter key whose layout gives a non-ASCII keycode still is that letter.
    EXPECT_EQ(VkFromSdl(0x00E9, SDL_SCANCODE_E, none), 'E');
    EXPECT_EQ(VkFromSdl(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, none), 0);
}

TEST(VirtualKeys, KeypadFollowsNumLock) {
    KeyMods on;
    KeyMods off;
    off.numLock = false;
    EXPECT_EQ(VkFromSdl(SDLK_KP_8, SDL_SCANCODE_KP_8, on), VK_NUMPAD0 + 8);
    EXPECT_EQ(VkFromSdl(SDLK_KP_8, SDL_SCANCODE_KP_8, off), VK_UP);
    EXPECT_EQ(VkFromSdl(SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, off), VK_DELETE);
    EXPECT_EQ(VkFromSdl(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, on), VK_RETURN);
}

TEST(KeyMessages, PlainKeyIsKeyDownWithoutCharacter) {
    // Printable characters come from the text event, never from the key.
    auto msgs = Key('A', SDL_SCANCODE_A, KeyMods{});
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].message, WM_KEYDOWN);
    EXPECT_EQ(msgs[0].wParam, WPARAM{'A'});
    EXPECT_EQ(msgs[0].hwnd, kWnd);
    EXPECT_EQ(msgs[0].lParam & 0xFFFF, 1);  // repeat count
    EXPECT_FALSE(msgs[0].lParam & KF_ALTDOWN_LPARAM);

    auto up = Key('A', SDL_SCANCODE_A, KeyMods{}, false);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].message, WM_KEYUP);
    EXPECT_TRUE((up[0].lParam >> 31) & 1);
    EXPECT_TRUE((up[0].lParam >> 30) & 1);
}

TEST(KeyMessages, SystemKeysAreAltCombinationsF10AndAlt) {
    auto altLeft = Key(VK_LEFT, SDL_SCANCODE_LEFT, Alt());
    ASSERT_EQ(altLeft.size(), 1u);
    EXPECT_EQ(altLeft[0].message, WM_SYSKEYDOWN);
    EXPECT_TRUE(altLeft[0].lParam & KF_ALTDOWN_LPARAM);
    EXPECT_TRUE((altLeft[0].lParam >> 24) & 1);  // arrows are extended keys

    auto f10 = Key(VK_F10, SDL_SCANCODE_F10, KeyMods{});
    EXPECT_EQ(f10[0].message, WM_SYSKEYDOWN);
    EXPECT_FALSE(f10[0].lParam & KF_ALTDOWN_LPARAM);
    EXPECT_EQ(Key(VK_F10, SDL_SCANCODE_F10, KeyMods{}, false)[0].message, WM_SYSKEYUP);

    EXPECT_EQ(Key(VK_MENU, SDL_SCANCODE_LALT, Alt())[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(Key(VK_MENU, SDL_SCANCODE_LALT, KeyMods{}, false)[0].message, WM_SYSKEYUP);

    // With Ctrl, Alt combinations are ordinary key downs (Ctrl+Alt+F11 and the like).
    KeyMods ctrlAlt = Ctrl();
    ctrlAlt.alt = true;
    auto caf11 = Key(VK_F11, SDL_SCANCODE_F11, ctrlAlt);
    EXPECT_EQ(caf11[0].message, WM_KEYDOWN);
    EXPECT_TRUE(caf11[0].lParam & KF_ALTDOWN_LPARAM);
    EXPECT_EQ(Key(VK_F10, SDL_SCANCODE_F10, Ctrl())[0].message, WM_KEYDOWN);
}

TEST(KeyMessages, KeysWithoutTextGetTheirCharacter) {
    struct Case {
        int vk;
        int scancode;
        KeyMods mods;
        int expected;  // -1: no character
    };
    const Case cases[] = {
        {VK_ESCAPE, SDL_SCANCODE_ESCAPE, KeyMods{}, 27},
        {VK_RETURN, SDL_SCANCODE_RETURN, KeyMods{}, 13},
        {VK_RETURN, SDL_SCANCODE_RETURN, Ctrl(), 10},
        {VK_BACK, SDL_SCANCODE_BACKSPACE, KeyMods{}, 8},
        {VK_BACK, SDL_SCANCODE_BACKSPACE, Ctrl(), 127},
        {VK_TAB, SDL_SCANCODE_TAB, KeyMods{}, 9},
        {VK_TAB, SDL_SCANCODE_TAB, Ctrl(), -1},
        {'A', SDL_SCANCODE_A, Ctrl(), 1},
        {'Z', SDL_SCANCODE_Z, Ctrl(), 26},
        {'C', SDL_SCANCODE_C, KeyMods{}, -1},
        {VK_F1, SDL_SCANCODE_F1, KeyMods{}, -1},
        {VK_CANCEL, SDL_SCANCODE_PAUSE, Ctrl(), 3},
    };
    for (const Case& c : cases) {
        auto msgs = Key(c.vk, c.scancode, c.mods);
        SCOPED_TRACE(c.vk);
        if (c.expected < 0) {
            EXPECT_EQ(msgs.size(), 1u);
            continue;
        }
        ASSERT_EQ(msgs.size(), 2u);
        EXPECT_EQ(msgs[1].message, WM_CHAR);
        EXPECT_EQ(msgs[1].wParam, static_cast<WPARAM>(c.expected));
    }
    // Alt+Ctrl+letter is no control character; Alt+Enter is a system character.
    KeyMods ctrlAlt = Ctrl();
    ctrlAlt.alt = true;
    EXPECT_EQ(Key('A', SDL_SCANCODE_A, ctrlAlt).size(), 1u);
    auto altEnter = Key(VK_RETURN, SDL_SCANCODE_RETURN, Alt());
    ASSERT_EQ(altEnter.size(), 2u);
    EXPECT_EQ(altEnter[1].message, WM_SYSCHAR);
    // A key up never makes a character.
    EXPECT_EQ(Key(VK_ESCAPE, SDL_SCANCODE_ESCAPE, KeyMods{}, false).size(), 1u);
}

TEST(TextMessages, Utf8BecomesWindows1252AndForeignCharactersAreDropped) {
    std::vector<MSG> out;
    AppendTextMessages("a\xC3\xA7\xE2\x82\xAC\xE4\xB8\xAD!", KeyMods{}, kWnd, out);  // a ç € 中 !
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].wParam, WPARAM{'a'});
    EXPECT_EQ(out[1].wParam, WPARAM{231});
    EXPECT_EQ(out[2].wParam, WPARAM{0x80});
    EXPECT_EQ(out[3].wParam, WPARAM{'!'});
    for (const MSG& m : out) EXPECT_EQ(m.message, WM_CHAR);

    out.clear();
    AppendTextMessages("\xC3", KeyMods{}, kWnd, out);  // truncated sequence
    AppendTextMessages("", KeyMods{}, kWnd, out);
    EXPECT_TRUE(out.empty());

    AppendTextMessages("x", Alt(), kWnd, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_SYSCHAR);
}

TEST(TextMessages, AKeysOwnCharacterUnderCtrlOrAltIsNoTypingButAltGrLevelsAre) {
    auto text = [](const char* utf8, KeyMods mods, SDL_Keycode key) {
        std::vector<MSG> out;
        AppendTextMessages(utf8, mods, kWnd, out, KeyCharOfSdl(key));
        return out;
    };
    EXPECT_TRUE(text("1", Ctrl(), SDLK_1).empty());  // Ctrl+1 types nothing
    KeyMods ctrlAlt = Ctrl();
    ctrlAlt.alt = true;
    EXPECT_TRUE(text("1", ctrlAlt, SDLK_1).empty());  // nor Ctrl+Alt+1: only its Alt code
    EXPECT_TRUE(text(",", Ctrl(), SDLK_COMMA).empty());
    auto altX = text("x", Alt(), SDLK_x);
    ASSERT_EQ(altX.size(), 1u);
    EXPECT_EQ(altX[0].message, WM_SYSCHAR);
    // AltGr, which X reports as Alt: the third level of the key types.
    auto slash = text("/", Alt(), SDLK_q);
    ASSERT_EQ(slash.size(), 1u);
    EXPECT_EQ(slash[0].message, WM_CHAR);
    EXPECT_EQ(slash[0].wParam, WPARAM{'/'});
    auto superTwo = text("\xC2\xB2", Alt(), SDLK_2);
    ASSERT_EQ(superTwo.size(), 1u);
    EXPECT_EQ(superTwo[0].message, WM_CHAR);
    EXPECT_EQ(superTwo[0].wParam, WPARAM{0xB2});
    KeyMods shift;
    shift.shift = true;
    auto capital = text("A", shift, SDLK_a);
    ASSERT_EQ(capital.size(), 1u);
    EXPECT_EQ(capital[0].message, WM_CHAR);
    EXPECT_EQ(KeyCharOfSdl(SDLK_F1), 0);
    EXPECT_EQ(KeyCharOfSdl(SDLK_COMMA), ',');
    EXPECT_EQ(KeyCharOfSdl(SDLK_RETURN), 0);
}

TEST(KeyTableTest, FocusLossReleasesKeysInQueueOrderAndKeepsToggles) {
    KeyTable t;
    t.Apply(Key(VK_CONTROL, SDL_SCANCODE_LCTRL, Ctrl())[0]);
    std::vector<MSG> caps;
    KeyEvent c;
    c.vk = VK_CAPITAL;
    c.scancode = SDL_SCANCODE_CAPSLOCK;
    AppendKeyMessages(c, kWnd, caps);
    t.Apply(caps[0]);
    EXPECT_LT(t.State(VK_CONTROL), 0);
    MSG kill;
    kill.message = WM_KILLFOCUS;
    t.Apply(kill);
    EXPECT_GE(t.State(VK_CONTROL), 0);
    EXPECT_GE(t.State(VK_LCONTROL), 0);
    EXPECT_EQ(t.State(VK_CAPITAL), 1);  // up, still on
}

TEST(KeyTableTest, DownUpSidesAndToggle) {
    KeyTable t;
    EXPECT_EQ(t.State(VK_SHIFT), 0);
    auto down = Key(VK_SHIFT, SDL_SCANCODE_RSHIFT, KeyMods{});
    t.Apply(down[0]);
    EXPECT_LT(t.State(VK_SHIFT), 0);
    EXPECT_LT(t.State(VK_RSHIFT), 0);
    EXPECT_EQ(t.State(VK_LSHIFT) & 0x8000, 0);
    t.Apply(Key(VK_SHIFT, SDL_SCANCODE_RSHIFT, KeyMods{}, false)[0]);
    EXPECT_GE(t.State(VK_SHIFT), 0);

    t.Apply(Key(VK_CONTROL, SDL_SCANCODE_RCTRL, Ctrl())[0]);
    EXPECT_LT(t.State(VK_RCONTROL), 0);
    EXPECT_GE(t.State(VK_LCONTROL), 0);

    // Caps Lock: each press flips the toggle bit; repeats do not.
    EXPECT_EQ(t.State(VK_CAPITAL) & 1, 0);
    KeyEvent caps;
    caps.vk = VK_CAPITAL;
    caps.scancode = SDL_SCANCODE_CAPSLOCK;
    std::vector<MSG> seq;
    AppendKeyMessages(caps, kWnd, seq);
    caps.repeat = true;
    AppendKeyMessages(caps, kWnd, seq);
    caps.repeat = false;
    caps.down = false;
    AppendKeyMessages(caps, kWnd, seq);
    for (const MSG& m : seq) t.Apply(m);
    EXPECT_EQ(t.State(VK_CAPITAL), 1);
    caps.down = true;
    seq.clear();
    AppendKeyMessages(caps, kWnd, seq);
    t.Apply(seq[0]);
    EXPECT_EQ(t.State(VK_CAPITAL) & 1, 0);
    EXPECT_LT(t.State(VK_CAPITAL), 0);

    // Messages that are not keys leave the table alone.
    MSG ch;
    ch.message = WM_CHAR;
    ch.wParam = 'Q';
    t.Apply(ch);
    EXPECT_EQ(t.State('Q'), 0);
    EXPECT_EQ(t.State(0), 0);
    EXPECT_EQ(t.State(1000), 0);
}

}  // namespace
}  // namespace win
