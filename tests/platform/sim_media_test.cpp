// Sounds, wave-out and MCI clips on the simulated machine.
#include <gtest/gtest.h>

#include <string>

#include "platform/api.h"
#include "tests/platform/support/sim_window.h"

namespace {

using simtest::TestWindow;

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

// 8-bit mono PCM at `rate` with `samples` bytes of data.
std::string Wav(std::uint32_t rate, std::uint32_t samples) {
    std::string s = "RIFF";
    Put32(s, 36 + samples);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);
    Put16(s, 1);
    Put32(s, rate);
    Put32(s, rate);
    Put16(s, 1);
    Put16(s, 8);
    s += "data";
    Put32(s, samples);
    s.append(samples, '\x80');
    return s;
}

TEST(SimSound, SyncSoundTakesItsLengthAndKeysWaitInTheQueue) {
    sim::SimMachine m;
    TestWindow w(m);
    w.Pump();
    m.AddFile("c:\\som\\plin.wav", Wav(11025, 5513));  // 500.05 ms
    m.PressKey(*sim::ParseKeySpec("a"), 100);
    std::size_t before = w.got.size();
    EXPECT_TRUE(win::sndPlaySoundA("C:\\SOM\\plin.wav", win::SND_SYNC));
    EXPECT_EQ(win::GetTickCount(), 501u);
    EXPECT_EQ(w.got.size(), before);  // nothing dispatched during the sound
    w.Pump();
    EXPECT_EQ(w.Of({win::WM_CHAR}).size(), 1u);
    ASSERT_EQ(m.Sounds().size(), 1u);
    EXPECT_EQ(m.Sounds()[0].name, "c:\\som\\plin.wav");
    EXPECT_FALSE(m.SoundPlaying());
}

TEST(SimSound, AsyncLoopCutAndStop) {
    sim::SimMachine m;
    win::SetBackend(&m);
    m.SetAssumeMediaExists(true);
    m.SetCueLength(300);
    EXPECT_TRUE(win::sndPlaySoundA("c:\\som\\aeiou.wav", win::SND_ASYNC));
    EXPECT_EQ(win::GetTickCount(), 0u);
    EXPECT_TRUE(m.SoundPlaying());
    win::Sleep(300);
    EXPECT_FALSE(m.SoundPlaying());  // the cue's length has passed

    std::string tone = Wav(11025, 100);
    const win::UINT loop = win::SND_ASYNC | win::SND_MEMORY | win::SND_LOOP;
    EXPECT_TRUE(win::sndPlaySoundA(tone.data(), loop));
    win::Sleep(10000);
    EXPECT_TRUE(m.SoundPlaying());  // loops until stopped
    EXPECT_FALSE(
        win::sndPlaySoundA(tone.data(), win::SND_ASYNC | win::SND_MEMORY | win::SND_NOSTOP));
    EXPECT_TRUE(win::sndPlaySoundA("c:\\som\\plin.wav", win::SND_ASYNC));  // cuts the tone
    EXPECT_TRUE(win::sndPlaySoundA(nullptr, win::SND_ASYNC));
    EXPECT_FALSE(m.SoundPlaying());

    ASSERT_EQ(m.Sounds().size(), 3u);
    EXPECT_EQ(m.Sounds()[1].bytes, tone);  // the memory image, byte for byte
    EXPECT_EQ(m.Sounds()[1].flags, loop);
    int cuts = 0, stops = 0;
    for (const auto& e : m.Events()) {
        if (e.kind == "sound-stop") (e.detail == "cut" ? cuts : stops)++;
    }
    EXPECT_EQ(cuts, 1);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(win::sndPlaySoundA(tone.data(), win::SND_SYNC | win::SND_LOOP | win::SND_MEMORY));
}

