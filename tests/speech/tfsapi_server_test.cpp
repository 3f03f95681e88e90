// The facade's server path with the real SAPI back ends on the simulated machine's fake
// engine: start-up from Sonara.ini, Speak returning at once, the next recording waiting
// for the server, a key stopping the server and staying queued, and the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"
#include "support/SpeechHarness.h"

namespace {

using speechtest::SpeechHarness;
using Calls = std::vector<std::string>;

Calls CallsOf(const sim::SimMachine& m, std::string_view prefix) {
    Calls out;
    for (const std::string& c : m.SpeechCalls())
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

std::string ServerIni(int type, const std::string& more = "") {
    return "SAPI=S\r\n[SERVFALA]\r\nTIPOSAPI=" + std::to_string(type) + "\r\n" + more;
}

// The time of the first recorded call that begins with `prefix`.
std::uint32_t TimeOf(const sim::SimMachine& m, std::string_view kind, std::string_view prefix) {
    for (const sim::Event& e : m.Events())
        if (e.kind == kind && e.detail.rfind(prefix, 0) == 0) return e.time;
    ADD_FAILURE() << "no " << kind << " " << prefix;
    return 0;
}

TEST(ServerStartUp, SpeedAbove10IsZeroForSapi5AndKeptForSapi4AndPitchOnlyReachesSapi4) {
    {
        SpeechHarness h(ServerIni(5, "VOZ=2\r\nVELOCIDADE=15\r\nTOM=40\r\n"));
        sonara::StartSpeech(1, "c:\\som");
        EXPECT_TRUE(sonara::Tfsapi::Current()->ServerActive);
        EXPECT_EQ(CallsOf(h.machine, "sapi5 Rate"), Calls{"sapi5 Rate 0"});
        EXPECT_EQ(CallsOf(h.machine, "sapi5 Voice"), Calls{"sapi5 Voice Tiago"});
        for (const std::string& c : h.machine.SpeechCalls())
            EXPECT_EQ(c.find("40"), std::string::npos) << c;  // the pitch goes nowhere
    }
    {
        SpeechHarness h(ServerIni(4, "VOZ=2\r\nVELOCIDADE=15\r\nTOM=40\r\n"));
        sonara::StartSpeech(1, "c:\\som");
        EXPECT_TRUE(sonara::Tfsapi::Current()->ServerActive);
        EXPECT_EQ(sonara::Tfsapi::Current()->ServerType, 4);
        EXPECT_EQ(CallsOf(h.machine, "sapi4 SpeedSet"), Calls{"sapi4 SpeedSet 15"});
        EXPECT_EQ(CallsOf(h.machine, "sapi4 PitchSet"), Calls{"sapi4 PitchSet 40"});
    }
    {
        // "TIPOSAPI" missing: SAPI 5; a negative speed passes unchanged.
        SpeechHarness h("SAPI=S\r\n[SERVFALA]\r\nVOZ=1\r\nVELOCIDADE=-5\r\n");
        sonara::StartSpeech(1, "c:\\som");
        EXPECT_TRUE(sonara::Tfsapi::Current()->ServerActive);
        EXPECT_EQ(CallsOf(h.machine, "com CoCreateInstance SpVoice"),
                  Calls{"com CoCreateInstance SpVoice 5"});
        EXPECT_EQ(CallsOf(h.machine, "sapi5 Rate"), Calls{"sapi5 Rate -5"});
    }
}

TEST(ServerStartUp, AServerThatCannotStartLeavesTheBuiltInPath) {
    SpeechHarness h(ServerIni(4));
    h.AddRecordings();
    h.machine.SpeechFault().registerFails = true;
    sonara::StartSpeech(1, "c:\\som");
    EXPECT_FALSE(sonara::Tfsapi::Current()->ServerActive);
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    sonara::Speak("7");
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 TextData").empty());
    EXPECT_FALSE(h.WaveLines().empty());  // the built-in path was heard
}

class ServerPath : public ::testing::TestWithParam<int> {};

TEST_P(ServerPath, SpeakReturnsAtOnceAndTheNextLetterWaitsForTheServer) {
    SpeechHarness h(ServerIni(GetParam()));
    h.AddRecordings();
    sonara::StartSpeech(1, "c:\\som");
    ASSERT_TRUE(sonara::Tfsapi::Current()->ServerActive);
    const std::uint32_t t0 = h.machine.Now();
    sonara::Speak("bom dia");  // 6 letters: 360 ms
    EXPECT_EQ(h.machine.Now(), t0);
    EXPECT_TRUE(h.Opened().empty());
    sonara::SpeakChar('a');
    ASSERT_EQ(h.Opened(), (std::vector<std::string>{"_97"}));
    EXPECT_GE(h.OpenTimes()[0], t0 + 360);
    EXPECT_LT(h.OpenTimes()[0], t0 + 360 + 50);
    // The letter does not wait again once the server is done.
    const std::uint32_t t1 = h.machine.Now();
    sonara::SpeakChar('b');
    EXPECT_EQ(h.OpenTimes()[1], t1);
}

TEST_P(ServerPath, TheNextSpeakWaitsForTheTextBefore) {
    SpeechHarness h(ServerIni(GetParam()));
    sonara::StartSpeech(1, "c:\\som");
    ASSERT_TRUE(sonara::Tfsapi::Current()->ServerActive);
    const std::uint32_t t0 = h.machine.Now();
    sonara::Speak("um");
    sonara::Speak("dois");
    const char* kind = GetParam() == 4 ? "sapi4" : "sapi5";
    const std::string speak = GetParam() == 4 ? "TextData dois" : "Speak 17 dois";
    EXPECT_GE(TimeOf(h.machine, kind, speak), t0 + 120);
    EXPECT_LT(TimeOf(h.machine, kind, speak), t0 + 120 + 50);
}

TEST_P(ServerPath, AKeyStopsTheServerAndStaysQueued) {
    SpeechHarness h(ServerIni(GetParam()));
    sonara::StartSpeech(1, "c:\\som");
    ASSERT_TRUE(sonara::Tfsapi::Current()->ServerActive);
    const std::uint32_t t0 = h.machine.Now();
    sonara::Speak("uma frase bem comprida para ouvir");  // 28 letters: 1680 ms
    h.Key("q", t0 + 100);
    while (sonara::IsSpeaking()) win::WaitMessage();
    const char* kind = GetParam() == 4 ? "sapi4" : "sapi5";
    const std::string stop = GetParam() == 4 ? "AudioReset" : "Speak 2 ";
    const std::uint32_t stopped = TimeOf(h.machine, kind, stop);
    EXPECT_GE(stopped, t0 + 100);
    EXPECT_LE(stopped, t0 + 100 + 20 + 50);  // one poll, and SAPI 4's delay before the reset
    EXPECT_FALSE(h.machine.SpeechSounding());
    ASSERT_TRUE(sonara::KeyPressed());
    EXPECT_EQ(sonara::ReadKey(), 'q');
    // A key that waits keeps the next text from the server.
    h.Key("w", h.machine.Now());
    sonara::Delay(1);
    const std::size_t texts = CallsOf(h.machine, kind).size();
    sonara::Speak("outra");
    EXPECT_EQ(CallsOf(h.machine, kind).size(), texts);
    EXPECT_EQ(sonara::ReadKey(), 'w');
}

TEST_P(ServerPath, EndSpeechWaitsForTheServerThenReleasesIt) {
    SpeechHarness h(ServerIni(GetParam()));
    sonara::StartSpeech(1, "c:\\som");
    ASSERT_TRUE(sonara::Tfsapi::Current()->ServerActive);
    const std::uint32_t t0 = h.machine.Now();
    sonara::Speak("bom dia");
    sonara::EndSpeech();
    EXPECT_GE(h.machine.Now(), t0 + 360);
    EXPECT_FALSE(sonara::Tfsapi::Current()->ServerActive);
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    // Heard to its end: nothing was purged or reset.
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 AudioReset").empty());
    EXPECT_TRUE(CallsOf(h.machine, "sapi5 Speak 2").empty());
}

INSTANTIATE_TEST_SUITE_P(Types, ServerPath, ::testing::Values(4, 5, 54),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Sapi" + std::to_string(info.param);
                         });

TEST(ServerPath, ADigitReachesSapi4WithAFullStopAndAnEmptyTextOnlySapi5) {
    {
        SpeechHarness h(ServerIni(4));
        sonara::StartSpeech(1, "c:\\som");
        sonara::Speak("7");
        sonara::Speak("");
        EXPECT_EQ(CallsOf(h.machine, "sapi4 TextData"), Calls{"sapi4 TextData 7."});
    }
    {
        SpeechHarness h(ServerIni(5));
        sonara::StartSpeech(1, "c:\\som");
        sonara::Speak("7");
        sonara::Speak("");
        EXPECT_EQ(CallsOf(h.machine, "sapi5 Speak "),
                  (Calls{"sapi5 Speak 17 7", "sapi5 Speak 17  "}));
    }
}

// `sonara say` runs this sequence: with the server on in Sonara.ini the text goes to the
// server, and the program ends after the server is done and released.
TEST(ServerPath, TheSayCommandsSequenceSpeaksThroughTheServer) {
    sim::SimMachine machine;
    win::SetBackend(&machine);
    machine.AddFile("c:\\windows\\Sonara.ini",
                    "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\n"
                    "SAPI=S\r\n[SERVFALA]\r\nVOZ=1\r\nVELOCIDADE=3\r\n");
    machine.AddDirectory("c:\\letras");
    for (const char* name : {"DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc"})
        machine.AddFile(std::string("c:\\difones\\") + name, "");
    std::uint32_t spoken = 0;
    int code = sonara::RunProgram([&] {
        sonara::InitConsole();
        sonara::QueueKey(13);  // the answer to a start-up error, never needed here
        sonara::StartSpeech(0, "");
        sonara::FlushKeys();
        sonara::Speak("bom dia");
        spoken = machine.Now();
        sonara::EndSpeech();
        EXPECT_GE(machine.Now(), spoken + 360);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(CallsOf(machine, "sapi5 Rate"), Calls{"sapi5 Rate 3"});
    EXPECT_EQ(CallsOf(machine, "sapi5 Speak "), Calls{"sapi5 Speak 17 bom dia"});
    EXPECT_TRUE(machine.WaveWrites().empty());  // nothing through the built-in path
    EXPECT_EQ(machine.LiveSpeechObjects(), 0);
    win::SetBackend(nullptr);
}

}  // namespace
