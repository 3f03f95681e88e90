// The speech facade on the simulated machine: what Speak opens and plays for numbers,
// symbols, punctuation and repeats; pauses as virtual time; keys; the server path.
#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "speech/tflenum.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"
#include "support/SpeechHarness.h"

namespace {

using speechtest::SpeechHarness;
using speechtest::TestServer;
using Names = std::vector<std::string>;

Names Words(std::uint32_t n) {
    return sonara::NumberWordRecordings(sonara::NumberToWords(n), false);
}

Names Join(std::initializer_list<Names> parts) {
    Names out;
    for (const Names& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class Speaking : public ::testing::Test {
  protected:
    Speaking() {
        h.AddRecordings();
        sonara::StartSpeech(1, "c:\\som");
    }
    SpeechHarness h;
};

TEST_F(Speaking, ZerosAreNamedBeforeTheNumberAndMinusBeforeADigit) {
    sonara::Speak("0012");
    EXPECT_EQ(h.Opened(), Join({{"_zero", "_zero"}, Words(12)}));
    h.machine.ClearRecords();
    sonara::Speak("-5");
    EXPECT_EQ(h.Opened(), Join({{"_MENOS"}, Words(5)}));
}

TEST_F(Speaking, DigitsWithAMinusOrSevenOfThemAreSpelled) {
    sonara::Speak("5-3");
    EXPECT_EQ(h.Opened(), (Names{"_53", "_45", "_51"}));
    h.machine.ClearRecords();
    sonara::Speak("1234567");
    EXPECT_EQ(h.Opened(), (Names{"_49", "_50", "_51", "_52", "_53", "_54", "_55"}));
}

TEST_F(Speaking, DecimalPointIsNamedWithoutPauseAndFullStopBeforeASpaceIsPaused) {
    std::uint32_t t0 = h.machine.Now();
    sonara::Speak("3.5");
    EXPECT_EQ(h.Opened(), Join({Words(3), {"_46"}, Words(5)}));
    // Three recordings of 100 ms, no pause.
    EXPECT_LT(h.machine.Now() - t0, 400u);
    h.machine.ClearRecords();
    t0 = h.machine.Now();
    sonara::Speak(". ");
    EXPECT_EQ(h.Opened(), Names{"_46"});
    EXPECT_GE(h.machine.Now() - t0, 100u + 250u);  // the recording, then FullStopPause
}

TEST_F(Speaking, HyphensBetweenWordsAreDroppedAndBetweenSpacesNamedWithTheCommaPause) {
    // Without rules the synthesizer spells each phrase from the character recordings.
    sonara::Speak("guarda-chuva");
    EXPECT_EQ(h.Opened(),
              (Names{"_71", "_85", "_65", "_82", "_68", "_65", "_67", "_72", "_85", "_86", "_65"}));
    h.machine.ClearRecords();
    std::uint32_t t0 = h.machine.Now();
    sonara::Speak(" - ");
    EXPECT_EQ(h.Opened(), Names{"_45"});
    EXPECT_GE(h.machine.Now() - t0, 100u + 150u);
}

TEST_F(Speaking, WwwIsSpelledAndTheColonBeforeSlashesIsNotPaused) {
    std::uint32_t t0 = h.machine.Now();
    sonara::Speak("www.x");
    // x is a phrase: the synthesizer without rules spells it.
    EXPECT_EQ(h.Opened(), (Names{"_119", "_119", "_119", "_46", "_120"}));
    EXPECT_LT(h.machine.Now() - t0, 550u);  // five recordings, no full-stop pause
    h.machine.ClearRecords();
    t0 = h.machine.Now();
    sonara::Speak("a://");
    EXPECT_EQ(h.Opened(), (Names{"_65", "_58", "_47", "_47"}));
    EXPECT_LT(h.machine.Now() - t0, 450u);  // no colon pause
}

TEST_F(Speaking, RepeatedSymbolsBecomeClicks) {
    sonara::Speak("*****");
    EXPECT_EQ(h.Opened(), (Names{"_42", "_42", "_42", "_42"}));
    auto clicks = [&] {
        int n = 0;
        for (const auto& line : h.WaveLines()) n += line == "256 11025/8/1";
        return n;
    };
    EXPECT_EQ(clicks(), 1);
    h.machine.ClearRecords();
    sonara::Speak("******");
    EXPECT_EQ(clicks(), 2);
    // The click: 64 samples of noise between 128 and 187, then silence.
    const std::string& click = h.machine.WaveWrites().back().bytes;
    ASSERT_EQ(click.size(), 256u);
    for (int i = 0; i < 64; ++i) {
        auto v = static_cast<std::uint8_t>(click[i]);
        EXPECT_TRUE(v >= 128 && v < 188) << i;
    }
    EXPECT_EQ(click.substr(64), std::string(192, '\x80'));
}

TEST_F(Speaking, FiveHyphensAreAllNamedTheLastAfterAClickAndBeforeTheCommaPause) {
    sonara::Speak("-----");
    EXPECT_EQ(h.Opened(), (Names{"_45", "_45", "_45", "_45", "_45"}));
    auto times = h.OpenTimes();
    ASSERT_EQ(times.size(), 5u);
    // The click (23 ms) comes between the fourth and the fifth.
    EXPECT_GE(times[4] - times[3], 100u + 23u);
}

TEST_F(Speaking, EmptyTextAndControlCharactersSpeakNothingButTheTab) {
    sonara::Speak("");
    sonara::Speak("\x01\r\n");
    EXPECT_EQ(h.Opened(), Names{});
    sonara::Speak("\t");
    EXPECT_EQ(h.Opened(), Names{"_FON9"});
}

TEST_F(Speaking, MissingRecordingsFallBackToUnknown) {
    sonara::SpeakChar('\xE9');
    EXPECT_EQ(h.Opened(), Names{"_unknown"});
}

TEST_F(Speaking, AKeyStopsSpeechAtOnceAndStaysQueued) {
    h.Key("q", 250);
    sonara::Speak("1234567 1234567 1234567");
    int reset = h.EventIndex("wave-reset");
    ASSERT_GE(reset, 0);
    EXPECT_EQ(h.machine.Events()[static_cast<std::size_t>(reset)].time, 250u);
    EXPECT_EQ(h.EventIndex("wave", static_cast<std::size_t>(reset)), -1);
    EXPECT_EQ(h.Opened().size(), 3u);  // 0, 100 and 200 ms: the rest is not spoken
    EXPECT_EQ(h.machine.Now(), 250u);
    EXPECT_EQ(sonara::ReadKey(), 'q');
    EXPECT_TRUE(sonara::Tfsapi::Current()->StopRequested);
}

TEST_F(Speaking, PausesAreStepsOf50MsThatAKeyEnds) {
    std::uint32_t t0 = h.machine.Now();
    sonara::PauseMs(149);
    EXPECT_EQ(h.machine.Now() - t0, 100u);
    h.Key("q", h.machine.Now() + 120);
    t0 = h.machine.Now();
    sonara::PauseMs(1000);
    EXPECT_EQ(h.machine.Now() - t0, 150u);
}

TEST(SpeakingServer, TheServerTakesTheTextAndTheNextLetterWaitsForIt) {
    SpeechHarness h("SAPI=1\r\n[SERVFALA]\r\nVOZ=2\r\nVELOCIDADE=15\r\nTOM=-3\r\n");
    h.AddRecordings();
    TestServer server(h.machine, 300);
    sonara::Tfsapglb::Current()->SetBackendFor(5, &server);
    sonara::StartSpeech(1, "c:\\som");
    ASSERT_TRUE(sonara::Tfsapi::Current()->ServerActive);
    EXPECT_EQ(server.starts, (std::vector<int>{2, 0, -3}));  // speed above 10: 0 for SAPI 5
    std::uint32_t t0 = h.machine.Now();
    sonara::Speak("bom dia");
    EXPECT_EQ(h.machine.Now(), t0);  // returns as soon as the server has the text
    EXPECT_EQ(server.spoken, Names{"bom dia"});
    sonara::SpeakChar('a');
    EXPECT_EQ(h.Opened(), Names{"_97"});
    EXPECT_GE(h.OpenTimes()[0], t0 + 300);
    sonara::EndSpeech();
    EXPECT_EQ(server.ends, 1);
    EXPECT_FALSE(sonara::Tfsapi::Current()->ServerActive);
}

TEST(SpeakingServer, SapiZeroIsOnNaoIsOffAndAFailedStartLeavesTheBuiltInPath) {
    for (auto [value, on] : {std::pair<const char*, bool>{"0", true},
                             {"false", true},
                             {"N\xE3o", false},
                             {"", false}}) {
        SpeechHarness h(std::string("SAPI=") + value +
                        "\r\n[SERVFALA]\r\nTIPOSAPI=4\r\n"
                        "VELOCIDADE=15\r\n");
        TestServer server(h.machine);
        sonara::Tfsapglb::Current()->SetBackendFor(4, &server);
        sonara::StartSpeech(1, "c:\\som");
        EXPECT_EQ(sonara::Tfsapi::Current()->ServerActive, on) << value;
        EXPECT_EQ(server.starts.empty(), !on) << value;
        if (on) {
            EXPECT_EQ(server.starts[1], 15);  // SAPI 4 keeps speeds above 10
            EXPECT_EQ(sonara::Tfsapi::Current()->ServerType, 4);
        }
    }
    // A machine without a speech server: the SAPI 5 voice cannot be made, the built-in
    // path speaks.
    SpeechHarness h("SAPI=S\r\n");
    h.machine.SpeechFault().failingClasses = {win::CLSID_SpVoice};
    sonara::StartSpeech(1, "c:\\som");
    EXPECT_FALSE(sonara::Tfsapi::Current()->ServerActive);
}

TEST(SpeechSettings, SpeedKeysOfTheLevelWithTheirDefaults) {
    SpeechHarness h(
        "VELOCIDADE=4\r\n[SINTETIZADOR]\r\nPAUSAPONTO1=abc\r\nPAUSAVIRG1=$10\r\n"
        "SOBRAFON1=70\r\nINTERPAL1=x\r\nCORTAFALA1=sim\r\nRAPIDINHO1=nao\r\n"
        "CORTEFON4=123\r\nPAUSAPONTO4=400\r\n");
    sonara::StartSpeech(1, "c:\\som\\");
    sonara::Tfsapi* f = sonara::Tfsapi::Current();
    EXPECT_EQ(f->SpeedLevel, 1);  // the game's level: VELOCIDADE is not read
    EXPECT_EQ(f->FullStopPause, 250);
    EXPECT_EQ(f->CommaPause, 16);
    EXPECT_EQ(f->ColonPause, 200);
    EXPECT_EQ(f->SoundDir, "c:\\som\\");
    EXPECT_EQ(f->LettersDir, "c:\\letras\\");
    sonara::DiphoneSynth* synth = sonara::DiphoneSynth::Current();
    EXPECT_EQ(synth->Cut(), 0);  // missing: 0, not the module's 400
    EXPECT_EQ(synth->Minimum(), 70);
    EXPECT_EQ(synth->WordPause(), 0);
    EXPECT_TRUE(sonara::Tfwav::Current()->FastSpeech());
    EXPECT_FALSE(sonara::Tfwav::Current()->HighRate());

    sonara::LoadSpeedSettings(4);
    EXPECT_EQ(synth->Cut(), 123);
    EXPECT_EQ(f->FullStopPause, 400);
    EXPECT_FALSE(sonara::Tfwav::Current()->FastSpeech());
}

TEST(SpeechSettings, LevelZeroReadsTheConfiguredSpeedAndOutOfRangeGivesThree) {
    {
        SpeechHarness h("VELOCIDADE=4\r\n");
        sonara::StartSpeech(0, "");
        EXPECT_EQ(sonara::Tfsapi::Current()->SpeedLevel, 4);
        EXPECT_EQ(sonara::Tfsapi::Current()->SoundDir, "");
    }
    {
        SpeechHarness h("VELOCIDADE=9\r\n");
        sonara::StartSpeech(-1, "");
        EXPECT_EQ(sonara::Tfsapi::Current()->SpeedLevel, 3);
    }
}

TEST(SpeechStartUp, ASynthesizerThatCannotStartEndsTheProgramAfterItsLinesAndEnter) {
    for (int missingRules = 0; missingRules < 2; ++missingRules) {
        SpeechHarness h("", missingRules == 1);
        if (missingRules == 1) h.machine.RemoveFile("c:\\difones\\regras.rgr");
        h.Key("enter", 500);
        std::vector<std::string> rows;
        std::uint32_t code = 99;
        try {
            sonara::StartSpeech(1, "c:\\som");
        } catch (const win::ProcessExit& exit) {
            code = exit.code;
            rows = sonara::TfCrt::Current()->ScreenRows();
        }
        EXPECT_EQ(code, 0u);
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows[0], "Erro de inicializa\xE7\xE3o: " + std::to_string(missingRules + 1));
        EXPECT_EQ(rows[1], "Banco de dados de voz: DIFONES2");
        EXPECT_GE(h.machine.Now(), 500u);  // Enter was waited for
    }
}

}  // namespace
