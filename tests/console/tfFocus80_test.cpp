// Braille display output on the simulated machine: opening the display library, rows
// written by the console shown as cells, and the display's keys in the key queue.
#include "console/braille/tfFocus80.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "console/braille/BrailleTables.h"
#include "platform/fsbrldspapi.h"
#include "process/SimulateRun.h"
#include "support/ConsoleHarness.h"

namespace {

using console_test::Bytes;
using console_test::ConsoleHarness;

sonara::TfFocus80& Focus(ConsoleHarness& h) {
    return h.process().focus80.module;
}

void Write(ConsoleHarness& h, const std::string& text) {
    h.crt().WriteText(text.data(), static_cast<std::uint16_t>(text.size()));
}

// The dots a braille text shows, padded with blank cells to `cells`.
std::string Cells(const std::string& braille, std::size_t cells) {
    std::string dots = sonara::BrailleTextToDots(braille);
    dots.resize(cells, '\0');
    return dots;
}

std::vector<std::string> BrailleEvents(const sim::SimMachine& m) {
    std::vector<std::string> out;
    for (const auto& e : m.Events())
        if (e.kind == "braille") out.push_back(e.detail);
    return out;
}

// ---- Opening ----

TEST(Opening, WithoutTheLibraryTheConsoleRunsAsBefore) {
    ConsoleHarness h;
    h.Open();
    EXPECT_FALSE(Focus(h).Active());
    EXPECT_FALSE(h.crt().brailleKeyHook.enabled);
    Write(h, "abc\r\n");
    // The display's message reaches the window but nothing turns it into a key.
    win::PostMessageA(h.crt().Window(), h.crt().BrailleMessage(), 1, 3 << 8);
    win::PostMessageA(h.crt().Window(), h.crt().BrailleMessage(), 1, 3);
    h.crt().Delay(1);
    EXPECT_EQ(h.crt().KeyCount(), 0);
    EXPECT_TRUE(BrailleEvents(h.machine).empty());
    EXPECT_EQ(h.crt().CharAt(0, 0), 'a');
}

TEST(Opening, ADisplayIsOpenedOnUsbQueriedAndItsKeysSwitchedOn) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(40);
    h.Open();
    ASSERT_TRUE(Focus(h).Active());
    EXPECT_EQ(Focus(h).CellCount(), 40);
    EXPECT_EQ(Focus(h).Description(), "Simulada 40 Blue");
    const auto& d = h.machine.BrailleDisplay();
    const std::vector<std::string> calls{"open USB", "cells", "name", "firmware", "configure 2"};
    EXPECT_EQ(d.calls, calls);
    EXPECT_EQ(d.window, h.crt().Window());
    EXPECT_NE(h.crt().BrailleMessage(), 0u);
    EXPECT_EQ(d.message, h.crt().BrailleMessage());
    EXPECT_TRUE(d.keysOn);
    EXPECT_TRUE(h.crt().brailleKeyHook.enabled);
}

TEST(Opening, ADisplayWithoutCellsIsNoDisplay) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(0);
    h.Open();
    EXPECT_FALSE(Focus(h).Active());
    EXPECT_FALSE(h.crt().brailleKeyHook.enabled);
    const std::vector<std::string> calls{"open USB", "cells"};
    EXPECT_EQ(h.machine.BrailleDisplay().calls, calls);
    Write(h, "abc\r\n");
    EXPECT_TRUE(BrailleEvents(h.machine).empty());
}

// Fake libraries that fail in other ways.
int opens = 0;
std::uint32_t RefusingOpen(const char*, win::HWND, win::UINT) {
    ++opens;
    return 0;
}
std::uint32_t GoodOpen(const char*, win::HWND, win::UINT) {
    ++opens;
    return 7;
}
std::int32_t HugeCount(std::uint32_t) {
    return 100000;
}
void NoWrite(std::uint32_t, std::int32_t, std::int32_t, const std::uint8_t*) {}
void NoConfigure(std::uint32_t, std::int32_t) {}
void NoText(std::uint32_t, char*, std::int32_t) {}

std::map<std::string, win::FARPROC> Procs(fsbrl::OpenProc open, fsbrl::GetCellCountProc count) {
    return {{fsbrl::kOpen, reinterpret_cast<win::FARPROC>(open)},
            {fsbrl::kGetCellCount, reinterpret_cast<win::FARPROC>(count)},
            {fsbrl::kWrite, reinterpret_cast<win::FARPROC>(&NoWrite)},
            {fsbrl::kConfigure, reinterpret_cast<win::FARPROC>(&NoConfigure)},
            {fsbrl::kGetDisplayName, reinterpret_cast<win::FARPROC>(&NoText)},
            {fsbrl::kGetFirmwareVersion, reinterpret_cast<win::FARPROC>(&NoText)}};
}

