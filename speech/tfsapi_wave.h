// The canonical 44-byte RIFF WAVE header that the built-in synthesizers, the click and
// the recorded number words put in front of their sound images.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sonara {

inline constexpr std::size_t kWaveHeaderBytes = 44;

// Fills the first 44 bytes of `image`: "RIFF", data size + 36, "WAVE", a 16-byte PCM
// "fmt " chunk, "data" and the data size, all little-endian. The block align stays 1,
// as the fixed template has it: every caller builds 8-bit mono images.
void BuildWaveHeader(std::uint8_t* image, std::uint32_t dataSize, std::uint32_t sampleRate,
                     std::uint16_t bitsPerSample, std::uint16_t channels);

}  // namespace sonara
