#include "platform/linux/LinuxClips.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/paths.h"

namespace win {

namespace {

constexpr auto kLoadTimeout = std::chrono::seconds(10);

void Reply(char* reply, UINT replyLength, const std::string& text) {
    if (reply == nullptr || replyLength == 0) return;
    const std::size_t n = std::min<std::size_t>(text.size(), replyLength - 1);
    std::memcpy(reply, text.data(), n);
    reply[n] = '\0';
}

std::int64_t IntProperty(mpv_handle* mpv, const char* name) {
    std::int64_t value = 0;
    if (mpv_get_property(mpv, name, MPV_FORMAT_INT64, &value) < 0) return 0;
    return value;
}

// The largest rectangle of the video's shape inside `area`, centred.
RECT Fit(RECT area, std::int64_t videoW, std::int64_t videoH) {
    const LONG w = area.right - area.left;
    const LONG h = area.bottom - area.top;
    if (videoW <= 0 || videoH <= 0 || w <= 0 || h <= 0) return area;
    LONG fw = w;
    auto fh = static_cast<LONG>(w * videoH / videoW);
    if (fh > h) {
        fh = h;
        fw = static_cast<LONG>(h * videoW / videoH);
    }
    const LONG x = area.left + (w - fw) / 2;
    const LONG y = area.top + (h - fh) / 2;
    return RECT{x, y, x + fw, y + fh};
}

}  // namespace

LinuxClips::LinuxClips(PostFn post, VideoSink* sink)
    : LinuxClips(std::move(post), nullptr, sink, Options{}) {}

LinuxClips::LinuxClips(PostFn post, HostPathFn hostPath, VideoSink* sink)
    : LinuxClips(std::move(post), std::move(hostPath), sink, Options{}) {}

LinuxClips::LinuxClips(PostFn post, HostPathFn hostPath, VideoSink* sink, Options options)
    : post_(std::move(post)),
      hostPath_(std::move(hostPath)),
      sink_(sink),
      options_(std::move(options)) {}

LinuxClips::~LinuxClips() {
    while (!clips_.empty()) Close(clips_.begin()->first);
    JoinTeardowns();
}

MCIERROR LinuxClips::mciSendStringA(const char* command, char* reply, UINT replyLength,
                                    HWND callback) {
    Reply(reply, replyLength, "");
    if (command == nullptr) return MCIERR_MISSING_COMMAND_STRING;
    const MciParse parse = ParseMciCommand(command);
    if (parse.error != 0) return parse.error;
    const MciCommand& cmd = parse.command;
    if (cmd.verb == MciVerb::kOpen) return Open(cmd, callback);
    const std::string key = FoldCase(cmd.device);
    if (cmd.verb == MciVerb::kClose && key == "all") {
        while (!clips_.empty()) Close(clips_.begin()->first);
        return 0;
    }
    auto it = clips_.find(key);
    if (it == clips_.end()) return MCIERR_INVALID_DEVICE_NAME;
    Clip& clip = *it->second;
    switch (cmd.verb) {
        case MciVerb::kWhere:
            return Where(clip, cmd, reply, replyLength);
        case MciVerb::kWindow:
            if (clip.window != nullptr && sink_ != nullptr) sink_->ClearFrame(clip.window);
            {
                std::lock_guard<std::mutex> lock(clip.mutex);
                clip.window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(cmd.windowHandle));
            }
            return 0;
        case MciVerb::kPut:
            // The picture always fills the display window's client area (keeping its shape);
            // the rectangle is kept for "where ... destination" only.
            clip.put = RECT{cmd.x, cmd.y, cmd.x + cmd.width, cmd.y + cmd.height};
            return 0;
        case MciVerb::kPlay:
            return Play(clip, cmd, callback);
        case MciVerb::kStop:
            return Stop(clip);
        case MciVerb::kClose: {
            // A pending play's notify is aborted first, then the close's own answers.
            const UINT id = clip.id;
            Close(key);
            if (cmd.notify && callback != nullptr && post_)
                post_(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, id);
            return 0;
        }
        case MciVerb::kOpen:
            break;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

// ---- open ----

MCIERROR LinuxClips::Open(const MciCommand& cmd, HWND callback) {
    const std::string alias = cmd.alias.empty() ? cmd.device : cmd.alias;
    const std::string key = FoldCase(alias);
    if (key == "all") return MCIERR_DUPLICATE_ALIAS;
    if (clips_.count(key) != 0) return MCIERR_DUPLICATE_ALIAS;
    const std::string host = hostPath_ ? hostPath_(cmd.device) : cmd.device;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(host, ec)) return MCIERR_FILE_NOT_FOUND;

    std::setlocale(LC_NUMERIC, "C");  // mpv refuses to start under a decimal comma
    auto clip = std::make_unique<Clip>();
    clip->owner = this;
    clip->id = nextId_++;
    clip->hostPath = host;
    clip->mpv = mpv_create();
    if (clip->mpv == nullptr) return MCIERR_CANNOT_LOAD_DRIVER;
    mpv_handle* mpv = clip->mpv;
    mpv_set_option_string(mpv, "vo", sink_ != nullptr ? "libmpv" : "null");
    mpv_set_option_string(mpv, "ao", options_.audioOutput.c_str());
    mpv_set_option_string(mpv, "pause", "yes");
    mpv_set_option_string(mpv, "idle", "yes");
    // At its end a clip stays loaded and paused on its last frame, which stays in the
    // window until the clip is closed (the end is seen as eof-reached, not END_FILE).
    mpv_set_option_string(mpv, "keep-open", "yes");
    mpv_set_option_string(mpv, "terminal", "no");
    mpv_set_option_string(mpv, "config", "no");
    mpv_set_option_string(mpv, "load-scripts", "no");
    mpv_set_option_string(mpv, "ytdl", "no");
    mpv_set_option_string(mpv, "osc", "no");
    mpv_set_option_string(mpv, "input-default-bindings", "no");
    mpv_set_option_string(mpv, "hwdec", "no");
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    if (sink_ != nullptr) {
        char apiType[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_create(&clip->render, mpv, params) >= 0) {
            mpv_render_context_set_update_callback(clip->render, &LinuxClips::OnRenderUpdate,
                                                   clip.get());
        } else {
            clip->render = nullptr;
        }
    }
    const char* load[] = {"loadfile", host.c_str(), nullptr};
    MCIERROR result = mpv_command(mpv, load) < 0 ? MCIERR_INVALID_FILE : WaitLoaded(*clip);
    if (result != 0) {
        if (clip->render != nullptr) mpv_render_context_free(clip->render);
        mpv_terminate_destroy(mpv);
        return result;
    }
    // Read now, while nothing plays: on the GUI thread, which renders, a property read
    // during playback can wait for mpv's core while the core waits for a render.
    clip->videoWidth = IntProperty(mpv, "current-tracks/video/demux-w");
    clip->videoHeight = IntProperty(mpv, "current-tracks/video/demux-h");
    mpv_observe_property(mpv, 0, "eof-reached", MPV_FORMAT_FLAG);
    if (cmd.notify && callback != nullptr && post_) {
        post_(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, clip->id);
    }
    Clip* raw = clip.get();
    clip->events = std::thread([this, raw] { EventLoop(raw); });
    clips_.emplace(key, std::move(clip));
    return 0;
}

// Waits (bounded) for mpv to load the file paused, or to give up on it.
MCIERROR LinuxClips::WaitLoaded(Clip& clip) {
    const auto deadline = std::chrono::steady_clock::now() + kLoadTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const mpv_event* ev = mpv_wait_event(clip.mpv, 0.25);
        if (ev->event_id == MPV_EVENT_FILE_LOADED) return 0;
        if (ev->event_id == MPV_EVENT_END_FILE || ev->event_id == MPV_EVENT_SHUTDOWN) {
            return MCIERR_INVALID_FILE;
        }
    }
    return MCIERR_INVALID_FILE;
}

