// The server path of speech on Linux, against spd-say with espeak-ng on the same server in
// the same run:
//  - Speak to the server's begin notification (SPD_BEGIN), our client;
//  - Speak to the first audio the server sends to its device, our client and spd-say
//    (spawned with the same kind of text), read from the server's log;
//  - stop: our cancel to the cancel notification, and spd-say -C (cancel everything) to the
//    same notification.
// Needs a running speech-dispatcher at SPEECHD_ADDRESS (or SONARA_TEST_SPEECHD_ADDRESS),
// e.g. scripts/speechd-private.sh start DIR --log-level 4; the audio-start figures need its
// log beside the socket (DIR/log/speech-dispatcher.log, level 4 or 5).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/SpeechdClient.h"

extern char** environ;

namespace {

using win::SpeechdClient;
using Event = SpeechdClient::Event;
using Wall = std::chrono::system_clock;
constexpr auto kGuard = std::chrono::seconds(30);

std::string Address() {
    if (const char* a = std::getenv("SPEECHD_ADDRESS")) return a;
    if (const char* a = std::getenv("SONARA_TEST_SPEECHD_ADDRESS")) {
        setenv("SPEECHD_ADDRESS", a, 1);
        return a;
    }
    return "";
}

std::string LogPath() {
    const std::string address = Address();
    const std::string prefix = "unix_socket:";
    if (address.rfind(prefix, 0) != 0) return "";
    const std::filesystem::path socket = address.substr(prefix.size());
    auto log = socket.parent_path().parent_path().parent_path() / "log" / "speech-dispatcher.log";
    std::error_code ec;
    return std::filesystem::is_regular_file(log, ec) ? log.string() : "";
}

// A client whose notifications can be waited for.
class Listener {
  public:
    explicit Listener(SpeechdClient& client) {
        client.SetListener([this](Event e, std::uint64_t message) {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_[{e, message}] = std::chrono::steady_clock::now();
            cv_.notify_all();
        });
    }
    std::optional<std::chrono::steady_clock::time_point> Wait(Event e, std::uint64_t message) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cv_.wait_for(lock, kGuard, [&] { return seen_.count({e, message}) != 0; }))
            return std::nullopt;
        return seen_[{e, message}];
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::map<std::pair<Event, std::uint64_t>, std::chrono::steady_clock::time_point> seen_;
};

std::string LongText() {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "O menino pipoco pulou a janela e viu a lua cheia. ";
    return text;
}

