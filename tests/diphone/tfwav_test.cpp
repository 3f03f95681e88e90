// The wave output on the simulated machine: blocks as the device receives them, the ring,
// formats, keys, images and devices by name.
#include "diphone/tfwav.h"

#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "support/WavHarness.h"

namespace {

using wavtest::Chunk;
using wavtest::FormatBody;
using wavtest::Ramp;
using wavtest::Riff;
using wavtest::Wav;
using wavtest::WavHarness;

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

TEST(TfwavBlocks, ShortMonoBlockIsPaddedWithSilenceFromItsLastByteOn) {
    WavHarness h;
    std::string data = Ramp(100, 1);
    EXPECT_EQ(sonara::PlayWavImage(Bytes(Wav(11025, 8, 1, data))), 0);
    h.Drain();
    auto blocks = h.Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    const std::string& block = blocks[0];
    ASSERT_EQ(block.size(), 256u);
    EXPECT_EQ(block.substr(0, 99), data.substr(0, 99));
    EXPECT_EQ(block.substr(99), std::string(157, '\x80'));  // byte 99, the last, too
    EXPECT_EQ(h.WaveLines(), std::vector<std::string>{"256 11025/8/1"});
}

TEST(TfwavBlocks, LongBufferGoesInFullBlocksAndOnlyTheLastShortOneLosesItsLastByte) {
    WavHarness h;
    std::string data = Ramp(20000, 7);
    EXPECT_EQ(sonara::Tfwav::Current()->PlayPcm(Bytes(data), data.size(), 11025, 8, 1), 0);
    h.Drain();
    auto blocks = h.Blocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0], data.substr(0, 8192));
    EXPECT_EQ(blocks[1], data.substr(8192, 8192));
    ASSERT_EQ(blocks[2].size(), 3616u);
    EXPECT_EQ(blocks[2].substr(0, 3615), data.substr(16384, 3615));
    EXPECT_EQ(blocks[2].back(), '\x80');
    // 20000 bytes at 11025 bytes a second: the device is done after 1814 ms.
    EXPECT_GE(h.machine.Now(), 1814u);
    EXPECT_FALSE(sonara::IsPlaying());
}

TEST(TfwavBlocks, SixteenBitShortBlockIsPaddedWithZeroSilenceAndKeepsItsData) {
    WavHarness h;
    std::string data = Ramp(100, 200);
    EXPECT_EQ(sonara::PlayWavImage(Bytes(Wav(22050, 16, 1, data))), 0);
    h.Drain();
    ASSERT_EQ(h.Blocks().size(), 1u);
    EXPECT_EQ(h.Blocks()[0], data + std::string(156, '\0'));
    EXPECT_EQ(h.WaveLines()[0], "256 22050/16/1");
}

