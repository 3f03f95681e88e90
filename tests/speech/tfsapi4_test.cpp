// The SAPI 4 back end on the simulated machine's fake engine: which mode it selects, what
// it queues, how its sinks count, how it stops and what it releases.
#include "speech/tfsapi4.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "support/SpeechHarness.h"

namespace {

using speechtest::SpeechHarness;
using Calls = std::vector<std::string>;

sonara::Tfsapi4& Sapi4() {
    return sonara::CurrentProcess().tfsapi4.module;
}

// The calls whose text begins with `prefix`, in order.
Calls CallsOf(const sim::SimMachine& m, std::string_view prefix) {
    Calls out;
    for (const std::string& c : m.SpeechCalls())
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

// Dispatches until the engine is silent; returns the time it took.
std::uint32_t WaitSilent(sim::SimMachine& m) {
    const std::uint32_t t0 = m.Now();
    while (sonara::ServerBusy(false)) win::WaitMessage();
    return m.Now() - t0;
}

class Sapi4Test : public ::testing::Test {
  protected:
    bool Start(int voice, int speed = 0, int pitch = 0, std::string_view file = "") {
        return sonara::ServerStart(voice, speed, pitch, 4, file);
    }
    SpeechHarness h;
};

TEST(Sapi4Voices, VoiceNumbersSelectTheModeTheEnumeratorGivesThatManyTimes) {
    for (auto [voice, mode, nexts] : {std::tuple<int, const char*, int>{0, "Clara", 1},
                                      {-4, "Clara", 1},
                                      {1, "Clara", 1},
                                      {3, "Mary", 3},
                                      {2, "Tiago", 2},
                                      {7, "Mary", 4}}) {  // past the last mode: the last
        SpeechHarness fresh;
        ASSERT_TRUE(sonara::ServerStart(voice, 0, 0, 4, "")) << voice;
        EXPECT_EQ(CallsOf(fresh.machine, "sapi4 Select"),
                  Calls{std::string("sapi4 Select ") + mode})
            << voice;
        EXPECT_EQ(CallsOf(fresh.machine, "sapi4 Next").size(), static_cast<std::size_t>(nexts));
        EXPECT_EQ(std::string(Sapi4().ModeRecord().modeName), mode);
        EXPECT_EQ(Sapi4().VoiceNumber(), std::max(voice, 1));
    }
}

TEST_F(Sapi4Test, StartMakesTheObjectsInOrderAndPassesSpeedAndPitchUnchanged) {
    ASSERT_TRUE(Start(2, -5, 120));
    EXPECT_EQ(h.machine.SpeechCalls(),
              (Calls{"com CoInitialize", "com CoCreateInstance MMAudioDest 7",
                     "com CoCreateInstance TTSEnumerator 7", "sapi4 Reset", "sapi4 Next 1",
                     "sapi4 Next 1", "sapi4 Select Tiago", "sapi4 Register",
                     "sapi4 SpeedSet 4294967291", "sapi4 PitchSet 120"}));
    sonara::ServerEnd();
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    EXPECT_EQ(h.machine.SpeechCalls().back(), "sapi4 UnRegister");
}

TEST_F(Sapi4Test, ZeroSpeedAndPitchAreNotSetAndTheDirectoryIsKept) {
    win::SetCurrentDirectoryA("c:\\som");
    ASSERT_TRUE(Start(1));
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 SpeedSet").empty());
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 PitchSet").empty());
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 DeviceNumSet").empty());  // the mapper
    char dir[300] = {};
    win::GetCurrentDirectoryA(sizeof dir, dir);
    EXPECT_STREQ(dir, "c:\\som");
}

TEST(Sapi4Device, TheEngineSpeaksOnTheWaveOutputsDevice) {
    SpeechHarness h("SAIDADEAUDIO=Simulated wave output\r\n");
    ASSERT_EQ(sonara::WaveDeviceId(), 0);
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 4, ""));
    EXPECT_EQ(CallsOf(h.machine, "sapi4 DeviceNumSet"), Calls{"sapi4 DeviceNumSet 0"});
}

