// Video clips on Linux: the MCI command strings of the clip player (open, where, window,
// put, play, stop, close) over libmpv. Pictures come from mpv's software renderer and are
// handed to a VideoSink on the GUI thread; sound goes through mpv's own audio output.
// A clip that has ended stays open on its last frame, which the window keeps showing
// until the clip is closed (or its window changed).
//
// Threads: mciSendStringA and OnClipMessage run on the GUI thread. Each open clip has an
// event thread that waits on mpv and posts MM_MCINOTIFY; mpv's render callback only posts
// kClipMessage, whose dispatch must call OnClipMessage (the back end's DispatchMessageA
// does this for any window, including none).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/linux/VideoSink.h"
#include "platform/mci_command.h"
#include "platform/wintypes.h"

struct mpv_handle;
struct mpv_render_context;

namespace win {

class LinuxClips {
  public:
    using PostFn = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
    // A Windows-style path as a host path (LinuxFiles::HostPath).
    using HostPathFn = std::function<std::string(std::string_view)>;

    // Posted with wParam = the clip's device id and lParam = a ClipEvent.
    static constexpr UINT kClipMessage = 0x7F3C;
    enum ClipEvent : LPARAM { kFrameReady = 1, kClipEnded = 2 };

    struct Options {
        std::string audioOutput = "pulse,alsa,sdl,null";  // mpv's ao list; ends with null
        int maxFrameWidth = 1920;                         // the software frame is at most this big
        int maxFrameHeight = 1200;
    };

    // Without a path mapper, the path in "open" is used as a host path.
    LinuxClips(PostFn post, VideoSink* sink);
    LinuxClips(PostFn post, HostPathFn hostPath, VideoSink* sink);
    LinuxClips(PostFn post, HostPathFn hostPath, VideoSink* sink, Options options);
    ~LinuxClips();
    LinuxClips(const LinuxClips&) = delete;
    LinuxClips& operator=(const LinuxClips&) = delete;

    MCIERROR mciSendStringA(const char* command, char* reply, UINT replyLength, HWND callback);
    void OnClipMessage(WPARAM wParam, LPARAM lParam);

  private:
    struct Clip {
        LinuxClips* owner = nullptr;
        UINT id = 0;
        std::string hostPath;
        mpv_handle* mpv = nullptr;
        mpv_render_context* render = nullptr;
        RECT put;  // "put ... window at", kept for "where ... destination"
        std::thread events;
        std::mutex mutex;       // the fields below, shared with the event thread
        HWND window = nullptr;  // where the picture goes ("window ... handle")
        bool stopping = false;
        bool ended = false;
        bool atEnd = false;  // ended and still loaded, paused on its last frame
        std::condition_variable endedOrStopping;  // for "play ... wait"
        HWND notifyWindow = nullptr;              // a "notify" waits to be answered
        // GUI thread only: the software render target, 64-byte aligned inside, and the
        // picture's size, read at open (never during playback: see Open).
        std::vector<std::uint8_t> frame;
        std::int64_t videoWidth = 0;
        std::int64_t videoHeight = 0;
    };

    MCIERROR Open(const MciCommand& cmd, HWND callback);
    MCIERROR Where(Clip& clip, const MciCommand& cmd, char* reply, UINT replyLength);
    MCIERROR Play(Clip& clip, const MciCommand& cmd, HWND callback);
    MCIERROR Stop(Clip& clip);
    void Close(const std::string& key);
    void JoinTeardowns();
    MCIERROR WaitLoaded(Clip& clip);
    void EventLoop(Clip* clip);
    void Answer(Clip& clip, WPARAM code);
    // The clip played to its end (or failed): answers its notify with `code`.
    void Ended(Clip& clip, WPARAM code);
    void RenderFrame(Clip& clip);
    Clip* FindById(UINT id);
    void PostClip(Clip& clip, LPARAM event);
    static void OnRenderUpdate(void* clip);

    PostFn post_;
    HostPathFn hostPath_;
    VideoSink* sink_;
    Options options_;
    UINT nextId_ = 1;
    std::map<std::string, std::unique_ptr<Clip>> clips_;  // by upper-cased alias
    std::vector<std::thread> teardowns_;                  // players of closed clips ending
};

}  // namespace win
