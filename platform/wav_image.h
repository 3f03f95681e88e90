// Reads the header of a RIFF WAVE image held in memory: the sample format and where the
// samples are. Headers that claim more bytes than are present are clamped to what is
// there, so a caller never reads past the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/wintypes.h"

namespace win {

struct WavFormat {
    WORD formatTag = 0;
    WORD channels = 0;
    DWORD samplesPerSec = 0;
    WORD blockAlign = 0;
    WORD bitsPerSample = 0;
};

enum class WavStatus {
    kOk,
    kNotRiff,      // no "RIFF" ... "WAVE" header
    kNoFormat,     // no "fmt " chunk
    kShortFormat,  // "fmt " body shorter than the 16 bytes of PCM format
    kNoData,       // no "data" chunk
};

struct WavImage {
    WavStatus status = WavStatus::kNotRiff;
    WavFormat format;
    std::size_t dataOffset = 0;  // from the start of the image
    std::size_t dataSize = 0;    // bytes present, a whole number of frames when playable
    bool clamped = false;        // a size field claimed more than was present
};

// Chunk ids are compared without regard to letter case ("riff", "DATA" are accepted).
// The walk is bounded by the image's own RIFF size when that is smaller than the span.
WavImage ReadWavImage(std::span<const std::uint8_t> bytes);

// The extent of an image whose size is known only from its header (a memory image given
// by pointer): 8 + the RIFF size, or nothing when the 12 bytes do not start a RIFF WAVE.
std::optional<std::size_t> RiffExtent(const std::uint8_t* header12);

// A memory image's extent as RiffExtent gives it, refused when it claims more than any
// sound the programs build (64 MiB): a header that lies would send a read far past the
// caller's buffer.
constexpr std::size_t kMaxMemoryImage = std::size_t{64} << 20;
std::optional<std::size_t> MemoryImageExtent(const std::uint8_t* header12);

// PCM we can play: tag 1 (or extensible), 1 or 2 channels, 8 or 16 bits, a sane rate.
bool IsPlayablePcm(const WavFormat& format);

// Bytes per frame from channels and bits (block align fields are not trusted).
inline std::size_t FrameBytes(const WavFormat& format) {
    return static_cast<std::size_t>(format.channels) * ((format.bitsPerSample + 7u) / 8u);
}

}  // namespace win
