// The thread's message queue of the Linux back end: messages posted from any thread,
// input messages made from SDL events on the GUI thread, and the quit flag. Window
// procedures and WM_PAINT are the back end's business; this is only the queue.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/wintypes.h"

namespace win {

class LinuxQueue {
  public:
    // `wake` is called, from the posting thread, after a post finds no wake-up pending;
    // it must make a blocked wait return (the back end pushes an SDL event).
    explicit LinuxQueue(std::function<void()> wake);

    // Any thread.
    void Post(const MSG& msg);

    // GUI thread only, from here on.
    void PushInput(const MSG& msg);
    void PostQuit(int code);
    // Moves the posted messages, in order, behind the input already queued.
    void Drain();
    // The first message matching the filter (null: any; HWND(-1): only messages without
    // a window) and range (0, 0: all); WM_QUIT once nothing else matches and the filter
    // is null. With `remove` it leaves the queue.
    bool Peek(MSG* out, HWND filter, UINT first, UINT last, bool remove);
    bool Empty();
    // Blocks until a message is posted from any thread or `timeout` has passed; true when
    // one was posted. For waits that cannot block in SDL (SDL's own wait polls every
    // millisecond when its video driver cannot wait, as off-screen).
    bool WaitPosted(std::chrono::milliseconds timeout);
    // Drops the queued messages of a destroyed window.
    void RemoveWindow(HWND hwnd);

  private:
    static bool Matches(const MSG& m, HWND filter, UINT first, UINT last);

    std::function<void()> wake_;
    std::mutex mutex_;
    std::condition_variable postedCv_;
    std::vector<MSG> posted_;  // guarded by mutex_
    std::atomic<bool> hasPosted_{false};
    std::atomic<bool> wakePending_{false};
    std::deque<MSG> local_;
    bool quit_ = false;
    int quitCode_ = 0;
};

}  // namespace win
