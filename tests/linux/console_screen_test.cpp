// The real console on the Linux back end draws its text in its colours in the right cells
// of an exactly 80 x 25 cell client area: read back from the window's own surface, and
// in a screenshot of what the X server shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tests/linux/support/shell.h"

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

// What the X server shows of a window: a screenshot taken with ffmpeg's X grabber, without
// the pointer (an earlier test may have left it over the window).
struct Screenshot {
    int width = 0;
    int height = 0;
    std::string rgb;  // 3 bytes a pixel, rows top to bottom
    COLORREF At(int x, int y) const {
        const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (y * width + x);
        return RGB(p[0], p[1], p[2]);
    }
};

std::optional<Screenshot> GrabWindow(const std::string& title) {
    using linux_test::Shell;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || Shell("ffmpeg -version | head -n 1").empty()) return std::nullopt;
    const std::string xid = Shell("xdotool search --name '" + title + "' | head -n 1");
    if (xid.empty()) return std::nullopt;
    std::istringstream geometry(Shell("xdotool getwindowgeometry --shell " + xid));
    int x = -1, y = -1, w = 0, h = 0;
    for (std::string line; std::getline(geometry, line);) {
        std::sscanf(line.c_str(), "X=%d", &x);
        std::sscanf(line.c_str(), "Y=%d", &y);
        std::sscanf(line.c_str(), "WIDTH=%d", &w);
        std::sscanf(line.c_str(), "HEIGHT=%d", &h);
    }
    if (x < 0 || y < 0 || w <= 0 || h <= 0) return std::nullopt;
    const std::string file =
        ::testing::TempDir() + "console_screen" + std::to_string(::getpid()) + ".ppm";
    Shell("ffmpeg -nostdin -loglevel error -y -f x11grab -draw_mouse 0 -video_size " +
          std::to_string(w) + "x" + std::to_string(h) + " -i '" + display + "+" +
          std::to_string(x) + "," + std::to_string(y) + "' -frames:v 1 -f image2 -vcodec ppm '" +
          file + "'");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
    // P6, width, height, 255, one blank, then the pixels.
    std::istringstream header(bytes);
    std::string magic;
    int max = 0;
    Screenshot shot;
    if (!(header >> magic >> shot.width >> shot.height >> max) || magic != "P6" || max != 255)
        return std::nullopt;
    const auto start = static_cast<std::size_t>(header.tellg()) + 1;
    const auto size = static_cast<std::size_t>(shot.width) * shot.height * 3;
    if (bytes.size() < start + size) return std::nullopt;
    shot.rgb = bytes.substr(start, size);
    return shot;
}

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
        if (auto shot = GrabWindow("console_screen_test")) {
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
