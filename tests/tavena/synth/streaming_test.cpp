// flush_MBR, read_MBR and reset_MBR as the engine uses them: a line written, then reads
// until nothing more is ready; the last line flushed.
#include <gtest/gtest.h>

#include "support/Fixture.h"

namespace synthtest {
namespace {

using SynthStreaming = SynthTest;

TEST_F(SynthStreaming, NothingIsReadableUntilTheLastPhonemeIsFlushed) {
    short buffer[4000];
    EXPECT_EQ(lib.read_MBR(buffer, 4000), 0) << "nothing written yet";
    ASSERT_GE(lib.write_MBR("a 100 50 120\r\n"), 0);
    EXPECT_EQ(lib.read_MBR(buffer, 4000), 0) << "a lone phoneme waits for its neighbour";
    ASSERT_EQ(lib.flush_MBR(), 0);
    EXPECT_EQ(lib.read_MBR(buffer, 4000), 1600);
    EXPECT_EQ(lib.read_MBR(buffer, 4000), 0) << "all read";
    EXPECT_EQ(lib.read_MBR(buffer, 0), 0);
}

TEST_F(SynthStreaming, APhonemeIsReadableOnceItsNeighbourAndTheNextPitchAreKnown) {
    short buffer[64000];
    ASSERT_GE(lib.write_MBR("a 100 50 120\r\n"), 0);
    ASSERT_GE(lib.write_MBR("i 100\r\n"), 0);
    // The pitch after a's last point is not known yet: it may still glide.
    EXPECT_EQ(lib.read_MBR(buffer, 64000), 0);
    ASSERT_GE(lib.write_MBR("m 100 50 150\r\n"), 0);
    const int first = lib.read_MBR(buffer, 64000);
    // a and i are done except the tail of i, which m's first period may still overlap.
    EXPECT_GT(first, 1600);
    EXPECT_LE(first, 3200);
    ASSERT_GE(lib.write_MBR("_ 100\r\n"), 0);
    const int second = lib.read_MBR(buffer, 64000);
    lib.flush_MBR();
    const int last = lib.read_MBR(buffer, 64000);
    EXPECT_EQ(first + second + last, 6400);
}

TEST_F(SynthStreaming, SmallReadsGiveTheSameSamplesAsOneLargeRead) {
    const std::vector<std::string> lines = {"_ 30", "a 120 0 110 100 180", "s 80", "i 90 50 200",
                                            "m 60", "a 200 30 150 90 90",  "_ 40"};
    const auto whole = Speak(lines);
    lib.reset_MBR();
    std::vector<short> pieces;
    short buffer[97];
    for (const auto& line : lines) {
        ASSERT_GE(lib.write_MBR((line + "\r\n").c_str()), 0);
        for (int n; (n = lib.read_MBR(buffer, 97)) > 0;)
            pieces.insert(pieces.end(), buffer, buffer + n);
    }
    lib.flush_MBR();
    for (int n; (n = lib.read_MBR(buffer, 97)) > 0;)
        pieces.insert(pieces.end(), buffer, buffer + n);
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(whole.size(), 620 * 16u);
}

TEST_F(SynthStreaming, ResetForgetsPendingPhonemesAndUnreadSamples) {
    short buffer[64000];
    ASSERT_GE(lib.write_MBR("a 100\r\n"), 0);
    EXPECT_EQ(lib.reset_MBR(), 0);
    lib.flush_MBR();
    EXPECT_EQ(lib.read_MBR(buffer, 64000), 0);

    ASSERT_GE(lib.write_MBR("a 500\r\n_ 10\r\n"), 0);
    lib.flush_MBR();
    EXPECT_EQ(lib.read_MBR(buffer, 1000), 1000);
    lib.reset_MBR();
    EXPECT_EQ(lib.read_MBR(buffer, 64000), 0) << "the rest of the text is gone";

    // After a reset the next text starts afresh, as if after a pause.
    const auto again = Speak({"a 100"});
    lib.reset_MBR();
    const auto fresh = Speak({"a 100"});
    EXPECT_EQ(again, fresh);
}

TEST_F(SynthStreaming, SeveralLinesInOneWriteAndLineBreaksOfEveryKind) {
    const auto one = Speak({"_ 20", "a 100 50 130", "i 100", "_ 20"});
    lib.reset_MBR();
    ASSERT_EQ(lib.write_MBR("_ 20\na 100 50 130 ; a comment\r; a whole comment line\r\n\n"
                            "   \r\ni 100\r\n_ 20"),
              4);
    lib.flush_MBR();
    EXPECT_EQ(lib.ReadAll(), one);
}

TEST_F(SynthStreaming, TextsFollowOneAnotherAfterAFlush) {
    const auto first = Speak({"a 100 50 120", "i 100"});
    const auto second = Speak({"m 50", "a 70 50 200"});
    EXPECT_EQ(first.size(), 3200u);
    EXPECT_EQ(second.size(), 1920u);
}

TEST_F(SynthStreaming, ALongTextWithoutPitchPointsStillStreams) {
    // No pitch point ever: after a look-ahead of phonemes the oldest ones are sounded.
    short buffer[64000];
    int got = 0;
    for (int i = 0; i < 200; ++i) {
        ASSERT_GE(lib.write_MBR(i % 2 ? "a 50\r\n" : "m 50\r\n"), 0) << lib.LastErrorText();
        got += lib.read_MBR(buffer, 64000);
    }
    EXPECT_GT(got, 100 * 800);
    lib.flush_MBR();
    for (int n; (n = lib.read_MBR(buffer, 64000)) > 0;) got += n;
    EXPECT_EQ(got, 200 * 800);
}

TEST_F(SynthStreaming, AWriterThatNeverReadsIsToldTheQueueIsFull) {
    int refused = 0;
    for (int i = 0; i < 1100 && refused == 0; ++i) {
        if (lib.write_MBR("a 10\r\n") < 0) refused = i;
    }
    EXPECT_GT(refused, 900);
    EXPECT_EQ(lib.lastError_MBR(), 6);
    EXPECT_GT(lib.ReadAll().size(), 0u) << "reading makes room";
    EXPECT_GE(lib.write_MBR("a 10\r\n"), 0);
}

TEST_F(SynthStreaming, FlushesOfAFullQueueAndRepeatedFlushesLoseNothing) {
    int written = 0;
    while (lib.write_MBR(written % 2 ? "a 10 50 150\r\n" : "i 10\r\n") >= 0) ++written;
    lib.flush_MBR();
    const auto once = lib.ReadAll();
    ASSERT_EQ(once.size(), written * 160u);
    lib.reset_MBR();
    for (int i = 0; i < written; ++i) lib.write_MBR(i % 2 ? "a 10 50 150\r\n" : "i 10\r\n");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lib.flush_MBR(), 0);
    EXPECT_EQ(lib.ReadAll(), once);
    for (int i = 0; i < 3; ++i) lib.flush_MBR();
    EXPECT_EQ(lib.ReadAll().size(), 0u);
    // A text ending in a pause, flushed twice.
    const auto paused = Speak({"a 100 50 120", "_ 50"});
    lib.flush_MBR();
    EXPECT_EQ(paused.size(), 2400u);
    EXPECT_EQ(lib.ReadAll().size(), 0u);
}

}  // namespace
}  // namespace synthtest
