// Sound cues of LinuxAudio: sndPlaySoundA's files and memory images, converted once to
// the device format, and the built-in chime.
#include <chrono>
#include <cmath>
#include <span>

#include "platform/linux/LinuxAudio.h"
#include "platform/wav_image.h"

namespace win {

namespace {

// Two falling notes with a quick decay, about a fifth of a second.
std::vector<std::int16_t> SynthesizeChime(int rate) {
    const int frames = rate / 5;
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const bool first = i < frames * 2 / 5;
        const double start = first ? 0.0 : 0.08;
        const double freq = first ? 1318.5 : 1046.5;
        const double env = std::exp(-(t - start) * 18.0);
        const double v = 0.3 * env * std::sin(2 * pi * freq * (t - start));
        const auto s = static_cast<std::int16_t>(v * 32767.0);
        out[2 * static_cast<std::size_t>(i)] = s;
        out[2 * static_cast<std::size_t>(i) + 1] = s;
    }
    return out;
}

}  // namespace

std::optional<std::vector<std::int16_t>> LinuxAudio::LoadCue(const char* name, UINT flags) {
    std::optional<std::string> file;
    std::span<const std::uint8_t> bytes;
    if (flags & SND_MEMORY) {
        // A memory image has no length but its own header's: the walk stays inside it.
        const auto* image = reinterpret_cast<const std::uint8_t*>(name);
        const std::optional<std::size_t> extent = MemoryImageExtent(image);
        if (!extent) return std::nullopt;
        bytes = std::span<const std::uint8_t>(image, *extent);
    } else {
        file = readFile_(name);
        if (!file) return std::nullopt;
        bytes = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(file->data()),
                                              file->size());
    }
    const WavImage w = ReadWavImage(bytes);
    if (w.status != WavStatus::kOk || !IsPlayablePcm(w.format)) return std::nullopt;
    return ConvertToStereo(bytes.data() + w.dataOffset, w.dataSize / FrameBytes(w.format),
                           w.format.bitsPerSample, w.format.channels, w.format.samplesPerSec,
                           kDeviceRate);
}

const std::vector<std::int16_t>& LinuxAudio::DefaultChime() {
    if (chime_.empty()) chime_ = SynthesizeChime(kDeviceRate);
    return chime_;
}

BOOL LinuxAudio::StartCue(std::vector<std::int16_t> samples, bool loop, bool sync, bool noStop) {
    const auto duration = std::chrono::milliseconds(samples.size() / 2 * 1000 / kDeviceRate);
    std::vector<std::int16_t> old;  // freed after the lock is released
    std::unique_lock<std::mutex> lock(mutex_);
    if (noStop && cue_.active) return FALSE;
    old.swap(cue_.samples);
    cue_.samples = std::move(samples);
    cue_.pos = 0;
    cue_.loop = loop;
    cue_.active = cue_.samples.size() >= 2;
    const unsigned generation = ++cue_.generation;
    cueCv_.notify_all();  // a synchronous caller of the cut sound returns now
    if (sync) {
        // Bounded, in case the device stops consuming: the sound's length and a margin.
        cueCv_.wait_for(lock, duration + std::chrono::seconds(2),
                        [&] { return cue_.generation != generation || !cue_.active; });
    }
    return TRUE;
}

BOOL LinuxAudio::sndPlaySoundA(const char* name, UINT flags) {
    const bool sync = !(flags & SND_ASYNC);
    const bool noStop = (flags & SND_NOSTOP) != 0;
    if (name == nullptr) {
        std::lock_guard<std::mutex> lock(mutex_);
        cue_.active = false;
        ++cue_.generation;
        cueCv_.notify_all();
        return TRUE;
    }
    if (!EnsureDevice()) return FALSE;
    std::optional<std::vector<std::int16_t>> cue = LoadCue(name, flags);
    if (!cue) {
        if (flags & SND_NODEFAULT) return FALSE;
        return StartCue(DefaultChime(), false, sync, noStop);
    }
    // A looping sound has to be asynchronous; a synchronous one plays once.
    return StartCue(std::move(*cue), (flags & SND_LOOP) && !sync, sync, noStop);
}

BOOL LinuxAudio::MessageBeep(UINT /*type*/) {
    if (!EnsureDevice()) return FALSE;
    return StartCue(DefaultChime(), false, false, false);
}

}  // namespace win
