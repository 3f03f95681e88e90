// WAV files through the wave output on the simulated machine: pieces, chunk walk,
// fast-speech files, keys and broken files.
#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "support/WavHarness.h"

namespace {

using wavtest::Chunk;
using wavtest::FormatBody;
using wavtest::Ramp;
using wavtest::Riff;
using wavtest::Wav;
using wavtest::WavHarness;

std::vector<std::size_t> Sizes(const WavHarness& h) {
    std::vector<std::size_t> out;
    for (const auto& b : h.Blocks()) out.push_back(b.size());
    return out;
}

TEST(TfwavFile, DataIsPlayedInPiecesThatNeverLeaveALastPieceUnder256Bytes) {
    WavHarness h;
    h.machine.AddFile("c:\\s\\a.wav", Wav(11025, 8, 1, Ramp(8300)));
    h.machine.AddFile("c:\\s\\b.wav", Wav(11025, 8, 1, Ramp(20000)));
    h.machine.AddFile("c:\\s\\c.wav", Wav(11025, 8, 1, Ramp(8448)));
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\a.wav"), 0);
    EXPECT_EQ(Sizes(h), (std::vector<std::size_t>{7936, 364}));
    EXPECT_FALSE(sonara::IsPlaying());  // it returned when it had been heard
    EXPECT_GE(h.machine.Now(), 753u);   // 8300 bytes at 11025 a second
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\b.wav"), 0);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\c.wav"), 0);
    EXPECT_EQ(Sizes(h), (std::vector<std::size_t>{7936, 364, 8192, 8192, 3616, 8192, 256}));
    auto blocks = h.Blocks();
    EXPECT_EQ(blocks[1].substr(0, 363), Ramp(8300).substr(7936, 363));
}

TEST(TfwavFile, ChunkIdsIgnoreCaseAndChunksAfterTheFormatArePassedOver) {
    WavHarness h;
    std::string data = Ramp(400, 9);
    std::string file = Riff(Chunk("FMT ", FormatBody(11025, 8, 1)) +
                            Chunk("LIST", std::string(20000, 'L')) + Chunk("DATA", data));
    file.replace(0, 4, "riff");
    h.machine.AddFile("c:\\s\\x.wav", file);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\x.wav"), 0);
    auto blocks = h.Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].substr(0, 399), data.substr(0, 399));
}

TEST(TfwavFile, FilesThatAreNotRiffWithTheFormatFirstAreRefused) {
    WavHarness h;
    h.machine.AddFile("c:\\s\\list.wav",
                      Riff(Chunk("LIST", "abcd") + Chunk("fmt ", FormatBody(11025, 8, 1)) +
                           Chunk("data", Ramp(300))));
    h.machine.AddFile("c:\\s\\text.wav", "hello, this is not a sound at all");
    h.machine.AddFile(
        "c:\\s\\short-fmt.wav",
        Riff(Chunk("fmt ", FormatBody(11025, 8, 1).substr(0, 14)) + Chunk("data", Ramp(300))));
    h.machine.AddFile("c:\\s\\empty.wav", "");
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\list.wav"), -1);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\text.wav"), -1);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\short-fmt.wav"), -1);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\empty.wav"), -1);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\missing.wav"), -1);
    EXPECT_TRUE(h.Blocks().empty());
}

TEST(TfwavFile, BrokenFilesPlayWhatTheyHoldAndEnd) {
    WavHarness h;
    // Cut short: 10000 bytes claimed, 300 there. The first piece reads what is there,
    // the second reads nothing: -1. A last piece read short is not noticed.
    h.machine.AddFile("c:\\s\\cut.wav", Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) +
                                             Chunk("data", Ramp(300), 10000)));
    h.machine.AddFile("c:\\s\\cut-last.wav", Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) +
                                                  Chunk("data", Ramp(200), 1000)));
    // A chunk claiming far more than the file holds.
    h.machine.AddFile("c:\\s\\huge.wav",
                      Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) +
                           Chunk("LIST", "ab", 0x7FFFFFF0u) + Chunk("data", Ramp(300))));
    h.machine.AddFile("c:\\s\\zero.wav", Wav(11025, 8, 1, ""));
    h.machine.AddFile("c:\\s\\4g.wav", Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) +
                                            Chunk("data", Ramp(300), 0xFFFFFFFFu)));
    h.machine.AddFile("c:\\s\\nodata.wav", Riff(Chunk("fmt ", FormatBody(11025, 8, 1))));
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\cut.wav"), -1);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\cut-last.wav"), 0);
    EXPECT_EQ(Sizes(h), (std::vector<std::size_t>{300, 256}));
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\huge.wav"), -1);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\zero.wav"), 0);
    // A size of 2 GiB or more counts as negative: no data, nothing played.
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\4g.wav"), 0);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\nodata.wav"), -1);
    EXPECT_EQ(Sizes(h), (std::vector<std::size_t>{300, 256}));
    EXPECT_FALSE(sonara::IsPlaying());
}

