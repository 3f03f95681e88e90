#include "platform/wav_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutId(Bytes& b, const char* id) {
    b.insert(b.end(), id, id + 4);
}
void PutFmt(Bytes& b, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
            const char* id = "fmt ") {
    PutId(b, id);
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * channels * bits / 8);
    Put16(b, static_cast<std::uint16_t>(channels * bits / 8));
    Put16(b, bits);
}
void PutChunk(Bytes& b, const char* id, std::uint32_t claimed, std::size_t present) {
    PutId(b, id);
    Put32(b, claimed);
    for (std::size_t i = 0; i < present; ++i) b.push_back(static_cast<std::uint8_t>(i));
}
// RIFF header with a size field that tells the truth about what follows.
Bytes Riff(const Bytes& chunks, const char* riff = "RIFF") {
    Bytes b;
    PutId(b, riff);
    Put32(b, static_cast<std::uint32_t>(4 + chunks.size()));
    PutId(b, "WAVE");
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}

TEST(WavImage, CanonicalHeaderGivesFormatAndData) {
    Bytes c;
    PutFmt(c, 2, 22050, 16);
    PutChunk(c, "data", 400, 400);
    const Bytes img = Riff(c);
    const win::WavImage w = win::ReadWavImage(img);
    ASSERT_EQ(w.status, win::WavStatus::kOk);
    EXPECT_EQ(w.format.channels, 2);
    EXPECT_EQ(w.format.samplesPerSec, 22050u);
    EXPECT_EQ(w.format.bitsPerSample, 16);
    EXPECT_EQ(w.format.blockAlign, 4);
    EXPECT_EQ(w.dataOffset, 44u);
    EXPECT_EQ(w.dataSize, 400u);
    EXPECT_FALSE(w.clamped);
    EXPECT_TRUE(win::IsPlayablePcm(w.format));
}

TEST(WavImage, SkipsOtherChunksWithPaddingAndAcceptsAnyCase) {
    Bytes c;
    PutChunk(c, "LIST", 5, 5);
    c.push_back(0);  // pad byte of the odd-sized chunk
    PutFmt(c, 1, 11025, 8, "FMT ");
    PutChunk(c, "junk", 2, 2);
    PutChunk(c, "DATA", 7, 7);
    const Bytes img = Riff(c, "riff");
    const win::WavImage w = win::ReadWavImage(img);
    ASSERT_EQ(w.status, win::WavStatus::kOk);
    EXPECT_EQ(w.format.samplesPerSec, 11025u);
    EXPECT_EQ(w.dataOffset, 12u + 14 + 24 + 10 + 8);
    EXPECT_EQ(w.dataSize, 7u);
    EXPECT_EQ(img[w.dataOffset + 6], 6);
}

TEST(WavImage, LyingDataSizeIsClampedToWholeFramesPresent) {
    Bytes c;
    PutFmt(c, 2, 44100, 16);
    PutChunk(c, "data", 0xFFFFFFF0u, 103);
    Bytes img = Riff(c);
    const win::WavImage w = win::ReadWavImage(img);
    ASSERT_EQ(w.status, win::WavStatus::kOk);
    EXPECT_TRUE(w.clamped);
    EXPECT_EQ(w.dataSize, 100u);  // 25 stereo 16-bit frames
    EXPECT_LE(w.dataOffset + w.dataSize, img.size());
}

TEST(WavImage, WalkStopsAtTheRiffSizeAndAtTheEndOfTheBytes) {
    Bytes c;
    PutFmt(c, 1, 8000, 8);
    PutChunk(c, "data", 50, 50);
    Bytes img = Riff(c);
    // A RIFF size that ends before the data chunk: the data is not part of the image.
    Bytes shortRiff = img;
    shortRiff[4] = 4 + 24;
    shortRiff[5] = shortRiff[6] = shortRiff[7] = 0;
    EXPECT_EQ(win::ReadWavImage(shortRiff).status, win::WavStatus::kNoData);
    // A RIFF size larger than the bytes given is clamped, the data still found.
    Bytes longRiff = img;
    longRiff[7] = 0x7F;
    const win::WavImage w = win::ReadWavImage(longRiff);
    EXPECT_EQ(w.status, win::WavStatus::kOk);
    EXPECT_TRUE(w.clamped);
    EXPECT_EQ(w.dataSize, 50u);
    // Cut inside the data chunk's header.
    Bytes cut(img.begin(), img.begin() + 40);
    EXPECT_EQ(win::ReadWavImage(cut).status, win::WavStatus::kNoData);
}

TEST(WavImage, RejectsWhatIsNotAPlayableWave) {
    EXPECT_EQ(win::ReadWavImage({}).status, win::WavStatus::kNotRiff);
    Bytes c;
    PutChunk(c, "data", 4, 4);
    EXPECT_EQ(win::ReadWavImage(Riff(c)).status, win::WavStatus::kNoFormat);
    Bytes notWave = Riff(c);
    notWave[8] = 'X';
    EXPECT_EQ(win::ReadWavImage(notWave).status, win::WavStatus::kNotRiff);
    Bytes shortFmt;
    PutChunk(shortFmt, "fmt ", 14, 14);
    PutChunk(shortFmt, "data", 4, 4);
    EXPECT_EQ(win::ReadWavImage(Riff(shortFmt)).status, win::WavStatus::kShortFormat);

    win::WavFormat f{1, 1, 11025, 1, 8};
    EXPECT_TRUE(win::IsPlayablePcm(f));
    f.bitsPerSample = 24;
    EXPECT_FALSE(win::IsPlayablePcm(f));
    f = {2, 1, 11025, 1, 8};  // ADPCM
    EXPECT_FALSE(win::IsPlayablePcm(f));
    f = {1, 0, 11025, 1, 8};
    EXPECT_FALSE(win::IsPlayablePcm(f));
    f = {1, 1, 0, 1, 8};
    EXPECT_FALSE(win::IsPlayablePcm(f));
}

TEST(WavImage, RiffExtentReadsTheHeaderSize) {
    Bytes c;
    PutFmt(c, 1, 8000, 8);
    const Bytes img = Riff(c);
    ASSERT_TRUE(win::RiffExtent(img.data()).has_value());
    EXPECT_EQ(*win::RiffExtent(img.data()), img.size());
    EXPECT_FALSE(win::RiffExtent(nullptr).has_value());
    Bytes bad = img;
    bad[0] = 'X';
    EXPECT_FALSE(win::RiffExtent(bad.data()).has_value());
    // A memory image whose header claims gigabytes is refused, not read.
    EXPECT_EQ(win::MemoryImageExtent(img.data()), win::RiffExtent(img.data()));
    Bytes huge = img;
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    EXPECT_TRUE(win::RiffExtent(huge.data()).has_value());
    EXPECT_FALSE(win::MemoryImageExtent(huge.data()).has_value());
}

}  // namespace
