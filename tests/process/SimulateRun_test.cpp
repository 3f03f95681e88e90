// The scripted whole-program runner and its transcript.
#include "process/SimulateRun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "speech/tfsapglb.h"

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Echoes keys until Esc, beeping on 'b'.
void EchoMain() {
    sonara::ConsoleWriteLine("Ol\xE1");
    for (;;) {
        std::uint8_t k = sonara::ReadKey();
        if (k == 27) break;
        if (k == 'b') sonara::ConsoleWrite("\a");
    }
    sonara::DoneConsole();
}

TEST(SimulateRun, TranscriptOfKeysBeepScreenAndExit) {
    std::ostringstream out;
    auto r = sonara::RunSimulated("wait 100\nkey f1\nkey b\nwait 50\nkey esc", EchoMain, out);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.idle);
    auto lines = LinesOf(out.str());
    ASSERT_GE(lines.size(), 30u);
    EXPECT_EQ(lines[0], "0 title c:\\sonara\\sonara.exe");
    std::vector<std::string> tail(lines.end() - 27, lines.end());
    EXPECT_EQ(tail[0], "150 screen");
    EXPECT_EQ(tail[1], "Ol\xC3\xA1");  // Windows-1252 shown as UTF-8
    EXPECT_EQ(tail[2], "");
    EXPECT_EQ(tail[26], "150 exit 0");
    std::vector<std::string> middle(lines.begin() + 1, lines.end() - 27);
    EXPECT_EQ(middle,
              (std::vector<std::string>{"100 key 0 59", "100 key 98", "100 beep", "150 key 27"}));
}

TEST(SimulateRun, ScriptExhaustedWhileWaitingPrintsIdleAndNoExit) {
    std::ostringstream out;
    auto r = sonara::RunSimulated("key x", EchoMain, out);
    EXPECT_TRUE(r.idle);
    auto lines = LinesOf(out.str());
    ASSERT_GE(lines.size(), 27u);
    EXPECT_EQ(lines[lines.size() - 27], "0 idle");
    EXPECT_EQ(lines[lines.size() - 26], "0 screen");
    EXPECT_EQ(out.str().find("exit"), std::string::npos);
}

TEST(SimulateRun, ExtensionsAndFormatterAndScriptErrors) {
    sonara::SimulateSetup setup;
    int marks = 0;
    setup.extension = [&](std::string_view line, std::uint32_t) {
        if (line != "mark") return false;
        ++marks;
        return true;
    };
    setup.format = [](const sim::Event& e) -> std::optional<std::string> {
        if (e.kind == "beep") return std::string("bell");
        if (e.kind == "window") return std::string();  // left out, title included
        return std::nullopt;
    };
    std::ostringstream out;
    auto r = sonara::RunSimulated("mark\nkey b\nwait 10\nkey esc", EchoMain, out, setup);
    EXPECT_EQ(marks, 1);
    EXPECT_TRUE(r.error.empty());
    auto lines = LinesOf(out.str());
    EXPECT_EQ(lines[0], "0 key 98");
    EXPECT_EQ(lines[1], "0 bell");

    std::ostringstream bad;
    r = sonara::RunSimulated("frobnicate\n", EchoMain, bad, setup);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(bad.str().empty());
}

// Polls for Esc without ever blocking: a busy wait.
void SpinningMain() {
    while (!sonara::KeyPressed()) {
    }
    sonara::DoneConsole();
}

TEST(SimulateRun, ABusyWaitFailsTheRunWithAClearMessage) {
    std::ostringstream out;
    auto r = sonara::RunSimulated("wait 5000\nkey esc", SpinningMain, out);
    EXPECT_NE(r.error.find("busy wait at "), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("a wait must block"), std::string::npos) << r.error;
    EXPECT_NE(out.str().find(" failed\n"), std::string::npos);
    EXPECT_EQ(out.str().find("exit"), std::string::npos);
    // The same program with the key coming soon enough peeks within the bound.
    std::ostringstream soon;
    r = sonara::RunSimulated("wait 20\nkey esc", SpinningMain, soon);
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_NE(soon.str().find("exit 0"), std::string::npos);
}

}  // namespace

namespace {

std::string WavBytes(std::size_t samples) {
    auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    return "RIFF" + le(static_cast<std::uint32_t>(36 + samples), 4) + "WAVEfmt " + le(16, 4) +
           le(1, 2) + le(1, 2) + le(11025, 4) + le(11025, 4) + le(1, 2) + le(8, 2) + "data" +
           le(static_cast<std::uint32_t>(samples), 4) + std::string(samples, '\x90');
}

TEST(SimulateRun, SpeechShowsEachWavFileOpenedAndEachBlockWithItsFormat) {
    std::ostringstream out;
    sonara::SimulateSetup setup;
    setup.prepare = [](sim::SimMachine& m) {
        m.AddFile("c:\\som\\_65.wav", WavBytes(11025));
        m.AddFile("c:\\som\\dados.ini", "[A]\r\n");
    };
    auto r = sonara::RunSimulated(
        "",
        [] {
            win::ReadWholeFile("c:\\som\\dados.ini");  // not a sound: not shown
            sonara::PlayWavFile("c:\\som\\_65.wav");
            sonara::DoneConsole();  // the back end's shutdown step unregisters its sink
        },
        out, setup);
    EXPECT_EQ(r.exitCode, 0);
    auto lines = LinesOf(out.str());
    // 11025 bytes at 11025 a second: 8192 and 2833 bytes, done after one second.
    std::vector<std::string> head(lines.begin(), lines.begin() + 4);
    EXPECT_EQ(head,
              (std::vector<std::string>{"0 title c:\\sonara\\sonara.exe", "0 file c:\\som\\_65.wav",
                                        "0 wave 8192 11025/8/1", "0 wave 2833 11025/8/1"}));
    EXPECT_EQ(lines[4], "1000 screen");
}

TEST(SimulateRun, TheSpeechServersCallsAreInTheTranscript) {
    std::ostringstream out;
    sonara::SimulateSetup setup;
    setup.prepare = [](sim::SimMachine& m) {
        m.AddFile("c:\\windows\\Sonara.ini",
                  "[TRADUTOR]\r\nSAPI=S\r\n[SERVFALA]\r\nTIPOSAPI=4\r\n");
    };
    auto r = sonara::RunSimulated(
        "",
        [] {
            // Without a diphone database the start-up would end the program before the
            // server: start the server the way StartSpeech does.
            sonara::ServerStart(1, 0, 0, 4, "");
            sonara::ServerSpeak("7");  // "7." takes 120 ms
            while (sonara::ServerBusy(false)) win::WaitMessage();
            sonara::DoneConsole();  // the back end's shutdown step unregisters its sink
        },
        out, setup);
    EXPECT_EQ(r.exitCode, 0);
    auto lines = LinesOf(out.str());
    std::vector<std::string> speech;
    for (const std::string& l : lines)
        if (l.find(" sapi4 ") != std::string::npos) speech.push_back(l);
    EXPECT_EQ(speech,
              (std::vector<std::string>{
                  "0 sapi4 Reset", "0 sapi4 Next 1", "0 sapi4 Select Clara", "0 sapi4 Register",
                  "0 sapi4 TextData 7.", "0 sapi4 notify TextDataStarted",
                  "0 sapi4 notify AudioStart", "120 sapi4 notify TextDataDone",
                  "120 sapi4 notify AudioStop", "120 sapi4 UnRegister"}));
}

}  // namespace