TEST(TfwavFile, HighRateAndTwoFormatsInARow) {
    WavHarness h;
    h.machine.AddFile("c:\\s\\a.wav", Wav(11025, 8, 1, Ramp(2000)));
    h.machine.AddFile("c:\\s\\b.wav", Wav(22050, 16, 2, Ramp(4000)));
    sonara::Tfwav::Current()->SetHighRate(true);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\a.wav"), 0);
    sonara::Tfwav::Current()->SetHighRate(false);
    std::uint32_t firstEnd = h.machine.Now();
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\b.wav"), 0);
    EXPECT_EQ(h.WaveLines(), (std::vector<std::string>{"2000 16537/8/1", "4000 22050/16/2"}));
    const auto& writes = h.machine.WaveWrites();
    EXPECT_EQ(writes[1].device, 2);
    EXPECT_GE(writes[1].time, firstEnd);
}

TEST(TfwavFile, FastSpeechPrefersTheRapidoFileAndPlaysItUnchanged) {
    WavHarness h;
    std::string slow, fast;
    for (int i = 0; i < 3000; ++i) wavtest::Put16(slow, static_cast<std::uint16_t>(i * 31));
    for (int i = 0; i < 600; ++i) wavtest::Put16(fast, static_cast<std::uint16_t>(i * 7));
    h.machine.AddFile("c:\\letras\\_65.wav", Wav(11025, 16, 1, slow));
    h.machine.AddFile("c:\\letras\\RAPIDO\\_65.wav", Wav(11025, 16, 1, fast));
    h.machine.AddFile("c:\\letras\\_66.wav", Wav(11025, 16, 1, slow));
    h.machine.AddFile("c:\\letras\\_67.wav", Wav(11025, 16, 2, slow));
    sonara::Tfwav* wav = sonara::Tfwav::Current();
    wav->SetFastSpeech(true);
    EXPECT_EQ(sonara::PlayWavFile("c:\\letras\\_65.wav"), 0);
    EXPECT_TRUE(wav->FastSpeech());
    auto blocks = h.Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], fast);  // the last byte is kept: the 128 rule is 8-bit mono's
    EXPECT_EQ(h.WaveLines()[0], "1200 11025/16/1");

    // No fast file: 16-bit mono is reduced to 8 bits and shortened; stereo is not.
    EXPECT_EQ(sonara::PlayWavFile("c:\\letras\\_66.wav"), 0);
    EXPECT_EQ(sonara::PlayWavFile("c:\\letras\\_67.wav"), 0);
    blocks = h.Blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_LT(blocks[1].size(), 3000u);
    EXPECT_EQ(h.WaveLines()[1].substr(h.WaveLines()[1].find(' ')), " 11025/8/1");
    EXPECT_EQ(blocks[2], slow);
}

TEST(TfwavFile, AKeyAlreadyWaitingPlaysNothingAndStaysQueued) {
    WavHarness h;
    h.machine.AddFile("c:\\s\\a.wav", Wav(11025, 8, 1, Ramp(2000)));
    sonara::InitConsole();
    h.Key("x", 0);
    sonara::PumpMessages();
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\a.wav"), 0);
    EXPECT_TRUE(h.Blocks().empty());
    EXPECT_EQ(sonara::ReadKey(), 'x');
}

TEST(TfwavFile, AKeyDuringALongFileStopsItAtOnce) {
    WavHarness h;
    h.machine.AddFile("c:\\s\\long.wav", Wav(11025, 8, 1, std::string(30 * 8192, '\x70')));
    h.Key("x", 500);
    EXPECT_EQ(sonara::PlayWavFile("c:\\s\\long.wav"), 0);
    int reset = h.EventIndex("wave-reset");
    ASSERT_GE(reset, 0);
    EXPECT_EQ(h.machine.Events()[static_cast<std::size_t>(reset)].time, 500u);
    EXPECT_EQ(h.EventIndex("wave", static_cast<std::size_t>(reset)), -1);
    EXPECT_EQ(h.machine.Now(), 500u);
    EXPECT_TRUE(sonara::KeyPressed());
}

}  // namespace
