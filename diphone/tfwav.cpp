// tfwav: the device, the ring of blocks, PCM and image playback, devices by name.
// WAV files are read in tfwav_file.cpp.
#include "diphone/tfwav.h"

#include <algorithm>
#include <cstring>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/riff_bytes.h"
#include "platform/wav_image.h"
#include "speech/tfsapi.h"

namespace sonara {

namespace {

Tfwav* current_wav = nullptr;

// The device may call back synchronously; the driver decides.
constexpr win::DWORD kWaveAllowSync = 0x0002;
constexpr std::size_t kDeviceNameMax = 80;

void BlockDone(win::HWND, win::WPARAM, win::LPARAM lp) {
    if (current_wav != nullptr) current_wav->OnBlockDone(lp);
}

std::string AsciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

std::string TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

const char* UnprepareMessage(win::MMRESULT code) {
    switch (code) {
        case 5:
            return "Specified device handle is invalid.";
        case 6:
            return "No device driver is present.";
        case 7:
            return "Unable to allocate or lock memory.";
        case 33:
            return "The data block pointed to by the pwh parameter is still in queue";
        default:
            return nullptr;
    }
}

}  // namespace

Tfwav::Tfwav()
    : blocks_(new std::uint8_t[kBlocks * kBlockBytes]()),
      read_buffer_(new std::uint8_t[kReadBufferBytes]()),
      drop_buffer_(new std::uint8_t[kBlockBytes]()) {
    current_wav = this;
    ChooseDevice();
}

Tfwav::~Tfwav() {
    if (device_ != nullptr) {
        // A device with blocks still queued refuses to close: return them first.
        if (queued_ > 0) win::waveOutReset(device_);
        win::waveOutClose(device_);
        device_ = nullptr;
    }
    if (current_wav == this) current_wav = nullptr;
}

Tfwav* Tfwav::Current() {
    return current_wav;
}

void Tfwav::ChooseDevice() {
    device_index_ = -1;
    std::string name = ReadIni("TRADUTOR", "SAIDADEAUDIO");
    if (name.size() > kDeviceNameMax) name.resize(kDeviceNameMax);
    if (!name.empty()) FindWaveDevice(name, device_index_);
}

int Tfwav::OpenWaveDevice(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels) {
    if (rate != rate_ || bits != bits_ || channels != channels_) {
        while (IsPlaying()) win::WaitMessage();
        if (device_ != nullptr) win::waveOutClose(device_);
        device_ = nullptr;
    }
    rate_ = rate;
    bits_ = bits;
    channels_ = channels;
    if (device_ != nullptr) return 0;

    win::WAVEFORMATEX format;
    format.wFormatTag = win::WAVE_FORMAT_PCM;
    format.nChannels = static_cast<win::WORD>(channels);
    format.nSamplesPerSec = rate;
    format.nBlockAlign = static_cast<win::WORD>(bits / 8 * channels);
    format.nAvgBytesPerSec = format.nBlockAlign * rate;
    format.wBitsPerSample = static_cast<win::WORD>(bits);
    format.cbSize = 0;
    // Done blocks come back to the console window: without it they could never be
    // counted back and every wait for the end of a sound would last for ever.
    InitConsole();
    HookSlot& hook = WaveDoneHook();
    hook.proc = &BlockDone;
    hook.enabled = true;
    auto device = static_cast<win::UINT>(device_index_);  // -1 is the mapper
    win::MMRESULT r = win::waveOutOpen(&device_, device, &format,
                                       reinterpret_cast<std::uintptr_t>(ConsoleWindow()), 0,
                                       win::CALLBACK_WINDOW | kWaveAllowSync);
    if (r != 0) device_ = nullptr;
    return static_cast<int>(r);
}

int Tfwav::PlayPcm(const std::uint8_t* data, std::size_t length, std::uint32_t rate,
                   std::uint32_t bits, std::uint32_t channels) {
    if (high_rate_) rate = static_cast<std::uint32_t>(std::uint64_t{rate} * 3 / 2);
    const bool reduce = fast_speech_ && channels == 1 && bits == 16;
    int r = reduce ? OpenWaveDevice(rate, 8, 1) : OpenWaveDevice(rate, bits, channels);
    if (r != 0) return r;
    while (length > 0) {
        while (queued_ >= max_queued_) {
            if (KeyPressed() && stop_on_key_) {
                StopPlayback();
                return 0;
            }
            Delay(10);
        }
        if (stop_on_key_ && KeyPressed()) {
            StopPlayback();
            return 0;
        }
        std::size_t piece = std::min(length, kBlockBytes);
        if (fast_speech_ && channels == 1) {
            // The caller's data stays as it is: the periods are dropped from a copy.
            std::memcpy(drop_buffer_.get(), data, piece);
            std::size_t n = DropPeriods(drop_buffer_.get(), piece, bits, rate);
            QueueBlock(drop_buffer_.get(), n);
        } else {
            QueueBlock(data, piece);
        }
        data += piece;
        length -= piece;
    }
    return 0;
}

void Tfwav::ReleaseSlot(int slot) {
    headers_[static_cast<std::size_t>(slot - 1)] = win::WAVEHDR{};
    if (queued_ > 0) --queued_;
}

bool Tfwav::QueueBlock(const std::uint8_t* source, std::size_t n) {
    for (int i = 0; i < kFullRingTries && queued_ >= max_queued_; ++i) {
        PumpMessages();
        Delay(50);
    }
    if (queued_ >= max_queued_) return false;
    n = std::min(n, kBlockBytes);
    ++queued_;
    if (++ring_index_ > max_queued_) ring_index_ = 1;
    std::uint8_t* block = blocks_.get() + static_cast<std::size_t>(ring_index_ - 1) * kBlockBytes;
    const bool mono8 = bits_ == 8 && channels_ == 1;
    // A short block is padded to 256 bytes of silence: 128 for 8-bit sound, 0 for 16-bit.
    if (n < kMinBlockBytes) std::memset(block + n, bits_ == 8 ? 128 : 0, kMinBlockBytes - n);
    std::memcpy(block, source, n);
    if (mono8 && n != kBlockBytes && n > 0) block[n - 1] = 128;

    win::WAVEHDR& header = headers_[static_cast<std::size_t>(ring_index_ - 1)];
    header = win::WAVEHDR{};
    header.lpData = reinterpret_cast<char*>(block);
    header.dwBufferLength = static_cast<win::DWORD>(std::max(n, kMinBlockBytes));
    header.dwUser = static_cast<std::uintptr_t>(ring_index_);
    if (win::waveOutPrepareHeader(device_, &header, sizeof(win::WAVEHDR)) != 0) {
        ReleaseSlot(ring_index_);  // never queued: it must not keep IsPlaying true
        return false;
    }
    if (win::waveOutWrite(device_, &header, sizeof(win::WAVEHDR)) != 0) {
        win::waveOutUnprepareHeader(device_, &header, sizeof(win::WAVEHDR));
        ReleaseSlot(ring_index_);
        return false;
    }
    return true;
}

void Tfwav::OnBlockDone(win::LPARAM lp) {
    auto* header = reinterpret_cast<win::WAVEHDR*>(lp);
    if (header == nullptr) return;
    // Only our own headers: the user data names the slot, and the slot must be this one.
    std::uintptr_t slot = header->dwUser;
    if (slot < 1 || slot > kBlocks || header != &headers_[slot - 1]) return;
    win::MMRESULT r = win::waveOutUnprepareHeader(device_, header, sizeof(win::WAVEHDR));
    if (r != 0) {
        if (const char* text = UnprepareMessage(r)) ConsoleWriteLine(text);
        ConsoleReadLine();
    }
    if (queued_ > 0) --queued_;
}

int Tfwav::PlayWavImage(const std::uint8_t* image) {
    if (image == nullptr || !win::SameChunkId(image, "RIFF")) return -1;
    // The walk never leaves the image as its own RIFF size gives it; a size beyond
    // anything the programs build is a lie.
    std::size_t extent = 8 + std::size_t{win::Le32(image + 4)};
    if (extent > win::kMaxMemoryImage) return -1;
    return PlayWavImage(image, extent);
}

int Tfwav::PlayWavImage(const std::uint8_t* image, std::size_t size) {
    if (image == nullptr || size < 36 || !win::SameChunkId(image, "RIFF")) return -1;
    std::size_t extent = std::min<std::size_t>(size, 8 + std::size_t{win::Le32(image + 4)});
    if (extent < 36 || !win::SameChunkId(image + 12, "fmt ")) return -1;
    const std::uint8_t* format = image + 20;
    std::uint64_t pos = 20 + std::uint64_t{win::Le32(image + 16)};
    while (pos + 8 <= extent) {
        const std::uint8_t* chunk = image + pos;
        std::uint64_t size = win::Le32(chunk + 4);
        if (win::SameChunkId(chunk, "data")) {
            std::uint64_t present = extent - (pos + 8);
            std::size_t n = static_cast<std::size_t>(std::min(size, present));
            return PlayPcm(chunk + 8, n, win::Le32(format + 4), win::Le16(format + 14),
                           win::Le16(format + 2));
        }
        pos += 8 + size;
    }
    return -1;
}

bool Tfwav::IsPlaying() {
    PumpMessages();
    if ((stop_on_key_ && KeyPressed()) || queued_ == 0) StopPlayback();
    return queued_ > 0;
}

void Tfwav::StopPlayback() {
    if (device_ != nullptr && queued_ > 0) win::waveOutReset(device_);
    if (device_ != nullptr) PumpMessages();
}

std::size_t DropPeriods(std::uint8_t* data, std::size_t length, std::uint32_t bits,
                        std::uint32_t rate) {
    if (bits == 16) {
        for (std::size_t i = 0; i < length / 2; ++i) data[i] = data[2 * i + 1] ^ 128;
        length /= 2;
    }
    if (length < 1000) return length;
    const std::size_t start = rate == 11025 ? 200 : 800;
    const std::size_t gap = rate == 11025 ? 80 : 320;
    const std::size_t window = rate == 11025 ? 50 : 200;

    std::size_t found = 0;  // what a search without any byte above 0 gives
    auto peak = [&](std::size_t from, std::size_t to) {
        to = std::min(to, length - 1);
        std::uint8_t best = 0;
        for (std::size_t i = from; i <= to; ++i) {
            if (data[i] > best) {
                best = data[i];
                found = i;
            }
        }
        return found;
    };

    std::size_t p = peak(start, start + gap + window);
    std::size_t w = p;
    while (p + 2 * (gap + window) < length) {
        std::size_t p1 = peak(p + gap, p + gap + window);
        std::size_t p2 = peak(p1 + gap, p1 + gap + window);
        if (p2 <= p) break;  // silence of zeros finds no peak: nothing would move on
        std::memmove(data + w, data + p1, p2 - p1 + 1);
        w += p2 - p1 + 1;
        p = p2;
    }
    while (w < length && p < length && (data[w] > 148 || data[w] < 108)) data[w++] = data[p++];
    return w;
}

void ListWaveDevices(std::vector<std::string>& names) {
    names.clear();
    win::UINT count = win::waveOutGetNumDevs();
    for (win::UINT i = 0; i < count; ++i) {
        win::WAVEOUTCAPSA caps;
        std::string name;
        if (win::waveOutGetDevCapsA(i, &caps, sizeof caps) == 0)
            name.assign(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
        names.push_back(TrimBlanks(name));
    }
}

bool FindWaveDevice(std::string_view name, int& index) {
    std::vector<std::string> names;
    ListWaveDevices(names);
    const std::string wanted = AsciiUpper(name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (AsciiUpper(names[i]) == wanted) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

namespace {
Tfwav& Wav() {
    return *Tfwav::Current();
}
}  // namespace

int PlayWavImage(const std::uint8_t* image) {
    return Wav().PlayWavImage(image);
}
bool IsPlaying() {
    return Wav().IsPlaying();
}
void StopPlayback() {
    Wav().StopPlayback();
}
int WaveDeviceId() {
    return Wav().WaveDeviceId();
}

}  // namespace sonara