TEST(TfwavRing, NoMoreThanSixteenBlocksAreQueuedAtOnce) {
    WavHarness h;
    std::string data(20 * 8192, '\x80');
    sonara::Tfwav::Current()->PlayPcm(Bytes(data), data.size(), 11025, 8, 1);
    const auto& writes = h.machine.WaveWrites();
    ASSERT_EQ(writes.size(), 20u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(writes[i].time, 0u);
    // The 17th waits for the first to come back: 8192 bytes take 743.03 ms.
    EXPECT_GE(writes[16].time, 744u);
    EXPECT_LT(writes[16].time, 744u + 20u);
    h.Drain();
}

TEST(TfwavFormats, HighRatePlaysAtOneAndAHalfTimesTheRate) {
    WavHarness h;
    sonara::Tfwav::Current()->SetHighRate(true);
    sonara::PlayWavImage(Bytes(Wav(11025, 8, 1, std::string(300, 'x'))));
    h.Drain();
    EXPECT_EQ(h.WaveLines(), std::vector<std::string>{"300 16537/8/1"});
}

TEST(TfwavFormats, ANewFormatWaitsForTheLastOneToFinishAndReopensTheDevice) {
    WavHarness h;
    sonara::PlayWavImage(Bytes(Wav(11025, 8, 1, std::string(11025, 'a'))));
    EXPECT_EQ(h.machine.Now(), 0u);  // queued, not heard
    sonara::PlayWavImage(Bytes(Wav(11025, 8, 1, std::string(11025, 'b'))));
    EXPECT_EQ(h.machine.Now(), 0u);  // same format: the device stays open, no wait
    sonara::PlayWavImage(Bytes(Wav(22050, 16, 2, std::string(4000, 'c'))));
    // Two seconds of the first format had to be heard before the device was reopened.
    const auto& writes = h.machine.WaveWrites();
    ASSERT_EQ(writes.size(), 5u);
    EXPECT_EQ(writes[3].device, 1);
    EXPECT_EQ(writes[4].device, 2);
    EXPECT_GE(writes[4].time, 2000u);
    h.Drain();
    EXPECT_EQ(h.WaveLines().back(), "4000 22050/16/2");
}

TEST(TfwavFormats, FastSpeechReducesSixteenBitMonoToEightBitsAndLeavesStereoAlone) {
    WavHarness h;
    sonara::Tfwav::Current()->SetFastSpeech(true);
    // 900 samples: under 1000 once reduced, so only reduced, not shortened.
    std::string data;
    for (int i = 0; i < 900; ++i) wavtest::Put16(data, static_cast<std::uint16_t>(i * 70));
    sonara::PlayWavImage(Bytes(Wav(11025, 16, 1, data)));
    h.Drain();
    auto blocks = h.Blocks();
    ASSERT_EQ(blocks.size(), 1u);
    const std::string& block = blocks[0];
    ASSERT_EQ(block.size(), 900u);
    for (int i = 0; i < 899; ++i) {
        auto want = static_cast<std::uint8_t>(((i * 70) >> 8) ^ 128);
        ASSERT_EQ(static_cast<std::uint8_t>(block[i]), want) << i;
    }
    EXPECT_EQ(h.WaveLines()[0], "900 11025/8/1");

    std::string stereo = Ramp(4000);
    sonara::PlayWavImage(Bytes(Wav(11025, 16, 2, stereo)));
    h.Drain();
    EXPECT_EQ(h.Blocks().back(), stereo);
}

TEST(TfwavKeys, AKeyResetsTheDeviceBeforeAnyFurtherBlockAndStaysQueued) {
    WavHarness h;
    std::string data(40 * 8192, '\x90');
    h.Key("a", 1000);
    EXPECT_EQ(sonara::Tfwav::Current()->PlayPcm(Bytes(data), data.size(), 11025, 8, 1), 0);
    int reset = h.EventIndex("wave-reset");
    ASSERT_GE(reset, 0);
    EXPECT_EQ(h.EventIndex("wave", static_cast<std::size_t>(reset)), -1);
    EXPECT_LT(h.machine.WaveWrites().size(), 40u);
    EXPECT_EQ(h.machine.Events()[static_cast<std::size_t>(reset)].time, 1000u);
    EXPECT_FALSE(sonara::IsPlaying());
    EXPECT_TRUE(sonara::KeyPressed());  // the caller reads it
    EXPECT_EQ(sonara::ReadKey(), 'a');
}

TEST(TfwavKeys, WithoutStopOnKeyAKeyDoesNotStopPlayback) {
    WavHarness h;
    sonara::Tfwav::Current()->SetStopOnKey(false);
    std::string data(3 * 8192, '\x90');
    h.Key("a", 10);
    sonara::Tfwav::Current()->PlayPcm(Bytes(data), data.size(), 11025, 8, 1);
    h.Drain();
    EXPECT_EQ(h.machine.WaveWrites().size(), 3u);
    EXPECT_EQ(h.EventIndex("wave-reset"), -1);
}

TEST(TfwavImages, ChunksBeforeDataAreSteppedOverAndIdsIgnoreCase) {
    WavHarness h;
    std::string data = Ramp(500, 3);
    std::string image = Riff(Chunk("FMT ", FormatBody(11025, 8, 1) + "xx") +
                             Chunk("LIST", std::string(30, 'l')) + Chunk("DaTa", data));
    image.replace(0, 4, "riff");
    EXPECT_EQ(sonara::PlayWavImage(Bytes(image)), 0);
    h.Drain();
    ASSERT_EQ(h.Blocks().size(), 1u);
    EXPECT_EQ(h.Blocks()[0].substr(0, 499), data.substr(0, 499));
}

TEST(TfwavImages, BadImagesPlayNothingAndLyingSizesStopAtTheImage) {
    WavHarness h;
    EXPECT_EQ(sonara::PlayWavImage(
                  Bytes(Riff(Chunk("LIST", "abcd") + Chunk("fmt ", FormatBody(11025, 8, 1))))),
              -1);
    std::string noData = Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) + Chunk("LIST", "ab"));
    EXPECT_EQ(sonara::PlayWavImage(Bytes(noData)), -1);
    // A chunk that claims 4 GiB ends the walk instead of stepping far past the image.
    std::string huge = Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) +
                            Chunk("junk", "", 0xFFFFFFF0u) + Chunk("data", "zz"));
    EXPECT_EQ(sonara::PlayWavImage(Bytes(huge)), -1);
    EXPECT_TRUE(h.Blocks().empty());

    // "data" claiming more than the image holds plays what the RIFF size covers.
    std::string lying =
        Riff(Chunk("fmt ", FormatBody(11025, 8, 1)) + Chunk("data", std::string(300, 'd'), 100000));
    std::string padded = lying + std::string(1000, 'p');  // bytes past the image
    EXPECT_EQ(sonara::PlayWavImage(Bytes(padded)), 0);
    h.Drain();
    ASSERT_EQ(h.Blocks().size(), 1u);
    EXPECT_EQ(h.Blocks()[0].size(), 300u);
    EXPECT_EQ(h.Blocks()[0].find('p'), std::string::npos);
}