// ---- the event thread of one clip ----

void LinuxClips::EventLoop(Clip* clip) {
    for (;;) {
        const mpv_event* ev = mpv_wait_event(clip->mpv, -1);
        {
            std::lock_guard<std::mutex> lock(clip->mutex);
            if (clip->stopping) return;
        }
        if (ev->event_id == MPV_EVENT_SHUTDOWN) {
            {
                std::lock_guard<std::mutex> lock(clip->mutex);
                clip->ended = true;  // nothing more will play: a waiting play returns
            }
            clip->endedOrStopping.notify_all();
            return;
        }
        if (ev->event_id == MPV_EVENT_PROPERTY_CHANGE) {
            // eof-reached turned on: played to its end, paused on its last frame.
            const auto* change = static_cast<const mpv_event_property*>(ev->data);
            if (change->format == MPV_FORMAT_FLAG && *static_cast<int*>(change->data) != 0) {
                {
                    std::lock_guard<std::mutex> lock(clip->mutex);
                    clip->atEnd = true;
                }
                Ended(*clip, MCI_NOTIFY_SUCCESSFUL);
            }
        } else if (ev->event_id == MPV_EVENT_END_FILE) {
            const auto* end = static_cast<const mpv_event_end_file*>(ev->data);
            if (end->reason == MPV_END_FILE_REASON_EOF) Ended(*clip, MCI_NOTIFY_SUCCESSFUL);
            if (end->reason == MPV_END_FILE_REASON_ERROR) Ended(*clip, MCI_NOTIFY_FAILURE);
        }
    }
}