TEST(SimSound, MissingFilePlaysTheDefaultUnlessNoDefault) {
    sim::SimMachine m;
    win::SetBackend(&m);
    m.SetAssumeMediaExists(true);
    m.MarkMediaMissing("A");
    m.AddFile("c:\\broken.wav", "not a wave");
    EXPECT_FALSE(win::sndPlaySoundA("c:\\som\\a.wav", win::SND_ASYNC | win::SND_NODEFAULT));
    EXPECT_TRUE(m.Sounds().empty());
    EXPECT_TRUE(win::sndPlaySoundA("c:\\som\\a.wav", win::SND_ASYNC));
    EXPECT_TRUE(win::sndPlaySoundA("c:\\broken.wav", win::SND_ASYNC));
    ASSERT_EQ(m.Sounds().size(), 2u);
    EXPECT_EQ(m.Sounds()[0].name, "default");
    EXPECT_EQ(m.Sounds()[1].name, "default");
    EXPECT_FALSE(win::sndPlaySoundA("garbage", win::SND_MEMORY | win::SND_NODEFAULT));
}

struct WaveOut : ::testing::Test {
    sim::SimMachine m;
    TestWindow w{m};
    win::HWAVEOUT wo = nullptr;
    win::WAVEFORMATEX format;  // 8-bit mono 11025: 11025 bytes a second
    char data[2][1103] = {};
    win::WAVEHDR hdr[2];
    void SetUp() override {
        w.Pump();
        ASSERT_EQ(
            win::waveOutOpen(&wo, win::WAVE_MAPPER, &format,
                             reinterpret_cast<std::uintptr_t>(w.hwnd), 0, win::CALLBACK_WINDOW),
            win::MMSYSERR_NOERROR);
        for (int i = 0; i < 2; ++i) {
            data[i][0] = static_cast<char>('a' + i);
            hdr[i].lpData = data[i];
            hdr[i].dwBufferLength = sizeof data[i];
            ASSERT_EQ(win::waveOutPrepareHeader(wo, &hdr[i], sizeof hdr[i]), 0u);
        }
    }
    std::vector<simtest::Got> Done() const { return w.Of({win::MM_WOM_DONE}); }
};