TEST(Opening, RefusedOpenMissingEntryPointsAndAbsurdSizesLeaveBrailleOff) {
    {
        ConsoleHarness h;
        opens = 0;
        h.machine.AddLibrary("FSBRLDSPAPI.DLL", Procs(&RefusingOpen, &HugeCount));
        h.Open();
        EXPECT_EQ(opens, 1);
        EXPECT_FALSE(Focus(h).Active());
    }
    {
        ConsoleHarness h;
        opens = 0;
        h.machine.AddLibrary("fsbrldspapi.dll", Procs(&GoodOpen, &HugeCount));
        h.Open();
        EXPECT_EQ(opens, 1);
        EXPECT_FALSE(Focus(h).Active()) << "100000 cells is no display";
        EXPECT_FALSE(h.crt().brailleKeyHook.enabled);
    }
    {
        ConsoleHarness h;
        opens = 0;
        auto procs = Procs(&GoodOpen, &HugeCount);
        procs.erase(fsbrl::kWrite);
        h.machine.AddLibrary("fsbrldspapi.dll", procs);
        h.Open();
        EXPECT_EQ(opens, 0) << "a library without its write function is not used";
        EXPECT_FALSE(Focus(h).Active());
    }
}

// ---- Showing rows ----

TEST(ShowLine, AWrittenRowIsTranslatedAndShownFromCellZeroOverTheWholeDisplay) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(20);
    h.Open();
    Write(h, "Ana 25\r\n");
    const auto shown = BrailleEvents(h.machine);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Cells("{ana #be", 20));
    EXPECT_EQ(h.machine.BrailleDisplay().calls.back(), "write 0 20");
    // Capital sign, a, n, a, blank, number sign, b, e: the dots themselves.
    const std::string expected{0x28, 0x01, 0x1D, 0x01, 0x00, 0x3C, 0x03, 0x11};
    EXPECT_EQ(shown[0].substr(0, 8), expected);
}

TEST(ShowLine, ALongRowShowsItsBeginningAndAShortOneBlankCells) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(12);
    h.Open();
    Write(h, "abcdefghijklmnop");  // drawn at the end of the write
    ASSERT_EQ(BrailleEvents(h.machine).size(), 1u);
    EXPECT_EQ(BrailleEvents(h.machine)[0], Cells("abcdefghijkl", 12));
    Write(h, "\r\nxy\r\n");
    EXPECT_EQ(h.machine.BrailleDisplay().dots, Cells("xy", 12));
}

TEST(ShowLine, CharactersWithoutACellShowBlankAndRepaintsAreNotSent) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(8);
    h.Open();
    Write(h,
          "a\x86"
          "b\r\n");  // the dagger keeps a Braille ASCII code above 127
    EXPECT_EQ(h.machine.BrailleDisplay().dots, Cells("a b", 8));
    const std::size_t writes = BrailleEvents(h.machine).size();
    win::InvalidateRect(h.crt().Window(), nullptr, win::FALSE);
    win::UpdateWindow(h.crt().Window());
    EXPECT_EQ(BrailleEvents(h.machine).size(), writes);
}

// ---- Keys through the console ----

std::string KeyScript(const std::vector<std::pair<int, int>>& events) {
    std::string s;
    for (auto [kind, data] : events)
        s += "braille-key " + std::to_string(kind) + " " + std::to_string(data) + "\n";
    return s;
}

TEST(DisplayKeys, ChordsNavigationAndOtherKindsReachTheKeyQueue) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(40);
    h.Open();
    h.Script(KeyScript({
        {1, 1 << 8},
        {1, 2 << 8},
        {1, 3},  // dots 1 and 2 pressed apart: b
        {1, 4 << 8},
        {1, 3},  // dot 3: full stop
        {1, 49 << 8},
        {1, 3},  // dots 1, 5, 6: at sign
        {1, 64 << 8},
        {1, 3},  // dot 7: backspace
        {1, 128 << 8},
        {1, 3},  // dot 8: Enter
        {1, 192 << 8},
        {1, 3},  // dots 7 and 8: Esc
        {1, 32768 << 8},
        {1, 3},  // space
        {1, (32768 | 3) << 8},
        {1, 3},  // space with b: Ctrl+B
        {1, 256 << 8},
        {1, 3},  // Home
        {1, (512 | 5) << 8},
        {1, 3},  // End wins over dots
        {1, 261},
        {1, 6405},
        {1, 2309},
        {1, 4357},
        {3, 16},
        {3, 64},
        {3, 32},
        {3, 128},
        {2, 5},
        {0, 0},
        {9, 1},  // kinds other than 1 and 3: question mark
    }));
    EXPECT_EQ(Bytes(h.Drain()),
              "98 46 64 8 13 27 32 2 0 71 0 79 0 72 0 72 0 80 0 80 0 72 0 72 0 80 0 80 63 63 63");
}

TEST(DisplayKeys, EmptyChordsAndUnknownNavigationGiveNothing) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(40);
    h.Open();
    h.Script(KeyScript({
        {1, 3},  // nothing pending
        {1, 1 << 24},
        {1, 3},  // only bits above the low 16
        {3, 99},
        {3, 0},  // no such navigation key
        {1, 1024 << 8},
        {1, 3},
    }));
    EXPECT_EQ(Bytes(h.Drain()), "");
    EXPECT_EQ(Focus(h).PendingKeyBits(), 0u);
}