TEST(TfwavDone, AFailedUnprepareShowsItsMessageWaitsForEnterAndFreesTheSlot) {
    WavHarness h;
    sonara::Tfwav* wav = sonara::Tfwav::Current();
    std::string data(8192, '\x80');
    wav->PlayPcm(Bytes(data), data.size(), 11025, 8, 1);
    ASSERT_EQ(wav->QueuedCount(), 1);
    h.Key("enter", 50);
    // A done message for a block the device still holds: unprepare refuses it.
    win::PostMessageA(sonara::ConsoleWindow(), win::MM_WOM_DONE, 0,
                      reinterpret_cast<win::LPARAM>(wav->SlotHeader(1)));
    sonara::PumpMessages();
    EXPECT_EQ(wav->QueuedCount(), 0);
    EXPECT_GE(h.machine.Now(), 50u);  // Enter was waited for
    const auto rows = sonara::TfCrt::Current()->ScreenRows();
    EXPECT_EQ(rows[0], "The data block pointed to by the pwh parameter is still in queue");
    // A done message for a header that is not ours is ignored.
    win::WAVEHDR stranger;
    stranger.dwUser = 1;
    wav->OnBlockDone(reinterpret_cast<win::LPARAM>(&stranger));
    wav->OnBlockDone(0);
    EXPECT_EQ(wav->QueuedCount(), 0);
}

TEST(TfwavDevices, SettingNamesADeviceInAnyCaseButNotWithTrailingBlanks) {
    {
        WavHarness h("[TRADUTOR]\r\nSAIDADEAUDIO=simulated WAVE Output\r\n");
        EXPECT_EQ(sonara::WaveDeviceId(), 0);
    }
    {
        WavHarness h("[TRADUTOR]\r\nSAIDADEAUDIO=\"Simulated wave output \"\r\n");
        EXPECT_EQ(sonara::WaveDeviceId(), -1);
        std::vector<std::string> names{"stale"};
        sonara::ListWaveDevices(names);
        EXPECT_EQ(names, std::vector<std::string>{"Simulated wave output"});
    }
    {
        WavHarness h;
        EXPECT_EQ(sonara::WaveDeviceId(), -1);
        int index = 7;
        EXPECT_FALSE(sonara::FindWaveDevice("nothing", index));
        EXPECT_EQ(index, 7);
    }
}

// A wave of period `period` bytes: a sharp peak at the start of each period.
std::vector<std::uint8_t> Pulses(std::size_t length, std::size_t period) {
    std::vector<std::uint8_t> v(length, 128);
    for (std::size_t i = 0; i < length; ++i) {
        std::size_t k = i % period;
        v[i] = static_cast<std::uint8_t>(k == 0 ? 250 : k < 10 ? 200 - k * 5 : 128);
    }
    return v;
}

TEST(DropPeriods, EveryOtherPeriodIsDroppedFromTheFirstPeakOn) {
    auto v = Pulses(11025, 100);
    const auto original = v;
    std::size_t n = sonara::DropPeriods(v.data(), v.size(), 8, 11025);
    // The first search (200..330) finds the peak at 200. Each step then keeps one period
    // with both its peaks (300..400, 500..600, ...: 101 bytes) and drops the one before
    // it, while the peak is below 11025 - 2 * 130: 53 steps. The byte after them is
    // silence, so there is no tail.
    EXPECT_EQ(n, 200u + 53u * 101u);
    EXPECT_TRUE(std::equal(v.begin(), v.begin() + 200, original.begin()));
    for (std::size_t k = 0; k < 53; ++k) {
        for (std::size_t j = 0; j <= 100; ++j)
            ASSERT_EQ(v[200 + 101 * k + j], original[300 + 200 * k + j]) << k << " " << j;
    }
}

TEST(DropPeriods, ShortBuffersAreOnlyReducedAndSilenceOfZerosEnds) {
    std::vector<std::uint8_t> v(999, 7);
    EXPECT_EQ(sonara::DropPeriods(v.data(), v.size(), 8, 11025), 999u);
    EXPECT_EQ(v, std::vector<std::uint8_t>(999, 7));
    std::vector<std::uint8_t> zeros(5000, 0);
    EXPECT_LE(sonara::DropPeriods(zeros.data(), zeros.size(), 8, 11025), 5000u);
    // Another rate uses the wider windows, clamped to a buffer of just over 1000 bytes.
    auto odd = Pulses(1001, 400);
    EXPECT_LE(sonara::DropPeriods(odd.data(), odd.size(), 8, 22050), 1001u);
    std::vector<std::uint8_t> sixteen{0x34, 0x12, 0xFF, 0x80, 0x01};
    EXPECT_EQ(sonara::DropPeriods(sixteen.data(), sixteen.size(), 16, 11025), 2u);
    EXPECT_EQ(sixteen[0], 0x12 ^ 0x80);
    EXPECT_EQ(sixteen[1], 0x80 ^ 0x80);
}

}  // namespace
