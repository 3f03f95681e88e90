#include "game/MediaPlayer.h"

#include "console/TfCrt.h"
#include "platform/api.h"

namespace sonara {

namespace {

MediaPlayer* g_current = nullptr;

constexpr const char* kAlias = "pipoco";
constexpr std::size_t kCueNameLimit = 144;  // of name + ".wav"

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string CurrentDirectory() {
    char buffer[win::MAX_PATH + 1] = {};
    win::DWORD n = win::GetCurrentDirectoryA(sizeof buffer, buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    return std::string(buffer, n);
}

}  // namespace

MediaPlayer::MediaPlayer() : previous_(g_current) {
    g_current = this;
}

MediaPlayer::~MediaPlayer() {
    // The console may already be gone (a player outliving its process object).
    if (TfCrt::Current() != nullptr) {
        HookSlot& slot = MciNotifyHook();
        if (slot.proc == &OnClipNotify) slot = HookSlot{};
    }
    g_current = previous_;
}

MediaPlayer* MediaPlayer::Current() {
    return g_current;
}

win::MCIERROR MediaPlayer::SendMci(const std::string& command) {
    char reply[256] = {};
    return win::mciSendStringA(command.c_str(), reply, 255, ConsoleWindow());
}

std::string MediaPlayer::ClipPath(std::string_view file) {
    std::string_view name = Trim(file);
    if (name.empty()) return {};
    std::string path;
    if (name.find('\\') == std::string_view::npos) {
        path = CurrentDirectory();
        if (path.empty() || path.back() != '\\') path += '\\';
    }
    path += name;
    return "\"" + path + "\"";
}

void MediaPlayer::OpenClip(std::string_view file) {
    std::string quoted = ClipPath(file);
    if (!quoted.empty()) OpenQuoted(quoted);
}

void MediaPlayer::OpenQuoted(const std::string& quoted) {
    if (SendMci("open " + quoted + " type mpegVideo alias " + kAlias) != 0) {
        clip_playing_ = false;
        return;
    }
    clip_playing_ = true;
    MciNotifyHook() = HookSlot{true, &OnClipNotify};
    const std::string alias = kAlias;
    SendMci("where " + alias + " source");
    SendMci("window " + alias + " handle " +
            std::to_string(reinterpret_cast<std::uintptr_t>(ConsoleWindow())));
    int w = 2 * win::GetSystemMetrics(win::SM_CXFRAME) + 1024;
    int h =
        win::GetSystemMetrics(win::SM_CYCAPTION) + 2 * win::GetSystemMetrics(win::SM_CYFRAME) + 768;
    SendMci("put " + alias + " window at 0 0 " + std::to_string(w) + " " + std::to_string(h));
    // A clip that opened but does not play never notifies its end: waiting for it would
    // hang the game, so it counts as ended at once.
    if (SendMci("play " + alias + " notify") != 0) clip_playing_ = false;
}

void MediaPlayer::CloseClip() {
    MciNotifyHook().enabled = false;
    clip_playing_ = false;
    SendMci(std::string("close ") + kAlias);
}

void MediaPlayer::OnClipNotify(win::HWND, win::WPARAM, win::LPARAM) {
    if (g_current) g_current->clip_playing_ = false;
}

void MediaPlayer::PlayClip(std::string_view name) {
    CloseClip();
    OpenClip(std::string(name) + ".mp4");
    WaitClipEnd();
}

void MediaPlayer::WaitClipEnd() {
    // Keys are read and dropped; between checks the wait blocks until a message comes,
    // and the end-of-clip notification is one.
    while (clip_playing_) {
        if (KeyPressed()) {
            ReadKey();
            continue;
        }
        if (!clip_playing_) break;
        win::WaitMessage();
    }
}

std::string MediaPlayer::CuePath(std::string_view name) const {
    std::string file = std::string(name) + ".wav";
    if (file.size() > kCueNameLimit) file.resize(kCueNameLimit);
    return sound_directory_ + "\\" + file;
}

void MediaPlayer::PlayCue(std::string_view name) {
    win::sndPlaySoundA(CuePath(name).c_str(), win::SND_SYNC);
}

void MediaPlayer::PlayCueAsync(std::string_view name) {
    win::sndPlaySoundA(CuePath(name).c_str(), win::SND_ASYNC);
}

void PlayClip(std::string_view name) {
    if (MediaPlayer* p = MediaPlayer::Current()) p->PlayClip(name);
}

void PlayCue(std::string_view name) {
    if (MediaPlayer* p = MediaPlayer::Current()) p->PlayCue(name);
}

void PlayCueAsync(std::string_view name) {
    if (MediaPlayer* p = MediaPlayer::Current()) p->PlayCueAsync(name);
}

}  // namespace sonara
