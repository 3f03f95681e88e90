// What a child waits for on the real back end: a key typed with xdotool under an X
// server, until (1) the first frame of the clip that answers it is on screen, (2) the
// sound device takes the first samples of the cue that answers it. Needs DISPLAY,
// xdotool and ffmpeg (scripts/measure-key-answer.sh starts a private Xvfb); each
// iteration is one key, its latency the manual time; the counters give the median and
// the maximum over the keys (goals: a frame within 100 ms, a cue within 50 ms).
//
// The key's moment is when the X server hands the KeyPress to its clients: a second X
// connection selects KeyPress on the console window and is woken with the program. The
// frame's moment is when that connection first reads the clip's colour back from the
// window's centre pixel (polled every 0.2 ms). The cue's moment is when the device's
// callback takes the cue's first samples (heard at most one device period, 11.6 ms,
// later). Keys come at a random phase of the program's wait.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "console/TfCrt.h"
#include "game/MediaPlayer.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

std::string Run(const std::string& command) {
    std::string out;
    FILE* p = popen(("timeout 10 " + command + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// Two 0.6 s clips of one colour each and a 0.2 s tone, in a fresh directory.
std::optional<std::string> MakeMedia() {
    const std::string dir = "/tmp/sonara_key_answer" + std::to_string(::getpid());
    if (std::system(("mkdir -p " + dir).c_str()) != 0) return std::nullopt;
    for (const char* colour : {"red", "blue"}) {
        const std::string make = std::string("ffmpeg -y -loglevel error -f lavfi -i color=c=") +
                                 colour +
                                 ":s=1024x768:d=0.6:r=15 -f lavfi -i sine=d=0.6 -c:v libx264 "
                                 "-preset ultrafast -pix_fmt yuv420p -c:a aac -shortest " +
                                 dir + "/" + colour + ".mp4 </dev/null";
        if (std::system(make.c_str()) != 0) return std::nullopt;
    }
    const std::string tone = "ffmpeg -y -loglevel error -f lavfi -i sine=f=880:d=0.2 -ar 22050 " +
                             dir + "/toque.wav </dev/null";
    if (std::system(tone.c_str()) != 0) return std::nullopt;
    return dir;
}

// The measuring X connection: sends keys with xdotool and sees what the server shows.
class Observer {
  public:
    explicit Observer(unsigned long window) : window_(window) {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) return;
        XSelectInput(display_, window_, KeyPressMask);
        XSync(display_, False);
    }
    ~Observer() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }

    // Types `key` with xdotool; the time the server delivered its KeyPress, or 0.
    std::int64_t Press(const std::string& key) {
        std::thread typist([key] { Run("xdotool key " + key); });
        std::int64_t at = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (at == 0 && Clock::now() < deadline) {
            while (XPending(display_) > 0) {
                XEvent ev;
                XNextEvent(display_, &ev);
                if (ev.type == KeyPress && at == 0) at = NowNs();
            }
            if (at != 0) break;
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, 50);
        }
        typist.join();
        return at;
    }

    // Polls the window's centre pixel until it is mostly `red` or mostly blue; the time.
    std::int64_t WaitForColour(bool red, int x, int y) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            XImage* image = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
            const std::int64_t at = NowNs();
            if (image != nullptr) {
                const unsigned long p = XGetPixel(image, 0, 0);
                XDestroyImage(image);
                const unsigned r = (p >> 16) & 0xFF, b = p & 0xFF;
                if (red ? (r > 150 && b < 90) : (b > 150 && r < 90)) return at;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return 0;
    }

  private:
    Display* display_ = nullptr;
    unsigned long window_;
};

struct Setup {
    std::string media;
    std::string error;
    ~Setup() {
        if (!media.empty()) std::system(("rm -rf '" + media + "'").c_str());
    }
};

const Setup& Prepare() {
    static const Setup setup = [] {
        Setup s;
        if (std::getenv("DISPLAY") == nullptr) s.error = "no DISPLAY";
        if (s.error.empty() && Run("xdotool version").empty()) s.error = "no xdotool";
        if (s.error.empty()) {
            if (auto dir = MakeMedia()) {
                s.media = *dir;
            } else {
                s.error = "ffmpeg could not make the media";
            }
        }
        return s;
    }();
    return setup;
}

enum class Wait { kBlocking, kDelaySteps };

// The median and the maximum over the keys, in milliseconds.
void Report(benchmark::State& state, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    state.counters["median_ms"] = median;
    state.counters["max_ms"] = ms.back();
    state.counters["keys"] = static_cast<double>(n);
}

// Waits for a key as the program does: blocked in the message wait (ReadKey, the clip
// and challenge waits), or the letter loop's idle wait of Delay(500) steps.
void WaitForKey(Wait wait) {
    if (wait == Wait::kDelaySteps) {
        while (!sonara::KeyPressed()) sonara::Delay(500);
    }
    sonara::ReadKey();
}

