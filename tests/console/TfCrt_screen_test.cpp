// The console grid: writing, wrapping, scrolling, colours, drawing runs and painting.
#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "support/ConsoleHarness.h"

namespace {

using console_test::ConsoleHarness;
constexpr int kW = 13;  // cell size of the default font on the sim's 1024 x 734 work area
constexpr int kH = 28;

void Write(sonara::TfCrt& crt, const std::string& text) {
    crt.WriteText(text.data(), static_cast<std::uint16_t>(text.size()));
}

void Repaint(ConsoleHarness& h, const win::RECT* rect = nullptr) {
    h.machine.ClearRecords();
    win::InvalidateRect(h.crt().Window(), rect, win::FALSE);
    win::UpdateWindow(h.crt().Window());
}

TEST(Writing, EightiethCharacterStaysOnTheRowAndTheEightyFirstWraps) {
    ConsoleHarness h;
    h.Open();
    Write(h.crt(), std::string(80, 'x'));
    EXPECT_EQ(h.crt().CursorX(), 80);
    EXPECT_EQ(h.crt().CursorY(), 0);
    Write(h.crt(), "\n");
    EXPECT_EQ(h.crt().CursorX(), 0);
    EXPECT_EQ(h.crt().CursorY(), 1);  // no empty row in between

    Write(h.crt(), std::string(80, 'y') + "z");
    EXPECT_EQ(h.crt().CursorY(), 2);
    EXPECT_EQ(h.crt().CursorX(), 1);
    EXPECT_EQ(h.crt().CharAt(0, 2), 'z');
    EXPECT_EQ(h.crt().CharAt(79, 1), 'y');
}

TEST(Writing, BackspaceCarriageReturnBellAndIgnoredControls) {
    ConsoleHarness h;
    h.Open();
    Write(h.crt(), "\babc");
    EXPECT_EQ(h.crt().CharAt(0, 0), 'a');  // backspace at column 0 did nothing
    Write(h.crt(), "\b");
    EXPECT_EQ(h.crt().CursorX(), 2);
    EXPECT_EQ(h.crt().CharAt(2, 0), ' ');
    Write(h.crt(), "\rZ");
    EXPECT_EQ(h.crt().CharAt(0, 0), 'Z');
    EXPECT_EQ(h.crt().CursorX(), 1);

    auto before = h.crt().ScreenRows();
    h.machine.ClearRecords();
    for (int b = 0; b < 32; ++b) {
        if (b == 7 || b == 8 || b == 10 || b == 13) continue;
        char c = static_cast<char>(b);
        h.crt().WriteText(&c, 1);
        EXPECT_EQ(h.crt().CursorX(), 1) << b;
        EXPECT_EQ(h.crt().CursorY(), 0) << b;
    }
    EXPECT_EQ(h.crt().ScreenRows(), before);
    EXPECT_TRUE(h.machine.TextRuns().empty());
    Write(h.crt(), "\a");
    int beeps = 0;
    for (const auto& e : h.machine.Events()) beeps += e.kind == "beep";
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(h.crt().ScreenRows(), before);
}

TEST(Writing, EveryPrintableByteIsStoredInOrder) {
    ConsoleHarness h;
    h.Open();
    std::string all;
    for (int b = 32; b < 256; ++b) all += static_cast<char>(b);
    Write(h.crt(), all);
    for (int i = 0; i < 224; ++i)
        EXPECT_EQ(static_cast<unsigned char>(h.crt().CharAt(i % 80, i / 80)), 32 + i) << i;
    EXPECT_EQ(h.crt().CursorY(), 2);
    EXPECT_EQ(h.crt().CursorX(), 224 - 160);
}

TEST(Scrolling, LineFeedOnTheLastRowScrollsByInvalidatingByDefault) {
    ConsoleHarness h;
    h.Open();
    Write(h.crt(), "top\nsecond");
    for (int i = 0; i < 23; ++i) Write(h.crt(), "\n");
    Write(h.crt(), "last");
    EXPECT_EQ(h.crt().CursorY(), 24);
    h.machine.ClearRecords();
    Write(h.crt(), "\n");
    EXPECT_EQ(h.crt().CursorY(), 24);
    EXPECT_EQ(h.crt().CursorX(), 0);
    auto rows = h.crt().ScreenRows();
    EXPECT_EQ(rows[0], "second");
    EXPECT_EQ(rows[23], "last");
    EXPECT_EQ(rows[24], "");
    EXPECT_TRUE(h.machine.Blits().empty());
    bool row0Redrawn = false;
    for (const auto& run : h.machine.TextRuns())
        row0Redrawn |= run.y == 0 && run.text.rfind("second", 0) == 0;
    EXPECT_TRUE(row0Redrawn);
}

TEST(Scrolling, SlowModeCopiesPixelsAndFillsTheLastRowWithTheBackground) {
    ConsoleHarness h("[VIDEO]\r\nLENTO=S\r\nCANTOTELA=NS\r\nCORFUNDO=1\r\n");
    h.Open();
    for (int i = 0; i < 24; ++i) Write(h.crt(), "\n");
    h.machine.ClearRecords();
    Write(h.crt(), "\n");
    ASSERT_EQ(h.machine.Blits().size(), 1u);
    const auto& b = h.machine.Blits()[0];
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 0);
    EXPECT_EQ(b.w, 80 * kW);
    EXPECT_EQ(b.h, 24 * kH);
    EXPECT_EQ(b.sx, 0);
    EXPECT_EQ(b.sy, kH);
    EXPECT_EQ(b.rop, win::SRCCOPY);
    ASSERT_EQ(h.machine.PatBlts().size(), 1u);
    const auto& p = h.machine.PatBlts()[0];
    EXPECT_EQ(p.y, 24 * kH);
    EXPECT_EQ(p.w, 80 * kW);
    EXPECT_EQ(p.h, kH);
    EXPECT_EQ(p.colour, win::RGB(0, 0, 255));
}

