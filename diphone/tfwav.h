// tfwav: the wave output every local sound of the toolkit goes through. One wave-out
// device, fed through a ring of 16 blocks of 8192 bytes; finished blocks come back as
// MM_WOM_DONE to the console window; a key waiting in the console's queue stops playback.
// The free operations act on the current process's instance.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wintypes.h"

namespace sonara {

class Tfwav {
  public:
    static constexpr int kBlocks = 16;
    static constexpr std::size_t kBlockBytes = 8192;
    static constexpr std::size_t kMinBlockBytes = 256;
    static constexpr std::size_t kReadBufferBytes = 8192;
    static constexpr int kFullRingTries = 40;

    // Module start: allocates the ring and the read buffer, picks the device named by
    // "SAIDADEAUDIO" of section "TRADUTOR".
    Tfwav();
    // Module shutdown: closes the device.
    ~Tfwav();
    Tfwav(const Tfwav&) = delete;
    Tfwav& operator=(const Tfwav&) = delete;

    static Tfwav* Current();

    // 0 = played or stopped by a key; -1 = not opened, not RIFF + "fmt ", or a read
    // failed; otherwise the device's open error.
    int PlayWavFile(std::string_view path);
    // Queues the "data" chunk of a RIFF WAVE image; returns once it is queued. Returns 0,
    // -1 for an image that is not RIFF + "fmt " or has no "data", or the open error.
    int PlayWavImage(const std::uint8_t* image);
    // The same for an image of known size: the walk stays inside both the size and the
    // image's own RIFF size.
    int PlayWavImage(const std::uint8_t* image, std::size_t size);
    int PlayPcm(const std::uint8_t* data, std::size_t length, std::uint32_t rate,
                std::uint32_t bits, std::uint32_t channels);
    bool IsPlaying();
    void StopPlayback();
    int OpenWaveDevice(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels);
    bool QueueBlock(const std::uint8_t* source, std::size_t n);
    void OnBlockDone(win::LPARAM lp);

    bool StopOnKey() const { return stop_on_key_; }
    void SetStopOnKey(bool on) { stop_on_key_ = on; }
    bool HighRate() const { return high_rate_; }
    void SetHighRate(bool on) { high_rate_ = on; }
    bool FastSpeech() const { return fast_speech_; }
    void SetFastSpeech(bool on) { fast_speech_ = on; }
    int MaxQueuedBlocks() const { return max_queued_; }
    int WaveDeviceId() const { return device_index_; }
    int QueuedCount() const { return queued_; }
    bool DeviceOpen() const { return device_ != nullptr; }
    // The header of ring slot 1..16, as the device was given it.
    win::WAVEHDR* SlotHeader(int slot) { return &headers_[static_cast<std::size_t>(slot - 1)]; }

  private:
    void ChooseDevice();
    void ReleaseSlot(int slot);

    bool stop_on_key_ = true;
    bool high_rate_ = false;
    bool fast_speech_ = false;
    int max_queued_ = kBlocks;
    win::HWAVEOUT device_ = nullptr;
    std::uint32_t rate_ = 0, bits_ = 0, channels_ = 0;
    std::unique_ptr<std::uint8_t[]> blocks_;  // kBlocks x kBlockBytes
    std::array<win::WAVEHDR, kBlocks> headers_{};
    int ring_index_ = 0;  // the slot used last, 1..16; 0 before the first
    int queued_ = 0;
    std::unique_ptr<std::uint8_t[]> read_buffer_;
    std::unique_ptr<std::uint8_t[]> drop_buffer_;  // fast speech rewrites a copy here
    int device_index_ = -1;
};

// The product names of the wave-out devices, trimmed of blanks, index by index.
void ListWaveDevices(std::vector<std::string>& names);
// The first device whose trimmed name equals `name` after ASCII upper-casing of both;
// writes its index and returns true, else leaves `index` alone.
bool FindWaveDevice(std::string_view name, int& index);

// Fast speech for 8- or 16-bit mono data: 16-bit samples become 8-bit first; then, from
// 1000 bytes on, about every second pitch period is dropped. Works in place; returns the
// new length in bytes.
std::size_t DropPeriods(std::uint8_t* data, std::size_t length, std::uint32_t bits,
                        std::uint32_t rate);

// The current instance's operations.
int PlayWavFile(std::string_view path);
int PlayWavImage(const std::uint8_t* image);
bool IsPlaying();
void StopPlayback();
int WaveDeviceId();

}  // namespace sonara
