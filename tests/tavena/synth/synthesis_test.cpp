// What the library sounds like: durations, pitch following the lines' pitch points, joins,
// and silence where the voice lacks a phoneme or a pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "support/Fixture.h"

namespace synthtest {
namespace {

// First and last sample louder than a tenth of the peak: the audible stretch.
std::pair<long, long> AudibleSpan(const std::vector<short>& x) {
    int peak = 0;
    for (short s : x) peak = std::max(peak, std::abs(int(s)));
    const int threshold = peak / 10;
    long first = -1, last = -1;
    for (long i = 0; i < long(x.size()); ++i) {
        if (std::abs(int(x[i])) > threshold) {
            if (first < 0) first = i;
            last = i;
        }
    }
    return {first, last};
}

using SynthDurations = SynthTest;

TEST_F(SynthDurations, EveryLineLastsItsMillisecondsTimesSixteenSamples) {
    EXPECT_EQ(Speak({"a 100"}).size(), 1600u);
    lib.reset_MBR();
    EXPECT_EQ(Speak({"_ 50", "a 123 50 150", "i 77", "m 40 20 200", "s 90", "_ 10"}).size(),
              (50 + 123 + 77 + 40 + 90 + 10) * 16u);
    lib.reset_MBR();
    // Fractions of a millisecond add up instead of being rounded away line by line.
    EXPECT_EQ(Speak({"a 10.5", "a 10.5", "a 10.5", "a 10.5"}).size(), 672u);
}

TEST_F(SynthDurations, AVowelBetweenPausesSoundsForItsDurationWithinOnePeriod) {
    for (int ms : {40, 100, 250, 700}) {
        for (int hz : {80, 100, 200}) {
            lib.reset_MBR();
            const auto x =
                Speak({"_ 100", "a " + std::to_string(ms) + " 50 " + std::to_string(hz), "_ 100"});
            ASSERT_EQ(x.size(), (200 + ms) * 16u);
            const auto [first, last] = AudibleSpan(x);
            const double period = double(kRate) / hz;
            EXPECT_NEAR(first, 1600, period) << ms << " ms at " << hz << " Hz";
            EXPECT_NEAR(last + 1 - first, ms * 16, period) << ms << " ms at " << hz << " Hz";
        }
    }
}

using SynthPitch = SynthTest;

TEST_F(SynthPitch, SteadyPitchIsFollowedFrom70To400Hz) {
    for (double hz : {70.0, 85.0, 100.0, 130.0, 180.0, 230.0, 300.0, 400.0}) {
        lib.reset_MBR();
        const std::string f = std::to_string(hz);
        const auto x = Speak({"a 600 0 " + f + " 100 " + f});
        for (long at : {2400L, 4800L, 7200L}) {
            EXPECT_NEAR(MeasurePitch(x, at), hz, 0.03 * hz) << hz << " Hz at sample " << at;
        }
    }
}

TEST_F(SynthPitch, GlidesFollowTheLineBetweenItsPoints) {
    // The window spans two periods, so that the pitch hardly moves within it.
    const auto window = [](double hz) { return static_cast<int>(2 * kRate / hz); };
    const auto rising = Speak({"a 1000 0 100 100 300"});
    for (long at = 1600; at <= 14400; at += 1600) {
        const double expected = 100 + 200.0 * at / 16000;
        EXPECT_NEAR(MeasurePitch(rising, at, window(expected)), expected, 0.03 * expected)
            << "rising at " << at;
    }
    lib.reset_MBR();
    const auto falling = Speak({"i 800 20 380 80 75"});
    for (long at = 1600; at <= 11200; at += 1600) {
        const double percent = at / 12800.0 * 100;
        const double expected = percent <= 20   ? 380
                                : percent >= 80 ? 75
                                                : 380 + (75 - 380) * (percent - 20) / 60;
        EXPECT_NEAR(MeasurePitch(falling, at, window(expected)), expected, 0.03 * expected)
            << "falling at " << at;
    }
}

TEST_F(SynthPitch, InterpolatesAcrossPhonemesAndCarriesPointsOver) {
    // 100 Hz at 100 ms, 200 Hz at 300 ms: 150 Hz at the border of the two phonemes.
    const auto x = Speak({"a 200 50 100", "a 200 50 200"});
    EXPECT_NEAR(MeasurePitch(x, 3200, 214), 150, 4.5);
    EXPECT_NEAR(MeasurePitch(x, 2400, 256), 125, 3.75);
    EXPECT_NEAR(MeasurePitch(x, 4000, 182), 175, 5.25);
    lib.reset_MBR();
    // A phoneme without points lies on the line from the point before to the point after.
    const auto y = Speak({"a 200 50 120", "a 200", "a 200 50 240"});
    EXPECT_NEAR(MeasurePitch(y, 4800, 178), 180, 5.4);
}

TEST_F(SynthPitch, WithoutPitchPointsTheVoiceKeepsItsOwnPitch) {
    const auto x = Speak({"a 300", "i 300"});
    EXPECT_NEAR(MeasurePitch(x, 2400), 100, 3);
    EXPECT_NEAR(MeasurePitch(x, 7200), 100, 3);
}

TEST(SynthJoins, TheTwoRecordingsOfAVowelMeetWithoutALevelStep) {
    SynthLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.Open(error)) << error;
    // The unit a-_ is 4 dB louder than _-a: the join lies in the middle of the vowel.
    const auto path = WriteVoiceFile(StandardVoice(1.6).Bytes(), "louder.voice");
    ASSERT_EQ(lib.init_MBR(path.c_str()), 0);
    lib.write_MBR("_ 100\r\na 100\r\n_ 100\r\n");
    lib.flush_MBR();
    const auto x = lib.ReadAll();
    ASSERT_EQ(x.size(), 4800u);
    // Periods of 10 ms from a quarter to three quarters of the vowel.
    double worst = 0;
    for (long at = 2000; at + 320 <= 2800; at += 160) {
        const double step = 20 * std::log10(Rms(x, at + 160, 160) / Rms(x, at, 160));
        worst = std::max(worst, std::abs(step));
    }
    EXPECT_LT(worst, 1.5) << "largest level step between periods, dB";
    // Overall it still goes from the quieter recording to the louder one.
    EXPECT_GT(Rms(x, 2600, 320), Rms(x, 1700, 320));
}

TEST(SynthJoins, AnUnvoicedPointWhereAUnitIsCutInsideAPeriodKeepsTheVowelVoiced) {
    SynthLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.Open(error)) << error;
    const auto path = WriteVoiceFile(StandardVoice(1.0, true).Bytes(), "edges.voice");
    ASSERT_EQ(lib.init_MBR(path.c_str()), 0);
    lib.write_MBR("_ 100\r\na 400 0 200 100 200\r\n_ 100\r\n");
    lib.flush_MBR();
    const auto x = lib.ReadAll();
    ASSERT_EQ(x.size(), 9600u);
    // Every period through the vowel, its middle (where the two units join) included, is
    // like the next one.
    for (long at = 1600 + 320; at + 160 <= 8000 - 320; at += 80) {
        double ab = 0, aa = 0, bb = 0;
        for (long n = 0; n < 80; ++n) {
            ab += double(x[at + n]) * x[at + n + 80];
            aa += double(x[at + n]) * x[at + n];
            bb += double(x[at + n + 80]) * x[at + n + 80];
        }
        EXPECT_GT(ab / std::sqrt(aa * bb), 0.9) << "period at " << at;
    }
    EXPECT_NEAR(MeasurePitch(x, 4800, 160), 200, 6);
}

