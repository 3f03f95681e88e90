// The clip frame a window of the Linux back end shows: refitted when the window is
// resized, and, once its clip has ended, kept through repaints until the program itself
// draws in the window.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/linux/LinuxWindow.h"
#include "tests/linux/support/test_window.h"

namespace linux_test {
namespace {

using namespace win;

constexpr DWORD kBlackness = 0x00000042;                    // BLACKNESS
const std::vector<std::uint8_t> kFrame(16 * 12 * 4, 0x80);  // a 4:3 grey picture

TEST(VideoFrame, AKeptFrameIsRefittedToTheNewClientArea) {
    LinuxWindow w(reinterpret_cast<HWND>(std::uintptr_t{1}), nullptr, RGB(0, 0, 0), 800, 600);
    w.ShowFrame(kFrame.data(), 16, 12, 16 * 4, RECT{0, 0, 800, 600});
    w.StillFrame();
    w.Resize(400, 600);  // tall: the picture keeps its shape, centred
    RECT t = w.FrameTarget();
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.right, 400);
    EXPECT_EQ(t.top, 150);
    EXPECT_EQ(t.bottom, 450);
    w.Resize(1000, 300);  // wide
    t = w.FrameTarget();
    EXPECT_EQ(t.left, 300);
    EXPECT_EQ(t.right, 700);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.bottom, 300);
    EXPECT_TRUE(w.HasFrame());  // a resize is no reason to drop it
}

TEST(VideoFrame, OnlyAStillFrameGivesWayToTheProgramsDrawing) {
    LinuxWindow w(reinterpret_cast<HWND>(std::uintptr_t{1}), nullptr, RGB(0, 0, 0), 64, 48);
    w.ShowFrame(kFrame.data(), 16, 12, 16 * 4, RECT{0, 0, 64, 48});
    w.ProgramDrew();  // while the clip plays, its next frame would cover the drawing anyway
    EXPECT_TRUE(w.HasFrame());
    w.StillFrame();
    w.ShowFrame(kFrame.data(), 16, 12, 16 * 4, RECT{0, 0, 64, 48});  // playing again
    w.ProgramDrew();
    EXPECT_TRUE(w.HasFrame());
    w.StillFrame();
    w.ProgramDrew();
    EXPECT_FALSE(w.HasFrame());
    w.StillFrame();  // no frame: nothing to keep, and nothing comes back
    w.ShowFrame(kFrame.data(), 16, 12, 16 * 4, RECT{0, 0, 64, 48});
    w.ProgramDrew();
    EXPECT_TRUE(w.HasFrame());
    w.ClearFrame();
    EXPECT_FALSE(w.HasFrame());
}

TEST(VideoFrame, RepaintsKeepAnEndedClipsFrameWritesAndInvalidationsReplaceIt) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(64, 48);
    VideoSink& sink = b;
    auto showStill = [&] {
        sink.ShowFrame(h, kFrame.data(), 16, 12, 16 * 4, RECT{0, 0, 64, 48});
        sink.StillFrame(h);
        t.Pump();
        ASSERT_TRUE(b.ShowsFrame(h));
    };
    showStill();
    // A repaint draws through the paint DC: the frame stays over it.
    PAINTSTRUCT ps;
    HDC paint = b.BeginPaint(h, &ps);
    EXPECT_TRUE(b.TextOutA(paint, 0, 0, "repaint", 7));
    EXPECT_TRUE(b.PatBlt(paint, 0, 0, 8, 8, kBlackness));
    b.EndPaint(h, &ps);
    t.Pump();
    EXPECT_TRUE(b.ShowsFrame(h));
    // A write of the program's own replaces it.
    HDC dc = b.GetDC(h);
    EXPECT_TRUE(b.TextOutA(dc, 0, 0, "credits", 7));
    b.ReleaseDC(h, dc);
    EXPECT_FALSE(b.ShowsFrame(h));
    // So do a fill, a scroll and an invalidation.
    showStill();
    dc = b.GetDC(h);
    EXPECT_TRUE(b.PatBlt(dc, 0, 0, 8, 8, kBlackness));
    b.ReleaseDC(h, dc);
    EXPECT_FALSE(b.ShowsFrame(h));
    showStill();
    dc = b.GetDC(h);
    EXPECT_TRUE(b.BitBlt(dc, 0, 0, 8, 8, dc, 0, 8, SRCCOPY));
    b.ReleaseDC(h, dc);
    EXPECT_FALSE(b.ShowsFrame(h));
    showStill();
    EXPECT_TRUE(b.InvalidateRect(h, nullptr, FALSE));
    EXPECT_FALSE(b.ShowsFrame(h));
    sink.StillFrame(nullptr);  // an unknown window is ignored
}

}  // namespace
}  // namespace linux_test
