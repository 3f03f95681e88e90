// The message queue: posting from threads, filters, ranges, removal and WM_QUIT.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/linux/LinuxQueue.h"

namespace win {
namespace {

HWND Wnd(std::uintptr_t n) {
    return reinterpret_cast<HWND>(n);
}

MSG Msg(HWND h, UINT m, WPARAM w = 0) {
    MSG msg;
    msg.hwnd = h;
    msg.message = m;
    msg.wParam = w;
    return msg;
}

TEST(LinuxQueueTest, WaitPostedReturnsForAPostFromAnotherThreadAndNotForDrainedOnes) {
    LinuxQueue q(nullptr);
    q.Post(Msg(nullptr, WM_USER));
    EXPECT_TRUE(q.WaitPosted(std::chrono::milliseconds(0)));
    EXPECT_FALSE(q.Empty());  // drains what was posted
    EXPECT_FALSE(q.WaitPosted(std::chrono::milliseconds(1)));
    std::thread poster([&] { q.Post(Msg(nullptr, WM_USER + 1)); });
    EXPECT_TRUE(q.WaitPosted(std::chrono::seconds(30)));
    poster.join();
    MSG m;
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, true));
    EXPECT_EQ(m.message, WM_USER);
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, true));
    EXPECT_EQ(m.message, WM_USER + 1u);
}

TEST(LinuxQueueTest, FiltersRangesAndNoRemove) {
    LinuxQueue q(nullptr);
    q.PushInput(Msg(Wnd(1), WM_KEYDOWN, 1));
    q.Post(Msg(Wnd(2), WM_USER, 2));
    q.Post(Msg(nullptr, WM_USER + 1, 3));
    q.PushInput(Msg(Wnd(1), WM_CHAR, 4));

    MSG m;
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, false));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, false));  // still there
    EXPECT_EQ(m.wParam, 1u);

    ASSERT_TRUE(q.Peek(&m, Wnd(2), 0, 0, true));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(q.Peek(&m, Wnd(2), 0, 0, false));

    // HWND(-1): only messages without a window.
    ASSERT_TRUE(q.Peek(&m, reinterpret_cast<HWND>(std::intptr_t{-1}), 0, 0, true));
    EXPECT_EQ(m.wParam, 3u);

    ASSERT_TRUE(q.Peek(&m, Wnd(1), WM_CHAR, WM_CHAR, true));
    EXPECT_EQ(m.wParam, 4u);
    EXPECT_FALSE(q.Peek(&m, nullptr, WM_CHAR, WM_CHAR, false));
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, true));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_TRUE(q.Empty());
}

TEST(LinuxQueueTest, QuitComesAfterOtherMessagesAndOnlyWithoutWindowFilter) {
    LinuxQueue q(nullptr);
    q.Post(Msg(Wnd(1), WM_USER));
    q.PostQuit(7);
    MSG m;
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, true));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_FALSE(q.Peek(&m, Wnd(1), 0, 0, true));  // a window filter never sees WM_QUIT
    EXPECT_FALSE(q.Empty());
    EXPECT_FALSE(q.Peek(&m, nullptr, WM_KEYDOWN, WM_CHAR, true));  // out of range
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, false));
    EXPECT_EQ(m.message, WM_QUIT);
    ASSERT_TRUE(q.Peek(&m, nullptr, WM_QUIT, WM_QUIT, true));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_TRUE(q.Empty());
}

TEST(LinuxQueueTest, RemoveWindowDropsItsMessagesOnly) {
    LinuxQueue q(nullptr);
    q.PushInput(Msg(Wnd(1), WM_CHAR, 1));
    q.Post(Msg(Wnd(2), WM_CHAR, 2));
    q.Post(Msg(Wnd(1), WM_CHAR, 3));
    q.RemoveWindow(Wnd(1));
    MSG m;
    ASSERT_TRUE(q.Peek(&m, nullptr, 0, 0, true));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_TRUE(q.Empty());
}

TEST(LinuxQueueTest, PostsFromThreadsArriveWholeInOrderWithOneWakeWhilePending) {
    std::atomic<int> wakes{0};
    LinuxQueue q([&] { wakes.fetch_add(1); });
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&q, t] {
            for (int i = 0; i < kEach; ++i) q.Post(Msg(Wnd(t + 1), WM_USER, i));
        });
    }
    for (auto& th : threads) th.join();
    // Nobody drained: a single wake-up was enough.
    EXPECT_EQ(wakes.load(), 1);
    std::vector<int> next(kThreads, 0);
    MSG m;
    int total = 0;
    while (q.Peek(&m, nullptr, 0, 0, true)) {
        const auto t = reinterpret_cast<std::uintptr_t>(m.hwnd) - 1;
        ASSERT_LT(t, std::uintptr_t{kThreads});
        EXPECT_EQ(m.wParam, static_cast<WPARAM>(next[t]));  // per-thread order kept
        ++next[t];
        ++total;
    }
    EXPECT_EQ(total, kThreads * kEach);
    // After a drain the next post wakes again.
    q.Post(Msg(Wnd(1), WM_USER));
    EXPECT_EQ(wakes.load(), 2);
}

}  // namespace
}  // namespace win
