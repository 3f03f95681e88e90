// LinuxClips over libmpv with a generated clip; the test thread plays the GUI thread,
// dispatching the clip messages it is posted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/LinuxClips.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const win::HWND kConsole = reinterpret_cast<win::HWND>(std::uintptr_t{0x77});

class FakeSink : public win::VideoSink {
  public:
    void ShowFrame(win::HWND window, const std::uint8_t* bgr0, int width, int height, int stride,
                   win::RECT target) override {
        ++frames;
        lastWindow = window;
        lastTarget = target;
        lastWidth = width;
        lastHeight = height;
        const std::uint8_t* mid = bgr0 + (height / 2) * stride + (width / 2) * 4;
        blue = std::max<int>(blue, mid[0]);
        red = std::max<int>(red, mid[2]);
    }
    void ClearFrame(win::HWND) override { ++clears; }
    void StillFrame(win::HWND window) override {
        ++stills;
        stillWindow = window;
    }
    win::RECT ClientRect(win::HWND window) override {
        return window == kConsole ? win::RECT{0, 0, 800, 600} : win::RECT{};
    }
    int frames = 0;
    int clears = 0;
    int stills = 0;
    win::HWND stillWindow = nullptr;
    win::HWND lastWindow = nullptr;
    win::RECT lastTarget;
    int lastWidth = 0, lastHeight = 0;
    int blue = 0, red = 0;  // the most of each seen at the centre
};

class Queue {
  public:
    void Post(const win::MSG& m) {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(m);
        cv_.notify_all();
    }
    // Dispatches clip messages until a message `wanted` arrives or the time is up.
    std::optional<win::MSG> PumpUntil(win::LinuxClips& clips, win::UINT wanted,
                                      std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            while (!queue_.empty()) {
                const win::MSG m = queue_.front();
                queue_.pop_front();
                if (m.message == win::LinuxClips::kClipMessage) {
                    lock.unlock();
                    clips.OnClipMessage(m.wParam, m.lParam);
                    lock.lock();
                } else if (m.message == wanted) {
                    return m;
                }
            }
            if (cv_.wait_until(lock, deadline) == std::cv_status::timeout && queue_.empty()) {
                return std::nullopt;
            }
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<win::MSG> queue_;
};

class ClipsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Per process: ctest runs the cases of this file side by side.
        dir_ = ::testing::TempDir() + "clips" + std::to_string(::getpid()) + "_";
        const std::string cmd =
            "ffmpeg -y -loglevel error -f lavfi -i color=c=blue:s=1024x768:d=2:r=15 "
            "-f lavfi -i sine=d=2 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac "
            "-shortest '" +
            dir_ + "clip_blue.mp4' </dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        std::ofstream(dir_ + "clip_text.mp4") << "not a video, only a few words of text\n";
    }
    static void TearDownTestSuite() {
        std::remove((dir_ + "clip_blue.mp4").c_str());
        std::remove((dir_ + "clip_text.mp4").c_str());
    }
    void Make(win::VideoSink* sink, std::string audioOutput = "null") {
        win::LinuxClips::Options options;
        options.audioOutput = std::move(audioOutput);
        clips_ = std::make_unique<win::LinuxClips>(
            [this](win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
                queue_.Post(win::MSG{h, m, w, l, 0, {}});
            },
            [](std::string_view path) {
                std::string name(path.substr(path.find_last_of('\\') + 1));
                return dir_ + name;
            },
            sink, options);
    }
    win::MCIERROR Send(const std::string& cmd, char* reply = nullptr, win::UINT len = 0) {
        return clips_->mciSendStringA(cmd.c_str(), reply, len, kConsole);
    }
    // The commands the clip player sends, up to and including play.
    void OpenAndPlay() {
        ASSERT_EQ(Send("open \"C:\\CLIPES\\clip_blue.mp4\" type mpegVideo alias pipoco"), 0u);
        char reply[256];
        ASSERT_EQ(Send("where pipoco source", reply, 255), 0u);
        EXPECT_STREQ(reply, "0 0 1024 768");
        ASSERT_EQ(Send("window pipoco handle 119"), 0u);
        ASSERT_EQ(Send("put pipoco window at 0 0 1032 799"), 0u);
        ASSERT_EQ(Send("play pipoco notify"), 0u);
    }

    static std::string dir_;
    Queue queue_;
    std::unique_ptr<win::LinuxClips> clips_;
};
std::string ClipsTest::dir_;