TEST_F(SynthDurations, UnvoicedSoundIsCopiedNotPitched) {
    const auto x = Speak({"s 300 50 300"});
    ASSERT_EQ(x.size(), 4800u);
    EXPECT_GT(Rms(x, 1600, 1600), 300);
    EXPECT_EQ(MeasurePitch(x, 2400), 0) << "noise must not be made periodic";
}

using SynthMissing = SynthTest;

TEST_F(SynthMissing, AMissingPairIsSilenceOfTheRightLengthAndAnError) {
    lib.setNoError_MBR(1);
    EXPECT_GE(lib.write_MBR("_ 100\r\na 100\r\nx 100\r\n_ 100\r\n"), 0);
    EXPECT_EQ(lib.lastError_MBR(), 5);
    EXPECT_NE(lib.LastErrorText().find("a-x"), std::string::npos) << lib.LastErrorText();
    lib.flush_MBR();
    const auto x = lib.ReadAll();
    ASSERT_EQ(x.size(), 6400u);
    // a's first half sounds; the join a-x (a's second half, x's first half) is silent;
    // x's second half comes from x-_.
    EXPECT_GT(Rms(x, 1700, 500), 500);
    EXPECT_EQ(Rms(x, 2400 + 200, 1600 - 400), 0);
    EXPECT_GT(Rms(x, 4100, 500), 500);
}

TEST_F(SynthMissing, WithErrorsOnTheWriteIsRefusedButStillSoundsAsSilence) {
    lib.setNoError_MBR(0);
    EXPECT_LT(lib.write_MBR("a 100\r\nx 100\r\n"), 0);
    EXPECT_EQ(lib.lastError_MBR(), 5);
    lib.flush_MBR();
    EXPECT_EQ(lib.ReadAll().size(), 3200u);
}

TEST_F(SynthMissing, AnUnknownPhonemeIsSilenceOfItsDuration) {
    lib.setNoError_MBR(1);
    EXPECT_GE(lib.write_MBR("_ 50\r\nq 120\r\n_ 50\r\n"), 0);
    EXPECT_EQ(lib.lastError_MBR(), 4);
    EXPECT_NE(lib.LastErrorText().find("q"), std::string::npos);
    lib.flush_MBR();
    const auto x = lib.ReadAll();
    ASSERT_EQ(x.size(), 220 * 16u);
    EXPECT_EQ(Rms(x, 0, long(x.size())), 0);
    lib.setNoError_MBR(0);
    EXPECT_LT(lib.write_MBR("q 10\r\n"), 0);
}

}  // namespace
}  // namespace synthtest
