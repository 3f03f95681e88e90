// What the child sees around a clip, read from screenshots of the X server: a clip that
// has played to its end keeps its last frame in the console window (through an expose,
// a focus change and a resize) until it is closed; closed, the console's cells are back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "console/TfCrt.h"
#include "game/MediaPlayer.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tests/linux/support/screenshot.h"
#include "tests/linux/support/shell.h"

namespace {

using linux_test::GrabWindow;
using linux_test::Screenshot;
using linux_test::Shell;
using Clock = std::chrono::steady_clock;

bool Blue(win::COLORREF c) {
    return win::GetBValue(c) > 150 && win::GetRValue(c) < 90 && win::GetGValue(c) < 90;
}
bool Red(win::COLORREF c) {
    return win::GetRValue(c) > 150 && win::GetBValue(c) < 90 && win::GetGValue(c) < 90;
}
bool Yellow(win::COLORREF c) {
    return c == win::RGB(255, 255, 0);
}

// Most of the rectangle (nine pixels in ten) matches.
template <typename Match>
bool Mostly(const Screenshot& s, win::RECT r, Match match) {
    const int area = (r.right - r.left) * (r.bottom - r.top);
    return area > 0 && s.Count(r, match) * 10 >= area * 9;
}

// Screenshots, with the console's messages dispatched between them (which is when the
// back end puts its drawing on screen), until one satisfies `wanted`; the last one taken
// either way. The bound is generous: a busy machine only makes the wait longer.
std::optional<Screenshot> ScreenUntil(const std::string& title,
                                      const std::function<bool(const Screenshot&)>& wanted) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    std::optional<Screenshot> shot;
    do {
        sonara::KeyPressed();
        shot = GrabWindow(title);
        if (shot && wanted(*shot)) return shot;
    } while (Clock::now() < deadline);
    return shot;
}

class ConsoleClipScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
        if (Shell("xdotool version").empty()) GTEST_SKIP() << "xdotool missing";
        if (Shell("ffmpeg -version | head -n 1").empty()) GTEST_SKIP() << "ffmpeg missing";
        dir_ = ::testing::TempDir() + "clip_screen" + std::to_string(::getpid());
        Shell("mkdir -p '" + dir_ + "'");
        // Red for its first half, blue for the rest: the frame that stays must be blue.
        const std::string make =
            "ffmpeg -y -loglevel error -f lavfi -i color=c=red:s=320x240:d=1.6:r=15 "
            "-f lavfi -i sine=d=1.6 -vf "
            "\"drawbox=x=0:y=0:w=iw:h=ih:color=blue:t=fill:enable='gte(t,0.8)'\" "
            "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest '" +
            dir_ + "/fim.mp4' </dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0);
    }
    void TearDown() override {
        if (!dir_.empty()) Shell("rm -rf '" + dir_ + "'");
    }
    std::string dir_;
};

