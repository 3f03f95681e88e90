// The SAPI 5 back ends (types 5 and 54) on the simulated machine's fake voice: voice and
// rate choice, asynchronous speech, the 20 ms busy check with its wake-up message, the
// purge, the end and the failures.
#include "speech/tfSapi5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "speech/TFSAPI54.h"
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

sonara::SapiVoiceServer& Sapi5() {
    return sonara::CurrentProcess().tfSapi5.module;
}

TEST(Sapi5Start, MakesTheVoiceAskesAllEventsAndSetsVoiceRateAndEvent) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(2, -5, 77, 5, ""));
    EXPECT_EQ(h.machine.SpeechCalls(),
              (Calls{"com CoInitialize", "com CoCreateInstance SpVoice 5",
                     "sapi5 EventInterests 33790", "sapi5 GetVoices \"\" \"\"", "sapi5 Voice Tiago",
                     "sapi5 Rate -5", "sapi5 SpeakCompleteEvent"}));
    EXPECT_EQ(Sapi5().VoiceCount(), 3);
    EXPECT_EQ(Sapi5().VoiceNumber(), 2);
}

TEST(Sapi5Start, AVoiceOutsideTheListTakesTheFirstVoiceAndRateZero) {
    for (int voice : {0, -1, 4, 99}) {
        SpeechHarness h;
        ASSERT_TRUE(sonara::ServerStart(voice, 7, 0, 5, "")) << voice;
        EXPECT_EQ(CallsOf(h.machine, "sapi5 Voice"), Calls{"sapi5 Voice Clara"}) << voice;
        EXPECT_EQ(CallsOf(h.machine, "sapi5 Rate"), Calls{"sapi5 Rate 0"}) << voice;
        EXPECT_EQ(Sapi5().VoiceNumber(), 1);
    }
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(3, 7, 0, 5, ""));
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Voice"), Calls{"sapi5 Voice Mary"});
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Rate"), Calls{"sapi5 Rate 7"});
}

TEST(Sapi5Start, AnUnsupportedRateIsIgnored) {
    SpeechHarness h;
    EXPECT_TRUE(sonara::ServerStart(1, -15, 0, 5, ""));
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Rate"), Calls{"sapi5 Rate -15"});
}

TEST(Sapi5Start, TheSecondTypeLibraryMakesItsOwnClasses) {
    SpeechHarness h;
    h.machine.SpeechFault().failingClasses = {win::CLSID_SpVoice};
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 54, "c:\\fala.wav"));
    EXPECT_EQ(CallsOf(h.machine, "com CoCreateInstance"),
              (Calls{"com CoCreateInstance SpVoice54 5", "com CoCreateInstance SpFileStream54 5"}));
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Open"), Calls{"sapi5 Open c:\\fala.wav 3 events"});
    EXPECT_EQ(CallsOf(h.machine, "sapi5 AudioOutputStream").size(), 1u);
    EXPECT_EQ(sonara::CurrentProcess().tfsapi54.module.VoiceNumber(), 1);
    sonara::ServerEnd();
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Close").size(), 1u);
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
}

TEST(Sapi5Start, NoVoiceObjectOrNoVoiceGivesFalse) {
    {
        SpeechHarness h;
        h.machine.SpeechFault().failingClasses = {win::CLSID_SpVoice};
        EXPECT_FALSE(sonara::ServerStart(1, 0, 0, 5, ""));
        EXPECT_EQ(CallsOf(h.machine, "sapi5").size(), 0u);
        EXPECT_FALSE(sonara::ServerBusy(false));
    }
    {
        SpeechHarness h;
        h.machine.SetSpeechVoices({});
        EXPECT_FALSE(sonara::ServerStart(1, 0, 0, 5, ""));
        EXPECT_TRUE(CallsOf(h.machine, "sapi5 Voice").empty());
        // The voice without voices stays until the program ends.
        EXPECT_EQ(h.machine.LiveSpeechObjects(), 1);
        h.process.reset();
        EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    }
    {
        SpeechHarness h;
        h.machine.SpeechFault().failingClasses = {win::CLSID_SpFileStream};
        EXPECT_FALSE(sonara::ServerStart(1, 0, 0, 5, "c:\\fala.wav"));
    }
}

