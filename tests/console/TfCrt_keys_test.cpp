// The key queue: keyboard translation, limits, reading, pumps, mouse keys and hooks.
#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "support/ConsoleHarness.h"

namespace {

using console_test::Bytes;
using console_test::ConsoleHarness;

std::string KeysOf(const std::string& script) {
    ConsoleHarness h;
    h.Open();
    h.Script(script);
    return Bytes(h.Drain());
}

TEST(SpecialKeys, FunctionInsertAndCursorKeysWithTheirCtrlCodes) {
    EXPECT_EQ(KeysOf("key f1"), "0 59");
    EXPECT_EQ(KeysOf("key ctrl+f1"), "0 94");
    EXPECT_EQ(KeysOf("key f12"), "0 70");
    EXPECT_EQ(KeysOf("key insert"), "0 82");
    EXPECT_EQ(KeysOf("key shift+insert"), "0 254");
    EXPECT_EQ(KeysOf("key ctrl+insert"), "0 255");
    EXPECT_EQ(KeysOf("key ctrl+shift+insert"), "0 255");
    EXPECT_EQ(KeysOf("key ctrl+up"), "0 113");
    EXPECT_EQ(KeysOf("key pgup"), "0 73");
    EXPECT_EQ(KeysOf("key ctrl+pgup"), "0 132");
    EXPECT_EQ(KeysOf("key delete"), "0 83");
    EXPECT_EQ(KeysOf("key ctrl+end"), "0 117");
}

TEST(SpecialKeys, CharactersAndTheirCtrlForms) {
    EXPECT_EQ(KeysOf("key ctrl+backspace"), "127");
    EXPECT_EQ(KeysOf("key ctrl+enter"), "10");
    EXPECT_EQ(KeysOf("key enter"), "13");
    EXPECT_EQ(KeysOf("key backspace"), "8");
    EXPECT_EQ(KeysOf("key esc"), "27");
    EXPECT_EQ(KeysOf("key \xC3\xA7"), "231");  // c-cedilla, UTF-8 in the script
    EXPECT_EQ(KeysOf("key A"), "65");
}

TEST(SpecialKeys, SystemKeysAndAltCodes) {
    EXPECT_EQ(KeysOf("key f10"), "");  // a system key: the system menu's, never queued
    EXPECT_EQ(KeysOf("key alt+left"), "0 75");
    EXPECT_EQ(KeysOf("key alt+right"), "0 77");
    EXPECT_EQ(KeysOf("key alt+x"), "");  // Alt alone keeps its system meaning
    EXPECT_EQ(KeysOf("key ctrl+alt+x"), "0 45");
    EXPECT_EQ(KeysOf("key ctrl+alt+1"), "0 120");
    EXPECT_EQ(KeysOf("key ctrl+alt+0"), "0 129");
}

TEST(QueueLimit, WithSixtyThreeQueuedAnArrowIsDroppedWholeAndACharacterFits) {
    ConsoleHarness h;
    h.Open();
    h.Script("type " + std::string(63, 'a'));
    ASSERT_EQ(h.crt().KeyCount(), 63);
    h.Script("key up");
    EXPECT_EQ(h.crt().KeyCount(), 63);
    h.Script("key b");
    EXPECT_EQ(h.crt().KeyCount(), 64);
    h.Script("key c\nclick middle\nkey f1");
    auto bytes = h.Drain();
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(bytes[62], 'a');
    EXPECT_EQ(bytes[63], 'b');
}

TEST(QueueLimit, WithSixtyTwoQueuedATwoByteKeyFillsTheQueueExactly) {
    // A two-byte code goes in while the count is at most 62: the last two places.
    for (const char* key : {"key up", "key alt+left", "click middle"}) {
        ConsoleHarness h;
        h.Open();
        h.Script("type " + std::string(62, 'a'));
        ASSERT_EQ(h.crt().KeyCount(), 62);
        h.Script(key);
        EXPECT_EQ(h.crt().KeyCount(), 64) << key;
        h.Script("key b");  // full now: nothing more, not even one byte
        auto bytes = h.Drain();
        ASSERT_EQ(bytes.size(), 64u) << key;
        EXPECT_EQ(bytes[61], 'a');
        EXPECT_EQ(bytes[62], 0) << key;
        EXPECT_NE(bytes[63], 0) << key;
    }
    // A one-byte key at 62 leaves one place, too few for any two-byte key.
    ConsoleHarness h;
    h.Open();
    h.Script("type " + std::string(62, 'a'));
    h.Script("key c\nkey up\nkey f1");
    EXPECT_EQ(h.crt().KeyCount(), 63);
    h.Script("key d");
    auto bytes = h.Drain();
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(bytes[62], 'c');
    EXPECT_EQ(bytes[63], 'd');
}

TEST(QueueLimit, AFloodKeepsTheFirstSixtyFourBytesInOrder) {
    ConsoleHarness h;
    h.Open();
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>('a' + i % 26);
    h.Script("type " + text);
    EXPECT_EQ(h.crt().KeyCount(), 64);
    auto bytes = h.Drain();
    for (int i = 0; i < 64; ++i) EXPECT_EQ(bytes[i], 'a' + i % 26) << i;
    EXPECT_EQ(h.Keys().size(), 64u);
}

TEST(QueueLimit, AMiddleClickWithOneByteFreeIsDroppedWhole) {
    ConsoleHarness h;
    h.Open();
    h.Script("type " + std::string(63, 'a'));
    h.Script("click middle\nwheel down");
    EXPECT_EQ(h.crt().KeyCount(), 63);
    h.Script("click left");
    EXPECT_EQ(h.crt().KeyCount(), 64);
}

TEST(Reading, ATwoByteKeyEntersTheQueueAsOneKey) {
    ConsoleHarness h;
    h.Open();
    h.Script("key f2\nkey x");
    ASSERT_EQ(h.Keys().size(), 2u);
    EXPECT_EQ(Bytes(h.Keys()[0].bytes), "0 60");
    EXPECT_EQ(Bytes(h.Keys()[1].bytes), "120");
    EXPECT_EQ(h.crt().ReadKey(), 0);
    EXPECT_EQ(h.crt().ReadKey(), 60);
    EXPECT_EQ(h.crt().KeyCount(), 1);
    h.crt().FlushKeys();
    EXPECT_EQ(h.crt().KeyCount(), 0);
}

TEST(Reading, ReadKeyWaitsWithTheCaretOnTheCursorCell) {
    ConsoleHarness h;
    h.Open();
    h.crt().WriteText("ab", 2);
    ASSERT_FALSE(h.machine.LoadScript("wait 300\nkey q").has_value());
    bool caretSeen = false;
    h.machine.SetObserver([&](const sim::Event&) {
        auto c = h.machine.Caret();
        if (c.exists && c.visible) {
            caretSeen = true;
            EXPECT_EQ(c.x, 2 * 13);
            EXPECT_EQ(c.y, 28 - 28 / 4);
            EXPECT_EQ(c.w, 13);
            EXPECT_EQ(c.h, 2);
            EXPECT_TRUE(h.crt().Reading());
        }
    });
    std::uint32_t start = h.machine.Now();
    EXPECT_EQ(h.crt().ReadKey(), 'q');
    h.machine.SetObserver({});
    EXPECT_GE(h.machine.Now(), start + 300);
    EXPECT_TRUE(caretSeen);
    EXPECT_FALSE(h.machine.Caret().exists);
    EXPECT_FALSE(h.crt().Reading());
}

TEST(Reading, ReadLineEditsEchoesAndEndsWithCarriageReturnLineFeed) {
    ConsoleHarness h;
    h.Open();
    ASSERT_FALSE(h.machine
                     .LoadScript("key backspace\ntype abc\nwait 100\nkey backspace\nkey f1\n"
                                 "key d\nkey tab\nkey enter")
                     .has_value());
    char buffer[128];
    int n = h.crt().ReadLine(buffer, sizeof buffer);
    ASSERT_EQ(n, 6);
    // The 0 of F1 is ignored, its 59 (';') is taken like any byte.
    EXPECT_EQ(std::string(buffer, n), "ab;d\r\n");
    EXPECT_EQ(h.crt().ScreenRows()[0], "ab;d");
    EXPECT_EQ(h.crt().CursorY(), 1);
}

TEST(Reading, ReadLineStoresAtMostSizeLessThreeCharacters) {
    ConsoleHarness h;
    h.Open();
    ASSERT_FALSE(h.machine.LoadScript("type " + std::string(130, 'z') + "\nwait 2000\nkey enter")
                     .has_value());
    std::string line = sonara::ConsoleReadLine();
    EXPECT_EQ(line, std::string(125, 'z'));
}

TEST(Pumps, DelaySleepsFirstAndDispatchesAfterwards) {
    ConsoleHarness h;
    h.Open();
    std::uint32_t start = h.machine.Now();
    ASSERT_FALSE(h.machine.LoadScript("wait 100\nkey k").has_value());
    h.crt().Delay(500);
    EXPECT_GE(h.machine.Now(), start + 500);
    ASSERT_EQ(h.Keys().size(), 1u);
    EXPECT_GE(h.Keys()[0].time, start + 500);  // taken only after the sleep
}

TEST(Pumps, QuitMessageAndCtrlBreakEndTheProgram) {
    ConsoleHarness h;
    h.Open();
    win::PostQuitMessage(0);
    EXPECT_EQ(h.ExitCodeOf([&] { h.crt().KeyPressed(); }), 0);

    ConsoleHarness b;
    b.Open();
    win::PostMessageA(b.crt().Window(), win::WM_KEYDOWN, win::VK_CANCEL, 0);
    EXPECT_EQ(b.ExitCodeOf([&] { b.crt().KeyPressed(); }), 0);
}

TEST(Pumps, WriteLineDispatchesPendingMessages) {
    ConsoleHarness h;
    h.Open();
    win::PostMessageA(h.crt().Window(), win::WM_CHAR, 'w', 0);
    sonara::ConsoleWriteLine("hello");
    EXPECT_EQ(h.crt().KeyCount(), 1);
    EXPECT_EQ(h.crt().ScreenRows()[0], "hello");
    EXPECT_EQ(h.crt().CursorY(), 1);
}

TEST(MouseKeys, ButtonsAndWheelBecomeKeys) {
    EXPECT_EQ(KeysOf("click left"), "13");
    EXPECT_EQ(KeysOf("click right"), "27");
    EXPECT_EQ(KeysOf("click middle"), "0 67");
    EXPECT_EQ(KeysOf("wheel down"), "0 80");
    EXPECT_EQ(KeysOf("wheel up"), "0 72");
}

TEST(MouseKeys, TheClickThatActivatesTheWindowIsDropped) {
    ConsoleHarness h;
    h.Open();
    h.Script("focus off");
    h.machine.SetMouseButtonDown(0, true);
    h.Script("focus on");
    h.machine.SetMouseButtonDown(0, false);
    h.Script("click left");
    EXPECT_EQ(h.crt().KeyCount(), 0);
    h.Script("click left");
    EXPECT_EQ(Bytes(h.Drain()), "13");
}

TEST(MouseKeys, AQueuedKeyWakesAWaitingReader) {
    ConsoleHarness h;
    h.Open();
    ASSERT_FALSE(h.machine.LoadScript("wait 50\nwheel up").has_value());
    EXPECT_EQ(h.crt().ReadKey(), 0);
    EXPECT_EQ(h.crt().ReadKey(), 72);
}

std::pair<std::uint8_t, std::uint8_t> g_braille_key{0, 0};
std::pair<std::uint8_t, std::uint8_t> BrailleKey(win::HWND, win::WPARAM, win::LPARAM) {
    return g_braille_key;
}
int g_mci_calls = 0;
win::WPARAM g_mci_wparam = 0;
void MciHook(win::HWND, win::WPARAM wp, win::LPARAM) {
    ++g_mci_calls;
    g_mci_wparam = wp;
}

TEST(Hooks, BrailleKeysAndNotificationsReachTheirSlots) {
    ConsoleHarness h;
    h.Open();
    win::HWND w = h.crt().Window();
    win::UINT brl = h.crt().BrailleMessage();
    EXPECT_EQ(brl, win::RegisterWindowMessageA("tfLinBrl"));
    g_braille_key = {'x', 0};
    win::PostMessageA(w, brl, 0, 0);  // slot disabled: nothing
    h.crt().KeyPressed();
    EXPECT_EQ(h.crt().KeyCount(), 0);
    sonara::BrailleKeyHook() = {true, &BrailleKey};
    for (auto key : {std::pair<std::uint8_t, std::uint8_t>{'x', 0}, {0, 0}, {0, 59}}) {
        g_braille_key = key;
        win::PostMessageA(w, brl, 0, 0);
        h.crt().KeyPressed();
    }
    EXPECT_EQ(Bytes(h.Drain()), "120 0 59");

    g_mci_calls = 0;
    win::PostMessageA(w, win::MM_MCINOTIFY, win::MCI_NOTIFY_SUCCESSFUL, 0);
    h.crt().KeyPressed();
    EXPECT_EQ(g_mci_calls, 0);
    sonara::MciNotifyHook() = {true, &MciHook};
    win::PostMessageA(w, win::MM_MCINOTIFY, win::MCI_NOTIFY_SUCCESSFUL, 0);
    h.crt().KeyPressed();
    EXPECT_EQ(g_mci_calls, 1);
    EXPECT_EQ(g_mci_wparam, win::MCI_NOTIFY_SUCCESSFUL);
}

}  // namespace