TEST_F(ConsoleClipScreen, LastFrameStaysUntilTheClipIsClosed) {
    win::LinuxBackend backend;
    win::SetBackend(&backend);
    if (!backend.HasDisplay()) {
        win::SetBackend(nullptr);
        GTEST_SKIP() << "the back end found no usable display";
    }
    const std::string title = "sonara clip screen " + std::to_string(::getpid());
    const int code = sonara::RunProgram([&] {
        sonara::InitConsole();
        win::HWND console = sonara::ConsoleWindow();
        win::SetWindowTextA(console, title.c_str());
        win::RECT client{};
        win::GetClientRect(console, &client);
        const int cellHeight = client.bottom / 25;
        // A yellow band across the middle row, where the clip's picture lies.
        sonara::TextColor(14);
        for (int row = 0; row < 12; ++row) sonara::WriteText("\r\n", 2);
        const std::string band(80, '#');
        sonara::WriteText(band.c_str(), 79);
        const win::RECT bandRect{client.right / 4, 12 * cellHeight, client.right * 3 / 4,
                                 13 * cellHeight};
        auto centre = [](const Screenshot& s) {
            return win::RECT{s.width / 3, s.height / 3, s.width * 2 / 3, s.height * 2 / 3};
        };
        auto consoleShown = [&](const Screenshot& s) {
            return s.Count(bandRect, Yellow) > 50 && s.Count(bandRect, Blue) == 0 &&
                   s.Count(bandRect, Red) == 0;
        };
        auto lastFrameShown = [&](const Screenshot& s) {
            return Mostly(s, centre(s), Blue) && s.Count(bandRect, Yellow) == 0;
        };
        auto before = ScreenUntil(title, consoleShown);
        ASSERT_TRUE(before.has_value()) << "no screenshot of the console window";
        EXPECT_TRUE(consoleShown(*before)) << "the console's band never showed";

        sonara::MediaPlayer player;
        win::SetCurrentDirectoryA(dir_.c_str());
        player.PlayClip("fim");  // returns once the clip's end is notified
        EXPECT_FALSE(player.ClipPlaying());
        // Whatever the back end does at a clip's end happens within this pause.
        sonara::Delay(300);
        auto ended = ScreenUntil(title, lastFrameShown);
        ASSERT_TRUE(ended.has_value());
        EXPECT_TRUE(lastFrameShown(*ended)) << "the ended clip's last frame is not on screen";
        EXPECT_EQ(ended->Count(centre(*ended), Red), 0) << "a frame other than the last";

        // The X server forgets an unmapped window's pixels: mapped again, it is repainted.
        const std::string xid = Shell("xdotool search --name '" + title + "' | head -n 1");
        ASSERT_FALSE(xid.empty());
        Shell("xdotool windowunmap --sync " + xid);
        Shell("xdotool windowmap --sync " + xid);
        auto exposed = ScreenUntil(title, lastFrameShown);
        ASSERT_TRUE(exposed.has_value());
        EXPECT_TRUE(lastFrameShown(*exposed)) << "lost on expose";

        // Focus away and back.
        const std::string root =
            Shell("xwininfo -root | sed -n 's/.*Window id: \\(0x[0-9a-f]*\\).*/\\1/p'");
        if (!root.empty()) Shell("xdotool windowfocus --sync " + root);
        Shell("xdotool windowfocus --sync " + xid);
        auto refocused = ScreenUntil(title, lastFrameShown);
        ASSERT_TRUE(refocused.has_value());
        EXPECT_TRUE(lastFrameShown(*refocused)) << "lost on a focus change";

        // Resized to a tall window, the picture keeps its shape in the middle of it, with
        // the console's own drawing above and below.
        Shell("xdotool windowsize --sync " + xid + " 400 600");
        auto refitted = [&](const Screenshot& s) {
            return s.width == 400 && s.height == 600 &&
                   Mostly(s, win::RECT{4, 160, 396, 440}, Blue) &&
                   s.Count(win::RECT{0, 0, 400, 140}, Blue) == 0 &&
                   s.Count(win::RECT{0, 460, 400, 600}, Blue) == 0;
        };
        auto resized = ScreenUntil(title, refitted);
        ASSERT_TRUE(resized.has_value());
        EXPECT_TRUE(refitted(*resized)) << "the kept frame does not follow the new size";

        // Closed, the window shows the console's own cells again.
        Shell("xdotool windowsize --sync " + xid + " " + std::to_string(client.right) + " " +
              std::to_string(client.bottom));
        player.CloseClip();
        auto closed = ScreenUntil(title, consoleShown);
        ASSERT_TRUE(closed.has_value());
        EXPECT_TRUE(consoleShown(*closed)) << "the console's cells are not back after close";
        EXPECT_EQ(closed->Count(centre(*closed), Blue), 0);
        sonara::DoneConsole();
    });
    win::SetBackend(nullptr);
    EXPECT_EQ(code, 0);
}

}  // namespace
