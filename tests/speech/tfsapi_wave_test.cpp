#include "speech/tfsapi_wave.h"

#include <gtest/gtest.h>

#include <array>
#include <span>

#include "platform/wav_image.h"

namespace sonara {
namespace {

TEST(BuildWaveHeader, WritesTheCanonicalHeaderThatTheWaveReaderAccepts) {
    std::array<std::uint8_t, kWaveHeaderBytes + 256> image{};
    BuildWaveHeader(image.data(), 256, 11025, 8, 1);
    const std::array<std::uint8_t, 44> expected = {
        'R', 'I', 'F', 'F', 36, 1, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
        ' ', 16,  0,   0,   0,  1, 0,   1,   0,   0x11, 0x2B, 0,   0,   0x11, 0x2B,
        0,   0,   1,   0,   8,  0, 'd', 'a', 't', 'a',  0,    1,   0,   0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.begin()));

    const win::WavImage read = win::ReadWavImage(image);
    EXPECT_EQ(read.status, win::WavStatus::kOk);
    EXPECT_EQ(read.format.samplesPerSec, 11025u);
    EXPECT_EQ(read.dataOffset, 44u);
    EXPECT_EQ(read.dataSize, 256u);
}

TEST(BuildWaveHeader, ByteRateFollowsTheFormatWhileBlockAlignStaysOne) {
    std::array<std::uint8_t, kWaveHeaderBytes> image{};
    BuildWaveHeader(image.data(), 1000, 16000, 16, 1);
    EXPECT_EQ(image[28] | image[29] << 8 | image[30] << 16, 32000);
    EXPECT_EQ(image[32], 1);
    EXPECT_EQ(image[34], 16);
    EXPECT_EQ(image[40] | image[41] << 8, 1000);
    EXPECT_EQ(image[4] | image[5] << 8, 1036);
}

}  // namespace
}  // namespace sonara
