// The diphone synthesizer on the simulated machine with a database, recordings, rules
// and Sonara.ini made here: start-up results and directories, the samples of each
// request, cut and minimum, pauses, buffers, and broken data.
#include "diphone/DiphoneSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "tests/diphone/support/SynthData.h"

namespace sonara {
namespace {

using namespace testdata;

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kIni[] = "c:\\users\\ana\\appdata\\Sonara\\Sonara.ini";

class Synth : public ::testing::Test {
  protected:
    void SetUp() override {
        win::SetBackend(&machine);
        machine.SetRegistryString(win::HKEY_CURRENT_USER, kShellFolders, "AppData",
                                  "c:\\users\\ana\\appdata");
        machine.AddFile(
            kIni, "[TRADUTOR]\r\ndirLetras=c:\\som\\letras\r\nDIRDIFONES=c:\\som\\difones\r\n");
        machine.AddDirectory("c:\\som\\letras");
        machine.AddFile("c:\\som\\difones\\regras.rgr", "(A)=a\n");
        machine.AddFile("c:\\som\\difones\\portug.exc", "casa=kAza\n");
        machine.AddDirectory("c:\\work");
        win::SetCurrentDirectoryA("c:\\work");
    }
    void TearDown() override {
        synth.FreeDiphoneSynth();  // closes the data file while the machine is there
        win::SetBackend(nullptr);
    }

    void Install(const Database& db) {
        machine.AddFile("c:\\som\\difones\\DIFONES2.IND", db.index);
        machine.AddFile("c:\\som\\difones\\DIFONES2.DIF", db.data);
    }
    void Letter(const std::string& name, const std::string& bytes) {
        machine.AddFile("c:\\som\\letras\\" + name + ".wav", bytes);
    }
    // Installs the database, starts the synthesizer and speaks.
    std::string Speak(const Database& db, const std::string& phonemes, bool noPauses = false) {
        Install(db);
        EXPECT_EQ(synth.InitDiphoneSynth(), 0);
        synth.SetPlayer(&player);
        synth.SpeakPhonemes(phonemes, noPauses);
        return player.AllSamples();
    }
    static std::string Current() {
        char dir[300] = {};
        win::GetCurrentDirectoryA(sizeof dir, dir);
        return dir;
    }
    bool Opened(const std::string& what) const {
        for (const sim::Event& e : machine.Events()) {
            if (e.kind == "file" && e.detail.find(what) != std::string::npos) return true;
        }
        return false;
    }