TEST_F(WaveOut, BlocksFinishAtTheByteRateInOrder) {
    win::WAVEOUTCAPSA caps;
    ASSERT_EQ(win::waveOutGetDevCapsA(0, &caps, sizeof caps), 0u);
    EXPECT_STREQ(caps.szPname, "Simulated wave output");
    EXPECT_EQ(win::waveOutGetNumDevs(), 1u);
    ASSERT_EQ(win::waveOutWrite(wo, &hdr[0], sizeof hdr[0]), 0u);
    ASSERT_EQ(win::waveOutWrite(wo, &hdr[1], sizeof hdr[1]), 0u);
    EXPECT_EQ(win::waveOutWrite(wo, &hdr[1], sizeof hdr[1]), win::WAVERR_STILLPLAYING);
    EXPECT_EQ(win::waveOutUnprepareHeader(wo, &hdr[0], sizeof hdr[0]), win::WAVERR_STILLPLAYING);
    EXPECT_EQ(win::waveOutClose(wo), win::WAVERR_STILLPLAYING);
    win::Sleep(100);  // 1103 bytes take 100.05 ms
    w.Pump();
    EXPECT_TRUE(Done().empty());
    win::WaitMessage();
    EXPECT_EQ(win::GetTickCount(), 101u);
    w.Pump();
    ASSERT_EQ(Done().size(), 1u);
    EXPECT_EQ(Done()[0].wp, reinterpret_cast<win::WPARAM>(wo));
    EXPECT_EQ(Done()[0].lp, reinterpret_cast<win::LPARAM>(&hdr[0]));
    EXPECT_TRUE(hdr[0].dwFlags & win::WHDR_DONE);
    EXPECT_FALSE(hdr[1].dwFlags & win::WHDR_DONE);
    win::WaitMessage();
    EXPECT_EQ(win::GetTickCount(), 201u);  // back to back: 2206 bytes
    w.Pump();
    ASSERT_EQ(Done().size(), 2u);
    ASSERT_EQ(m.WaveWrites().size(), 2u);
    EXPECT_EQ(m.WaveWrites()[1].bytes[0], 'b');
    EXPECT_EQ(win::waveOutUnprepareHeader(wo, &hdr[0], 32), win::MMSYSERR_INVALPARAM);
    EXPECT_EQ(win::waveOutUnprepareHeader(wo, &hdr[0], sizeof hdr[0]), 0u);
    EXPECT_EQ(win::waveOutWrite(wo, &hdr[0], sizeof hdr[0]), win::WAVERR_UNPREPARED);
    EXPECT_EQ(win::waveOutPrepareHeader(wo, &hdr[0], 32), win::MMSYSERR_INVALPARAM);
    EXPECT_EQ(win::waveOutClose(wo), 0u);
    EXPECT_EQ(win::waveOutWrite(wo, &hdr[1], sizeof hdr[1]), win::MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOut, ResetReturnsEveryPendingBlockAtOnce) {
    win::waveOutWrite(wo, &hdr[0], sizeof hdr[0]);
    win::waveOutWrite(wo, &hdr[1], sizeof hdr[1]);
    win::Sleep(20);
    ASSERT_EQ(win::waveOutReset(wo), 0u);
    EXPECT_TRUE(hdr[0].dwFlags & win::WHDR_DONE);
    EXPECT_TRUE(hdr[1].dwFlags & win::WHDR_DONE);
    EXPECT_FALSE(hdr[1].dwFlags & win::WHDR_INQUEUE);
    w.Pump();
    ASSERT_EQ(Done().size(), 2u);
    EXPECT_EQ(Done()[1].lp, reinterpret_cast<win::LPARAM>(&hdr[1]));
    // Nothing is left to finish: a later write starts from now.
    win::waveOutWrite(wo, &hdr[0], sizeof hdr[0]);
    win::WaitMessage();
    EXPECT_EQ(win::GetTickCount(), 20u + 101u);
    EXPECT_EQ(win::waveOutClose(wo), 0u);
}

TEST(SimWaveOut, RejectsBadDevicesAndFormats) {
    sim::SimMachine m;
    win::SetBackend(&m);
    win::HWAVEOUT wo = nullptr;
    win::WAVEFORMATEX f;
    EXPECT_EQ(win::waveOutOpen(&wo, 1, &f, 0, 0, 0), win::MMSYSERR_BADDEVICEID);
    f.wBitsPerSample = 12;
    EXPECT_EQ(win::waveOutOpen(&wo, 0, &f, 0, 0, 0), win::WAVERR_BADFORMAT);
    EXPECT_EQ(win::waveOutReset(nullptr), win::MMSYSERR_INVALHANDLE);
}

struct Mci : ::testing::Test {
    sim::SimMachine m;
    TestWindow w{m};
    void SetUp() override {
        w.Pump();
        m.AddFile("c:\\jogo\\A.mp4", "clip");
        m.SetClipLength(2000);
    }
    win::MCIERROR Send(const std::string& command) {
        char reply[256];
        return win::mciSendStringA(command.c_str(), reply, 255, w.hwnd);
    }
    std::vector<simtest::Got> Notes() const { return w.Of({win::MM_MCINOTIFY}); }
};

TEST_F(Mci, PlayNotifiesAtTheClipsEnd) {
    ASSERT_EQ(Send("open \"c:\\jogo\\a.mp4\" type mpegVideo alias pipoco"), 0u);
    EXPECT_EQ(Send("where pipoco source"), 0u);
    EXPECT_EQ(
        Send("window pipoco handle " + std::to_string(reinterpret_cast<std::uintptr_t>(w.hwnd))),
        0u);
    EXPECT_EQ(Send("put pipoco window at 0 0 1032 795"), 0u);
    EXPECT_EQ(Send("play pipoco notify"), 0u);
    win::Sleep(1999);
    w.Pump();
    EXPECT_TRUE(Notes().empty());
    win::WaitMessage();
    EXPECT_EQ(win::GetTickCount(), 2000u);
    w.Pump();
    ASSERT_EQ(Notes().size(), 1u);
    EXPECT_EQ(Notes()[0].wp, win::MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Notes()[0].lp, 1);  // the device id
    EXPECT_EQ(Send("close pipoco"), 0u);
    EXPECT_EQ(Notes().size(), 1u);  // nothing was pending any more
    ASSERT_EQ(m.MciCommands().size(), 6u);
    EXPECT_EQ(m.MciCommands()[4].command, "play pipoco notify");
}

TEST_F(Mci, CloseAbortsAPendingNotification) {
    ASSERT_EQ(Send("open \"c:\\jogo\\A.mp4\" type mpegVideo alias pipoco"), 0u);
    Send("play pipoco notify");
    win::Sleep(500);
    EXPECT_EQ(Send("close pipoco"), 0u);
    w.Pump();
    ASSERT_EQ(Notes().size(), 1u);
    EXPECT_EQ(Notes()[0].wp, win::MCI_NOTIFY_ABORTED);
    win::Sleep(5000);
    w.Pump();
    EXPECT_EQ(Notes().size(), 1u);  // the cancelled end never arrives
}

TEST_F(Mci, ErrorsForMissingFilesAliasesAndVerbs) {
    EXPECT_EQ(Send("open \"c:\\jogo\\B.mp4\" type mpegVideo alias pipoco"),
              win::MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(Send("play pipoco notify"), win::MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send("dance pipoco"), win::MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(Send("open \"c:\\jogo\\A.mp4"), win::MCIERR_NO_CLOSING_QUOTE);
    m.SetAssumeMediaExists(true);
    m.MarkMediaMissing("caixa-aberta");
    EXPECT_EQ(Send("open \"c:\\jogo\\B.mp4\" type mpegVideo alias pipoco"), 0u);
    EXPECT_EQ(Send("open \"c:\\jogo\\B.mp4\" type mpegVideo alias pipoco"),
              win::MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(Send("open \"c:\\jogo\\caixa-aberta.mp4\" type mpegVideo alias x"),
              win::MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(m.MciCommands()[0].result, win::MCIERR_FILE_NOT_FOUND);
}

TEST_F(Mci, WindowShowsTheClipThenItsLastFrameUntilItIsClosed) {
    using sim::Picture;
    const std::string handle = std::to_string(reinterpret_cast<std::uintptr_t>(w.hwnd));
    ASSERT_EQ(Send("open \"c:\\jogo\\A.mp4\" type mpegVideo alias pipoco"), 0u);
    ASSERT_EQ(Send("window pipoco handle " + handle), 0u);
    const std::uint32_t start = m.Now();
    EXPECT_EQ(m.PictureAt(w.hwnd, start).picture, Picture::kOwnDrawing);  // open, not playing
    ASSERT_EQ(Send("play pipoco notify"), 0u);
    win::Sleep(3000);
    w.Pump();
    ASSERT_EQ(Notes().size(), 1u);
    EXPECT_EQ(Send("close pipoco"), 0u);
    auto at = [&](std::uint32_t t) { return m.PictureAt(w.hwnd, start + t); };
    EXPECT_EQ(at(0).picture, Picture::kClipPlaying);
    EXPECT_EQ(at(0).clip, "c:\\jogo\\A.mp4");
    EXPECT_EQ(at(1999).picture, Picture::kClipPlaying);
    EXPECT_EQ(at(2000).picture, Picture::kClipLastFrame);  // ended, still open
    EXPECT_EQ(at(2000).clip, "c:\\jogo\\A.mp4");
    EXPECT_EQ(at(2999).picture, Picture::kClipLastFrame);
    EXPECT_EQ(at(3000).picture, Picture::kOwnDrawing);  // closed
    EXPECT_EQ(at(3000).clip, "");
    std::vector<std::string> recorded;
    for (const auto& e : m.Events())
        if (e.kind == "picture") recorded.push_back(e.detail);
    EXPECT_EQ(recorded, (std::vector<std::string>{"clip c:\\jogo\\A.mp4",
                                                  "last-frame c:\\jogo\\A.mp4", "own"}));
    // Only the latest state of each window outlives ClearRecords.
    m.ClearRecords();
    EXPECT_EQ(m.PictureChanges().size(), 1u);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kOwnDrawing);
}

TEST_F(Mci, StopKeepsTheFrameAndTheWindowCommandMovesThePicture) {
    using sim::Picture;
    const auto other = reinterpret_cast<win::HWND>(std::uintptr_t{0x5151});
    ASSERT_EQ(Send("open \"c:\\jogo\\A.mp4\" type mpegVideo alias pipoco"), 0u);
    ASSERT_EQ(Send("play pipoco"), 0u);  // no window yet: shown nowhere
    EXPECT_TRUE(m.PictureChanges().empty());
    ASSERT_EQ(
        Send("window pipoco handle " + std::to_string(reinterpret_cast<std::uintptr_t>(w.hwnd))),
        0u);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kClipPlaying);
    win::Sleep(500);
    ASSERT_EQ(Send("stop pipoco"), 0u);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kClipLastFrame);
    win::Sleep(5000);  // the cancelled end changes nothing
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kClipLastFrame);
    ASSERT_EQ(Send("window pipoco handle " + std::to_string(0x5151)), 0u);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kOwnDrawing);
    EXPECT_EQ(m.PictureAt(other, m.Now()).picture, Picture::kClipLastFrame);
    ASSERT_EQ(Send("close all"), 0u);
    EXPECT_EQ(m.PictureAt(other, m.Now()).picture, Picture::kOwnDrawing);
    EXPECT_EQ(m.PictureChanges().size(), 5u);  // playing, last frame, own; last frame, own
}

