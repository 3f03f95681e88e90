#include "platform/linux/LinuxAudio.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/cp1252.h"
#include "platform/wav_image.h"

namespace win {

namespace {

constexpr DWORD kWaveFormatQuery = 0x0001;
constexpr DWORD kCallbackTypeMask = 0x00070000;
// The queue links blocks through lpNext: a header smaller than ours would be written past.
constexpr UINT kHeaderSize = sizeof(WAVEHDR);
const char* const kDefaultDeviceName = "System audio output device";

std::optional<std::string> ReadHostFile(std::string_view path) {
    std::ifstream in(std::string(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool IsFake(const char* driver) {
    return driver != nullptr &&
           (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
}

}  // namespace

LinuxAudio::LinuxAudio(PostFn post, ReadFileFn readFile)
    : post_(std::move(post)), readFile_(std::move(readFile)) {
    if (!readFile_) readFile_ = ReadHostFile;
    for (auto& v : voices_) v.generation = 1;
}

LinuxAudio::~LinuxAudio() {
    CloseDevice();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    doneCv_.notify_all();
    if (notifier_.joinable()) notifier_.join();
    if (driverReady_) {
        if (subsystemInit_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
            SDL_AudioQuit();
        }
    }
}

// ---- Driver and device ----

bool LinuxAudio::HasSoundDevice() {
    return EnsureDriver() && !IsFake(driver_.c_str());
}

bool LinuxAudio::EnsureDriver() {
    if (driverReady_) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        subsystemInit_ = true;
    } else if (SDL_AudioInit("dummy") != 0) {
        return false;
    }
    const char* current = SDL_GetCurrentAudioDriver();
    if (SDL_GetNumAudioDevices(0) == 0 && !IsFake(current)) {
        // A driver without devices (alsa with no card): the dummy one keeps time instead.
        SDL_AudioQuit();
        if (SDL_AudioInit("dummy") != 0) {
            if (subsystemInit_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
            subsystemInit_ = false;
            return false;
        }
    }
    driver_ = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
    driverReady_ = true;
    return true;
}

int LinuxAudio::DeviceCount() {
    if (!EnsureDriver()) return 0;
    const int n = SDL_GetNumAudioDevices(0);
    return n < 0 ? 1 : n;  // a driver that cannot list still has its default device
}

std::string LinuxAudio::DeviceName(UINT device) {
    const char* name = SDL_GetAudioDeviceName(static_cast<int>(device), 0);
    return name != nullptr ? name : kDefaultDeviceName;
}

bool LinuxAudio::EnsureDevice(const std::string& name) {
    std::lock_guard<std::mutex> deviceLock(deviceMutex_);
    if (device_ != 0) {
        if (name.empty() || name == deviceName_) return true;  // "" takes the device in use
        std::lock_guard<std::mutex> lock(mutex_);
        const bool busy = cue_.active || std::any_of(voices_.begin(), voices_.end(),
                                                     [](const WaveOut& v) { return v.open; });
        if (busy) return true;  // the device in use serves everyone until it is idle
    }
    if (device_ != 0) CloseDevice();
    if (!EnsureDriver()) return false;
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &LinuxAudio::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    const char* sdlName = name.empty() ? nullptr : name.c_str();
    device_ = SDL_OpenAudioDevice(sdlName, 0, &want, &have, 0);
    if (device_ == 0 && !IsFake(SDL_GetCurrentAudioDriver())) {
        SDL_AudioQuit();
        if (SDL_AudioInit("dummy") == 0) {
            driver_ = "dummy";
            device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        }
    }
    if (device_ == 0) return false;
    deviceName_ = name;
    accum_.assign(static_cast<std::size_t>(std::max<int>(have.samples, kDeviceFrames)) * 2, 0);
    if (!notifier_.joinable()) notifier_ = std::thread([this] { NotifierLoop(); });
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void LinuxAudio::CloseDevice() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for the callback to return
    device_ = 0;
}

std::string LinuxAudio::DriverName() const {
    return driver_;
}

// ---- Mixing (SDL's audio thread) ----

void LinuxAudio::Callback(void* self, std::uint8_t* stream, int len) {
    auto* audio = static_cast<LinuxAudio*>(self);
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    int frames = len / 4;
    const int chunk = static_cast<int>(audio->accum_.size() / 2);
    while (frames > 0) {
        const int n = std::min(frames, chunk);
        audio->Mix(out, n);
        out += 2 * n;
        frames -= n;
    }
}

void LinuxAudio::Mix(std::int16_t* out, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fill(accum_.begin(), accum_.begin() + 2 * frames, 0);
    for (auto& v : voices_) {
        if (v.open) MixWave(v, frames);
    }
    MixCue(frames);
    for (int i = 0; i < 2 * frames; ++i) {
        out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(accum_[i], -32768, 32767));
    }
    if (donePending_) doneCv_.notify_one();
    mixedPeriods_.fetch_add(1);
}

void LinuxAudio::MixWave(WaveOut& v, int frames) {
    auto pull = [this, &v](StereoFrame& f) { return PullFrame(v, f); };
    for (int i = 0; i < frames; ++i) {
        const StereoFrame f = v.converter.Step(pull);
        accum_[2 * i] += f.left;
        accum_[2 * i + 1] += f.right;
    }
}

std::size_t LinuxAudio::BlockFrames(const WaveOut& v, const WAVEHDR* hdr) {
    const std::size_t frameBytes = static_cast<std::size_t>(v.channels) * (v.bits / 8);
    return hdr->lpData == nullptr ? 0 : hdr->dwBufferLength / frameBytes;
}

// Takes the next source frame of the voice; a block counts as played once its last frame
// has been taken.
bool LinuxAudio::PullFrame(WaveOut& v, StereoFrame& f) {
    while (v.playing != nullptr && v.frame >= BlockFrames(v, v.playing)) {
        v.playing = v.playing->lpNext;
        v.frame = 0;
        donePending_ = true;
    }
    if (v.playing == nullptr) return false;
    f = ReadFrame(reinterpret_cast<const std::uint8_t*>(v.playing->lpData), v.frame++, v.bits,
                  v.channels);
    if (v.frame >= BlockFrames(v, v.playing)) {
        v.playing = v.playing->lpNext;
        v.frame = 0;
        donePending_ = true;
    }
    return true;
}

void LinuxAudio::MixCue(int frames) {
    if (!cue_.active) return;
    if (cue_.pos == 0) {
        cueStartNs_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count());
    }
    const std::size_t size = cue_.samples.size();
    for (int i = 0; i < frames; ++i) {
        if (cue_.pos + 1 >= size) {
            if (!cue_.loop) {
                cue_.active = false;
                cueCv_.notify_all();
                return;
            }
            cue_.pos = 0;
        }
        accum_[2 * i] += cue_.samples[cue_.pos];
        accum_[2 * i + 1] += cue_.samples[cue_.pos + 1];
        cue_.pos += 2;
    }
}

// ---- Returned blocks (notifier thread, or the caller of waveOutReset) ----

void LinuxAudio::NotifierLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        doneCv_.wait(lock, [this] { return donePending_ || stopping_; });
        if (stopping_) return;
        donePending_ = false;
        for (int slot = 0; slot < kMaxWaveOuts; ++slot) ReportPlayed(slot);
    }
}

void LinuxAudio::ReportPlayed(int slot) {
    WaveOut& v = voices_[static_cast<std::size_t>(slot)];
    if (!v.open || v.head == v.playing) return;
    WAVEHDR* first = v.head;
    v.head = v.playing;
    if (v.head == nullptr) v.tail = nullptr;
    ReturnBlocks(slot, first, v.playing);
}

// Marks the blocks first .. stop done and posts MM_WOM_DONE for each, in queue order.
void LinuxAudio::ReturnBlocks(int slot, WAVEHDR* first, WAVEHDR* stop) {
    const WaveOut& v = voices_[static_cast<std::size_t>(slot)];
    for (WAVEHDR* h = first; h != stop && h != nullptr;) {
        WAVEHDR* next = h->lpNext;
        h->lpNext = nullptr;
        h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        if (v.window != nullptr && post_) {
            post_(v.window, MM_WOM_DONE, reinterpret_cast<WPARAM>(HandleOf(slot)),
                  reinterpret_cast<LPARAM>(h));
        }
        h = next;
    }
}

// ---- Wave-out ----

HWAVEOUT LinuxAudio::HandleOf(int slot) const {
    const auto& v = voices_[static_cast<std::size_t>(slot)];
    const std::uintptr_t value =
        (static_cast<std::uintptr_t>(v.generation) << 4) | static_cast<std::uintptr_t>(slot + 1);
    return reinterpret_cast<HWAVEOUT>(value);
}

LinuxAudio::WaveOut* LinuxAudio::Find(HWAVEOUT wo) {
    const auto value = reinterpret_cast<std::uintptr_t>(wo);
    const std::uintptr_t slot = (value & 0xF) - 1;
    if ((value & 0xF) == 0 || slot >= kMaxWaveOuts) return nullptr;
    WaveOut& v = voices_[slot];
    if (!v.open || (value >> 4) != v.generation) return nullptr;
    return &v;
}

UINT LinuxAudio::waveOutGetNumDevs() {
    std::lock_guard<std::mutex> deviceLock(deviceMutex_);
    return static_cast<UINT>(DeviceCount());
}

MMRESULT LinuxAudio::waveOutGetDevCapsA(UINT device, WAVEOUTCAPSA* caps, UINT size) {
    if (caps == nullptr || size == 0) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> deviceLock(deviceMutex_);
    const int count = DeviceCount();
    if (count == 0) return MMSYSERR_NODRIVER;
    if (device != WAVE_MAPPER && device >= static_cast<UINT>(count)) return MMSYSERR_BADDEVICEID;
    WAVEOUTCAPSA c;
    // Modules read Windows-1252; SDL names devices in UTF-8.
    const std::string name =
        device == WAVE_MAPPER ? kDefaultDeviceName : Utf8ToCp1252(DeviceName(device));
    std::strncpy(c.szPname, name.c_str(), sizeof(c.szPname) - 1);
    c.dwFormats = 0x00000FFF;  // every 11/22/44 kHz, 8/16-bit, mono/stereo format
    c.wChannels = 2;
    std::memcpy(caps, &c, std::min<std::size_t>(size, sizeof(c)));
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudio::waveOutOpen(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format,
                                 std::uintptr_t callback, std::uintptr_t /*instance*/,
                                 DWORD flags) {
    const DWORD callbackType = flags & kCallbackTypeMask;
    if (format == nullptr || (out == nullptr && !(flags & kWaveFormatQuery))) {
        return MMSYSERR_INVALPARAM;
    }
    if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_WINDOW) {
        return MMSYSERR_INVALPARAM;
    }
    const WavFormat f{format->wFormatTag, format->nChannels, format->nSamplesPerSec,
                      format->nBlockAlign, format->wBitsPerSample};
    std::string name;
    {
        std::lock_guard<std::mutex> deviceLock(deviceMutex_);
        const int count = DeviceCount();
        if (count == 0) return MMSYSERR_NODRIVER;
        if (device != WAVE_MAPPER && device >= static_cast<UINT>(count)) {
            return MMSYSERR_BADDEVICEID;
        }
        if (device != WAVE_MAPPER && SDL_GetNumAudioDevices(0) > 0) name = DeviceName(device);
    }
    if (!IsPlayablePcm(f)) return WAVERR_BADFORMAT;
    if (flags & kWaveFormatQuery) return MMSYSERR_NOERROR;
    if (!EnsureDevice(name)) return MMSYSERR_NODRIVER;

    std::lock_guard<std::mutex> lock(mutex_);
    for (int slot = 0; slot < kMaxWaveOuts; ++slot) {
        WaveOut& v = voices_[static_cast<std::size_t>(slot)];
        if (v.open) continue;
        v.open = true;
        v.window = callbackType == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback) : nullptr;
        v.bits = f.bitsPerSample;
        v.channels = f.channels;
        v.rate = f.samplesPerSec;
        v.converter.Configure(v.rate, kDeviceRate);
        v.head = v.tail = v.playing = nullptr;
        v.frame = 0;
        *out = HandleOf(slot);
        if (v.window != nullptr && post_) {
            post_(v.window, MM_WOM_OPEN, reinterpret_cast<WPARAM>(*out), 0);
        }
        return MMSYSERR_NOERROR;
    }
    return MMSYSERR_ALLOCATED;
}

