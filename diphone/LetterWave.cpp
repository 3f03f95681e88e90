#include "diphone/LetterWave.h"

#include <algorithm>
#include <cstring>

namespace sonara {

namespace {

constexpr std::size_t kFormatBuffer = 64;

bool SameId(const unsigned char* id, const char* expected) {
    for (int i = 0; i < 4; ++i) {
        unsigned char c = id[i];
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
        unsigned char e = static_cast<unsigned char>(expected[i]);
        if (e >= 'a' && e <= 'z') e = static_cast<unsigned char>(e - 32);
        if (c != e) return false;
    }
    return true;
}

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ReadAll(ByteSource& source, unsigned char* dst, std::size_t n) {
    return source.Read(dst, n) == n;
}

}  // namespace

std::uint32_t FindLetterData(ByteSource& source) {
    unsigned char riff[12];
    if (!ReadAll(source, riff, sizeof riff) || !SameId(riff, "RIFF")) return 0;
    unsigned char header[8];
    if (!ReadAll(source, header, sizeof header) || !SameId(header, "fmt ")) return 0;
    const std::uint32_t formatSize = Le32(header + 4);
    unsigned char format[kFormatBuffer];
    if (formatSize <= kFormatBuffer) {
        if (!ReadAll(source, format, formatSize)) return 0;
    } else if (!source.Skip(formatSize)) {
        return 0;
    }
    for (;;) {
        if (!ReadAll(source, header, sizeof header)) return 0;
        const std::uint32_t size = Le32(header + 4);
        if (SameId(header, "data")) return size % 65536u;
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