TEST_F(Mci, AnEndedClipsFrameGivesWayOnlyToTheProgramsOwnDrawing) {
    using sim::Picture;
    const std::string handle = std::to_string(reinterpret_cast<std::uintptr_t>(w.hwnd));
    auto playToItsEnd = [&] {
        ASSERT_EQ(Send("play pipoco"), 0u);
        win::Sleep(2000);
        ASSERT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kClipLastFrame);
    };
    ASSERT_EQ(Send("open \"c:\\jogo\\A.mp4\" type mpegVideo alias pipoco"), 0u);
    ASSERT_EQ(Send("window pipoco handle " + handle), 0u);
    playToItsEnd();
    // A repaint draws through BeginPaint: the frame stays.
    win::PAINTSTRUCT ps;
    win::HDC paint = win::BeginPaint(w.hwnd, &ps);
    win::TextOutA(paint, 0, 0, "x", 1);
    win::PatBlt(paint, 0, 0, 8, 8, win::PATCOPY);
    win::EndPaint(w.hwnd, &ps);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kClipLastFrame);
    // The program's own write replaces it, and so does its invalidation.
    win::HDC dc = win::GetDC(w.hwnd);
    win::TextOutA(dc, 0, 0, "fim", 3);
    win::ReleaseDC(w.hwnd, dc);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kOwnDrawing);
    playToItsEnd();
    win::InvalidateRect(w.hwnd, nullptr, win::FALSE);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kOwnDrawing);
    // While a clip plays, drawing does not hide it.
    ASSERT_EQ(Send("play pipoco"), 0u);
    dc = win::GetDC(w.hwnd);
    win::TextOutA(dc, 0, 0, "fim", 3);
    win::ReleaseDC(w.hwnd, dc);
    EXPECT_EQ(m.PictureAt(w.hwnd, m.Now()).picture, Picture::kClipPlaying);
}

}  // namespace
