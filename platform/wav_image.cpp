#include "platform/wav_image.h"

#include <algorithm>
#include <cctype>

#include "platform/riff_bytes.h"

namespace win {

namespace {

constexpr WORD kFormatExtensible = 0xFFFE;

bool IdIs(const std::uint8_t* p, const char* id) {
    for (int i = 0; i < 4; ++i) {
        if (std::toupper(p[i]) != std::toupper(static_cast<unsigned char>(id[i]))) return false;
    }
    return true;
}

WavFormat ParseFormat(const std::uint8_t* body) {
    WavFormat f;
    f.formatTag = Le16(body);
    f.channels = Le16(body + 2);
    f.samplesPerSec = Le32(body + 4);
    f.blockAlign = Le16(body + 12);
    f.bitsPerSample = Le16(body + 14);
    return f;
}

}  // namespace

std::optional<std::size_t> RiffExtent(const std::uint8_t* header12) {
    if (header12 == nullptr || !IdIs(header12, "RIFF") || !IdIs(header12 + 8, "WAVE")) {
        return std::nullopt;
    }
    return std::size_t{8} + Le32(header12 + 4);
}

std::optional<std::size_t> MemoryImageExtent(const std::uint8_t* header12) {
    const std::optional<std::size_t> extent = RiffExtent(header12);
    if (!extent || *extent > kMaxMemoryImage) return std::nullopt;
    return extent;
}

WavImage ReadWavImage(std::span<const std::uint8_t> bytes) {
    WavImage image;
    if (bytes.size() < 12 || !RiffExtent(bytes.data())) return image;
    std::size_t end = bytes.size();
    const std::size_t riffEnd = *RiffExtent(bytes.data());
    if (riffEnd < end) end = std::max<std::size_t>(riffEnd, 12);
    if (riffEnd > bytes.size()) image.clamped = true;

    bool haveFormat = false;
    bool shortFormat = false;
    bool haveData = false;
    std::size_t pos = 12;
    while (pos + 8 <= end && !(haveFormat && haveData)) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::size_t size = Le32(chunk + 4);
        const std::size_t body = pos + 8;
        const std::size_t present = std::min(size, end - body);
        if (IdIs(chunk, "fmt ") && !haveFormat) {
            if (present >= 16) {
                image.format = ParseFormat(chunk + 8);
                haveFormat = true;
            } else {
                shortFormat = true;
            }
        } else if (IdIs(chunk, "data") && !haveData) {
            image.dataOffset = body;
            image.dataSize = present;
            if (present < size) image.clamped = true;
            haveData = true;
        }
        if (size >= end - body) break;   // the chunk runs to (or past) the end
        pos = body + size + (size & 1);  // chunks are padded to even sizes
    }

    if (!haveFormat) {
        image.status = shortFormat ? WavStatus::kShortFormat : WavStatus::kNoFormat;
    } else if (!haveData) {
        image.status = WavStatus::kNoData;
    } else {
        image.status = WavStatus::kOk;
        const std::size_t frame = FrameBytes(image.format);
        if (frame > 0) image.dataSize -= image.dataSize % frame;
    }
    return image;
}

bool IsPlayablePcm(const WavFormat& format) {
    const bool pcm = format.formatTag == WAVE_FORMAT_PCM || format.formatTag == kFormatExtensible;
    const bool channels = format.channels == 1 || format.channels == 2;
    const bool bits = format.bitsPerSample == 8 || format.bitsPerSample == 16;
    const bool rate = format.samplesPerSec >= 1000 && format.samplesPerSec <= 192000;
    return pcm && channels && bits && rate;
}

}  // namespace win