TEST_F(ClipsTest, ClipPlaysToItsEndThenNotifiesOnceAndShowsItsPictures) {
    FakeSink sink;
    // The default list without "sdl": mpv's SDL output leaks a little inside SDL when it
    // fails to open, which the leak checker reports.
    Make(&sink, "pulse,alsa,null");
    OpenAndPlay();
    const auto start = Clock::now();
    const auto note = queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 10s);
    const auto elapsed = Clock::now() - start;
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->hwnd, kConsole);
    EXPECT_EQ(note->wParam, win::MCI_NOTIFY_SUCCESSFUL);
    EXPECT_NE(note->lParam, 0);
    EXPECT_GT(elapsed, 1s);  // a two-second clip
    EXPECT_LT(elapsed, 8s);
    EXPECT_GT(sink.frames, 0);
    EXPECT_EQ(sink.lastWindow, kConsole);
    // 4:3 into an 800x600 client area fills it exactly.
    EXPECT_EQ(sink.lastTarget.right, 800);
    EXPECT_EQ(sink.lastTarget.bottom, 600);
    EXPECT_EQ(sink.lastWidth, 800);
    EXPECT_GT(sink.blue, 150);
    EXPECT_LT(sink.red, 80);
    // Ended, the clip stays open on its last frame, a still picture by the time the end
    // is notified: nothing clears it, and no frame comes after it.
    EXPECT_EQ(sink.stills, 1);
    EXPECT_EQ(sink.stillWindow, kConsole);
    const int frames = sink.frames;
    queue_.PumpUntil(*clips_, win::WM_NULL, 300ms);
    EXPECT_EQ(sink.clears, 0);
    EXPECT_EQ(sink.frames, frames);
    // Closing a clip that has ended removes its picture and answers nothing more.
    EXPECT_EQ(Send("close pipoco"), 0u);
    EXPECT_EQ(sink.clears, 1);
    EXPECT_FALSE(queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 300ms).has_value());
}

TEST_F(ClipsTest, AnEndedClipPlaysAgainFromItsStart) {
    FakeSink sink;
    Make(&sink);
    OpenAndPlay();
    auto note = queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 10s);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->wParam, win::MCI_NOTIFY_SUCCESSFUL);
    const int framesOfFirstPlay = sink.frames;
    const auto start = Clock::now();
    ASSERT_EQ(Send("play pipoco notify"), 0u);
    note = queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 10s);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->wParam, win::MCI_NOTIFY_SUCCESSFUL);
    EXPECT_GT(Clock::now() - start, 1s);  // the whole two seconds again
    EXPECT_GT(sink.frames, framesOfFirstPlay);
    EXPECT_EQ(sink.clears, 0);
    EXPECT_EQ(sink.stills, 2);
    EXPECT_EQ(Send("close pipoco"), 0u);
}

TEST_F(ClipsTest, WithoutAPictureSinkTheClipStillPlaysToItsEnd) {
    Make(nullptr);
    OpenAndPlay();
    const auto start = Clock::now();
    const auto note = queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 10s);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->wParam, win::MCI_NOTIFY_SUCCESSFUL);
    EXPECT_GT(Clock::now() - start, 1s);
}

TEST_F(ClipsTest, CloseMidClipAnswersAbortedAndReturns) {
    FakeSink sink;
    Make(&sink);
    OpenAndPlay();
    EXPECT_FALSE(queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 400ms).has_value());
    ASSERT_EQ(Send("close pipoco"), 0u);
    const auto note = queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 1s);
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->wParam, win::MCI_NOTIFY_ABORTED);
    EXPECT_FALSE(queue_.PumpUntil(*clips_, win::MM_MCINOTIFY, 2500ms).has_value());
    EXPECT_GE(sink.clears, 1);
    // The alias is free again.
    EXPECT_EQ(Send("play pipoco notify"), win::MCIERR_INVALID_DEVICE_NAME);
    ASSERT_EQ(Send("open \"C:\\CLIPES\\clip_blue.mp4\" type mpegVideo alias pipoco"), 0u);
    EXPECT_EQ(Send("close pipoco"), 0u);
}

TEST_F(ClipsTest, FailuresReturnMciErrorCodes) {
    Make(nullptr);
    EXPECT_EQ(Send("open \"C:\\CLIPES\\nada.mp4\" type mpegVideo alias pipoco"),
              win::MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(Send("open \"C:\\CLIPES\\clip_text.mp4\" type mpegVideo alias pipoco"),
              win::MCIERR_INVALID_FILE);
    EXPECT_EQ(Send("play pipoco notify"), win::MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send("close pipoco"), win::MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send("rewind pipoco"), win::MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(clips_->mciSendStringA(nullptr, nullptr, 0, nullptr),
              win::MCIERR_MISSING_COMMAND_STRING);
    ASSERT_EQ(Send("open \"C:\\CLIPES\\clip_blue.mp4\" alias Pipoco"), 0u);
    EXPECT_EQ(Send("open \"C:\\CLIPES\\clip_blue.mp4\" alias PIPOCO"), win::MCIERR_DUPLICATE_ALIAS);
    char reply[6] = "xxxxx";
    ASSERT_EQ(Send("where pipoco source", reply, 6), 0u);
    EXPECT_STREQ(reply, "0 0 1");  // cut to the buffer
    EXPECT_EQ(Send("window pipoco handle x"), win::MCIERR_BAD_INTEGER);
    EXPECT_EQ(Send("close all"), 0u);
    EXPECT_EQ(Send("close pipoco"), win::MCIERR_INVALID_DEVICE_NAME);
}

}  // namespace
