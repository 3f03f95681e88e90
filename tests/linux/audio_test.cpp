// LinuxAudio on SDL's disk driver: what reaches the "device" is read back from its file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/LinuxAudio.h"

namespace {

using namespace std::chrono_literals;
using win::WAVEHDR;

const win::HWND kWindow = reinterpret_cast<win::HWND>(std::uintptr_t{0x1234});

// Messages the audio layer posts, from whatever thread.
class Posted {
  public:
    void Add(const win::MSG& m) {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(m);
        cv_.notify_all();
    }
    std::vector<win::MSG> Of(win::UINT message) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<win::MSG> out;
        for (const auto& m : messages_) {
            if (m.message == message) out.push_back(m);
        }
        return out;
    }
    bool WaitFor(win::UINT message, std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, 10s, [&] {
            return std::count_if(messages_.begin(), messages_.end(), [&](const win::MSG& m) {
                       return m.message == message;
                   }) >= static_cast<long>(count);
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<win::MSG> messages_;
};

class AudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = ::testing::TempDir() + "audio_disk_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        audio_ = std::make_unique<win::LinuxAudio>(
            [this](win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
                posted_.Add(win::MSG{h, m, w, l, 0, {}});
            },
            [this](std::string_view path) -> std::optional<std::string> {
                if (path == "C:\\SONS\\CUE.WAV") return cueFile_;
                return std::nullopt;
            });
    }
    void TearDown() override {
        audio_.reset();
        std::remove(file_.c_str());
    }
    // Closes the device and returns every 16-bit sample it was given.
    std::vector<std::int16_t> Output() {
        audio_.reset();
        std::ifstream in(file_, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    win::HWAVEOUT Open(int rate, int bits, int channels) {
        win::WAVEFORMATEX f;
        f.nChannels = static_cast<win::WORD>(channels);
        f.nSamplesPerSec = static_cast<win::DWORD>(rate);
        f.wBitsPerSample = static_cast<win::WORD>(bits);
        f.nBlockAlign = static_cast<win::WORD>(channels * bits / 8);
        f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
        win::HWAVEOUT wo = nullptr;
        EXPECT_EQ(
            audio_->waveOutOpen(&wo, win::WAVE_MAPPER, &f,
                                reinterpret_cast<std::uintptr_t>(kWindow), 0, win::CALLBACK_WINDOW),
            win::MMSYSERR_NOERROR);
        return wo;
    }
    void Queue(win::HWAVEOUT wo, WAVEHDR& h, std::vector<char>& data) {
        h.lpData = data.data();
        h.dwBufferLength = static_cast<win::DWORD>(data.size());
        ASSERT_EQ(audio_->waveOutPrepareHeader(wo, &h, sizeof h), win::MMSYSERR_NOERROR);
        ASSERT_EQ(audio_->waveOutWrite(wo, &h, sizeof h), win::MMSYSERR_NOERROR);
    }

    std::string file_;
    std::string cueFile_;
    Posted posted_;
    std::unique_ptr<win::LinuxAudio> audio_;
};

std::vector<char> Pcm16(std::size_t frames, int channels, std::int16_t base) {
    std::vector<char> out(frames * channels * 2);
    for (std::size_t i = 0; i < frames * channels; ++i) {
        const auto v = static_cast<std::int16_t>(base + static_cast<int>(i % 977) * 7);
        out[2 * i] = static_cast<char>(v & 0xFF);
        out[2 * i + 1] = static_cast<char>((v >> 8) & 0xFF);
    }
    return out;
}

std::vector<std::int16_t> AsSamples(const std::vector<char>& bytes) {
    std::vector<std::int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

bool Contains(const std::vector<std::int16_t>& hay, const std::vector<std::int16_t>& needle) {
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

// A RIFF WAVE image of 16-bit samples at `rate`.
std::string WaveImage(const std::vector<char>& pcm, int rate, int channels) {
    std::string b = "RIFF";
    auto put32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
    };
    auto put16 = [&b](std::uint16_t v) {
        b.push_back(static_cast<char>(v));
        b.push_back(static_cast<char>(v >> 8));
    };
    put32(static_cast<std::uint32_t>(36 + pcm.size()));
    b += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(static_cast<std::uint16_t>(channels));
    put32(static_cast<std::uint32_t>(rate));
    put32(static_cast<std::uint32_t>(rate * channels * 2));
    put16(static_cast<std::uint16_t>(channels * 2));
    put16(16);
    b += "data";
    put32(static_cast<std::uint32_t>(pcm.size()));
    b.append(pcm.begin(), pcm.end());
    return b;
}

TEST_F(AudioTest, DeviceGetsExactlyTheQueuedBytesAndEachBlockIsReportedOnce) {
    ASSERT_GE(audio_->waveOutGetNumDevs(), 1u);
    win::HWAVEOUT wo = Open(win::LinuxAudio::kDeviceRate, 16, 2);
    std::vector<std::vector<char>> data = {Pcm16(3000, 2, 100), Pcm16(1, 2, -5000),
                                           Pcm16(2500, 2, 9000)};
    WAVEHDR h[3];
    for (int i = 0; i < 3; ++i) Queue(wo, h[i], data[static_cast<std::size_t>(i)]);
    EXPECT_EQ(audio_->waveOutClose(wo), win::WAVERR_STILLPLAYING);
    ASSERT_TRUE(posted_.WaitFor(win::MM_WOM_DONE, 3));
    const auto done = posted_.Of(win::MM_WOM_DONE);
    ASSERT_EQ(done.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(done[static_cast<std::size_t>(i)].hwnd, kWindow);
        EXPECT_EQ(done[static_cast<std::size_t>(i)].wParam, reinterpret_cast<win::WPARAM>(wo));
        EXPECT_EQ(done[static_cast<std::size_t>(i)].lParam, reinterpret_cast<win::LPARAM>(&h[i]));
        EXPECT_TRUE(h[i].dwFlags & win::WHDR_DONE);
        EXPECT_FALSE(h[i].dwFlags & win::WHDR_INQUEUE);
        EXPECT_EQ(audio_->waveOutUnprepareHeader(wo, &h[i], sizeof h[i]), win::MMSYSERR_NOERROR);
    }
    EXPECT_EQ(audio_->waveOutClose(wo), win::MMSYSERR_NOERROR);
    EXPECT_EQ(posted_.Of(win::MM_WOM_OPEN).size(), 1u);
    EXPECT_EQ(posted_.Of(win::MM_WOM_CLOSE).size(), 1u);
    std::vector<char> all;
    for (const auto& d : data) all.insert(all.end(), d.begin(), d.end());
    EXPECT_TRUE(Contains(Output(), AsSamples(all)));
}

TEST_F(AudioTest, ResetSilencesAtOnceAndReturnsEveryPendingBlock) {
    win::HWAVEOUT wo = Open(11025, 8, 1);
    std::vector<std::vector<char>> data(16, std::vector<char>(8192));
    WAVEHDR h[16];
    for (std::size_t i = 0; i < 16; ++i) {
        for (std::size_t j = 0; j < data[i].size(); ++j) {
            data[i][j] = static_cast<char>((j / 20) % 2 ? 0x20 : 0xE0);  // a loud square
        }
        Queue(wo, h[i], data[i]);
    }
    ASSERT_TRUE(posted_.WaitFor(win::MM_WOM_DONE, 1));  // playing has begun
    ASSERT_EQ(audio_->waveOutReset(wo), win::MMSYSERR_NOERROR);
    // Every block is back when reset returns, in queue order, each once.
    const auto done = posted_.Of(win::MM_WOM_DONE);
    ASSERT_EQ(done.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(done[i].lParam, reinterpret_cast<win::LPARAM>(&h[i]));
        EXPECT_TRUE(h[i].dwFlags & win::WHDR_DONE);
    }
    EXPECT_EQ(audio_->waveOutClose(wo), win::MMSYSERR_NOERROR);
    std::this_thread::sleep_for(100ms);  // the device goes on consuming silence
    const auto out = Output();
    ASSERT_GT(out.size(), 20000u);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](std::int16_t s) { return s != 0; }));
    // 12 s of sound were queued; a few buffers after the reset everything is silent.
    const std::size_t tail = 10 * win::LinuxAudio::kDeviceFrames * 2;
    EXPECT_TRUE(std::all_of(out.end() - static_cast<long>(tail), out.end(),
                            [](std::int16_t s) { return s == 0; }));
    EXPECT_LT(std::count_if(out.begin(), out.end(), [](std::int16_t s) { return s != 0; }),
              static_cast<long>(16 * 8192 * 4 * 2 / 2));
}