    sim::SimMachine machine;
    DiphoneSynth synth;
    RecordingPlayer player;
};

TEST_F(Synth, StartsWithTheDatabaseAndRestoresTheCurrentDirectory) {
    Install(MakeDatabase({{"$A", Ramp(10, 0)}}));
    synth.DiphoneBaseName() = "OUTRO";
    EXPECT_EQ(synth.InitDiphoneSynth(), 0);
    EXPECT_EQ(synth.DiphoneBaseName(), "DIFONES2");
    EXPECT_EQ(synth.LettersDir(), "c:\\som\\letras\\");
    EXPECT_EQ(synth.DiphoneDir(), "c:\\som\\difones\\");
    EXPECT_EQ(synth.Index().Count(), 1u);
    EXPECT_EQ(synth.Rules().ExceptionCount(), 1u);
    EXPECT_EQ(Current(), "c:\\work");
    EXPECT_EQ(DiphoneSynth::Current(), &synth);
}

TEST_F(Synth, MissingDirectoriesOrDatabaseFilesGiveOneAndRulesGiveTwo) {
    const Database db = MakeDatabase({{"$A", Ramp(10, 0)}});
    // No database files yet.
    EXPECT_EQ(synth.InitDiphoneSynth(), 1);
    EXPECT_EQ(Current(), "c:\\work");
    machine.AddFile("c:\\som\\difones\\DIFONES2.IND", db.index);
    EXPECT_EQ(synth.InitDiphoneSynth(), 1);  // no data file
    EXPECT_EQ(Current(), "c:\\work");
    machine.AddFile("c:\\som\\difones\\DIFONES2.DIF", db.data);
    EXPECT_EQ(synth.InitDiphoneSynth(), 0);

    machine.RemoveFile("c:\\som\\difones\\portug.exc");
    EXPECT_EQ(synth.InitDiphoneSynth(), 2);
    EXPECT_EQ(Current(), "c:\\work");
    machine.RemoveFile("c:\\som\\difones\\regras.rgr");
    EXPECT_EQ(synth.InitDiphoneSynth(), 2);

    machine.AddFile(kIni, "[TRADUTOR]\r\ndirLetras=c:\\nada\r\nDIRDIFONES=c:\\som\\difones\r\n");
    EXPECT_EQ(synth.InitDiphoneSynth(), 1);
    machine.AddFile(kIni, "[TRADUTOR]\r\ndirLetras=c:\\som\\letras\\\r\nDIRDIFONES=c:\\nada\r\n");
    EXPECT_EQ(synth.InitDiphoneSynth(), 1);
    EXPECT_EQ(synth.LettersDir(), "c:\\som\\letras\\");  // no second backslash
    EXPECT_EQ(Current(), "c:\\work");
}

TEST_F(Synth, MissingKeysUseTheInstalledDirectories) {
    // Without the keys the synthesizer still starts from the default directories.
    machine.AddFile(kIni, "[TRADUTOR]\r\n");
    machine.AddDirectory("c:\\tecfal\\som\\letras");
    const Database db = MakeDatabase({{"$A", Ramp(10, 0)}});
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.IND", db.index);
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.DIF", db.data);
    machine.AddFile("c:\\tecfal\\som\\difones\\regras.rgr", "");
    machine.AddFile("c:\\tecfal\\som\\difones\\portug.exc", "");
    EXPECT_EQ(synth.InitDiphoneSynth(), 0);
    EXPECT_EQ(synth.LettersDir(), "c:\\tecfal\\som\\letras\\");
    EXPECT_EQ(synth.DiphoneDir(), "c:\\tecfal\\som\\difones\\");
}

TEST_F(Synth, OneImagePerUtteranceWithTheWaveHeader) {
    Speak(MakeDatabase({{"$A", Ramp(50, 1)}}), "[a]");
    ASSERT_EQ(player.images.size(), 1u);
    const std::string& image = player.images[0];
    EXPECT_EQ(image.substr(0, 4), "RIFF");
    EXPECT_EQ(image.substr(4, 4), Le(36 + 50, 4));
    EXPECT_EQ(image.substr(24, 4), Le(11025, 4));
    EXPECT_EQ(image.substr(34, 2), Le(8, 2));
    EXPECT_EQ(image.substr(40, 4), Le(50, 4));
    EXPECT_EQ(player.Samples(0), Ramp(50, 1));
}

TEST_F(Synth, KAzaFallsBackToItsLastVowel) {
    // $KAZA and $KAZ are missing; $A is spoken whole (stressed).
    const std::string a = Ramp(1000, 7);
    EXPECT_EQ(Speak(MakeDatabase({{"$A", a}, {"$ZA", Ramp(1000, 0)}}), "[kA/za]"), a);
}

TEST_F(Synth, KaeIsKaAtNinetyPercentThenE) {
    const std::string ka = Ramp(1000, 3);
    const std::string e = Ramp(1000, 100);
    // $ka: 1000 - cut 400 = 600, times 0.9 = 540 from its start; $e (2 characters) whole.
    EXPECT_EQ(Speak(MakeDatabase({{"$E", e}, {"$KA", ka}}), "[kae]"), ka.substr(0, 540) + e);
}

TEST_F(Synth, NasalFallsBackToCircAndNn) {
    const std::string circ = Ramp(1000, 10);
    const std::string nn = Ramp(1000, 60);
    const std::string i = Ramp(1000, 90);
    // $aTIL missing: $aCIRC with stress mode 2 (whole) at 0.9, then $nn (cut) at 0.9.
    EXPECT_EQ(Speak(MakeDatabase({{"$ACIRC", circ}, {"$I", i}, {"$NN", nn}}), "[a~]"),
              circ.substr(0, 900) + nn.substr(0, 540));
    player.images.clear();
    synth.SpeakPhonemes("[i~]", false);
    EXPECT_EQ(player.AllSamples(), i.substr(0, 900) + nn.substr(0, 540));
}

TEST_F(Synth, CutAndMinimum) {
    const std::string ka = Ramp(1000, 0);
    const Database db = MakeDatabase({{"$K", ka}, {"$KA", ka}});
    EXPECT_EQ(Speak(db, "[ka]"), ka.substr(0, 600));
    player.images.clear();
    synth.SetSpeechTiming(400, 700, 100);
    synth.SpeakPhonemes("[ka]", false);
    EXPECT_EQ(player.AllSamples(), ka.substr(0, 700));
    // Stressed: never shortened.
    player.images.clear();
    synth.SpeakPhonemes("[kA]", false);
    EXPECT_EQ(player.AllSamples(), ka);
    // A two-character name is never shortened.
    player.images.clear();
    synth.SetSpeechTiming(400, 0, 100);
    synth.SpeakPhonemes("[k]", false);
    EXPECT_EQ(player.AllSamples(), ka);
}

TEST_F(Synth, WordPauseComesInStepsOfOneHundred) {
    const std::string a = Ramp(10, 0);
    Speak(MakeDatabase({{"$A", a}}), "");
    synth.SetSpeechTiming(400, 0, 150);
    synth.SpeakPhonemes("[a][a]", false);
    EXPECT_EQ(player.AllSamples(), a + std::string(100, '\x80') + a);
    player.images.clear();
    synth.SetSpeechTiming(400, 0, 99);
    synth.SpeakPhonemes("[a][a]", false);
    EXPECT_EQ(player.AllSamples(), a + a);
    // Nothing to say: nothing is played.
    player.images.clear();
    synth.SpeakPhonemes("", false);
    EXPECT_TRUE(player.images.empty());
}

TEST_F(Synth, CommaTokenIsSilenceWithPausesOnAndItsNameWithPausesOff) {
    const std::string comma = Ramp(30, 44);
    Letter("_44", Wav(comma));
    EXPECT_EQ(Speak(MakeDatabase({}), "[ /_,]"), std::string(4000, '\x80'));
    EXPECT_FALSE(Opened("_44.wav"));
    player.images.clear();
    synth.SpeakPhonemes("[ /_,]", true);
    EXPECT_EQ(player.AllSamples(), comma);
}

TEST_F(Synth, SpelledLetterPlaysItsRecording) {
    const std::string b = Ramp(321, 98);
    Letter("_98", Wav(b));
    EXPECT_EQ(Speak(MakeDatabase({}), "[ /_b]"), b);
}

TEST_F(Synth, LongUtteranceIsPlayedInSeveralBuffers) {
    const std::string ka = Ramp(10000, 0);
    // Seven stressed names of 10000 samples: six fit (44 + 60000 < 64000), the seventh
    // flushes first.
    Speak(MakeDatabase({{"$KA", ka}}), "[kA kA kA kA kA kA kA kA kA kA]");
    ASSERT_EQ(player.images.size(), 2u);
    EXPECT_EQ(player.Samples(0).size(), 60000u);
    EXPECT_EQ(player.Samples(1).size(), 40000u);
    std::string all;
    for (int i = 0; i < 10; ++i) all += ka;
    EXPECT_EQ(player.AllSamples(), all);
}

TEST_F(Synth, ABufferIsPlayedWhenThePieceWouldReachItsEnd) {
    // 44 + 100 + 63856 reaches 64000: the buffer is played before the second piece.
    const std::string a = Ramp(100, 0);
    const std::string o = Ramp(63856, 1);
    Speak(MakeDatabase({{"$A", a}, {"$O", o}, {"$U", Ramp(63855, 2)}}), "[a o]");
    ASSERT_EQ(player.images.size(), 2u);
    EXPECT_EQ(player.Samples(0), a);
    EXPECT_EQ(player.Samples(1), o);
    // One byte less stays in the same image.
    player.images.clear();
    synth.SpeakPhonemes("[a u]", false);
    ASSERT_EQ(player.images.size(), 1u);
    EXPECT_EQ(player.Samples(0), a + Ramp(63855, 2));
}

TEST_F(Synth, MissingShortNameIsANoiseBurst) {
    const std::string noise = Speak(MakeDatabase({}), "[k]");
    ASSERT_EQ(noise.size(), 300u);
    for (char c : noise) {
        const auto v = static_cast<unsigned char>(c);
        EXPECT_TRUE(v >= 88 && v <= 167) << int(v);
    }
    // Not one value repeated: it is noise.
    EXPECT_GT(std::count(noise.begin(), noise.end(), noise[0]), 0);
    EXPECT_LT(std::count(noise.begin(), noise.end(), noise[0]), 50);
}

TEST_F(Synth, OversizedDiphoneIsCutToAnEmptyBuffer) {
    const std::string big = Ramp(65535, 0);
    Speak(MakeDatabase({{"$A", big}}), "[a]");
    ASSERT_EQ(player.images.size(), 1u);
    EXPECT_EQ(player.Samples(0), big.substr(0, DiphoneSynth::kMaxPiece));
}

TEST_F(Synth, BrokenIndexEntriesAreMissingNamesAndDisorderIsMended) {
    const std::string a = Ramp(100, 0);
    Database db = MakeDatabase({{"$ZA", Ramp(100, 50)}, {"$A", a}, {"$KA", Ramp(100, 9)}});
    // $KA's samples lie past the end of the data file; the size is no multiple of 15.
    db.data.resize(200);
    db.index += "xy";
    const std::string said = Speak(db, "[kA]");
    EXPECT_EQ(synth.IndexReport().dropped, 1u);
    EXPECT_FALSE(synth.IndexReport().sorted);
    // $kA missing: $k (missing, noise) and $A.
    ASSERT_EQ(said.size(), 300u + 100u);
    EXPECT_EQ(said.substr(300), a);
    player.images.clear();
    synth.SpeakPhonemes("[zA]", false);
    EXPECT_EQ(player.AllSamples(), Ramp(100, 50));
}

TEST_F(Synth, LetterRecordingsCutShortLyingOrOddlyChunked) {
    const std::string b = Ramp(500, 0);
    // Claims 500 samples but holds 120: what it holds.
    Letter("_98", Wav(b).substr(0, 44 + 120));
    // Claims no samples: missing, and a 3-character name is then left out.
    Letter("_99", Wav(""));
    // A LIST chunk before "data" and a large format chunk.
    Letter("_100", "RIFF" + Le(0, 4) + "WAVE" + "fmt " + Le(100, 4) + std::string(100, 'f') +
                       "LIST" + Le(6, 4) + "abcdef" + "data" + Le(4, 4) + "wxyz");
    // "fmt " not right after the RIFF header.
    Letter("_101", "RIFF" + Le(0, 4) + "WAVE" + "LIST" + Le(0, 4) + Wav(b).substr(12));
    // Larger than the buffer can take.
    Letter("_102", Wav(Ramp(65000, 0)));
    EXPECT_EQ(Speak(MakeDatabase({}), "[ /_b]"), b.substr(0, 120));
    for (const char* phonemes : {"[ /_c]", "[ /_e]"}) {
        player.images.clear();
        synth.SpeakPhonemes(phonemes, false);
        EXPECT_TRUE(player.images.empty()) << phonemes;
    }
    player.images.clear();
    synth.SpeakPhonemes("[ /_d]", false);
    EXPECT_EQ(player.AllSamples(), "wxyz");
    player.images.clear();
    synth.SpeakPhonemes("[ /_f]", false);
    EXPECT_EQ(player.AllSamples().size(), DiphoneSynth::kMaxPiece);
}

TEST_F(Synth, NothingIsSpokenBeforeStartOrAfterFree) {
    synth.SetPlayer(&player);
    synth.SpeakPhonemes("[ka]", false);
    EXPECT_TRUE(player.images.empty());
    Install(MakeDatabase({{"$KA", Ramp(1000, 0)}}));
    ASSERT_EQ(synth.InitDiphoneSynth(), 0);
    synth.FreeDiphoneSynth();
    synth.FreeDiphoneSynth();
    synth.SpeakPhonemes("[ka]", false);
    EXPECT_TRUE(player.images.empty());
    EXPECT_EQ(synth.Index().Count(), 0u);
}

}  // namespace
}  // namespace sonara
