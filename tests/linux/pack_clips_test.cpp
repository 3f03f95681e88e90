// Every clip of the generated media pack in the real clip player: it opens, its picture
// is the pack's 1024x768, and it ends with a notification no sooner than its narration
// has been spoken. Clips play a few at a time, without picture or sound output.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/LinuxClips.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::size_t kAtOnce = 8;
constexpr double kMarginSeconds = 0.6;  // the generator's silence after the narration

// Messages posted by the player, from any of its threads.
class Posted {
  public:
    void Post(const win::MSG& m) {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(m);
        cv_.notify_all();
    }
    std::optional<win::MSG> Next(Clock::time_point deadline) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cv_.wait_until(lock, deadline, [&] { return !queue_.empty(); })) return {};
        win::MSG m = queue_.front();
        queue_.pop_front();
        return m;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<win::MSG> queue_;
};

struct PackClip {
    std::string name;
    double narrationSeconds = 0;
};

std::vector<PackClip> ReadLengths(const std::string& path) {
    std::vector<PackClip> clips;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        PackClip c;
        if (fields >> c.name >> c.narrationSeconds) clips.push_back(c);
    }
    return clips;
}

win::HWND WindowOf(std::size_t index) {
    return reinterpret_cast<win::HWND>(static_cast<std::uintptr_t>(0x1000 + index));
}

TEST(PackClips, EveryClipPlaysToItsEndAsLongAsItsNarration) {
    if (!SONARA_MEDIA_ON) GTEST_SKIP() << "SONARA_MEDIA is off: the media pack is not built";
    const auto clips = ReadLengths(SONARA_MEDIA_LENGTHS);
    ASSERT_EQ(clips.size(), 27u + 26u + 10u) << SONARA_MEDIA_LENGTHS;

    Posted posted;
    win::LinuxClips::Options options;
    options.audioOutput = "null";  // keeps real time without a sound card
    win::LinuxClips player(
        [&](win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
            posted.Post(win::MSG{h, m, w, l, 0, {}});
        },
        [](std::string_view path) {
            return std::string(SONARA_MEDIA_DIR) + "/" +
                   std::string(path.substr(path.find_last_of('\\') + 1));
        },
        nullptr, options);

    for (std::size_t first = 0; first < clips.size(); first += kAtOnce) {
        const std::size_t last = std::min(clips.size(), first + kAtOnce);
        std::map<win::HWND, Clock::time_point> started;
        double longest = 0;
        for (std::size_t i = first; i < last; ++i) {
            const auto& c = clips[i];
            EXPECT_TRUE(fs::exists(fs::path(SONARA_MEDIA_DIR) / (c.name + ".mp4"))) << c.name;
            // A narration is a sentence or more, never an empty or missing recording.
            EXPECT_GT(c.narrationSeconds, 0.4) << c.name;
            const std::string alias = "c" + std::to_string(i);
            const std::string open =
                "open \"C:\\SOM\\" + c.name + ".mp4\" type mpegVideo alias " + alias;
            ASSERT_EQ(player.mciSendStringA(open.c_str(), nullptr, 0, WindowOf(i)), 0u) << c.name;
            char reply[64];
            ASSERT_EQ(player.mciSendStringA(("where " + alias + " source").c_str(), reply,
                                            sizeof reply, WindowOf(i)),
                      0u);
            EXPECT_STREQ(reply, "0 0 1024 768") << c.name;
            started[WindowOf(i)] = Clock::now();
            ASSERT_EQ(player.mciSendStringA(("play " + alias + " notify").c_str(), nullptr, 0,
                                            WindowOf(i)),
                      0u);
            longest = std::max(longest, c.narrationSeconds);
        }
        // Generous: the machine may be busy; a clip that never ends still fails here.
        const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(longest + 30));
        std::size_t ended = 0;
        while (ended < last - first) {
            auto m = posted.Next(deadline);
            ASSERT_TRUE(m.has_value()) << "clips from " << clips[first].name << " never ended";
            if (m->message == win::LinuxClips::kClipMessage) {
                player.OnClipMessage(m->wParam, m->lParam);
                continue;
            }
            if (m->message != win::MM_MCINOTIFY) continue;
            const auto index = reinterpret_cast<std::uintptr_t>(m->hwnd) - 0x1000;
            ASSERT_TRUE(index >= first && index < last);
            const auto& c = clips[index];
            EXPECT_EQ(m->wParam, win::MCI_NOTIFY_SUCCESSFUL) << c.name;
            const double played =
                std::chrono::duration<double>(Clock::now() - started[m->hwnd]).count();
            // The whole narration plays before the end; the clip adds only its margin
            // (the upper bound is loose: it catches a clip far longer than its words).
            EXPECT_GE(played, c.narrationSeconds) << c.name;
            EXPECT_LT(played, c.narrationSeconds + kMarginSeconds + 20) << c.name;
            ++ended;
        }
        for (std::size_t i = first; i < last; ++i) {
            const std::string close = "close c" + std::to_string(i);
            EXPECT_EQ(player.mciSendStringA(close.c_str(), nullptr, 0, WindowOf(i)), 0u);
        }
    }
}

}  // namespace