void LinuxClips::Ended(Clip& clip, WPARAM code) {
    {
        std::lock_guard<std::mutex> lock(clip.mutex);
        clip.ended = true;
    }
    clip.endedOrStopping.notify_all();
    // Queued before the notification, so the window holds a still frame by the time the
    // program learns of the end (and may draw).
    PostClip(clip, kClipEnded);
    Answer(clip, code);
}

// Posts the pending "notify" once, whoever gets there first.
void LinuxClips::Answer(Clip& clip, WPARAM code) {
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(clip.mutex);
        std::swap(window, clip.notifyWindow);
    }
    if (window != nullptr && post_) post_(window, MM_MCINOTIFY, code, clip.id);
}

void LinuxClips::PostClip(Clip& clip, LPARAM event) {
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(clip.mutex);
        window = clip.window;
    }
    if (post_) post_(window, kClipMessage, clip.id, event);
}

void LinuxClips::OnRenderUpdate(void* data) {
    auto* clip = static_cast<Clip*>(data);
    clip->owner->PostClip(*clip, kFrameReady);
}

// ---- where, play, stop, close ----

MCIERROR LinuxClips::Where(Clip& clip, const MciCommand& cmd, char* reply, UINT replyLength) {
    RECT r = clip.put;
    if (!cmd.destination) {
        r = RECT{0, 0, static_cast<LONG>(clip.videoWidth), static_cast<LONG>(clip.videoHeight)};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d %d", static_cast<int>(r.left),
                  static_cast<int>(r.top), static_cast<int>(r.right - r.left),
                  static_cast<int>(r.bottom - r.top));
    Reply(reply, replyLength, text);
    return 0;
}

MCIERROR LinuxClips::Play(Clip& clip, const MciCommand& cmd, HWND callback) {
    Answer(clip, MCI_NOTIFY_SUPERSEDED);  // an earlier play's notify is answered now
    bool ended = false;
    bool atEnd = false;
    {
        std::lock_guard<std::mutex> lock(clip.mutex);
        ended = clip.ended;
        atEnd = clip.atEnd;
        clip.ended = clip.atEnd = false;
        if (cmd.notify && callback != nullptr) clip.notifyWindow = callback;
    }
    // Requests, not waits (see Open): mpv carries them out in order.
    if (atEnd) {
        // Played to its end before (and kept on its last frame): from the start again.
        const char* seek[] = {"seek", "0", "absolute", nullptr};
        if (mpv_command_async(clip.mpv, 0, seek) < 0) return MCIERR_INVALID_FILE;
    } else if (ended) {
        // Unloaded after a failure: load it again.
        const char* load[] = {"loadfile", clip.hostPath.c_str(), nullptr};
        if (mpv_command_async(clip.mpv, 0, load) < 0) return MCIERR_INVALID_FILE;
    }
    int no = 0;
    mpv_set_property_async(clip.mpv, 0, "pause", MPV_FORMAT_FLAG, &no);
    if (cmd.wait) {
        // "wait": the command returns when the clip has ended, as on Windows.
        std::unique_lock<std::mutex> lock(clip.mutex);
        clip.endedOrStopping.wait(lock, [&] { return clip.ended || clip.stopping; });
    }
    return 0;
}

