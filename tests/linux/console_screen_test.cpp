// The real console on the Linux back end draws its text in its colours in the right cells
// of an exactly 80 x 25 cell client area: read back from the window's own surface, and
// in a screenshot of what the X server shows.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tests/linux/support/screenshot.h"

namespace {

using win::COLORREF;
using win::RGB;

struct Cells {
    win::LinuxBackend* backend;
    win::HWND hwnd;
    int cw;
    int ch;
    // Pixels of a cell of exactly this colour.
    int Count(int col, int row, COLORREF c) const {
        int n = 0;
        for (int y = row * ch; y < (row + 1) * ch; ++y)
            for (int x = col * cw; x < (col + 1) * cw; ++x) n += backend->PixelAt(hwnd, x, y) == c;
        return n;
    }
};

TEST(ConsoleScreen, TextInItsColoursInTheRightCells) {
    win::LinuxBackend backend;
    win::SetBackend(&backend);
    win::RECT rc{};
    int blackCell = 0, yellowInA = 0, blackInA = 0, greenInRow1 = 0, yellowInRow1 = 0;
    int blankAfter = 0, cw = 0, ch = 0, screenW = 0, screenH = 0;
    bool grabbed = false;
    int shotYellowInA = 0, shotBlackCell = 0, shotGreenInRow1 = 0, shotYellowInRow1 = 0;
    const int code = sonara::RunProgram([&] {
        sonara::InitConsole();
        win::HWND h = sonara::ConsoleWindow();
        backend.GetClientRect(h, &rc);
        // With no Sonara.ini the cell follows the work area (13 x 28 on 1024 x 734).
        win::RECT work{};
        backend.SystemParametersInfoA(win::SPI_GETWORKAREA, 0, &work, 0);
        cw = static_cast<int>((work.right - work.left) / 1024.0 * 13);
        ch = static_cast<int>((work.bottom - work.top) / 734.0 * 28);
        screenW = backend.GetSystemMetrics(win::SM_CXSCREEN);
        screenH = backend.GetSystemMetrics(win::SM_CYSCREEN);
        const Cells cells{&backend, h, cw, ch};
        sonara::TextColor(14);  // yellow on the default black
        sonara::WriteText("A b", 3);
        sonara::TextColor(10);  // light green
        sonara::WriteText("\r\n  W", 5);
        sonara::KeyPressed();  // dispatches the paint of the first show
        yellowInA = cells.Count(0, 0, RGB(255, 255, 0));
        blackInA = cells.Count(0, 0, RGB(0, 0, 0));
        blackCell = cells.Count(1, 0, RGB(0, 0, 0));
        greenInRow1 = cells.Count(2, 1, RGB(128, 255, 128));
        yellowInRow1 = cells.Count(2, 1, RGB(255, 255, 0));
        blankAfter = cells.Count(3, 1, RGB(0, 0, 0));
        // The same cells as the X server shows them.
        if (auto shot = linux_test::GrabWindow("console_screen_test")) {
            grabbed = true;
            auto count = [&](int col, int row, COLORREF c) {
                int n = 0;
                for (int y = row * ch; y < (row + 1) * ch && y < shot->height; ++y)
                    for (int x = col * cw; x < (col + 1) * cw && x < shot->width; ++x)
                        n += shot->At(x, y) == c;
                return n;
            };
            shotYellowInA = count(0, 0, RGB(255, 255, 0));
            shotBlackCell = count(1, 0, RGB(0, 0, 0));
            shotGreenInRow1 = count(2, 1, RGB(128, 255, 128));
            shotYellowInRow1 = count(2, 1, RGB(255, 255, 0));
        }
        sonara::DoneConsole();
    });
    win::SetBackend(nullptr);
    EXPECT_EQ(code, 0);
    // The window adds nothing to the grid: maximised, the client area is 80 x 25 cells,
    // or the screen where that is smaller.
    ASSERT_GT(cw, 0);
    ASSERT_GT(ch, 0);
    EXPECT_EQ(rc.right, std::min(80 * cw, screenW));
    EXPECT_EQ(rc.bottom, std::min(25 * ch, screenH));
    const int cellPixels = cw * ch;
    EXPECT_GT(yellowInA, 5);
    EXPECT_GT(blackInA, cellPixels / 3);
    EXPECT_EQ(blackCell, cellPixels);  // the space
    EXPECT_GT(greenInRow1, 5);
    EXPECT_EQ(yellowInRow1, 0);
    EXPECT_EQ(blankAfter, cellPixels);
    if (!grabbed) GTEST_SKIP() << "no X display or ffmpeg: the screenshot half is skipped";
    EXPECT_EQ(shotYellowInA, yellowInA);
    EXPECT_EQ(shotBlackCell, cellPixels);
    EXPECT_EQ(shotGreenInRow1, greenInRow1);
    EXPECT_EQ(shotYellowInRow1, 0);
}

}  // namespace