TEST(Sapi4Failures, EveryFailureOfTheStartGivesFalseAndReleasesWhatWasMade) {
    struct Case {
        const char* name;
        std::function<void(sim::SimMachine&)> inject;
        std::string file = "";
    };
    const std::vector<Case> cases = {
        {"no audio destination",
         [](sim::SimMachine& m) { m.SpeechFault().failingClasses = {win::CLSID_MMAudioDest}; }},
        {"no enumerator",
         [](sim::SimMachine& m) { m.SpeechFault().failingClasses = {win::CLSID_TTSEnumerator}; }},
        {"no voices", [](sim::SimMachine& m) { m.SetSpeechVoices({}); }},
        {"select fails", [](sim::SimMachine& m) { m.SpeechFault().selectFails = true; }},
        {"register fails", [](sim::SimMachine& m) { m.SpeechFault().registerFails = true; }},
        {"attributes refused",
         [](sim::SimMachine& m) { m.SpeechFault().attributesRefused = true; }},
        {"no file destination",
         [](sim::SimMachine& m) { m.SpeechFault().failingClasses = {win::CLSID_AudioDestFile}; },
         "c:\\saida.wav"},
        {"file not set", [](sim::SimMachine& m) { m.SpeechFault().fileSetFails = true; },
         "c:\\saida.wav"},
    };
    for (const Case& c : cases) {
        SpeechHarness h;
        c.inject(h.machine);
        EXPECT_FALSE(sonara::ServerStart(2, 100, 100, 4, c.file)) << c.name;
        EXPECT_EQ(h.machine.LiveSpeechObjects(), 0) << c.name;
        // Nothing is left to speak with: a text reaches no engine.
        Sapi4().Speak("ola");
        EXPECT_TRUE(CallsOf(h.machine, "sapi4 TextData").empty()) << c.name;
        EXPECT_FALSE(sonara::ServerBusy(false)) << c.name;
    }
}

TEST(Sapi4File, AnOutputFileIsSetAndFlushedAtTheEnd) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 4, "c:\\saida.wav"));
    EXPECT_EQ(CallsOf(h.machine, "sapi4 Set"), Calls{"sapi4 Set c:\\saida.wav 1"});
    EXPECT_TRUE(CallsOf(h.machine, "com CoCreateInstance MMAudioDest").empty());
    sonara::ServerEnd();
    EXPECT_EQ(CallsOf(h.machine, "sapi4 Flush").size(), 1u);
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
}

TEST_F(Sapi4Test, TextsAreTrimmedADigitGetsAFullStopAndLongTextsAreCut) {
    ASSERT_TRUE(Start(1));
    Sapi4().Speak("7");
    Sapi4().Speak("  \t\r\n");
    Sapi4().Speak("");
    Sapi4().Speak(" \x01ola mundo\t ");
    Sapi4().Speak("42");
    EXPECT_EQ(CallsOf(h.machine, "sapi4 TextData"),
              (Calls{"sapi4 TextData 7.", "sapi4 TextData ola mundo", "sapi4 TextData 42"}));
    WaitSilent(h.machine);
    std::string longText(70000, 'a');
    longText[64000] = 'b';
    Sapi4().Speak(longText);
    Calls texts = CallsOf(h.machine, "sapi4 TextData");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts.back(), "sapi4 TextData " + std::string(64000, 'a'));
}

TEST_F(Sapi4Test, AWaitingKeyKeepsTheTextFromTheEngineWhileKeysStopSound) {
    ASSERT_TRUE(Start(1));
    sonara::QueueKey('x');
    Sapi4().Speak("ola");
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 TextData").empty());
    sonara::Tfwav::Current()->SetStopOnKey(false);
    Sapi4().Speak("ola");
    EXPECT_EQ(CallsOf(h.machine, "sapi4 TextData").size(), 1u);
    EXPECT_EQ(sonara::ReadKey(), 'x');  // never taken here
}

