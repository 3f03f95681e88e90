// The window procedure slot, process exit and window destruction over the simulated machine.
#include "platform/api.h"

#include <gtest/gtest.h>

#include "tests/platform/support/sim_window.h"

namespace {

int replacementCalls = 0;
win::LRESULT Replacement(win::HWND, win::UINT, win::WPARAM, win::LPARAM) {
    ++replacementCalls;
    return 7;
}

TEST(Api, SetWindowLongPtrReplacesTheProcedure) {
    sim::SimMachine m;
    simtest::TestWindow w(m);
    replacementCalls = 0;
    std::intptr_t old = win::SetWindowLongPtrA(w.hwnd, win::GWLP_WNDPROC,
                                               reinterpret_cast<std::intptr_t>(&Replacement));
    ASSERT_NE(old, 0);
    EXPECT_EQ(win::SendMessageA(w.hwnd, win::WM_USER, 0, 0), 7);
    EXPECT_EQ(replacementCalls, 1);
    EXPECT_EQ(win::SetWindowLongPtrA(w.hwnd, 0, 0), 0);  // other slots are not kept
    win::SetWindowLongPtrA(w.hwnd, win::GWLP_WNDPROC, old);
    std::size_t before = w.got.size();
    win::SendMessageA(w.hwnd, win::WM_USER, 0, 0);
    EXPECT_EQ(w.got.size(), before + 1);
}

TEST(Api, ExitProcessThrowsItsCode) {
    try {
        win::ExitProcess(4);
        FAIL();
    } catch (const win::ProcessExit& e) {
        EXPECT_EQ(e.code, 4u);
    }
}

TEST(Api, DestroyedWindowsLoseTheirMessagesAndHandles) {
    sim::SimMachine m;
    simtest::TestWindow w(m);
    w.Pump();
    win::PostMessageA(w.hwnd, win::WM_USER, 0, 0);
    ASSERT_TRUE(win::DestroyWindow(w.hwnd));
    win::MSG msg;
    EXPECT_FALSE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_FALSE(win::PostMessageA(w.hwnd, win::WM_USER, 0, 0));
    EXPECT_FALSE(win::DestroyWindow(w.hwnd));
    EXPECT_EQ(win::GetDC(w.hwnd), nullptr);
    EXPECT_EQ(m.Title(), "test");  // the record outlives the window
}

TEST(Api, FilesAndDirectories) {
    sim::SimMachine m;
    win::SetBackend(&m);
    m.AddFile("C:\\Sonara\\Dados\\a.txt", "x");
    EXPECT_EQ(win::GetFileAttributesA("c:/sonara/dados/A.TXT"), win::FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(win::GetFileAttributesA("c:\\sonara"), win::FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(win::GetFileAttributesA("c:\\nada"), win::INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(win::SetCurrentDirectoryA("c:\\sonara"));
    EXPECT_FALSE(win::SetCurrentDirectoryA("c:\\nada"));
    char dir[8];
    EXPECT_EQ(win::GetCurrentDirectoryA(sizeof dir, dir), 10u);  // too small: the size needed
    char big[64];
    EXPECT_EQ(win::GetCurrentDirectoryA(sizeof big, big), 9u);
    EXPECT_STREQ(big, "c:\\sonara");  // as it was set
    EXPECT_EQ(win::ReadWholeFile("dados\\a.txt"), "x");
    ASSERT_EQ(m.FilesOpened().size(), 1u);
    EXPECT_EQ(m.FilesOpened()[0], "C:\\Sonara\\Dados\\a.txt");
    m.RemoveFile("c:\\sonara\\dados\\a.txt");
    EXPECT_FALSE(win::ReadWholeFile("dados\\a.txt"));
    char module[8];
    EXPECT_EQ(win::GetModuleFileNameA(nullptr, module, sizeof module), 8u);  // cut
    EXPECT_STREQ(module, "c:\\sona");
}

}  // namespace
