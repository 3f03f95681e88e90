// Phoneme lines the library refuses: a clear error, nothing of the write queued, no crash.
#include <gtest/gtest.h>

#include <string>

#include "support/Fixture.h"

namespace synthtest {
namespace {

using SynthBadLines = SynthTest;

TEST_F(SynthBadLines, MalformedLinesAreRefusedWithAnError) {
    const std::string pairs = [] {
        std::string text = "a 100";
        for (int i = 0; i < 10000; ++i) text += " 50 120";
        return text;
    }();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a", "without a duration"},
        {"a\t", "tab only"},
        {"a -5", "negative"},
        {"a 10001", "over 10 s"},
        {"a 99999999999999999999", "huge"},
        {"a nan", "NaN"},
        {"a NAN 50 100", "NaN"},
        {"a inf", "infinite"},
        {"a 1e3", "exponent"},
        {"a 100 50", "position without pitch"},
        {"a 100 50 nan", "NaN pitch"},
        {"a 100 150 100", "position over 100"},
        {"a 100 -1 100", "negative position"},
        {"a 100 50 0", "zero pitch"},
        {"a 100 50 -120", "negative pitch"},
        {"a 100 50 99999", "pitch over 2000 Hz"},
        {"abcdefgh 100", "name over 7 characters"},
        {"a 1x0", "junk in the number"},
        {"a 100 50 120x", "junk in the pitch"},
        {std::string("a 1\x01", 4), "control character"},
        {pairs, "10,000 pitch pairs"},
        {"a 100 " + std::string(65 * 2, '1'), "too many digits"},
    };
    for (const auto& [line, why] : cases) {
        EXPECT_LT(lib.write_MBR((line + "\r\n").c_str()), 0) << why;
        EXPECT_EQ(lib.lastError_MBR(), 3) << why;
        EXPECT_FALSE(lib.LastErrorText().empty()) << why;
    }
    lib.flush_MBR();
    EXPECT_EQ(lib.ReadAll().size(), 0u) << "nothing of a refused write is queued";
}

TEST_F(SynthBadLines, SixtyFourPitchPointsAreTheMost) {
    std::string line = "a 100";
    for (int i = 0; i < 64; ++i) line += " " + std::to_string(i) + " 120";
    EXPECT_GE(lib.write_MBR(line.c_str()), 0) << lib.LastErrorText();
    line += " 99 130";
    EXPECT_LT(lib.write_MBR(line.c_str()), 0);
}

TEST_F(SynthBadLines, AMegabyteWithoutALineBreakIsRefused) {
    const std::string blob(1 << 20, 'a');
    EXPECT_LT(lib.write_MBR(blob.c_str()), 0);
    EXPECT_EQ(lib.lastError_MBR(), 3);
    const std::string spaces = "a 100" + std::string(1 << 20, ' ') + "\r\n";
    EXPECT_LT(lib.write_MBR(spaces.c_str()), 0);
    // A long comment line is refused too: lines are at most 4096 bytes.
    EXPECT_LT(lib.write_MBR((";" + std::string(5000, 'c')).c_str()), 0);
}

TEST_F(SynthBadLines, OneBadLineRefusesTheWholeWrite) {
    EXPECT_LT(lib.write_MBR("a 100\r\ni 100\r\ni\r\n"), 0);
    lib.flush_MBR();
    EXPECT_EQ(lib.ReadAll().size(), 0u);
}

TEST_F(SynthBadLines, EdgesThatAreAccepted) {
    // Zero length, fractions, a plus sign, positions at 0 and 100, pauses of both kinds.
    EXPECT_EQ(lib.write_MBR("a 0\r\na 10.25 0 70 100 400\r\n# 5\r\n_ +5\r\n"), 4)
        << lib.LastErrorText();
    EXPECT_EQ(lib.write_MBR(""), 0);
    EXPECT_EQ(lib.write_MBR("\r\n"), 0) << "the engine's bare last line";
    lib.flush_MBR();
    EXPECT_EQ(lib.ReadAll().size(), 324u);  // 20.25 ms
}

TEST(SynthWithoutVoice, EveryCallNeedingAVoiceAnswersNegative) {
    SynthLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.Open(error)) << error;
    short buffer[16];
    EXPECT_LT(lib.write_MBR("a 100\r\n"), 0);
    EXPECT_EQ(lib.lastError_MBR(), 1);
    EXPECT_LT(lib.flush_MBR(), 0);
    EXPECT_LT(lib.read_MBR(buffer, 16), 0);
    EXPECT_LT(lib.getFreq_MBR(), 0);
    EXPECT_EQ(lib.reset_MBR(), 0);
    EXPECT_EQ(lib.close_MBR(), 0);
}

}  // namespace
}  // namespace synthtest