// One program run: the console window, focused, found by the observer.
template <typename Body>
void WithConsole(benchmark::State& state, Body body) {
    const Setup& setup = Prepare();
    if (!setup.error.empty()) {
        state.SkipWithError(setup.error.c_str());
        return;
    }
    win::LinuxBackend backend;
    win::SetBackend(&backend);
    sonara::RunProgram([&] {
        sonara::InitConsole();
        const std::string title = "sonara key answer " + std::to_string(::getpid());
        win::SetWindowTextA(sonara::ConsoleWindow(), title.c_str());
        sonara::KeyPressed();
        const std::string xid = Run("xdotool search --sync --name '" + title + "' | head -n 1");
        if (xid.empty()) {
            state.SkipWithError("console window not found");
            return;
        }
        Run("xdotool windowfocus --sync " + xid);
        Observer observer(std::stoul(xid));
        if (!observer.ok()) {
            state.SkipWithError("no second X connection");
            return;
        }
        sonara::MediaPlayer player;
        player.SetSoundDirectory(setup.media);
        win::SetCurrentDirectoryA(setup.media.c_str());
        win::RECT client{};
        win::GetClientRect(sonara::ConsoleWindow(), &client);
        body(backend, player, observer, client);
        player.CloseClip();
    });
    win::SetBackend(nullptr);
}

void BM_KeyToClipFirstFrame(benchmark::State& state) {
    const Wait wait = state.range(0) == 0 ? Wait::kBlocking : Wait::kDelaySteps;
    std::vector<double> latencies;
    std::vector<double> steps[4];
    WithConsole(state, [&](win::LinuxBackend&, sonara::MediaPlayer& player, Observer& observer,
                           const win::RECT& client) {
        std::mt19937 random(7);
        bool red = true;
        player.PlayClip("blue");  // the window shows a clip's last frame, as between turns
        for (auto _ : state) {
            std::atomic<std::int64_t> pressed{0}, shown{0};
            const int phase = std::uniform_int_distribution<int>(20, 520)(random);
            std::thread measuring([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(phase));
                pressed = observer.Press("x");
                shown = observer.WaitForColour(red, client.right / 2, client.bottom / 2);
            });
            WaitForKey(wait);
            const std::int64_t read = NowNs();
            // PlayClip's steps, timed one by one.
            player.CloseClip();
            const std::int64_t closed = NowNs();
            player.OpenClip(red ? "red.mp4" : "blue.mp4");
            const std::int64_t opened = NowNs();
            player.WaitClipEnd();
            measuring.join();
            steps[0].push_back(static_cast<double>(read - pressed) / 1e6);
            steps[1].push_back(static_cast<double>(closed - read) / 1e6);
            steps[2].push_back(static_cast<double>(opened - closed) / 1e6);
            steps[3].push_back(static_cast<double>(shown - opened) / 1e6);
            if (pressed == 0 || shown == 0) {
                state.SkipWithError("the key or the frame never came");
                break;
            }
            state.SetIterationTime(static_cast<double>(shown - pressed) / 1e9);
            latencies.push_back(static_cast<double>(shown - pressed) / 1e6);
            red = !red;
        }
    });
    Report(state, latencies);
    // Where the time goes (medians): the key read, the previous clip closed, the new
    // one opened and started, its first frame on screen.
    const char* names[4] = {"read_ms", "close_ms", "open_ms", "frame_ms"};
    for (int i = 0; i < 4; ++i) {
        std::sort(steps[i].begin(), steps[i].end());
        if (!steps[i].empty()) state.counters[names[i]] = steps[i][steps[i].size() / 2];
    }
}

void BM_KeyToCueStart(benchmark::State& state) {
    std::vector<double> latencies;
    WithConsole(state, [&](win::LinuxBackend& backend, sonara::MediaPlayer& player,
                           Observer& observer, const win::RECT&) {
        std::mt19937 random(11);
        player.PlayCue("toque");  // the sound device is open, as after the game's first cue
        for (auto _ : state) {
            std::atomic<std::int64_t> pressed{0};
            const int phase = std::uniform_int_distribution<int>(20, 520)(random);
            std::thread measuring([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(phase));
                pressed = observer.Press("x");
            });
            const std::int64_t before = backend.LastCueStartNs();
            WaitForKey(Wait::kBlocking);
            player.PlayCue("toque");  // the challenge's answer to a key that is no letter
            measuring.join();
            const std::int64_t started = backend.LastCueStartNs();
            if (pressed == 0 || started == before) {
                state.SkipWithError("the key or the cue never came");
                break;
            }
            state.SetIterationTime(static_cast<double>(started - pressed) / 1e9);
            latencies.push_back(static_cast<double>(started - pressed) / 1e6);
        }
    });
    Report(state, latencies);
}

BENCHMARK(BM_KeyToClipFirstFrame)
    ->ArgName("delay_steps")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyToCueStart)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