MCIERROR LinuxClips::Stop(Clip& clip) {
    int yes = 1;
    mpv_set_property_async(clip.mpv, 0, "pause", MPV_FORMAT_FLAG, &yes);
    Answer(clip, MCI_NOTIFY_ABORTED);
    return 0;
}

void LinuxClips::Close(const std::string& key) {
    auto it = clips_.find(key);
    if (it == clips_.end()) return;
    std::unique_ptr<Clip> clip = std::move(it->second);
    clips_.erase(it);
    Answer(*clip, MCI_NOTIFY_ABORTED);  // only if it had not ended
    {
        std::lock_guard<std::mutex> lock(clip->mutex);
        clip->stopping = true;
    }
    mpv_wakeup(clip->mpv);
    if (clip->events.joinable()) clip->events.join();
    if (clip->window != nullptr && sink_ != nullptr) sink_->ClearFrame(clip->window);
    // Taking the player down takes tens of milliseconds, which the next clip (the answer
    // to a key) should not wait for: it happens on a thread of its own. The render
    // callback is detached first, since it points into the clip freed here.
    mpv_render_context* render = clip->render;
    mpv_handle* mpv = clip->mpv;
    if (render != nullptr) mpv_render_context_set_update_callback(render, nullptr, nullptr);
    JoinTeardowns();  // long finished unless clips are closed in quick succession
    teardowns_.emplace_back([render, mpv] {
        if (render != nullptr) mpv_render_context_free(render);
        mpv_terminate_destroy(mpv);
    });
}

void LinuxClips::JoinTeardowns() {
    for (std::thread& t : teardowns_) t.join();
    teardowns_.clear();
}

// ---- pictures (GUI thread) ----

LinuxClips::Clip* LinuxClips::FindById(UINT id) {
    for (auto& [key, clip] : clips_) {
        if (clip->id == id) return clip.get();
    }
    return nullptr;
}

void LinuxClips::OnClipMessage(WPARAM wParam, LPARAM lParam) {
    Clip* clip = FindById(static_cast<UINT>(wParam));
    if (clip == nullptr) return;  // closed since the message was posted
    bool ended = false;
    {
        std::lock_guard<std::mutex> lock(clip->mutex);
        ended = clip->ended;
    }
    if (lParam == kClipEnded) {
        // Its last frame stays in the window until the clip is closed.
        if (clip->window != nullptr && sink_ != nullptr) sink_->StillFrame(clip->window);
    } else if (lParam == kFrameReady && !ended) {
        RenderFrame(*clip);
    }
}

void LinuxClips::RenderFrame(Clip& clip) {
    if (clip.render == nullptr) return;
    const std::uint64_t flags = mpv_render_context_update(clip.render);
    if (!(flags & MPV_RENDER_UPDATE_FRAME) || clip.window == nullptr || sink_ == nullptr) return;
    const RECT client = sink_->ClientRect(clip.window);
    const RECT target = Fit(client, clip.videoWidth, clip.videoHeight);
    int size[2] = {std::min<int>(target.right - target.left, options_.maxFrameWidth),
                   std::min<int>(target.bottom - target.top, options_.maxFrameHeight)};
    if (size[0] <= 0 || size[1] <= 0) return;
    std::size_t stride = (static_cast<std::size_t>(size[0]) * 4 + 63) & ~std::size_t{63};
    clip.frame.resize(stride * static_cast<std::size_t>(size[1]) + 64);
    const auto base = reinterpret_cast<std::uintptr_t>(clip.frame.data());
    auto* pixels = reinterpret_cast<std::uint8_t*>((base + 63) & ~std::uintptr_t{63});
    char format[] = "bgr0";
    int block = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, pixels},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(clip.render, params) < 0) return;
    sink_->ShowFrame(clip.window, pixels, size[0], size[1], static_cast<int>(stride), target);
}

}  // namespace win