TEST(Scrolling, SlowModeInvalidatesWhenTheWindowReachesTheScreenBottom) {
    // 25 rows of 30 pixels make the window taller than the screen less 32 pixels.
    ConsoleHarness h("[VIDEO]\r\nLENTO=S\r\nCANTOTELA=NS\r\nALTURALETRA=30\r\n");
    h.Open();
    for (int i = 0; i < 25; ++i) Write(h.crt(), "\n");
    EXPECT_TRUE(h.machine.Blits().empty());
    EXPECT_EQ(h.crt().CursorY(), 24);
}

TEST(Colours, TextColorKeepsTheBackgroundAndFixedColoursIgnoreIt) {
    ConsoleHarness h("[VIDEO]\r\nCORFUNDO=1\r\n");
    h.Open();
    h.crt().TextColor(0x2C);
    EXPECT_EQ(h.crt().TextAttr(), 0x1C);
    ConsoleHarness fixed("[VIDEO]\r\nCORESFIXAS=S\r\n");
    fixed.Open();
    fixed.crt().TextColor(4);
    EXPECT_EQ(fixed.crt().TextAttr(), 0x0F);
}

TEST(Colours, PaletteSlotAbove15ShowsBlack) {
    ConsoleHarness h("[VIDEO]\r\nTABCORES=15,200\r\nCORLETRA=0\r\nCORFUNDO=1\r\n");
    h.Open();
    Write(h.crt(), "x");
    ASSERT_EQ(h.machine.TextRuns().size(), 1u);
    EXPECT_EQ(h.machine.TextRuns()[0].fg, win::RGB(255, 255, 255));
    EXPECT_EQ(h.machine.TextRuns()[0].bg, win::RGB(0, 0, 0));
    EXPECT_EQ(sonara::ColourOfSlot(5), win::RGB(142, 0, 142));
    EXPECT_EQ(sonara::ColourOfSlot(16), win::RGB(0, 0, 0));
}

TEST(Drawing, AWriteDrawsOnlyItsSpanAndAPaintDrawsOneRunPerAttribute) {
    ConsoleHarness h("[VIDEO]\r\nCANTOTELA=NS\r\n");  // the whole grid in the client area
    h.Open();
    h.crt().TextColor(14);
    Write(h.crt(), "ab");
    h.crt().TextColor(10);
    Write(h.crt(), "cd");
    ASSERT_EQ(h.machine.TextRuns().size(), 2u);
    EXPECT_EQ(h.machine.TextRuns()[1].text, "cd");
    EXPECT_EQ(h.machine.TextRuns()[1].x, 2 * kW);

    Repaint(h);
    std::vector<sim::TextRun> row0;
    for (const auto& run : h.machine.TextRuns())
        if (run.y == 0) row0.push_back(run);
    ASSERT_EQ(row0.size(), 3u);
    EXPECT_EQ(row0[0].text, "ab");
    EXPECT_EQ(row0[0].fg, win::RGB(255, 255, 0));
    EXPECT_EQ(row0[0].x, 0);
    EXPECT_EQ(row0[1].text, "cd");
    EXPECT_EQ(row0[1].fg, win::RGB(128, 255, 128));
    EXPECT_EQ(row0[1].x, 2 * kW);
    EXPECT_EQ(row0[2].text, std::string(76, ' '));
    EXPECT_EQ(row0[2].fg, win::RGB(255, 255, 255));
    EXPECT_EQ(row0[2].x, 4 * kW);
    EXPECT_EQ(row0[2].bg, win::RGB(0, 0, 0));
}

