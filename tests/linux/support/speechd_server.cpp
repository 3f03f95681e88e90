#include "tests/linux/support/speechd_server.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace sonara_test {

std::string PrivateSpeechdAddress() {
    const char* address = std::getenv("SONARA_TEST_SPEECHD_ADDRESS");
    return address != nullptr ? address : "";
}

ScopedSpeechdAddress::ScopedSpeechdAddress(const std::string& address) {
    if (const char* previous = std::getenv("SPEECHD_ADDRESS")) previous_ = previous;
    setenv("SPEECHD_ADDRESS", address.c_str(), 1);
}

ScopedSpeechdAddress::~ScopedSpeechdAddress() {
    if (previous_)
        setenv("SPEECHD_ADDRESS", previous_->c_str(), 1);
    else
        unsetenv("SPEECHD_ADDRESS");
}

SpeechdLog::SpeechdLog(const std::string& address) {
    const std::string prefix = "unix_socket:";
    if (address.rfind(prefix, 0) != 0) return;
    const std::filesystem::path socket = address.substr(prefix.size());
    path_ = (socket.parent_path().parent_path().parent_path() / "log" / "speech-dispatcher.log")
                .string();
}

bool SpeechdLog::Exists() const {
    std::error_code ec;
    return !path_.empty() && std::filesystem::is_regular_file(path_, ec);
}

void SpeechdLog::Mark() {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    mark_ = ec ? 0 : static_cast<long long>(size);
}

std::string SpeechdLog::SinceMark() const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return "";
    in.seekg(mark_);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SpeechdLog::ShowsInOrder(const std::vector<std::string>& patterns) const {
    const std::string text = SinceMark();
    std::size_t at = 0;
    for (const std::string& p : patterns) {
        at = text.find(p, at);
        if (at == std::string::npos) return false;
        at += p.size();
    }
    return true;
}

ThrowawaySpeechd::ThrowawaySpeechd() {
    namespace fs = std::filesystem;
    const fs::path modules = "/usr/lib/speech-dispatcher-modules";
    const fs::path moduleConf = "/etc/speech-dispatcher/modules/espeak-ng.conf";
    std::error_code ec;
    if (!fs::exists(modules / "sd_espeak-ng", ec) || !fs::exists(moduleConf, ec)) return;
    char pattern[] = "/tmp/sonara-speechd-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    dir_ = pattern;
    const fs::path dir = dir_;
    fs::create_directories(dir / "run" / "speech-dispatcher", ec);
    fs::create_directories(dir / "conf" / "modules", ec);
    fs::create_directories(dir / "log", ec);
    fs::permissions(dir / "run", fs::perms::owner_all, ec);
    fs::copy_file(moduleConf, dir / "conf" / "modules" / "espeak-ng.conf", ec);
    std::ofstream(dir / "conf" / "speechd.conf")
        << "LogLevel 1\nLogDir \"" << (dir / "log").string()
        << "\"\nDisableAutoSpawn\nAudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n"
           "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
           "DefaultModule espeak-ng\nDefaultLanguage \"pt-BR\"\n";
    const std::string socket = (dir / "run" / "speech-dispatcher" / "speechd.sock").string();
    std::vector<std::string> args = {"speech-dispatcher",
                                     "-s",
                                     "-t",
                                     "0",
                                     "-l",
                                     "1",
                                     "-L",
                                     (dir / "log").string(),
                                     "-C",
                                     (dir / "conf").string(),
                                     "-m",
                                     modules.string(),
                                     "-c",
                                     "unix_socket",
                                     "-S",
                                     socket,
                                     "-P",
                                     (dir / "run" / "speechd.pid").string()};
    std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + (dir / "run").string(),
                                    "XDG_CONFIG_HOME=" + (dir / "conf").string()};
    if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return;
    pid_ = pid;
    // Until it listens (only a failing start waits the whole time).
    for (int i = 0; i < 600 && !fs::exists(socket, ec); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (fs::exists(socket, ec)) address_ = "unix_socket:" + socket;
}

void ThrowawaySpeechd::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

ThrowawaySpeechd::~ThrowawaySpeechd() {
    Kill();
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

bool PumpUntil(win::Backend& backend, const std::function<bool()>& done,
               std::chrono::seconds guard) {
    const auto deadline = std::chrono::steady_clock::now() + guard;
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;
    std::thread guardThread([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!cv.wait_until(lock, deadline, [&] { return finished; }))
            backend.PostMessageA(nullptr, win::WM_NULL, 0, 0);
    });
    bool result = false;
    for (;;) {
        win::MSG msg;
        while (backend.PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            backend.TranslateMessage(&msg);
            backend.DispatchMessageA(&msg);
        }
        if (done()) {
            result = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        backend.WaitMessage();
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
    }
    cv.notify_all();
    guardThread.join();
    return result;
}

}  // namespace sonara_test
