#include "diphone/LetterWave.h"

#include <algorithm>
#include <cstring>

#include "platform/riff_bytes.h"

namespace sonara {

namespace {

constexpr std::size_t kFormatBuffer = 64;

bool ReadAll(ByteSource& source, unsigned char* dst, std::size_t n) {
    return source.Read(dst, n) == n;
}

}  // namespace

std::uint32_t FindLetterData(ByteSource& source) {
    unsigned char riff[12];
    if (!ReadAll(source, riff, sizeof riff) || !win::SameChunkId(riff, "RIFF")) return 0;
    unsigned char header[8];
    if (!ReadAll(source, header, sizeof header) || !win::SameChunkId(header, "fmt ")) return 0;
    const std::uint32_t formatSize = win::Le32(header + 4);
    unsigned char format[kFormatBuffer];
    if (formatSize <= kFormatBuffer) {
        if (!ReadAll(source, format, formatSize)) return 0;
    } else if (!source.Skip(formatSize)) {
        return 0;
    }
    for (;;) {
        if (!ReadAll(source, header, sizeof header)) return 0;
        const std::uint32_t size = win::Le32(header + 4);
        if (win::SameChunkId(header, "data")) return size % 65536u;
        if (size > source.Remaining() || !source.Skip(size)) return 0;
    }
}

std::size_t MemorySource::Read(void* dst, std::size_t n) {
    n = std::min(n, bytes_.size() - pos_);
    if (n > 0) std::memcpy(dst, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
}

bool MemorySource::Skip(std::uint32_t n) {
    if (n > bytes_.size() - pos_) return false;
    pos_ += n;
    return true;
}

}  // namespace sonara
