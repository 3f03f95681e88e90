// The real console on the Linux back end: X input sent with xdotool reaches the console's
// key queue as the console's bytes, and Alt+F4 ends the program. Needs an X display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tests/linux/support/shell.h"
#include "tests/linux/support/x_keyboard.h"

namespace {

using linux_test::Shell;

TEST(ConsoleKeys, RealInputBecomesTheConsoleBytesAndAltF4EndsTheProgram) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    if (Shell("xdotool version").empty()) GTEST_SKIP() << "xdotool missing";
    ASSERT_EQ(linux_test::PrepareXKeyboard(), "");
    win::LinuxBackend backend;
    win::SetBackend(&backend);
    ASSERT_TRUE(backend.HasDisplay());

    const std::vector<int> expected{'a', 231, 0,  59, 0,  94, 0,  254, 127, 0,
                                    75,  13,  27, 13, 27, 0,  72, 0,   80};
    // Only a failing run waits this long, however busy the machine.
    constexpr int kPatienceSteps = 400;  // of 50 ms
    std::vector<int> bytes;
    std::atomic<std::size_t> read{0};
    std::atomic<std::size_t> probes{0};
    std::atomic<bool> ended{false};
    std::atomic<bool> forced{false};
    std::string found;  // the console's X window, as xdotool found it
    std::atomic<win::HWND> console{nullptr};
    std::thread sender;
    const int code = sonara::RunProgram([&] {
        sonara::InitConsole();
        console = sonara::ConsoleWindow();
        sender = std::thread([&] {
            // The console's title is the program's file name.
            const std::string xid =
                Shell("xdotool search --sync --onlyvisible --name 'console_keys_test'");
            found = xid;
            if (xid.empty() || xid.find('\n') != std::string::npos) {
                forced = true;
                backend.PostMessageA(console, win::WM_CLOSE, 0, 0);
                return;
            }
            Shell("xdotool windowfocus --sync " + xid);
            Shell("xdotool mousemove --window " + xid + " 40 40");
            // On a busy machine X may report the focus before the window takes keys: a
            // probe key, repeated until the console reads one, proves keys arrive. X keeps
            // the order, so every probe comes before the keys under test.
            for (int i = 0; i < kPatienceSteps && probes == 0; ++i) {
                Shell("xdotool key z");
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            Shell("xdotool key a");
            Shell("xdotool type --delay 250 '\xC3\xA7'");
            for (const char* keys : {"F1", "ctrl+F1", "shift+Insert", "ctrl+BackSpace", "alt+Left",
                                     "Return", "Escape"}) {
                Shell(std::string("xdotool key ") + keys);
            }
            for (const char* button : {"1", "3", "4", "5"}) {
                Shell(std::string("xdotool click ") + button);
            }
            // Alt+F4 once the console has read every byte (or a byte went missing).
            for (int i = 0; i < kPatienceSteps && read < expected.size(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            Shell("xdotool key alt+F4");
            // A safety net: the test fails instead of hanging when Alt+F4 did nothing.
            for (int i = 0; i < kPatienceSteps && !ended; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!ended) {
                forced = true;
                backend.PostMessageA(console, win::WM_CLOSE, 0, 0);
            }
        });
        for (;;) {
            const int byte = sonara::ReadKey();
            if (bytes.empty() && byte == 'z') {
                ++probes;
                continue;
            }
            bytes.push_back(byte);
            read = bytes.size();
        }
    });
    ended = true;
    if (sender.joinable()) sender.join();
    win::SetBackend(nullptr);

    EXPECT_EQ(code, 0);
    EXPECT_FALSE(forced) << "Alt+F4 did not end the program; window found: '" << found << "'";
    EXPECT_GE(probes, 1u);
    EXPECT_EQ(bytes, expected);
}

}  // namespace
