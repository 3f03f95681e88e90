// The simulated message queue, clock and painting.
#include <gtest/gtest.h>

#include <string>

#include "platform/api.h"
#include "tests/platform/support/sim_window.h"

namespace {

using simtest::TestWindow;

constexpr win::UINT kWake = 0x4E;

TEST(SimQueue, FiltersOrderAndRemoval) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();  // the first paint
    win::PostMessageA(w.hwnd, win::WM_USER + 1, 1, 0);
    win::PostMessageA(nullptr, win::WM_USER + 2, 2, 0);  // a thread message
    win::PostMessageA(w.hwnd, win::WM_USER + 3, 3, 0);
    win::MSG msg;
    // With the window as filter the thread message is skipped but stays queued.
    ASSERT_TRUE(win::PeekMessageA(&msg, w.hwnd, 0, 0, win::PM_NOREMOVE));
    EXPECT_EQ(msg.message, win::WM_USER + 1);
    ASSERT_TRUE(win::PeekMessageA(&msg, w.hwnd, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, win::WM_USER + 1);
    ASSERT_TRUE(win::PeekMessageA(&msg, w.hwnd, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, win::WM_USER + 3);
    EXPECT_FALSE(win::PeekMessageA(&msg, w.hwnd, 0, 0, win::PM_REMOVE));
    ASSERT_TRUE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, win::WM_USER + 2);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_FALSE(win::PostMessageA(reinterpret_cast<win::HWND>(0x77), kWake, 0, 0));
}

TEST(SimQueue, QuitComesAfterPostedMessagesAndOnlyWithoutFilter) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    win::PostQuitMessage(3);
    win::PostMessageA(w.hwnd, kWake, 0, 0);
    win::MSG msg;
    EXPECT_TRUE(win::PeekMessageA(&msg, w.hwnd, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, kWake);
    EXPECT_FALSE(win::PeekMessageA(&msg, w.hwnd, 0, 0, win::PM_REMOVE));
    ASSERT_TRUE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, win::WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
}

TEST(SimClock, SleepAndWaitMessageMoveTheVirtualClock) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    EXPECT_EQ(win::GetTickCount(), 0u);
    win::Sleep(250);
    EXPECT_EQ(win::GetTickCount(), 250u);
    m.PressKey(*sim::ParseKeySpec("x"), 1500);
    win::WaitMessage();  // jumps to the key
    EXPECT_EQ(win::GetTickCount(), 1500u);
    w.Pump();
    EXPECT_EQ(w.Of({win::WM_CHAR}).size(), 1u);
    try {
        win::WaitMessage();
        FAIL() << "WaitMessage returned with nothing to wait for";
    } catch (const sim::SimStopped& stop) {
        EXPECT_EQ(stop.reason, "WaitMessage at 1500 ms: nothing queued and nothing scheduled");
        EXPECT_EQ(stop.time, 1500u);
    }
    // A queued message ends the wait at once.
    win::PostMessageA(w.hwnd, kWake, 0, 0);
    EXPECT_TRUE(win::WaitMessage());
    EXPECT_EQ(win::GetTickCount(), 1500u);
}

TEST(SimClock, APeekOnlyLoopLetsTimePassUntilSomethingArrives) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    m.PressKey(*sim::ParseKeySpec("y"), 30);
    win::MSG msg;
    int peeks = 0;
    while (!win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) ++peeks;
    EXPECT_EQ(msg.message, win::WM_KEYDOWN);
    EXPECT_EQ(win::GetTickCount(), 30u);
    // kBusyPeeks empty peeks in a row are free (the pump's last one counted), then 1 ms each.
    EXPECT_EQ(peeks + 1, sim::SimMachine::kBusyPeeks + 30);
    // Two empty peeks in a row (a pump's last look) cost no time.
    w.Pump();
    win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE);
    EXPECT_EQ(win::GetTickCount(), 30u);
}

TEST(SimClock, AWaitThatSpinsOnPeekMessageIsStopped) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    m.PressKey(*sim::ParseKeySpec("y"), 1000);
    win::MSG msg;
    try {
        while (!win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
        }
        FAIL() << "a peek-only wait of a second went unnoticed";
    } catch (const sim::SimBusyWait& spin) {
        EXPECT_EQ(std::string(spin.what()),
                  "busy wait at 64 ms: 129 empty PeekMessage calls without WaitMessage or "
                  "Sleep (something scheduled); a wait must block");
        EXPECT_EQ(spin.time, 64u);
    }
    // With nothing scheduled at all, the same.
    sim::SimMachine idle;
    TestWindow w2(idle);
    w2.Pump();
    EXPECT_THROW(while (!win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)){},
                 sim::SimBusyWait);
    EXPECT_EQ(idle.Now(), 0u);
}

TEST(SimClock, WaitsThatBlockNeverCountAsSpinning) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    m.PressKey(*sim::ParseKeySpec("y"), 60000);
    win::MSG msg;
    // A peek, then WaitMessage: the usual wait, however long.
    while (!win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::WaitMessage();
    EXPECT_EQ(win::GetTickCount(), 60000u);
    // Peeks with a Sleep between them block too.
    m.PressKey(*sim::ParseKeySpec("z"), 65000);
    while (!win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE) ||
           msg.message != win::WM_KEYDOWN)
        win::Sleep(1);
    EXPECT_EQ(win::GetTickCount(), 65000u);
    EXPECT_LE(m.MostEmptyPeeksInAWait(), 2);
}