TEST_F(AudioTest, EveryRateAndSampleFormatPlaysAndIsReported) {
    struct Format {
        int rate, bits, channels;
    };
    const Format formats[] = {
        {11025, 8, 1}, {16000, 16, 1}, {16537, 8, 1}, {22050, 16, 2}, {48000, 8, 2}};
    std::vector<char> data(4000, 0x70);
    WAVEHDR h[std::size(formats)];
    std::vector<win::HWAVEOUT> handles;
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        handles.push_back(Open(formats[i].rate, formats[i].bits, formats[i].channels));
        Queue(handles.back(), h[i], data);  // all play at once, mixed
    }
    ASSERT_TRUE(posted_.WaitFor(win::MM_WOM_DONE, std::size(formats)));
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        EXPECT_TRUE(h[i].dwFlags & win::WHDR_DONE) << formats[i].rate;
        EXPECT_EQ(audio_->waveOutClose(handles[i]), win::MMSYSERR_NOERROR);
    }
    const auto out = Output();
    // The blocks were mixed into what the device received.
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](std::int16_t s) { return s != 0; }));
}

TEST_F(AudioTest, WaveOutErrorsUseWindowsCodes) {
    win::WAVEFORMATEX f;
    f.wBitsPerSample = 24;
    win::HWAVEOUT wo = nullptr;
    EXPECT_EQ(audio_->waveOutOpen(&wo, win::WAVE_MAPPER, &f, 0, 0, 0), win::WAVERR_BADFORMAT);
    f.wBitsPerSample = 8;
    EXPECT_EQ(audio_->waveOutOpen(&wo, 99, &f, 0, 0, 0), win::MMSYSERR_BADDEVICEID);
    EXPECT_EQ(audio_->waveOutOpen(nullptr, win::WAVE_MAPPER, &f, 0, 0, 0),
              win::MMSYSERR_INVALPARAM);
    EXPECT_EQ(audio_->waveOutOpen(nullptr, win::WAVE_MAPPER, &f, 0, 0, 1 /* query */),
              win::MMSYSERR_NOERROR);
    win::WAVEOUTCAPSA caps;
    EXPECT_EQ(audio_->waveOutGetDevCapsA(0, &caps, sizeof caps), win::MMSYSERR_NOERROR);
    EXPECT_GT(std::strlen(caps.szPname), 0u);
    EXPECT_EQ(audio_->waveOutGetDevCapsA(99, &caps, sizeof caps), win::MMSYSERR_BADDEVICEID);
    EXPECT_FALSE(audio_->HasSoundDevice());  // the disk driver is no loudspeaker

    ASSERT_EQ(audio_->waveOutOpen(&wo, 0, &f, 0, 0, win::CALLBACK_NULL), win::MMSYSERR_NOERROR);
    std::vector<char> data(100000, 0x40);
    WAVEHDR h;
    h.lpData = data.data();
    h.dwBufferLength = static_cast<win::DWORD>(data.size());
    EXPECT_EQ(audio_->waveOutWrite(wo, &h, sizeof h), win::WAVERR_UNPREPARED);
    // A header smaller than ours would be written past when it is queued.
    EXPECT_EQ(audio_->waveOutPrepareHeader(wo, &h, 32), win::MMSYSERR_INVALPARAM);
    ASSERT_EQ(audio_->waveOutPrepareHeader(wo, &h, sizeof h), win::MMSYSERR_NOERROR);
    EXPECT_EQ(audio_->waveOutWrite(wo, &h, 32), win::MMSYSERR_INVALPARAM);
    ASSERT_EQ(audio_->waveOutWrite(wo, &h, sizeof h), win::MMSYSERR_NOERROR);
    EXPECT_EQ(audio_->waveOutWrite(wo, &h, sizeof h), win::WAVERR_STILLPLAYING);
    EXPECT_EQ(audio_->waveOutUnprepareHeader(wo, &h, sizeof h), win::WAVERR_STILLPLAYING);
    EXPECT_EQ(audio_->waveOutClose(wo), win::WAVERR_STILLPLAYING);
    EXPECT_EQ(audio_->waveOutReset(wo), win::MMSYSERR_NOERROR);
    EXPECT_TRUE(h.dwFlags & win::WHDR_DONE);  // no window: flags only
    EXPECT_TRUE(posted_.Of(win::MM_WOM_DONE).empty());
    EXPECT_EQ(audio_->waveOutClose(wo), win::MMSYSERR_NOERROR);
    // The closed handle is dead, also for a later open that reuses its slot.
    win::HWAVEOUT again = nullptr;
    ASSERT_EQ(audio_->waveOutOpen(&again, 0, &f, 0, 0, 0), win::MMSYSERR_NOERROR);
    EXPECT_NE(again, wo);
    EXPECT_EQ(audio_->waveOutReset(wo), win::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(audio_->waveOutPrepareHeader(nullptr, &h, sizeof h), win::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(audio_->waveOutClose(again), win::MMSYSERR_NOERROR);
}

TEST_F(AudioTest, SynchronousCueReturnsAfterItsLastSample) {
    const auto pcm = Pcm16(20000, 2, 300);
    const std::string image = WaveImage(pcm, win::LinuxAudio::kDeviceRate, 2);
    EXPECT_EQ(audio_->sndPlaySoundA(image.data(), win::SND_MEMORY | win::SND_SYNC), win::TRUE);
    // Closing the device right away would cut a cue that was still playing.
    EXPECT_TRUE(Contains(Output(), AsSamples(pcm)));
}

TEST_F(AudioTest, NewCueCutsThePlayingOneAndLoopsStopOnNull) {
    const auto longPcm = std::vector<char>(44100 * 4 * 10, 0x11);  // 10 s of 0x1111
    const std::string longImage = WaveImage(longPcm, 44100, 2);
    const auto shortPcm = Pcm16(3000, 2, -2000);
    cueFile_ = WaveImage(shortPcm, 44100, 2);
    ASSERT_EQ(audio_->sndPlaySoundA(longImage.data(), win::SND_MEMORY | win::SND_ASYNC), win::TRUE);
    std::this_thread::sleep_for(20ms);
    ASSERT_EQ(audio_->sndPlaySoundA("C:\\SONS\\CUE.WAV", win::SND_SYNC), win::TRUE);
    const auto loopPcm = std::vector<char>(400, 0x22);  // 100 frames of 0x2222
    const std::string loopImage = WaveImage(loopPcm, 44100, 2);
    ASSERT_EQ(
        audio_->sndPlaySoundA(loopImage.data(), win::SND_MEMORY | win::SND_ASYNC | win::SND_LOOP),
        win::TRUE);
    std::this_thread::sleep_for(150ms);
    ASSERT_EQ(audio_->sndPlaySoundA(nullptr, 0), win::TRUE);
    std::this_thread::sleep_for(50ms);
    const auto out = Output();

    const auto cut = Contains(out, AsSamples(shortPcm));
    EXPECT_TRUE(cut);
    const auto longCount = std::count(out.begin(), out.end(), std::int16_t{0x1111});
    EXPECT_GT(longCount, 0);
    EXPECT_LT(longCount, 44100 * 2 * 10);  // cut well before its end
    const auto loopCount = std::count(out.begin(), out.end(), std::int16_t{0x2222});
    EXPECT_GT(loopCount, 100 * 2 * 10);  // more than ten rounds of the loop
    // Stopped: the last buffers are silent.
    EXPECT_TRUE(std::all_of(out.end() - 4096, out.end(), [](std::int16_t s) { return s == 0; }));
    // The short cue played after the long one, and nothing of the long one came after it.
    const auto shortSamples = AsSamples(shortPcm);
    const auto shortAt =
        std::search(out.begin(), out.end(), shortSamples.begin(), shortSamples.end());
    EXPECT_EQ(std::find(shortAt, out.end(), std::int16_t{0x1111}), out.end());
}

TEST_F(AudioTest, MissingOrBrokenSoundPlaysTheDefaultUnlessNoDefault) {
    EXPECT_EQ(audio_->sndPlaySoundA("C:\\NADA.WAV", win::SND_SYNC | win::SND_NODEFAULT),
              win::FALSE);
    // A header whose data chunk claims far more than the image holds: clamped to the image.
    auto pcm = std::vector<char>(400, 0x33);
    std::string lying = WaveImage(pcm, 44100, 2);
    lying[40] = lying[41] = lying[42] = '\x7F';
    EXPECT_EQ(audio_->sndPlaySoundA(lying.data(), win::SND_MEMORY | win::SND_SYNC), win::TRUE);
    std::string notWave = "RIFF\x04\0\0\0WAVX";
    EXPECT_EQ(
        audio_->sndPlaySoundA(notWave.data(), win::SND_MEMORY | win::SND_SYNC | win::SND_NODEFAULT),
        win::FALSE);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(audio_->sndPlaySoundA("C:\\NADA.WAV", win::SND_SYNC), win::TRUE);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    const auto out = Output();
    EXPECT_EQ(std::count(out.begin(), out.end(), std::int16_t{0x3333}), 200);
    // The chime is the only other sound.
    EXPECT_GT(
        std::count_if(out.begin(), out.end(), [](std::int16_t s) { return s != 0 && s != 0x3333; }),
        1000);
}

TEST(AudioNoDevice, FallsBackToTheDummyDriverWhenTheSystemHasNoDevice) {
    // alsa on a machine without a card lists nothing; elsewhere it may list a card.
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    win::LinuxAudio audio(nullptr);
    const win::UINT n = audio.waveOutGetNumDevs();
    EXPECT_GE(n, 1u);
    if (audio.DriverName() != "alsa") {
        EXPECT_EQ(audio.DriverName(), "dummy");
    }
    // Clips follow: no device here means no device for their sound either.
    EXPECT_EQ(audio.HasSoundDevice(), audio.DriverName() == "alsa");
    EXPECT_EQ(audio.MessageBeep(0), win::TRUE);
}

}  // namespace
