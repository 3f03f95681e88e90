#include "platform/pcm_convert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(PcmConvert, ReadsEightAndSixteenBitMonoAndStereo) {
    const std::uint8_t u8[] = {0, 128, 255};
    EXPECT_EQ(win::ReadFrame(u8, 0, 8, 1).left, -32768);
    EXPECT_EQ(win::ReadFrame(u8, 1, 8, 1).right, 0);
    EXPECT_EQ(win::ReadFrame(u8, 2, 8, 1).left, 127 * 256);
    const std::uint8_t s16[] = {0x34, 0x12, 0xFF, 0xFF, 0x00, 0x80, 0x01, 0x00};
    const win::StereoFrame a = win::ReadFrame(s16, 0, 16, 2);
    EXPECT_EQ(a.left, 0x1234);
    EXPECT_EQ(a.right, -1);
    const win::StereoFrame b = win::ReadFrame(s16, 1, 16, 2);
    EXPECT_EQ(b.left, -32768);
    EXPECT_EQ(b.right, 1);
    EXPECT_EQ(win::ReadFrame(s16, 2, 16, 1).left, -32768);
    EXPECT_EQ(win::ReadFrame(s16, 2, 16, 1).right, -32768);
}

TEST(PcmConvert, SameRateKeepsEverySampleAfterOneFrameOfSilence) {
    const std::uint8_t s16[] = {1, 0, 2, 0, 3, 0, 4, 0};
    const auto out = win::ConvertToStereo(s16, 4, 16, 1, 22050, 22050);
    const std::vector<std::int16_t> want = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
    EXPECT_EQ(out, want);
}

TEST(PcmConvert, DoublingTheRateInterpolatesBetweenFrames) {
    const std::uint8_t s16[] = {0xE8, 0x03, 0xD0, 0x07};  // 1000, 2000
    const auto out = win::ConvertToStereo(s16, 2, 16, 1, 11025, 22050);
    // One source frame late, and the last source frame comes out whole.
    ASSERT_EQ(out.size(), 6u * 2);
    const std::vector<std::int16_t> left = {out[0], out[2], out[4], out[6], out[8], out[10]};
    const std::vector<std::int16_t> want = {0, 0, 500, 1000, 1500, 2000};
    EXPECT_EQ(left, want);
}

TEST(PcmConvert, StateCarriesAcrossPullsAndMissingInputIsSilence) {
    win::RateConverter conv;
    conv.Configure(8000, 16000);
    std::vector<win::StereoFrame> source = {{100, -100}, {300, -300}};
    std::size_t next = 0;
    bool starved = false;
    auto pull = [&](win::StereoFrame& f) {
        if (next >= source.size()) {
            starved = true;
            return false;
        }
        f = source[next++];
        return true;
    };
    std::vector<std::int16_t> got;
    for (int i = 0; i < 8; ++i) got.push_back(conv.Step(pull).right);
    // Half-way points between frames; after the input runs out it glides to silence.
    const std::vector<std::int16_t> want = {0, 0, -50, -100, -200, -300, -150, 0};
    EXPECT_EQ(got, want);
    EXPECT_TRUE(starved);
    // Reconfiguring starts from silence again.
    conv.Configure(8000, 8000);
    source = {{7, 7}};
    next = 0;
    EXPECT_EQ(conv.Step(pull).left, 0);
    EXPECT_EQ(conv.Step(pull).left, 7);
}

}  // namespace