TEST(Sapi5Speak, TextsGoAsynchronouslyAndAnEmptyTextIsASpace) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 5, ""));
    const std::uint32_t t0 = h.machine.Now();
    Sapi5().Speak("p\xE3o");
    Sapi5().Speak("");
    EXPECT_EQ(h.machine.Now(), t0);
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Speak "),
              (Calls{"sapi5 Speak 17 p\xE3o", "sapi5 Speak 17  "}));
    EXPECT_TRUE(h.machine.SpeechSounding());
}

TEST(Sapi5Speak, AnErrorInSpeakingBeeps) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 5, ""));
    h.machine.SpeechFault().speakFails = true;
    Sapi5().Speak("ola");
    ASSERT_FALSE(h.machine.Events().empty());
    EXPECT_EQ(h.machine.Events().back().kind, "beep");
    EXPECT_FALSE(h.machine.SpeechSounding());
}

TEST(Sapi5Busy, WaitsUpTo20MsAndPostsTheWakeUpWhileTheVoiceSpeaks) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 5, ""));
    Sapi5().Speak("abc");  // 180 ms
    std::uint32_t t0 = h.machine.Now();
    EXPECT_TRUE(Sapi5().Busy(false));
    EXPECT_EQ(h.machine.Now() - t0, 20u);
    win::MSG msg;
    ASSERT_TRUE(win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(msg.message, 2980u);
    EXPECT_EQ(msg.hwnd, sonara::ConsoleWindow());
    // A loop of busy and WaitMessage ends when the voice does, polling every 20 ms.
    int polls = 1;
    while (sonara::ServerBusy(false)) {
        win::WaitMessage();
        ++polls;
    }
    EXPECT_EQ(h.machine.Now() - t0, 180u);
    EXPECT_EQ(polls, 8);
    t0 = h.machine.Now();
    EXPECT_FALSE(Sapi5().Busy(false));  // idle: no wait, no message
    EXPECT_EQ(h.machine.Now(), t0);
    EXPECT_FALSE(win::PeekMessageA(&msg, nullptr, 2980, 2980, win::PM_NOREMOVE));
}

TEST(Sapi5Stop, PurgesTheVoiceThenWaits50Ms) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 5, ""));
    Sapi5().Speak("uma frase comprida");
    const std::uint32_t t0 = h.machine.Now();
    Sapi5().Stop();
    EXPECT_EQ(h.machine.Now() - t0, 50u);
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Speak ").back(), "sapi5 Speak 2  ");
    EXPECT_FALSE(h.machine.SpeechSounding());
    EXPECT_FALSE(Sapi5().Busy(false));
}

TEST(Sapi5End, WaitsForTheEndInSteps300MsThenFreesTheVoice) {
    SpeechHarness h;
    ASSERT_TRUE(sonara::ServerStart(1, 0, 0, 5, ""));
    Sapi5().Speak("abcdefghij");  // 600 ms
    const std::uint32_t t0 = h.machine.Now();
    sonara::ServerEnd();
    // Busy 20 ms, Delay 300, busy 20, Delay 300: the voice ended at 600.
    EXPECT_EQ(h.machine.Now() - t0, 20u + 300u + 20u + 300u);
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    EXPECT_TRUE(CallsOf(h.machine, "sapi5 Speak 2").empty());  // it was heard to its end
    // Nothing is left: speaking and stopping do nothing.
    Sapi5().Speak("ola");
    Sapi5().Stop();
    EXPECT_EQ(CallsOf(h.machine, "sapi5 Speak ").size(), 1u);
}

TEST(Sapi5Voices, TheDescriptionsInListOrder) {
    SpeechHarness h;
    h.machine.SetSpeechVoices({{"J\xFAlio", 0x0416}, {"Mary", 0x0409}});
    EXPECT_EQ(Sapi5().VoiceNames(), (Calls{"J\xC3\xBAlio", "Mary"}));
    EXPECT_EQ(h.machine.LiveSpeechObjects(), 0);
    h.machine.SpeechFault().failingClasses = {win::CLSID_SpVoice};
    EXPECT_TRUE(Sapi5().VoiceNames().empty());
}

}  // namespace
