// The back end's windows, drawing and queue, on whatever SDL video driver is available
// (off-screen without a display). Pixels are read back from the window's own surface.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <limits>
#include <thread>

#include "platform/linux/LinuxClips.h"
#include "tests/linux/support/test_window.h"

namespace linux_test {
namespace {

using namespace win;

HFONT ConsoleFont(LinuxBackend& b, int height = 28, int width = 13) {
    return b.CreateFontA(height, width, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                         "Lucida Console");
}

TEST(Metrics, NoFrameOrCaptionAndAScreen) {
    TestWindows t;
    auto& b = t.backend();
    EXPECT_EQ(b.GetSystemMetrics(SM_CXFRAME), 0);
    EXPECT_EQ(b.GetSystemMetrics(SM_CYFRAME), 0);
    EXPECT_EQ(b.GetSystemMetrics(SM_CYCAPTION), 0);
    const int cx = b.GetSystemMetrics(SM_CXSCREEN);
    const int cy = b.GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GT(cx, 0);
    EXPECT_GT(cy, 0);
    RECT work;
    ASSERT_TRUE(b.SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GT(work.right, work.left);
    EXPECT_LE(work.right - work.left, cx);
    EXPECT_LE(work.bottom - work.top, cy);
    EXPECT_FALSE(b.SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr, 0));
}

TEST(Fonts, CellIsTheRequestedSizeAndMetricsFitIt) {
    TestWindows t;
    auto& b = t.backend();
    HDC screen = b.GetDC(nullptr);
    HFONT f = ConsoleFont(b);
    ASSERT_NE(f, nullptr);
    HGDIOBJ old = b.SelectObject(screen, f);
    EXPECT_NE(old, nullptr);
    TEXTMETRICA tm;
    ASSERT_TRUE(b.GetTextMetricsA(screen, &tm));
    EXPECT_EQ(tm.tmHeight, 28);
    EXPECT_EQ(tm.tmAveCharWidth, 13);
    EXPECT_EQ(tm.tmOverhang, 0);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_GT(tm.tmAscent, 0);
    EXPECT_LT(tm.tmAscent, 28);
    EXPECT_EQ(b.SelectObject(screen, old), f);

    // A character height gives the face's own cell; absurd sizes are clamped, not fatal.
    HFONT em = b.CreateFontA(-16, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "monospace");
    ASSERT_NE(em, nullptr);
    b.SelectObject(screen, em);
    ASSERT_TRUE(b.GetTextMetricsA(screen, &tm));
    EXPECT_GE(tm.tmHeight, 16);
    EXPECT_GT(tm.tmAveCharWidth, 4);
    EXPECT_LT(tm.tmAveCharWidth, 16);
    HFONT huge = b.CreateFontA(1000000, -5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    ASSERT_NE(huge, nullptr);
    b.SelectObject(screen, huge);
    ASSERT_TRUE(b.GetTextMetricsA(screen, &tm));
    EXPECT_LE(tm.tmHeight, 512);
    b.SelectObject(screen, b.GetStockObject(OEM_FIXED_FONT));
    EXPECT_TRUE(b.DeleteObject(huge));
    EXPECT_FALSE(b.DeleteObject(b.GetStockObject(OEM_FIXED_FONT)));
    b.ReleaseDC(nullptr, screen);
}

class Drawing : public ::testing::Test {
  protected:
    void SetUp() override {
        font = ConsoleFont(t.backend(), 20, 10);
        ASSERT_NE(font, nullptr);
        hwnd = t.Open(80 * 10, 25 * 20);
        ASSERT_NE(hwnd, nullptr);
        dc = t.backend().GetDC(hwnd);
        t.backend().SelectObject(dc, font);
    }
    void TearDown() override { t.backend().ReleaseDC(hwnd, dc); }
    COLORREF At(int x, int y) { return t.backend().PixelAt(hwnd, x, y); }
    // How many pixels of the cell have this colour (within `slack` per channel: glyph
    // edges are blended).
    int Count(int col, int row, COLORREF c, int slack = 0) {
        auto near = [slack](int a, int b) { return a - b <= slack && b - a <= slack; };
        int n = 0;
        for (int y = row * 20; y < row * 20 + 20; ++y) {
            for (int x = col * 10; x < col * 10 + 10; ++x) {
                const COLORREF p = At(x, y);
                n += near(GetRValue(p), GetRValue(c)) && near(GetGValue(p), GetGValue(c)) &&
                     near(GetBValue(p), GetBValue(c));
            }
        }
        return n;
    }

    TestWindows t;
    HFONT font = nullptr;
    HWND hwnd = nullptr;
    HDC dc = nullptr;
};

TEST_F(Drawing, TextGoesInItsCellsInItsColoursOverAnOpaqueBackground) {
    auto& b = t.backend();
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    b.SetTextColor(dc, red);
    b.SetBkColor(dc, blue);
    ASSERT_TRUE(b.TextOutA(dc, 3 * 10, 2 * 20, "M \xC7", 3));  // "M", space, Ç
    EXPECT_GT(Count(3, 2, red), 10);                           // the glyph's solid strokes
    EXPECT_GT(Count(3, 2, blue), 50);
    EXPECT_EQ(Count(4, 2, blue), 200);     // the space: all background
    EXPECT_GT(Count(5, 2, red, 100), 10);  // Windows-1252 Ç is drawn
    // Neighbouring cells keep the class background.
    EXPECT_EQ(Count(2, 2, RGB(0, 0, 0)), 200);
    EXPECT_EQ(Count(6, 2, RGB(0, 0, 0)), 200);
    EXPECT_EQ(Count(3, 1, RGB(0, 0, 0)), 200);
    EXPECT_EQ(Count(3, 3, RGB(0, 0, 0)), 200);

    // Transparent text leaves the background alone.
    b.SetBkMode(dc, TRANSPARENT);
    b.SetTextColor(dc, RGB(0, 255, 0));
    b.TextOutA(dc, 10 * 10, 0, "W", 1);
    EXPECT_GT(Count(10, 0, RGB(0, 255, 0)), 10);
    EXPECT_EQ(Count(10, 0, blue), 0);
    // Control bytes draw nothing but their background; nothing breaks on odd input.
    b.SetBkMode(dc, OPAQUE);
    b.TextOutA(dc, 20 * 10, 0, "\x01\x81", 2);
    EXPECT_EQ(Count(20, 0, blue) + Count(21, 0, blue), 400);
    EXPECT_FALSE(b.TextOutA(dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(b.TextOutA(dc, 0, 0, "x", -1));
    EXPECT_TRUE(b.TextOutA(dc, -5000, 90000, "xyz", 3));
    // Coordinates at the ends of the integer range draw nothing and overflow nothing.
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const int before = Count(0, 0, blue) + Count(79, 24, blue);
    EXPECT_TRUE(b.TextOutA(dc, kMax, kMax, "xyz", 3));
    EXPECT_TRUE(b.TextOutA(dc, kMin, kMin, "xyz", 3));
    EXPECT_TRUE(b.PatBlt(dc, kMax - 1, 0, kMax, kMax, PATCOPY));
    EXPECT_TRUE(b.PatBlt(dc, kMin + 1, kMin + 1, kMin + 1, 5, PATCOPY));
    EXPECT_TRUE(b.BitBlt(dc, kMax, kMin, kMax, kMax, dc, kMin, kMax, SRCCOPY));
    EXPECT_EQ(Count(0, 0, blue) + Count(79, 24, blue), before);
}

TEST_F(Drawing, PatBltFillsWithTheSelectedBrushAndBitBltScrollsUp) {
    auto& b = t.backend();
    // Rows of distinct colours, then the console's scroll: rows 1..24 up by one.
    for (int row = 0; row < 25; ++row) {
        HBRUSH br = b.CreateSolidBrush(RGB(row * 10, 255 - row * 10, 7));
        HGDIOBJ old = b.SelectObject(dc, br);
        ASSERT_TRUE(b.PatBlt(dc, 0, row * 20, 800, 20, PATCOPY));
        b.SelectObject(dc, old);
        b.DeleteObject(br);
    }
    EXPECT_EQ(At(5, 24 * 20 + 3), RGB(240, 15, 7));
    ASSERT_TRUE(b.BitBlt(dc, 0, 0, 800, 24 * 20, dc, 0, 20, SRCCOPY));
    for (int row = 0; row < 24; ++row) {
        EXPECT_EQ(At(400, row * 20), RGB((row + 1) * 10, 255 - (row + 1) * 10, 7)) << row;
        EXPECT_EQ(At(799, row * 20 + 19), RGB((row + 1) * 10, 255 - (row + 1) * 10, 7)) << row;
    }
    EXPECT_EQ(At(400, 24 * 20), RGB(240, 15, 7));  // the last row is left as it was
    // Downwards too (overlap copied from the bottom), and blits off the edges are clipped.
    ASSERT_TRUE(b.BitBlt(dc, 0, 20, 800, 24 * 20, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(At(0, 20), RGB(10, 245, 7));
    EXPECT_EQ(At(0, 24 * 20 + 19), RGB(240, 15, 7));
    EXPECT_TRUE(b.BitBlt(dc, 790, 490, 500, 500, dc, -300, -300, SRCCOPY));
    EXPECT_TRUE(b.BitBlt(dc, 0, 0, 100000, 100000, dc, 5, 5, SRCCOPY));
    EXPECT_FALSE(b.PatBlt(dc, 0, 0, 10, 10, 0x12345678));
    // A negative extent fills towards the left and up.
    HBRUSH white = b.GetStockObject(WHITE_BRUSH);
    b.SelectObject(dc, white);
    b.PatBlt(dc, 50, 50, -10, -10, PATCOPY);
    EXPECT_EQ(At(45, 45), RGB(255, 255, 255));
    EXPECT_NE(At(51, 51), RGB(255, 255, 255));
}

TEST(Painting, PaintComesWhenTheQueueIsEmptyWithTheUpdateRectangle) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(200, 100);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(t.Of(WM_PAINT).size(), 1u);  // the first paint of UpdateWindow
    EXPECT_EQ(t.Of(WM_ERASEBKGND).size(), 1u);

    RECT painted{};
    t.handler = [&](const Received& r, LRESULT* result) {
        if (r.message != WM_PAINT) return false;
        PAINTSTRUCT ps;
        b.BeginPaint(r.hwnd, &ps);
        painted = ps.rcPaint;
        b.EndPaint(r.hwnd, &ps);
        *result = 0;
        return true;
    };
    t.Forget();
    RECT a{10, 10, 20, 20}, c{50, 5, 60, 30};
    b.InvalidateRect(h, &a, FALSE);
    b.InvalidateRect(h, &c, FALSE);
    b.PostMessageA(h, WM_USER, 1, 0);
    MSG m;
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER);  // posted messages before the paint
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    // Taking WM_PAINT off the queue does not validate: it stays until BeginPaint.
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    b.DispatchMessageA(&m);
    EXPECT_EQ(painted.left, 10);
    EXPECT_EQ(painted.top, 5);
    EXPECT_EQ(painted.right, 60);
    EXPECT_EQ(painted.bottom, 30);
    EXPECT_FALSE(b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(t.Of(WM_ERASEBKGND).empty());  // invalidated without erasing

    // UpdateWindow paints at once; a rectangle beyond the client area is clipped.
    RECT off{150, 50, 5000, 5000};
    b.InvalidateRect(h, &off, FALSE);
    b.UpdateWindow(h);
    EXPECT_EQ(painted.right, 200);
    EXPECT_EQ(painted.bottom, 100);
    EXPECT_FALSE(b.PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(Painting, PaintDcIsClippedToTheUpdateRectangle) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(100, 100);
    t.handler = [&](const Received& r, LRESULT*) {
        if (r.message != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC dc = b.BeginPaint(r.hwnd, &ps);
        b.SelectObject(dc, b.GetStockObject(WHITE_BRUSH));
        b.PatBlt(dc, 0, 0, 100, 100, PATCOPY);
        b.EndPaint(r.hwnd, &ps);
        return true;
    };
    RECT part{20, 20, 40, 40};
    b.InvalidateRect(h, &part, FALSE);
    b.UpdateWindow(h);
    EXPECT_EQ(b.PixelAt(h, 30, 30), RGB(255, 255, 255));
    EXPECT_EQ(b.PixelAt(h, 10, 10), RGB(0, 0, 0));
    EXPECT_EQ(b.PixelAt(h, 45, 30), RGB(0, 0, 0));
}

TEST(Windows, MaximisingHonoursTheMinMaxInfo) {
    TestWindows t;
    auto& b = t.backend();
    t.handler = [](const Received& r, LRESULT* result) {
        if (r.message != WM_GETMINMAXINFO) return false;
        auto* mmi = reinterpret_cast<MINMAXINFO*>(r.lParam);
        mmi->ptMaxSize = POINT{320, 240};
        mmi->ptMaxTrackSize = POINT{320, 240};
        *result = 0;
        return true;
    };
    HWND h = b.CreateWindowExA(0, "sonaratest", "max", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 100, 80, nullptr);
    ASSERT_NE(h, nullptr);  // class names are case-insensitive
    EXPECT_EQ(t.Of(WM_CREATE).size(), 1u);
    RECT rc;
    b.GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, 100);
    EXPECT_EQ(rc.bottom, 80);
    b.ShowWindow(h, SW_MAXIMIZE);
    EXPECT_EQ(t.Of(WM_GETMINMAXINFO).size(), 1u);
    b.GetClientRect(h, &rc);
    RECT work;
    b.SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rc.right, std::min<LONG>(320, work.right - work.left));
    EXPECT_EQ(rc.bottom, std::min<LONG>(240, work.bottom - work.top));
    ASSERT_FALSE(t.Of(WM_SIZE).empty());
    EXPECT_EQ(LOWORD(t.Of(WM_SIZE).back().lParam), rc.right);
    RECT wr;
    ASSERT_TRUE(b.GetWindowRect(h, &wr));
    EXPECT_EQ(wr.right - wr.left, rc.right);  // no frame outside the client area
    // The grown part of the surface takes the class background.
    EXPECT_EQ(b.PixelAt(h, rc.right - 1, rc.bottom - 1), RGB(0, 0, 0));
    EXPECT_EQ(b.CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr), nullptr);
}

TEST(Windows, AltF4ClosesThroughTheDefaultProcedure) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(50, 50);
    // F4 alone, and Alt+F10, are no close.
    b.SendMessageA(h, WM_SYSKEYDOWN, VK_F1 + 3, 0);
    b.SendMessageA(h, WM_SYSKEYDOWN, VK_F10, KF_ALTDOWN_LPARAM);
    EXPECT_TRUE(b.WindowExists(h));
    EXPECT_TRUE(t.Of(WM_CLOSE).empty());
    b.SendMessageA(h, WM_SYSKEYDOWN, VK_F1 + 3, KF_ALTDOWN_LPARAM | 1);
    EXPECT_TRUE(b.WindowExists(h));  // the close is posted, as on Windows
    t.Pump();
    EXPECT_EQ(t.Of(WM_CLOSE).size(), 1u);
    EXPECT_EQ(t.Of(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(b.WindowExists(h));
    // Messages to a destroyed window are dropped, calls on it fail.
    b.PostMessageA(h, WM_USER, 0, 0);
    t.Pump();
    EXPECT_TRUE(t.Of(WM_USER).empty());
    EXPECT_FALSE(b.ShowWindow(h, SW_SHOW));
    EXPECT_EQ(b.GetDC(h), nullptr);
}

TEST(Queue, WaitMessageWakesOnAPostFromAnotherThread) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(50, 50);
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        b.PostMessageA(h, WM_USER + 5, 42, 0);
        // A safety net so a broken wake-up fails the test instead of hanging it.
        for (int i = 0; i < 100 && !stop; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!stop) b.PostMessageA(h, WM_USER + 6, 0, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(b.WaitMessage());
    const auto waited = std::chrono::steady_clock::now() - start;
    MSG m;
    ASSERT_TRUE(b.PeekMessageA(&m, h, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 5);
    EXPECT_EQ(m.wParam, 42u);
    EXPECT_LT(waited, std::chrono::seconds(2));
    stop = true;
    poster.join();
    // WaitMessage with something queued returns at once.
    b.PostMessageA(h, WM_USER, 0, 0);
    EXPECT_TRUE(b.WaitMessage());
}

TEST(Queue, ClipPlayerMessagesGoToThePlayerNotToWindows) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(50, 50);
    t.Forget();
    b.PostMessageA(h, LinuxClips::kClipMessage, 1, LinuxClips::kFrameReady);
    b.PostMessageA(nullptr, LinuxClips::kClipMessage, 1, LinuxClips::kClipEnded);
    b.PostMessageA(h, WM_USER, 0, 0);
    t.Pump();
    EXPECT_TRUE(t.Of(LinuxClips::kClipMessage).empty());
    EXPECT_EQ(t.Of(WM_USER).size(), 1u);
}

TEST(Queue, QuitAndRegisteredMessages) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(50, 50);
    b.PostQuitMessage(3);
    b.PostMessageA(h, WM_USER, 0, 0);
    MSG m;
    EXPECT_TRUE(b.PeekMessageA(&m, h, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_FALSE(b.PeekMessageA(&m, h, 0, 0, PM_REMOVE));  // the window filter skips WM_QUIT
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);

    const UINT a = b.RegisterWindowMessageA("tfLinBrl");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(b.RegisterWindowMessageA("TFLINBRL"), a);
    EXPECT_NE(b.RegisterWindowMessageA("other"), a);
    EXPECT_EQ(b.RegisterWindowMessageA(""), 0u);

    // A destroyed window takes no more posts; a thread message (no window) still goes.
    ASSERT_TRUE(b.DestroyWindow(h));
    EXPECT_FALSE(b.PostMessageA(h, WM_USER, 0, 0));
    EXPECT_TRUE(b.PostMessageA(nullptr, WM_USER, 0, 0));
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, nullptr);
}

TEST(Queue, TerminationSignalBecomesAQuitMessage) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(50, 50);
    ASSERT_EQ(std::raise(SIGTERM), 0);  // SDL's handler turns it into an event
    // A safety net of posts, so a signal that is lost fails the test instead of hanging it.
    std::atomic<bool> stop{false};
    std::thread ticker([&] {
        for (int i = 0; i < 60 && !stop; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            b.PostMessageA(h, WM_USER + 9, 0, 0);
        }
    });
    MSG m;
    bool quit = false;
    for (int i = 0; i < 60 && !quit; ++i) {
        b.WaitMessage();
        while (!quit && b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) quit = m.message == WM_QUIT;
    }
    stop = true;
    ticker.join();
    EXPECT_TRUE(quit);
    EXPECT_EQ(m.wParam, 0u);
}

// SDL events pushed into SDL's own queue go through the same translation as real input.
void PushKey(SDL_Keycode key, SDL_Scancode sc, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = key;
    ev.key.keysym.scancode = sc;
    ev.key.keysym.mod = mod;
    SDL_PushEvent(&ev);
}

void PushText(const char* utf8) {
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    SDL_strlcpy(ev.text.text, utf8, sizeof ev.text.text);
    SDL_PushEvent(&ev);
}

TEST(Input, EachKeyGivesItsCharacterOnceAndKeyStateFollowsTheQueue) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(50, 50);
    t.Forget();
    PushKey(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, true, KMOD_LSHIFT);
    PushKey(SDLK_a, SDL_SCANCODE_A, true, KMOD_LSHIFT);
    PushText("A");
    PushKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, true);
    PushText("\xC3\xA7");  // ç from an input method: text with no key
    // GetKeyState changes only as messages are taken.
    MSG m;
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_GE(b.GetKeyState(VK_SHIFT), 0);
    ASSERT_TRUE(b.PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.hwnd, h);
    EXPECT_LT(b.GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(b.GetKeyState(VK_LSHIFT), 0);
    b.TranslateMessage(&m);
    b.DispatchMessageA(&m);
    t.Pump();
    std::vector<WPARAM> chars;
    for (const Received& r : t.Of(WM_CHAR)) chars.push_back(r.wParam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'A', 27, 231}));
    ASSERT_EQ(t.Of(WM_KEYDOWN).size(), 3u);
    EXPECT_EQ(t.Of(WM_KEYDOWN)[1].wParam, WPARAM{'A'});
    PushKey(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, false);
    t.Pump();
    EXPECT_GE(b.GetKeyState(VK_SHIFT), 0);
}

TEST(Input, MouseButtonsAndWheel) {
    TestWindows t;
    HWND h = t.Open(50, 50);
    t.Forget();
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = SDL_BUTTON_RIGHT;
    ev.button.x = 7;
    ev.button.y = 9;
    SDL_PushEvent(&ev);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = -1;
    SDL_PushEvent(&wheel);
    wheel.wheel.y = 2;
    SDL_PushEvent(&wheel);
    wheel.wheel.y = 0;
    wheel.wheel.x = 1;  // horizontal scrolling is no wheel message
    SDL_PushEvent(&wheel);
    t.Pump();
    ASSERT_EQ(t.Of(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(t.Of(WM_RBUTTONDOWN)[0].hwnd, h);
    EXPECT_EQ(LOWORD(t.Of(WM_RBUTTONDOWN)[0].lParam), 7);
    EXPECT_EQ(HIWORD(t.Of(WM_RBUTTONDOWN)[0].lParam), 9);
    auto wheels = t.Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -120);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), 240);
}

TEST(VideoFrames, FramesAreCheckedAndClientRectsReported) {
    TestWindows t;
    auto& b = t.backend();
    HWND h = t.Open(64, 48);
    VideoSink& sink = b;
    RECT rc = sink.ClientRect(h);
    EXPECT_EQ(rc.right, 64);
    EXPECT_EQ(rc.bottom, 48);
    EXPECT_EQ(sink.ClientRect(nullptr).right, 0);
    std::vector<std::uint8_t> frame(16 * 8 * 4, 0x80);
    sink.ShowFrame(h, frame.data(), 16, 8, 16 * 4, rc);
    sink.ShowFrame(h, frame.data(), 16, 8, 3, rc);  // stride too short: ignored
    sink.ShowFrame(h, nullptr, 16, 8, 64, rc);
    sink.ShowFrame(nullptr, frame.data(), 16, 8, 64, rc);
    t.Pump();  // presents
    // The frame is shown over the window, not drawn into its surface.
    EXPECT_EQ(b.PixelAt(h, 5, 5), RGB(0, 0, 0));
    sink.ClearFrame(h);
    sink.ClearFrame(nullptr);
    t.Pump();
}

}  // namespace
}  // namespace linux_test