// The server's log from a byte offset on.
class ServerLog {
  public:
    explicit ServerLog(std::string path) : path_(std::move(path)) {}
    void Mark() {
        std::error_code ec;
        mark_ = static_cast<long long>(std::filesystem::file_size(path_, ec));
    }
    // The time of the first "Sending N samples to audio" since the mark (the texts are
    // spoken one at a time, each to its end, so it is the audio of the last text).
    std::optional<Wall::time_point> FirstAudio() {
        const auto deadline = std::chrono::steady_clock::now() + kGuard;
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream in(path_, std::ios::binary);
            in.seekg(mark_);
            const std::string log{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
            const std::size_t audio = log.find("samples to audio");
            if (audio != std::string::npos) return StampBefore(log, audio);
            // The server may not have written its log yet: look again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
    }

  private:
    // "[Wed Dec  9 11:16:50 2026 : 128416] speechd: ..." of the line holding `at`.
    static std::optional<Wall::time_point> StampBefore(const std::string& log, std::size_t at) {
        const std::size_t open = log.rfind('[', at);
        if (open == std::string::npos) return std::nullopt;
        std::tm tm{};
        const char* rest = strptime(log.c_str() + open + 1, "%a %b %d %H:%M:%S %Y", &tm);
        if (rest == nullptr) return std::nullopt;
        long micro = 0;
        if (std::sscanf(rest, " : %ld]", &micro) != 1) return std::nullopt;
        tm.tm_isdst = -1;
        return Wall::from_time_t(std::mktime(&tm)) + std::chrono::microseconds(micro);
    }

    std::string path_;
    long long mark_ = 0;
};

bool Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::unique_ptr<SpeechdClient> Connect(benchmark::State& state) {
    if (Address().empty()) {
        state.SkipWithError("no speech server: set SPEECHD_ADDRESS");
        return nullptr;
    }
    auto client = SpeechdClient::Connect("bench");
    if (!client) state.SkipWithError("the speech server refused the connection");
    return client;
}

std::string Numbered(int i) {
    return "Olá, menino, esta é a frase " + std::to_string(i) + ".";
}

void BM_ServerSpeakToBegin(benchmark::State& state) {
    auto client = Connect(state);
    if (!client) return;
    Listener listener(*client);
    int i = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t id = client->Speak(Numbered(++i));
        const auto begin = listener.Wait(Event::Begin, id);
        if (id == 0 || !begin || !client->WaitIdle(kGuard)) {
            state.SkipWithError("no begin or end from the server");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(*begin - start).count());
    }
}
BENCHMARK(BM_ServerSpeakToBegin)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ServerSpeakToAudio(benchmark::State& state) {
    auto client = Connect(state);
    if (!client) return;
    const std::string path = LogPath();
    if (path.empty()) return state.SkipWithError("no server log beside the socket");
    ServerLog log(path);
    int i = 100;
    for (auto _ : state) {
        log.Mark();
        const std::string text = Numbered(++i);
        const auto start = Wall::now();
        if (client->Speak(text) == 0) return state.SkipWithError("the server refused the text");
        if (!client->WaitIdle(kGuard)) return state.SkipWithError("the text did not end");
        const auto audio = log.FirstAudio();
        if (!audio) return state.SkipWithError("no audio logged");
        state.SetIterationTime(std::chrono::duration<double>(*audio - start).count());
    }
}
BENCHMARK(BM_ServerSpeakToAudio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The reference: a new spd-say process (espeak-ng, Brazilian Portuguese) per text.
void BM_SpdSayToAudio(benchmark::State& state) {
    if (Address().empty()) return state.SkipWithError("no speech server: set SPEECHD_ADDRESS");
    const std::string path = LogPath();
    if (path.empty()) return state.SkipWithError("no server log beside the socket");
    ServerLog log(path);
    int i = 200;
    for (auto _ : state) {
        log.Mark();
        const std::string text = Numbered(++i);
        const auto start = Wall::now();
        if (!Run({"spd-say", "-o", "espeak-ng", "-l", "pt-BR", "-w", text}))
            return state.SkipWithError("spd-say failed");
        const auto audio = log.FirstAudio();  // spd-say -w waited for the end
        if (!audio) return state.SkipWithError("no audio logged for spd-say");
        state.SetIterationTime(std::chrono::duration<double>(*audio - start).count());
    }
}
BENCHMARK(BM_SpdSayToAudio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Stop: from the request to the cancel notification of the text that was speaking.
void StopLatency(benchmark::State& state, bool bySpdSay) {
    auto client = Connect(state);
    if (!client) return;
    Listener listener(*client);
    const std::string text = LongText();
    for (auto _ : state) {
        const std::uint64_t id = client->Speak(text);
        if (id == 0 || !listener.Wait(Event::Begin, id))
            return state.SkipWithError("the long text did not begin");
        const auto start = std::chrono::steady_clock::now();
        if (bySpdSay ? !Run({"spd-say", "-C"}) : !client->Cancel())
            return state.SkipWithError("the cancel failed");
        const auto cancelled = listener.Wait(Event::Cancel, id);
        if (!cancelled || !client->WaitIdle(kGuard))
            return state.SkipWithError("no cancel notification");
        state.SetIterationTime(std::chrono::duration<double>(*cancelled - start).count());
    }
}
void BM_ServerCancelToCancelled(benchmark::State& state) {
    StopLatency(state, false);
}
void BM_SpdSayCancelToCancelled(benchmark::State& state) {
    StopLatency(state, true);
}
BENCHMARK(BM_ServerCancelToCancelled)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(BM_SpdSayCancelToCancelled)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
