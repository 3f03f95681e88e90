// The Linux back end's services that other classes provide: files and registry
// (LinuxFiles), wave-out and sound cues (LinuxAudio), clips (LinuxClips), the speech-server
// objects (LinuxSpeech); and time, the message beep and message boxes.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/cp1252.h"
#include "platform/linux/LinuxAudio.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/LinuxClips.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/linux/LinuxSpeech.h"

namespace win {

void LinuxBackend::InitDelegates() {
    files_ = std::make_unique<LinuxFiles>();
}

void LinuxBackend::PostFromAnyThread(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    PostMessageA(hwnd, msg, wp, lp);
}

DWORD LinuxBackend::GetTickCount() {
    return SDL_GetTicks();
}

void LinuxBackend::Sleep(DWORD ms) {
    SDL_Delay(ms);
}

int LinuxBackend::MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    const std::string body = Cp1252ToUtf8(text ? text : "");
    const std::string title = Cp1252ToUtf8(caption ? caption : "");
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
    if (!HasDisplay()) return IDOK;
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONHAND) flags = SDL_MESSAGEBOX_ERROR;
    if ((type & 0xF0) == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
    LinuxWindow* w = Find(owner);
    SDL_ShowSimpleMessageBox(flags, title.c_str(), body.c_str(), w ? w->sdl() : nullptr);
    return IDOK;
}

// ---- Files and system ------------------------------------------------------------------

DWORD LinuxBackend::GetCurrentDirectoryA(DWORD size, char* buffer) {
    return files_->GetCurrentDirectoryA(size, buffer);
}
BOOL LinuxBackend::SetCurrentDirectoryA(const char* path) {
    return files_->SetCurrentDirectoryA(path);
}
DWORD LinuxBackend::GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
    return files_->GetModuleFileNameA(module, buffer, size);
}
UINT LinuxBackend::GetWindowsDirectoryA(char* buffer, UINT size) {
    return files_->GetWindowsDirectoryA(buffer, size);
}
DWORD LinuxBackend::GetFileAttributesA(const char* path) {
    return files_->GetFileAttributesA(path);
}
std::optional<std::string> LinuxBackend::ReadFileBytes(std::string_view path) {
    return files_->ReadFileBytes(path);
}

std::unique_ptr<FileSource> LinuxBackend::OpenFileForReading(std::string_view path) {
    return HostFileSource(files_->HostPath(path));
}
std::unique_ptr<FileSource> LinuxBackend::OpenFileForWriting(std::string_view path,
                                                             DWORD disposition) {
    return HostWritableFile(files_->HostPath(path), disposition);
}
bool LinuxBackend::RegistryKeyExists(HKEY root, std::string_view keyPath) {
    return files_->RegistryKeyExists(root, keyPath);
}
std::optional<Backend::RegistryValue> LinuxBackend::RegistryQuery(HKEY root,
                                                                  std::string_view keyPath,
                                                                  std::string_view valueName) {
    return files_->RegistryQuery(root, keyPath, valueName);
}

// ---- Sound and clips -------------------------------------------------------------------

LinuxAudio& LinuxBackend::Audio() {
    if (!audio_) {
        audio_ = std::make_unique<LinuxAudio>(
            [this](HWND h, UINT m, WPARAM w, LPARAM l) { PostFromAnyThread(h, m, w, l); },
            [this](std::string_view path) { return files_->ReadFileBytes(path); });
    }
    return *audio_;
}
UINT LinuxBackend::waveOutGetNumDevs() {
    return Audio().waveOutGetNumDevs();
}
MMRESULT LinuxBackend::waveOutGetDevCapsA(UINT device, WAVEOUTCAPSA* caps, UINT size) {
    return Audio().waveOutGetDevCapsA(device, caps, size);
}
MMRESULT LinuxBackend::waveOutOpen(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format,
                                   std::uintptr_t callback, std::uintptr_t instance, DWORD flags) {
    return Audio().waveOutOpen(out, device, format, callback, instance, flags);
}
MMRESULT LinuxBackend::waveOutPrepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    return Audio().waveOutPrepareHeader(wo, hdr, size);
}
MMRESULT LinuxBackend::waveOutUnprepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    return Audio().waveOutUnprepareHeader(wo, hdr, size);
}
MMRESULT LinuxBackend::waveOutWrite(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    return Audio().waveOutWrite(wo, hdr, size);
}
MMRESULT LinuxBackend::waveOutReset(HWAVEOUT wo) {
    return Audio().waveOutReset(wo);
}
MMRESULT LinuxBackend::waveOutClose(HWAVEOUT wo) {
    return Audio().waveOutClose(wo);
}
BOOL LinuxBackend::sndPlaySoundA(const char* name, UINT flags) {
    return Audio().sndPlaySoundA(name, flags);
}
BOOL LinuxBackend::MessageBeep(UINT type) {
    return Audio().MessageBeep(type);
}

std::int64_t LinuxBackend::LastCueStartNs() const {
    return audio_ ? audio_->LastCueStartNs() : 0;
}

LinuxClips& LinuxBackend::Clips() {
    if (!clips_) {
        // Where our own sound has no device, the clips' sound goes nowhere too: mpv then
        // keeps time on its null output instead of probing (and complaining about) every
        // sound system of the machine for each clip.
        LinuxClips::Options options;
        if (!Audio().HasSoundDevice()) options.audioOutput = "null";
        clips_ = std::make_unique<LinuxClips>(
            [this](HWND h, UINT m, WPARAM w, LPARAM l) { PostFromAnyThread(h, m, w, l); },
            [this](std::string_view path) { return files_->HostPath(path); },
            static_cast<VideoSink*>(this), options);
    }
    return *clips_;
}
LinuxSpeech& LinuxBackend::Speech() {
    if (!speech_) {
        speech_ = std::make_unique<LinuxSpeech>(
            [this](HWND h, UINT m, WPARAM w, LPARAM l) { PostFromAnyThread(h, m, w, l); });
    }
    return *speech_;
}
HRESULT LinuxBackend::CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context,
                                       const IID& iid, void** out) {
    return Speech().CoCreateInstance(clsid, outer, context, iid, out);
}
DWORD LinuxBackend::WaitForSingleObject(HANDLE handle, DWORD ms) {
    return Speech().WaitForSingleObject(handle, ms);
}
bool LinuxBackend::DispatchToServices(const MSG& msg) {
    // The speech server's notifications of a SAPI 4 engine, for no window.
    if (msg.message == LinuxSpeech::kSpeechMessage) {
        if (speech_) speech_->OnSpeechMessage(msg.wParam, msg.lParam);
        return true;
    }
    // The clip player's own messages (new frame, end of clip), for any window or none.
    if (msg.message != LinuxClips::kClipMessage) return false;
    if (clips_) clips_->OnClipMessage(msg.wParam, msg.lParam);
    return true;
}
MCIERROR LinuxBackend::mciSendStringA(const char* command, char* reply, UINT replyLength,
                                      HWND callback) {
    return Clips().mciSendStringA(command, reply, replyLength, callback);
}

}  // namespace win