TEST(SimPaint, InvalidatedRectangleReachesBeginPaint) {
    sim::SimMachine m;
    TestWindow w(m);
    win::PAINTSTRUCT ps;
    w.handler = [&](win::UINT msg, win::WPARAM, win::LPARAM) -> win::LRESULT {
        if (msg != win::WM_PAINT) return -2;
        win::HDC dc = win::BeginPaint(w.hwnd, &ps);
        win::SetTextColor(dc, win::RGB(255, 0, 0));
        win::SetBkColor(dc, win::RGB(0, 0, 128));
        win::TextOutA(dc, 8, 16, "ol\xE1", 3);
        win::EndPaint(w.hwnd, &ps);
        return 0;
    };
    w.Pump();  // showing invalidated the whole client area
    EXPECT_EQ(ps.rcPaint.right, 400 - 8);
    EXPECT_EQ(ps.rcPaint.bottom, 300 - 19 - 8);
    win::RECT a{10, 20, 30, 40}, b{50, 5, 60, 25};
    win::InvalidateRect(w.hwnd, &a, win::FALSE);
    win::InvalidateRect(w.hwnd, &b, win::FALSE);
    win::UpdateWindow(w.hwnd);  // paints at once, without the queue
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.top, 5);
    EXPECT_EQ(ps.rcPaint.right, 60);
    EXPECT_EQ(ps.rcPaint.bottom, 40);
    ASSERT_EQ(m.TextRuns().size(), 2u);
    EXPECT_EQ(m.TextRuns()[1].text, "ol\xE1");
    EXPECT_EQ(m.TextRuns()[1].fg, win::RGB(255, 0, 0));
    EXPECT_EQ(m.TextRuns()[1].bg, win::RGB(0, 0, 128));
    EXPECT_EQ(m.TextRuns()[1].x, 8);
    // Validated: no further WM_PAINT.
    std::size_t paints = w.Of({win::WM_PAINT}).size();
    win::UpdateWindow(w.hwnd);
    w.Pump();
    EXPECT_EQ(w.Of({win::WM_PAINT}).size(), paints);
}

TEST(SimGdi, FontsMetricsBrushesAndCaret) {
    sim::SimMachine m;
    TestWindow w(m);
    win::HDC dc = win::GetDC(w.hwnd);
    win::HFONT font = win::CreateFontA(20, 10, 0, 0, win::FW_BOLD, 0, 0, 0, win::ANSI_CHARSET, 0, 0,
                                       0, 0, "Any Face");
    win::HGDIOBJ old = win::SelectObject(dc, font);
    win::TEXTMETRICA tm;
    ASSERT_TRUE(win::GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAveCharWidth, 10);
    EXPECT_EQ(tm.tmAscent, 15);
    EXPECT_EQ(tm.tmOverhang, 0);
    EXPECT_EQ(win::SelectObject(dc, win::GetStockObject(win::OEM_FIXED_FONT)), font);
    win::GetTextMetricsA(dc, &tm);
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    EXPECT_EQ(tm.tmCharSet, win::OEM_CHARSET);
    win::SelectObject(dc, old);
    EXPECT_TRUE(win::DeleteObject(font));
    EXPECT_FALSE(win::DeleteObject(font));

    win::HBRUSH brush = win::CreateSolidBrush(win::RGB(1, 2, 3));
    win::SelectObject(dc, brush);
    win::PatBlt(dc, 0, 384, 640, 16, win::PATCOPY);
    win::BitBlt(dc, 0, 0, 640, 384, dc, 0, 16, win::SRCCOPY);
    win::ReleaseDC(w.hwnd, dc);
    ASSERT_EQ(m.PatBlts().size(), 1u);
    EXPECT_EQ(m.PatBlts()[0].colour, win::RGB(1, 2, 3));
    ASSERT_EQ(m.Blits().size(), 1u);
    EXPECT_EQ(m.Blits()[0].sy, 16);
    EXPECT_FALSE(win::TextOutA(dc, 0, 0, "x", 1));  // a released DC draws nothing

    win::CreateCaret(w.hwnd, nullptr, 8, 2);
    win::SetCaretPos(16, 28);
    EXPECT_FALSE(m.Caret().visible);  // created hidden
    win::ShowCaret(w.hwnd);
    auto c = m.Caret();
    EXPECT_TRUE(c.exists && c.visible);
    EXPECT_EQ(c.x, 16);
    EXPECT_EQ(c.h, 2);
    win::DestroyCaret();
    EXPECT_FALSE(m.Caret().exists);
}

TEST(SimWindows, MaximiseTitleMetricsAndRegisteredMessages) {
    sim::SimMachine m;
    TestWindow w(m);
    win::ShowWindow(w.hwnd, win::SW_MAXIMIZE);
    EXPECT_EQ(m.ShowCommand(), win::SW_MAXIMIZE);
    win::RECT r;
    win::GetWindowRect(w.hwnd, &r);
    EXPECT_EQ(r.left, -4);
    EXPECT_EQ(r.bottom, 734 + 4);
    win::SetWindowTextA(w.hwnd, "Menino Pipoco");
    EXPECT_EQ(m.Title(), "Menino Pipoco");
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CYCAPTION), 19);
    win::RECT work;
    ASSERT_TRUE(win::SystemParametersInfoA(win::SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.bottom, 734);
    win::UINT a = win::RegisterWindowMessageA("tfLinBrl");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(win::RegisterWindowMessageA("TFLINBRL"), a);
    EXPECT_NE(win::RegisterWindowMessageA("other"), a);
}

}  // namespace