TEST(DisplayKeys, AKeyEndsAWaitForKeysAtItsTime) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(40);
    h.Open();
    ASSERT_FALSE(h.machine.LoadScript("wait 700\nbraille-key 1 256\nbraille-key 1 3\n"));
    const std::uint32_t start = h.machine.Now();
    EXPECT_EQ(h.crt().ReadKey(), 'a');
    EXPECT_EQ(h.machine.Now(), start + 700);
}

TEST(DisplayKeys, KeysBeforeTheConsoleOpenedTheDisplayAreLost) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(40);
    ASSERT_FALSE(h.machine.LoadScript("braille-key 1 256\nbraille-key 1 3\n"));
    h.machine.Sleep(5);  // due before any window exists
    h.Open();
    h.crt().Delay(10);
    EXPECT_EQ(h.crt().KeyCount(), 0);
    EXPECT_EQ(h.machine.BrailleDisplay().lostKeys, 2);
}

TEST(DisplayKeys, SwitchingKeysOffDisablesTheHook) {
    ConsoleHarness h;
    h.machine.AttachBrailleDisplay(40);
    h.Open();
    Focus(h).BrailleKeys(false);
    h.Script(KeyScript({{1, 1 << 8}, {1, 3}}));
    EXPECT_EQ(h.crt().KeyCount(), 0);
    Focus(h).BrailleKeys(true);
    h.Script(KeyScript({{1, 1 << 8}, {1, 3}}));
    EXPECT_EQ(Bytes(h.Drain()), "97");
}

// ---- The key translator alone ----

TEST(KeyTranslator, DotsSevenAndEightWithOtherDotsGiveTheSixDotCharacter) {
    auto chord = [](std::uint32_t bits) {
        std::uint32_t pending = 0;
        sonara::TranslateDisplayKey(pending, 1, static_cast<win::LPARAM>(bits) << 8);
        sonara::DisplayKey k = sonara::TranslateDisplayKey(pending, 1, 3);
        EXPECT_EQ(pending, 0u);
        return std::to_string(k.c) + "/" + std::to_string(k.k);
    };
    EXPECT_EQ(chord(64 | 3), "98/0");                   // dot 7 with b
    EXPECT_EQ(chord(128 | 1), "97/0");                  // dot 8 with a
    EXPECT_EQ(chord(64 | 128 | 4), "46/0");             // dots 7, 8 with dot 3
    EXPECT_EQ(chord(64 | 1024), "0/0");                 // no dots 1-6: nothing
    EXPECT_EQ(chord(1024 | 1), "97/0");                 // keys without a column add nothing
    EXPECT_EQ(chord(63), std::to_string(0xE9) + "/0");  // all six dots: é
    EXPECT_EQ(chord(40), "123/0");                      // the capital sign's chord
}

TEST(KeyTranslator, PendingBitsGatherUntilTheChordEndsAndNavigationLeavesThem) {
    std::uint32_t pending = 0;
    EXPECT_EQ(sonara::TranslateDisplayKey(pending, 1, 1 << 8).c, 0);
    sonara::TranslateDisplayKey(pending, 3, 16);
    sonara::TranslateDisplayKey(pending, 1, 261);
    EXPECT_EQ(pending, 1u);
    sonara::TranslateDisplayKey(pending, 1, 16 << 8);
    EXPECT_EQ(sonara::TranslateDisplayKey(pending, 1, 3).c, 'e');
    // Data wider than 32 bits keeps only what the library's 32 bits carry.
    sonara::TranslateDisplayKey(pending, 1, static_cast<win::LPARAM>(0x7F00000000000100LL));
    EXPECT_EQ(pending, 1u);
}

}  // namespace

namespace {

// ---- Script lines and the transcript ----

TEST(Script, BrailleLinesAreCheckedAndWritesBecomeTranscriptLines) {
    sim::SimMachine m;
    for (const char* bad : {"braille-display", "braille-display x", "braille-display 2000",
                            "braille-key 1", "braille-key a 3", "braille-key 1 -3"}) {
        auto error = m.LoadScript(std::string("wait 5\n") + bad + "\n");
        ASSERT_TRUE(error.has_value()) << bad;
        EXPECT_NE(error->find("line 2"), std::string::npos) << *error;
    }
    std::ostringstream out;
    sonara::RunSimulated(
        "braille-display 4\nwait 10\nbraille-key 1 768\nbraille-key 1 3\n",
        [] {
            sonara::InitConsole();
            sonara::ConsoleWriteLine("ab");
            sonara::ConsoleWriteLine(std::string(1, sonara::ReadKey()));
        },
        out);
    const std::string text = out.str();
    // a = dot 1 (U+2801), b = dots 1 2 (U+2803), blank cells U+2800.
    EXPECT_NE(text.find("0 braille \u2801\u2803\u2800\u2800\n"), std::string::npos) << text;
    EXPECT_NE(text.find("10 key 98\n10 braille \u2803\u2800\u2800\u2800\n"), std::string::npos)
        << text;
}

}  // namespace