TEST_F(Sapi4Test, SinksCountTextsAndAudioAsTheThreadDispatches) {
    ASSERT_TRUE(Start(1));
    Sapi4().Speak("abc");  // 180 ms
    // The notifications wait for the thread's dispatch.
    EXPECT_EQ(Sapi4().QueuedTexts(), 0);
    EXPECT_FALSE(Sapi4().AudioOn());
    sonara::PumpMessages();
    EXPECT_EQ(Sapi4().QueuedTexts(), 1);
    EXPECT_TRUE(Sapi4().AudioOn());
    EXPECT_TRUE(Sapi4().Busy(true));
    // A second text while one is queued waits 20 ms before it goes.
    const std::uint32_t t0 = h.machine.Now();
    Sapi4().Speak("de");
    EXPECT_EQ(h.machine.Now() - t0, 20u);
    sonara::PumpMessages();
    EXPECT_EQ(Sapi4().QueuedTexts(), 2);
    EXPECT_EQ(WaitSilent(h.machine), 180u + 120u - 20u);
    EXPECT_EQ(Sapi4().QueuedTexts(), 0);
    EXPECT_FALSE(Sapi4().AudioOn());
    EXPECT_FALSE(Sapi4().Busy(true));
}

TEST_F(Sapi4Test, StopResetsTheAudioBetweenTwoDelaysOnlyWhileAudioIsOn) {
    ASSERT_TRUE(Start(1));
    std::uint32_t t0 = h.machine.Now();
    Sapi4().Stop();
    EXPECT_EQ(h.machine.Now(), t0);
    EXPECT_TRUE(CallsOf(h.machine, "sapi4 AudioReset").empty());

    Sapi4().Speak("uma frase comprida");
    sonara::PumpMessages();
    ASSERT_TRUE(Sapi4().AudioOn());
    t0 = h.machine.Now();
    Sapi4().Stop();
    EXPECT_EQ(h.machine.Now() - t0, 200u);
    ASSERT_EQ(CallsOf(h.machine, "sapi4 AudioReset").size(), 1u);
    auto reset = std::find_if(h.machine.Events().begin(), h.machine.Events().end(),
                              [](const sim::Event& e) { return e.detail == "AudioReset"; });
    EXPECT_EQ(reset->time, t0 + 50);
    EXPECT_FALSE(h.machine.SpeechSounding());
    EXPECT_FALSE(Sapi4().Busy(false));
    // The texts' late notifications never take the count below zero.
    sonara::PumpMessages();
    EXPECT_EQ(Sapi4().QueuedTexts(), 0);
    EXPECT_FALSE(Sapi4().AudioOn());
}

TEST_F(Sapi4Test, AnErrorInQueueingStopsTheEngineAndTheTextIsLost) {
    ASSERT_TRUE(Start(1));
    Sapi4().Speak("primeira");
    sonara::PumpMessages();
    h.machine.SpeechFault().textDataFails = true;
    Sapi4().Speak("segunda");
    EXPECT_EQ(CallsOf(h.machine, "sapi4 AudioReset").size(), 1u);
    EXPECT_FALSE(Sapi4().Busy(false));
    EXPECT_FALSE(h.machine.SpeechSounding());
}

TEST_F(Sapi4Test, EndReleasesEverythingEvenWhileSpeaking) {
    ASSERT_TRUE(Start(3));
    Sapi4().Speak("ola");
    sonara::ServerEnd();
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    // Notifications still on their way reach nothing.
    sonara::Delay(500);
    EXPECT_EQ(Sapi4().QueuedTexts(), 0);
    // A second start works afresh.
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(Sapi4().VoiceNumber(), 1);
}

TEST_F(Sapi4Test, VoiceNamesAreTheModesInOrder) {
    h.machine.SetSpeechVoices({{"Ana", 0x0416}, {"J\xFAlio", 0x0416}});
    EXPECT_EQ(sonara::Tfsapi4::VoiceNames(), (Calls{"Ana", "J\xC3\xBAlio"}));
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    h.machine.SpeechFault().failingClasses = {win::CLSID_TTSEnumerator};
    EXPECT_TRUE(sonara::Tfsapi4::VoiceNames().empty());
}

}  // namespace