TEST(Drawing, PaintCoversOnlyTheCellsOfTheUpdateRectangle) {
    ConsoleHarness h("[VIDEO]\r\nCANTOTELA=NS\r\n");
    h.Open();
    win::RECT r{10 * kW, 2 * kH, 12 * kW + 1, 3 * kH};
    Repaint(h, &r);
    ASSERT_EQ(h.machine.TextRuns().size(), 1u);
    EXPECT_EQ(h.machine.TextRuns()[0].x, 10 * kW);
    EXPECT_EQ(h.machine.TextRuns()[0].y, 2 * kH);
    EXPECT_EQ(h.machine.TextRuns()[0].text, "   ");
}

TEST(Drawing, BrailleDisplayGetsWrittenRowsButNotRepaints) {
    ConsoleHarness h;
    std::vector<std::pair<int, std::string>> lines;
    bool keysOn = false;
    h.crt().brailleDisplay.open = [] { return true; };
    h.crt().brailleDisplay.enableKeys = [&] { keysOn = true; };
    h.crt().brailleDisplay.writeLine = [&](int row, std::string_view cells) {
        lines.emplace_back(row, std::string(cells));
    };
    h.Open();
    EXPECT_TRUE(keysOn);
    lines.clear();
    Write(h.crt(), "abc\nd");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].first, 0);
    EXPECT_EQ(lines[0].second, "abc" + std::string(77, ' '));
    EXPECT_EQ(lines[1].first, 1);
    Repaint(h);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_FALSE(h.machine.TextRuns().empty());
}

TEST(Window, ClassTitleSizeLimitsAndClearScreen) {
    ConsoleHarness h;
    h.Open();
    EXPECT_EQ(h.machine.Title(), "c:\\sonara\\sonara.exe");
    win::MINMAXINFO info;
    win::SendMessageA(h.crt().Window(), win::WM_GETMINMAXINFO, 0,
                      reinterpret_cast<win::LPARAM>(&info));
    EXPECT_EQ(info.ptMaxSize.x, 1024 + 8);  // 80 cells are wider than the screen
    EXPECT_EQ(info.ptMaxSize.y, 19 + 25 * kH + 8);
    EXPECT_EQ(info.ptMaxTrackSize.x, info.ptMaxSize.x);
    EXPECT_EQ(info.ptMinTrackSize.x, 8 + 16 * kW);
    EXPECT_EQ(info.ptMinTrackSize.y, 8 + 4 * kH + 19);

    Write(h.crt(), "abc\ndef");
    h.crt().ClearScreen();
    EXPECT_EQ(h.crt().CursorX(), 0);
    EXPECT_EQ(h.crt().CursorY(), 0);
    EXPECT_EQ(h.crt().ScreenRows()[1], "");
}

TEST(Window, TitleIsTheModuleNameConvertedFromOem) {
    // 0x87 is c-cedilla in the OEM code page, 0xE7 in Windows-1252.
    ConsoleHarness h("", "c:\\jogo\\p\x87.exe");
    EXPECT_EQ(h.crt().Title(), "c:\\jogo\\p\xE7.exe");
    h.Open();
    EXPECT_EQ(h.machine.Title(), "c:\\jogo\\p\xE7.exe");
}

TEST(Window, CloseEndsTheProgramAtOnceAndDrainsTheKeys) {
    ConsoleHarness h;
    h.Open();
    ASSERT_FALSE(h.machine.LoadScript("type ab\nclose\nwait 100\nkey c").has_value());
    EXPECT_EQ(h.ExitCodeOf([&] { h.crt().ReadKey(), h.crt().ReadKey(), h.crt().ReadKey(); }), 0);
    EXPECT_FALSE(h.crt().Created());
    EXPECT_EQ(h.crt().KeyCount(), 0);
    // Nothing makes the window again.
    h.crt().InitConsole();
    EXPECT_FALSE(h.crt().Created());
}

}  // namespace
