// Sound on Linux: wave-out devices and sound cues over one SDL audio device with our own
// mixer. The device is opened on first use; when the system's driver has no usable
// device (alsa on a machine without a card) SDL's "dummy" driver takes over, so timing
// and notifications behave as with a card. Up to kMaxWaveOuts wave-out handles and one
// cue voice play at once.
//
// Threads: the public functions may be called from any thread. The SDL callback mixes;
// finished blocks are reported by a notifier thread through `post` (MM_WOM_DONE to the
// callback window), never from the callback itself.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/pcm_convert.h"
#include "platform/wintypes.h"

namespace win {

class LinuxAudio {
  public:
    using PostFn = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
    // The whole file at a Windows-style path, or nothing. Without one, the path is read as
    // a host path.
    using ReadFileFn = std::function<std::optional<std::string>(std::string_view)>;

    static constexpr int kMaxWaveOuts = 8;
    static constexpr int kDeviceRate = 44100;
    static constexpr int kDeviceFrames = 512;

    explicit LinuxAudio(PostFn post, ReadFileFn readFile = nullptr);
    ~LinuxAudio();
    LinuxAudio(const LinuxAudio&) = delete;
    LinuxAudio& operator=(const LinuxAudio&) = delete;

    UINT waveOutGetNumDevs();
    MMRESULT waveOutGetDevCapsA(UINT device, WAVEOUTCAPSA* caps, UINT size);
    MMRESULT waveOutOpen(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format,
                         std::uintptr_t callback, std::uintptr_t instance, DWORD flags);
    MMRESULT waveOutPrepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size);
    MMRESULT waveOutUnprepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size);
    MMRESULT waveOutWrite(HWAVEOUT wo, WAVEHDR* hdr, UINT size);
    MMRESULT waveOutReset(HWAVEOUT wo);
    MMRESULT waveOutClose(HWAVEOUT wo);
    BOOL sndPlaySoundA(const char* name, UINT flags);
    // A short built-in chime, played like an asynchronous cue.
    BOOL MessageBeep(UINT type);

    // The SDL driver in use ("" before the first use), for tests and diagnostics.
    std::string DriverName() const;
    // True when sound reaches a real output, not SDL's dummy or disk driver (chosen by
    // SDL_AUDIODRIVER, or because the machine has no sound device).
    bool HasSoundDevice();
    // Device periods mixed so far: a reset is silent from the first period mixed after it.
    std::uint64_t MixedPeriods() const { return mixedPeriods_.load(); }
    // When the device last took the first samples of a cue, on the steady clock in
    // nanoseconds (0 before any): for latency measurements.
    std::int64_t LastCueStartNs() const { return cueStartNs_.load(); }

  private:
    struct WaveOut {
        bool open = false;
        unsigned generation = 0;
        HWND window = nullptr;  // null: no notifications
        int bits = 8;
        int channels = 1;
        std::uint32_t rate = 11025;
        RateConverter converter;
        // Queued blocks linked through lpNext: head .. playing are played and not yet
        // reported; playing .. tail wait or play. frame is the next frame of `playing`.
        WAVEHDR* head = nullptr;
        WAVEHDR* tail = nullptr;
        WAVEHDR* playing = nullptr;
        std::size_t frame = 0;
    };
    struct Cue {
        std::vector<std::int16_t> samples;  // interleaved stereo at the device rate
        std::size_t pos = 0;                // in samples
        bool loop = false;
        bool active = false;
        unsigned generation = 0;
    };

    bool EnsureDriver();
    // Opens the SDL device (the named one, or the default for "") unless one is open.
    bool EnsureDevice(const std::string& name = "");
    int DeviceCount();
    std::string DeviceName(UINT device);
    void CloseDevice();
    WaveOut* Find(HWAVEOUT wo);
    HWAVEOUT HandleOf(int slot) const;
    static std::size_t BlockFrames(const WaveOut& v, const WAVEHDR* hdr);

    static void Callback(void* self, std::uint8_t* stream, int len);
    void Mix(std::int16_t* out, int frames);
    void MixWave(WaveOut& v, int frames);
    void MixCue(int frames);
    bool PullFrame(WaveOut& v, StereoFrame& f);
    void NotifierLoop();
    void ReportPlayed(int slot);
    void ReturnBlocks(int slot, WAVEHDR* first, WAVEHDR* stop);

    std::optional<std::vector<std::int16_t>> LoadCue(const char* name, UINT flags);
    const std::vector<std::int16_t>& DefaultChime();
    BOOL StartCue(std::vector<std::int16_t> samples, bool loop, bool sync, bool noStop);

    std::mutex deviceMutex_;  // the SDL driver and device; taken before mutex_
    PostFn post_;
    ReadFileFn readFile_;
    bool driverReady_ = false;
    bool subsystemInit_ = false;  // SDL_InitSubSystem succeeded (else raw SDL_AudioInit)
    std::string driver_;
    std::string deviceName_;  // "" = the default device
    std::uint32_t device_ = 0;
    std::vector<std::int32_t> accum_;  // mix buffer, sized when the device opens
    std::vector<std::int16_t> chime_;

    mutable std::mutex mutex_;  // everything below, and the voices
    std::condition_variable doneCv_;
    std::condition_variable cueCv_;
    bool donePending_ = false;
    bool stopping_ = false;
    std::array<WaveOut, kMaxWaveOuts> voices_;
    Cue cue_;
    std::thread notifier_;
    std::atomic<std::uint64_t> mixedPeriods_{0};
    std::atomic<std::int64_t> cueStartNs_{0};
};

}  // namespace win
