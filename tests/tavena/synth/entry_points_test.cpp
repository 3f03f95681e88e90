// The entry points the engine never calls, which must still behave: errors, settings,
// volume, sample types, version and the in-memory phones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "support/Fixture.h"

namespace synthtest {
namespace {

using SynthEntryPoints = SynthTest;

TEST_F(SynthEntryPoints, ErrorTextsAndTheNoErrorSetting) {
    EXPECT_EQ(lib.lastError_MBR(), 0);
    lib.write_MBR("a\r\n");
    EXPECT_EQ(lib.lastError_MBR(), 3);
    char small[8];
    const int length = lib.lastErrorStr_MBR(small, sizeof small);
    EXPECT_GT(length, 7) << "the full length is answered";
    EXPECT_EQ(std::strlen(small), 7u) << "the copy is cut and terminated";
    EXPECT_EQ(lib.lastErrorStr_MBR(nullptr, 0), length);

    EXPECT_EQ(lib.setNoError_MBR(-63), 0);
    EXPECT_EQ(lib.getNoError_MBR(), -63);
    EXPECT_EQ(lib.setNoError_MBR(0), -63);
}

TEST_F(SynthEntryPoints, VolumeScalesTheOutputAndClips) {
    const auto normal = Speak({"a 200 50 120"});
    ASSERT_EQ(lib.setVolumeRatio_MBR(0.5f), 0);
    EXPECT_EQ(lib.getVolumeRatio_MBR(), 500);
    lib.reset_MBR();
    const auto half = Speak({"a 200 50 120"});
    ASSERT_EQ(half.size(), normal.size());
    int peak = 0;
    for (size_t i = 0; i < half.size(); ++i) {
        EXPECT_NEAR(half[i], normal[i] * 0.5, 1.0) << i;
        peak = std::max(peak, std::abs(int(normal[i])));
    }
    ASSERT_GT(peak, 4000);
    ASSERT_EQ(lib.setVolumeRatio_MBR(16.0f), 0);
    lib.reset_MBR();
    const auto loud = Speak({"a 200 50 120"});
    for (size_t i = 0; i < loud.size(); ++i) {
        const int expected = std::clamp(int(std::lround(normal[i] * 16.0)), -32768, 32767);
        EXPECT_NEAR(loud[i], expected, 16) << "clipped, not wrapped, at " << i;
    }
    EXPECT_LT(lib.setVolumeRatio_MBR(-1.0f), 0);
    EXPECT_LT(lib.setVolumeRatio_MBR(NAN), 0);
    EXPECT_LT(lib.setVolumeRatio_MBR(INFINITY), 0);
    EXPECT_EQ(lib.getVolumeRatio_MBR(), 16000);
}

TEST_F(SynthEntryPoints, SampleTypesCarryTheSameSound) {
    const auto shorts = Speak({"a 100 50 150"});
    lib.reset_MBR();
    lib.write_MBR("a 100 50 150\r\n");
    lib.flush_MBR();
    std::vector<float> floats(2000);
    ASSERT_EQ(lib.readtype_MBR(floats.data(), 2000, 2), 1600);
    lib.reset_MBR();
    lib.write_MBR("a 100 50 150\r\n");
    lib.flush_MBR();
    std::vector<uint8_t> bytes(2000);
    ASSERT_EQ(lib.readtype_MBR(bytes.data(), 2000, 1), 1600);
    for (size_t i = 0; i < shorts.size(); ++i) {
        EXPECT_NEAR(floats[i] * 32768.0f, shorts[i], 1.0f) << i;
        EXPECT_NEAR((int(bytes[i]) - 128) * 256, shorts[i], 256) << i;
    }
    EXPECT_LT(lib.readtype_MBR(bytes.data(), 10, 3), 0);
    EXPECT_LT(lib.read_MBR(nullptr, 10), 0);
    short one[1];
    EXPECT_LT(lib.read_MBR(one, -1), 0);
}

TEST_F(SynthEntryPoints, RateVersionAndParser) {
    EXPECT_EQ(lib.getFreq_MBR(), 16000);
    EXPECT_EQ(lib.setFreq_MBR(16000), 0);
    EXPECT_LT(lib.setFreq_MBR(22050), 0) << "the output stays at the voice's own rate";
    EXPECT_EQ(lib.lastError_MBR(), 8);
    EXPECT_EQ(lib.getFreq_MBR(), 16000);
    char version[64];
    EXPECT_GT(lib.getVersion_MBR(version, sizeof version), 0);
    EXPECT_NE(std::string(version).find("1.0"), std::string::npos);
    EXPECT_EQ(lib.setParser_MBR(nullptr), 0);
    int parser = 0;
    EXPECT_LT(lib.setParser_MBR(&parser), 0);
}

TEST_F(SynthEntryPoints, PhonesLiveInASmallTable) {
    const int phone = lib.init_Phone("a", 100.0f);
    ASSERT_GT(phone, 0);
    EXPECT_EQ(lib.appendf0_Phone(phone, 50.0f, 120.0f), 1);
    EXPECT_EQ(lib.appendf0_Phone(phone, 80.0f, 140.0f), 2);
    EXPECT_LT(lib.appendf0_Phone(phone, 150.0f, 140.0f), 0);
    EXPECT_LT(lib.appendf0_Phone(phone, 50.0f, NAN), 0);
    EXPECT_EQ(lib.reset_Phone(phone, "i", 80.0f), 0);
    EXPECT_EQ(lib.appendf0_Phone(phone, 50.0f, 120.0f), 1) << "reset clears the points";
    EXPECT_LT(lib.reset_Phone(phone, "toolongname", 80.0f), 0);
    EXPECT_LT(lib.init_Phone(nullptr, 10.0f), 0);
    EXPECT_LT(lib.init_Phone("a", -1.0f), 0);
    EXPECT_LT(lib.init_Phone("a", NAN), 0);
    std::vector<int> more;
    for (int h; (h = lib.init_Phone("m", 10.0f)) > 0;) more.push_back(h);
    EXPECT_EQ(more.size(), 15u) << "sixteen slots in all";
    EXPECT_EQ(lib.close_Phone(phone), 0);
    EXPECT_LT(lib.close_Phone(phone), 0) << "closed twice";
    EXPECT_EQ(lib.init_Phone("s", 10.0f), phone) << "a closed slot is reused";
    EXPECT_LT(lib.appendf0_Phone(99, 50.0f, 100.0f), 0);
}

TEST_F(SynthEntryPoints, CloseReleasesTheVoiceAndInitOpensItAgain) {
    EXPECT_EQ(lib.close_MBR(), 0);
    EXPECT_LT(lib.write_MBR("a 100\r\n"), 0);
    EXPECT_EQ(lib.init_MBR(voicePath.c_str()), 0);
    EXPECT_EQ(Speak({"a 100"}).size(), 1600u);
}

}  // namespace
}  // namespace synthtest
