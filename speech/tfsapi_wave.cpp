#include "speech/tfsapi_wave.h"

#include <cstring>

namespace sonara {

namespace {
void Put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
}  // namespace

void BuildWaveHeader(std::uint8_t* image, std::uint32_t dataSize, std::uint32_t sampleRate,
                     std::uint16_t bitsPerSample, std::uint16_t channels) {
    std::memcpy(image, "RIFF", 4);
    Put32(image + 4, dataSize + 36);
    std::memcpy(image + 8, "WAVEfmt ", 8);
    Put32(image + 16, 16);
    Put16(image + 20, 1);
    Put16(image + 22, channels);
    Put32(image + 24, sampleRate);
    Put32(image + 28, sampleRate * channels * (bitsPerSample / 8u));
    Put16(image + 32, 1);
    Put16(image + 34, bitsPerSample);
    std::memcpy(image + 36, "data", 4);
    Put32(image + 40, dataSize);
}

}  // namespace sonara
