// The little-endian fields and four-letter chunk ids of RIFF files, as every reader of
// WAV files and images needs them.
#pragma once

#include <cstdint>

namespace win {

inline std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

inline std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Chunk ids compare without regard to the case of a-z ("riff", "DATA" are accepted).
inline bool SameChunkId(const std::uint8_t* p, const char* id) {
    for (int i = 0; i < 4; ++i) {
        int a = p[i] >= 'a' && p[i] <= 'z' ? p[i] - 32 : p[i];
        int b = id[i] >= 'a' && id[i] <= 'z' ? id[i] - 32 : id[i];
        if (a != b) return false;
    }
    return true;
}

}  // namespace win
