#include "platform/linux/LinuxQueue.h"

#include <algorithm>
#include <utility>

namespace win {

LinuxQueue::LinuxQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

void LinuxQueue::Post(const MSG& msg) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        posted_.push_back(msg);
        hasPosted_.store(true);
    }
    postedCv_.notify_one();
    if (!wakePending_.exchange(true) && wake_) wake_();
}

void LinuxQueue::PushInput(const MSG& msg) {
    Drain();
    local_.push_back(msg);
}

void LinuxQueue::PostQuit(int code) {
    quit_ = true;
    quitCode_ = code;
}

void LinuxQueue::Drain() {
    // Clear the flag first: a post after this point wakes again. Both flags are
    // sequentially consistent: a post is either seen here or wakes the queue again.
    wakePending_.store(false);
    if (!hasPosted_.load()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    local_.insert(local_.end(), posted_.begin(), posted_.end());
    posted_.clear();
    hasPosted_.store(false, std::memory_order_relaxed);
}

bool LinuxQueue::Matches(const MSG& m, HWND filter, UINT first, UINT last) {
    if (filter == reinterpret_cast<HWND>(std::intptr_t{-1})) {
        if (m.hwnd != nullptr) return false;
    } else if (filter != nullptr && m.hwnd != filter) {
        return false;
    }
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

bool LinuxQueue::Peek(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    Drain();
    auto it = std::find_if(local_.begin(), local_.end(),
                           [&](const MSG& m) { return Matches(m, filter, first, last); });
    if (it != local_.end()) {
        if (out) *out = *it;
        if (remove) local_.erase(it);
        return true;
    }
    MSG quit;
    quit.message = WM_QUIT;
    quit.wParam = static_cast<WPARAM>(quitCode_);
    if (quit_ && filter == nullptr && Matches(quit, nullptr, first, last)) {
        if (out) *out = quit;
        if (remove) quit_ = false;
        return true;
    }
    return false;
}

bool LinuxQueue::WaitPosted(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return postedCv_.wait_for(lock, timeout, [this] { return !posted_.empty(); });
}

bool LinuxQueue::Empty() {
    Drain();
    return local_.empty() && !quit_;
}

void LinuxQueue::RemoveWindow(HWND hwnd) {
    Drain();
    std::erase_if(local_, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

}  // namespace win
