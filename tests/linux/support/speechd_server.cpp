#include "tests/linux/support/speechd_server.h"

#include <stdlib.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

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