MMRESULT LinuxAudio::waveOutPrepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (Find(wo) == nullptr) return MMSYSERR_INVALHANDLE;
    if (hdr == nullptr || size < kHeaderSize) return MMSYSERR_INVALPARAM;
    if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    hdr->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudio::waveOutUnprepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (Find(wo) == nullptr) return MMSYSERR_INVALHANDLE;
    if (hdr == nullptr || size < kHeaderSize) return MMSYSERR_INVALPARAM;
    if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    hdr->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudio::waveOutWrite(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    std::lock_guard<std::mutex> lock(mutex_);
    WaveOut* v = Find(wo);
    if (v == nullptr) return MMSYSERR_INVALHANDLE;
    if (hdr == nullptr || size < kHeaderSize) return MMSYSERR_INVALPARAM;
    if (!(hdr->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    if (hdr->lpData == nullptr && hdr->dwBufferLength > 0) return MMSYSERR_INVALPARAM;
    hdr->dwFlags = (hdr->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    hdr->lpNext = nullptr;
    if (v->tail != nullptr) {
        v->tail->lpNext = hdr;
    } else {
        v->head = hdr;
    }
    v->tail = hdr;
    if (v->playing == nullptr) {
        v->playing = hdr;
        v->frame = 0;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudio::waveOutReset(HWAVEOUT wo) {
    std::lock_guard<std::mutex> lock(mutex_);
    WaveOut* v = Find(wo);
    if (v == nullptr) return MMSYSERR_INVALHANDLE;
    WAVEHDR* first = v->head;
    v->head = v->tail = v->playing = nullptr;
    v->frame = 0;
    v->converter.Configure(v->rate, kDeviceRate);  // back to silence at once
    ReturnBlocks(static_cast<int>(v - voices_.data()), first, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT LinuxAudio::waveOutClose(HWAVEOUT wo) {
    std::lock_guard<std::mutex> lock(mutex_);
    WaveOut* v = Find(wo);
    if (v == nullptr) return MMSYSERR_INVALHANDLE;
    if (v->head != nullptr) return WAVERR_STILLPLAYING;
    if (v->window != nullptr && post_) {
        post_(v->window, MM_WOM_CLOSE, reinterpret_cast<WPARAM>(wo), 0);
    }
    v->open = false;
    ++v->generation;
    return MMSYSERR_NOERROR;
}

}  // namespace win
