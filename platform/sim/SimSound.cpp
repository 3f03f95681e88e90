// Sound on the simulated machine: sndPlaySoundA and the wave-out device. Nothing sounds;
// the bytes are recorded and the clock decides when a sound or block has finished.
#include <cstring>
#include <limits>
#include <span>

#include "platform/paths.h"
#include "platform/sim/SimMachine.h"
#include "platform/wav_image.h"

namespace sim {

namespace {

constexpr std::uint32_t kForever = std::numeric_limits<std::uint32_t>::max();

std::uintptr_t WaveHandleValue(int device) {
    return 0x20000 + static_cast<std::uintptr_t>(device) * 4;
}

bool ValidFormat(const win::WAVEFORMATEX& f) {
    return f.wFormatTag == win::WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 1000 &&
           f.nSamplesPerSec <= 192000;
}

}  // namespace

// ---- sndPlaySoundA ----

std::optional<std::uint32_t> SimMachine::WavLength(const std::string& bytes) const {
    auto image = win::ReadWavImage(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (image.status != win::WavStatus::kOk || !win::IsPlayablePcm(image.format))
        return std::nullopt;
    std::uint64_t rate = std::uint64_t{image.format.samplesPerSec} * win::FrameBytes(image.format);
    if (rate == 0) return std::nullopt;
    return static_cast<std::uint32_t>((std::uint64_t{image.dataSize} * 1000 + rate - 1) / rate);
}

bool SimMachine::SoundPlaying() const {
    return soundOn_ && (soundEnd_ == kForever || now_ < soundEnd_);
}

void SimMachine::PlaySoundRecord(std::string name, std::string bytes, win::UINT flags,
                                 std::uint32_t length) {
    if (SoundPlaying()) Record("sound-stop", "cut");
    std::string detail = name.empty() ? "memory " + std::to_string(bytes.size()) + " bytes" : name;
    sounds_.push_back(SoundPlay{now_, std::move(name), std::move(bytes), flags});
    Record("sound", detail);
    soundOn_ = false;
    if ((flags & win::SND_ASYNC) == 0) {
        Sleep(length);  // a synchronous sound returns when it has finished
        return;
    }
    soundOn_ = true;
    soundEnd_ = (flags & win::SND_LOOP) != 0 ? kForever : now_ + length;
}

win::BOOL SimMachine::sndPlaySoundA(const char* name, win::UINT flags) {
    if (name == nullptr) {
        if (SoundPlaying()) Record("sound-stop", "stopped");
        soundOn_ = false;
        return win::TRUE;
    }
    if ((flags & win::SND_LOOP) != 0 && (flags & win::SND_ASYNC) == 0) return win::FALSE;
    if ((flags & win::SND_NOSTOP) != 0 && SoundPlaying()) return win::FALSE;

    std::string bytes;
    std::string path;
    bool found = false;
    bool bytesKnown = false;
    if ((flags & win::SND_MEMORY) != 0) {
        auto extent = win::MemoryImageExtent(reinterpret_cast<const std::uint8_t*>(name));
        if (extent) {
            bytes.assign(name, *extent);
            found = bytesKnown = true;
        }
    } else {
        path = win::AbsolutePath(currentDir_, name);
        auto it = files_.find(win::FoldCase(path));
        if (it != files_.end()) {
            bytes = it->second;
            found = bytesKnown = true;
            path = fileNames_[it->first];
        } else {
            found = MediaAssumed(path);
        }
    }
    std::uint32_t length = cueLength_;
    if (bytesKnown) {
        auto wavLength = WavLength(bytes);
        if (wavLength)
            length = *wavLength;
        else
            found = false;  // not a sound the system can play
    }
    if (!found) {
        if ((flags & win::SND_NODEFAULT) != 0) return win::FALSE;
        PlaySoundRecord("default", {}, flags, cueLength_);
        return win::TRUE;
    }
    if ((flags & win::SND_MEMORY) != 0)
        PlaySoundRecord({}, std::move(bytes), flags, length);
    else
        PlaySoundRecord(path, {}, flags, length);
    return win::TRUE;
}

// ---- Wave-out ----

SimMachine::WaveDevice* SimMachine::FindWave(win::HWAVEOUT wo) {
    auto v = reinterpret_cast<std::uintptr_t>(wo);
    if (v < 0x20004 || (v - 0x20000) % 4 != 0) return nullptr;
    std::size_t index = (v - 0x20000) / 4 - 1;
    if (index >= waves_.size() || !waves_[index].open) return nullptr;
    return &waves_[index];
}

win::MMRESULT SimMachine::waveOutGetDevCapsA(win::UINT device, win::WAVEOUTCAPSA* caps, win::UINT) {
    if (device != 0 && device != win::WAVE_MAPPER) return win::MMSYSERR_BADDEVICEID;
    if (caps == nullptr) return win::MMSYSERR_INVALPARAM;
    *caps = win::WAVEOUTCAPSA{};
    std::strncpy(caps->szPname, "Simulated wave output", sizeof caps->szPname - 1);
    caps->wChannels = 2;
    caps->dwFormats = 0xFFF;
    return win::MMSYSERR_NOERROR;
}

win::MMRESULT SimMachine::waveOutOpen(win::HWAVEOUT* out, win::UINT device,
                                      const win::WAVEFORMATEX* format, std::uintptr_t callback,
                                      std::uintptr_t, win::DWORD flags) {
    if (device != 0 && device != win::WAVE_MAPPER) return win::MMSYSERR_BADDEVICEID;
    if (format == nullptr || out == nullptr) return win::MMSYSERR_INVALPARAM;
    if (!ValidFormat(*format)) return win::WAVERR_BADFORMAT;
    WaveDevice d;
    d.open = true;
    d.format = *format;
    d.callback = callback;
    d.flags = flags;
    waves_.push_back(d);
    int id = static_cast<int>(waves_.size());
    *out = reinterpret_cast<win::HWAVEOUT>(WaveHandleValue(id));
    if ((flags & win::CALLBACK_WINDOW) != 0)
        PostMessageA(reinterpret_cast<win::HWND>(callback), win::MM_WOM_OPEN,
                     reinterpret_cast<win::WPARAM>(*out), 0);
    return win::MMSYSERR_NOERROR;
}

win::MMRESULT SimMachine::waveOutPrepareHeader(win::HWAVEOUT wo, win::WAVEHDR* hdr,
                                               win::UINT size) {
    if (FindWave(wo) == nullptr) return win::MMSYSERR_INVALHANDLE;
    if (hdr == nullptr || hdr->lpData == nullptr || size < sizeof(win::WAVEHDR))
        return win::MMSYSERR_INVALPARAM;
    hdr->dwFlags |= win::WHDR_PREPARED;
    return win::MMSYSERR_NOERROR;
}

win::MMRESULT SimMachine::waveOutUnprepareHeader(win::HWAVEOUT wo, win::WAVEHDR* hdr,
                                                 win::UINT size) {
    if (FindWave(wo) == nullptr) return win::MMSYSERR_INVALHANDLE;
    if (hdr == nullptr || size < sizeof(win::WAVEHDR)) return win::MMSYSERR_INVALPARAM;
    if ((hdr->dwFlags & win::WHDR_INQUEUE) != 0) return win::WAVERR_STILLPLAYING;
    hdr->dwFlags &= ~win::WHDR_PREPARED;
    return win::MMSYSERR_NOERROR;
}

win::MMRESULT SimMachine::waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) {
    WaveDevice* d = FindWave(wo);
    if (d == nullptr) return win::MMSYSERR_INVALHANDLE;
    if (hdr == nullptr || hdr->lpData == nullptr || size < sizeof(win::WAVEHDR))
        return win::MMSYSERR_INVALPARAM;
    if ((hdr->dwFlags & win::WHDR_PREPARED) == 0) return win::WAVERR_UNPREPARED;
    if ((hdr->dwFlags & win::WHDR_INQUEUE) != 0) return win::WAVERR_STILLPLAYING;
    hdr->dwFlags = (hdr->dwFlags & ~win::WHDR_DONE) | win::WHDR_INQUEUE;
    int id = static_cast<int>(d - waves_.data()) + 1;
    waveWrites_.push_back(WaveWrite{now_, id, std::string(hdr->lpData, hdr->dwBufferLength)});
    Record("wave", std::to_string(hdr->dwBufferLength) + " " +
                       std::to_string(d->format.nSamplesPerSec) + "/" +
                       std::to_string(d->format.wBitsPerSample) + "/" +
                       std::to_string(d->format.nChannels));

    // Blocks play back to back at the format's byte rate; an idle device starts now.
    if (d->pending.empty()) {
        d->start = now_;
        d->runBytes = 0;
    }
    d->pending.push_back(hdr);
    d->runBytes += hdr->dwBufferLength;
    std::uint64_t rate = d->format.nAvgBytesPerSec != 0
                             ? d->format.nAvgBytesPerSec
                             : std::uint64_t{d->format.nSamplesPerSec} * d->format.nChannels *
                                   (d->format.wBitsPerSample / 8u);
    std::uint64_t end = d->start + (d->runBytes * 1000 + rate - 1) / rate;
    Happening h{Happening::Kind::kWaveDone};
    h.device = id;
    h.hdr = hdr;
    Schedule(static_cast<std::uint32_t>(std::min<std::uint64_t>(end, kForever)), h);
    return win::MMSYSERR_NOERROR;
}

void SimMachine::FinishWaveBlock(int device, win::WAVEHDR* hdr) {
    WaveDevice& d = waves_[static_cast<std::size_t>(device) - 1];
    std::erase(d.pending, hdr);
    hdr->dwFlags = (hdr->dwFlags & ~win::WHDR_INQUEUE) | win::WHDR_DONE;
    if ((d.flags & win::CALLBACK_WINDOW) != 0)
        PostMessageA(reinterpret_cast<win::HWND>(d.callback), win::MM_WOM_DONE,
                     WaveHandleValue(device), reinterpret_cast<win::LPARAM>(hdr));
}

win::MMRESULT SimMachine::waveOutReset(win::HWAVEOUT wo) {
    WaveDevice* d = FindWave(wo);
    if (d == nullptr) return win::MMSYSERR_INVALHANDLE;
    int id = static_cast<int>(d - waves_.data()) + 1;
    Record("wave-reset", std::to_string(d->pending.size()) + " queued");
    CancelHappenings([id](const Happening& h) {
        return h.kind == Happening::Kind::kWaveDone && h.device == id;
    });
    std::vector<win::WAVEHDR*> pending = d->pending;
    for (win::WAVEHDR* hdr : pending) FinishWaveBlock(id, hdr);
    return win::MMSYSERR_NOERROR;
}

win::MMRESULT SimMachine::waveOutClose(win::HWAVEOUT wo) {
    WaveDevice* d = FindWave(wo);
    if (d == nullptr) return win::MMSYSERR_INVALHANDLE;
    if (!d->pending.empty()) return win::WAVERR_STILLPLAYING;
    d->open = false;
    if ((d->flags & win::CALLBACK_WINDOW) != 0)
        PostMessageA(reinterpret_cast<win::HWND>(d->callback), win::MM_WOM_CLOSE,
                     reinterpret_cast<win::WPARAM>(wo), 0);
    return win::MMSYSERR_NOERROR;
}

}  // namespace sim
