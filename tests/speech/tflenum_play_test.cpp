// Number words played from recordings on the simulated machine: which recordings, in
// which order, joined into images of at most 30000 samples, and what is skipped.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "diphone/DiphoneSynth.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "speech/tflenum.h"
#include "tests/diphone/support/SynthData.h"

namespace sonara {
namespace {

using namespace testdata;

constexpr char kLetters[] = "c:\\som\\letras\\";

class NumberWords : public ::testing::Test {
  protected:
    void SetUp() override {
        win::SetBackend(&machine);
        const char* names[] = {"_um",  "_uma",     "_dois",    "_duas",  "_tres",    "_cinco",
                               "_e",   "_dezesse", "_dezeset", "_vinte", "_trezent", "_quarent",
                               "_mil", "_cem",     "_cento",   "_milhao"};
        int first = 0;
        for (const char* name : names) {
            Record(name, Ramp(50 + first, first));
            first += 10;
        }
    }
    void TearDown() override { win::SetBackend(nullptr); }

    void Record(const std::string& name, std::string samples) {
        samples_[name] = samples;
        machine.AddFile(kLetters + name + ".wav", Wav(samples));
    }
    // The samples of the named recordings, one after another.
    std::string Join(const std::vector<std::string>& names) {
        std::string all;
        for (const std::string& n : names) all += samples_.at(n);
        return all;
    }
    std::string Say(std::uint32_t n, bool feminine = false) {
        player.images.clear();
        SpeakNumberWords(NumberToWords(n), feminine, kLetters, player);
        return player.AllSamples();
    }

    sim::SimMachine machine;
    RecordingPlayer player;
    std::map<std::string, std::string> samples_;
};

TEST_F(NumberWords, WordsJoinedIntoOneImage) {
    EXPECT_EQ(Say(17), Join({"_dezeset"}));
    EXPECT_EQ(Say(16), Join({"_dezesse"}));
    EXPECT_EQ(Say(1000), Join({"_mil"}));
    EXPECT_EQ(Say(1000000), Join({"_um", "_milhao"}));
    EXPECT_EQ(Say(101), Join({"_cento", "_e", "_um"}));
    ASSERT_EQ(player.images.size(), 1u);
    EXPECT_EQ(Say(2345),
              Join({"_dois", "_mil", "_e", "_trezent", "_e", "_quarent", "_e", "_cinco"}));
    // A missing recording is skipped without a sound.
    machine.RemoveFile(std::string(kLetters) + "_quarent.wav");
    EXPECT_EQ(Say(2345), Join({"_dois", "_mil", "_e", "_trezent", "_e", "_e", "_cinco"}));
    ASSERT_EQ(player.images.size(), 1u);
    const std::string& image = player.images[0];
    EXPECT_EQ(image.substr(0, 4), "RIFF");
    EXPECT_EQ(image.substr(24, 4), Le(11025, 4));
    EXPECT_EQ(image.substr(40, 4), Le(static_cast<std::uint32_t>(image.size() - 44), 4));
}

TEST_F(NumberWords, FeminineOnlyForTheLastWord) {
    EXPECT_EQ(Say(21, true), Join({"_vinte", "_e", "_uma"}));
    EXPECT_EQ(Say(2, true), Join({"_duas"}));
    EXPECT_EQ(Say(2000, true), Join({"_dois", "_mil"}));
    EXPECT_EQ(Say(21, false), Join({"_vinte", "_e", "_um"}));
}

TEST_F(NumberWords, MoreThanThirtyThousandSamplesMakeSeveralImages) {
    Record("_vinte", Ramp(20000, 1));
    Record("_e", Ramp(10001, 2));
    // 20000 + 10001 > 30000: _vinte alone, then _e and _um together.
    EXPECT_EQ(Say(21), Join({"_vinte", "_e", "_um"}));
    ASSERT_EQ(player.images.size(), 2u);
    EXPECT_EQ(player.Samples(0), samples_["_vinte"]);
    // A recording longer than the whole buffer is heard in pieces.
    Record("_cem", Ramp(65000, 3));
    EXPECT_EQ(Say(100), samples_["_cem"]);
    ASSERT_EQ(player.images.size(), 3u);
    EXPECT_EQ(player.Samples(0).size(), 30000u);
}

TEST_F(NumberWords, ShortFilesAndNothingToSay) {
    // A file not longer than its header holds nothing.
    machine.AddFile(std::string(kLetters) + "_mil.wav", "RIFF");
    EXPECT_EQ(Say(1000), "");
    EXPECT_TRUE(player.images.empty());
    player.images.clear();
    SpeakNumberWords("", false, kLetters, player);
    SpeakNumberWords("   *", false, kLetters, player);
    EXPECT_TRUE(player.images.empty());
}

TEST_F(NumberWords, CurrentSynthesizerGivesTheDirectoryAndPlayer) {
    // Without a synthesizer (or without its player) nothing happens.
    SpeakNumberWords("dezessete", false);
    DiphoneSynth synth;
    SpeakNumberWords("dezessete", false);
    EXPECT_TRUE(player.images.empty());
    // A started synthesizer knows the letters directory.
    machine.SetRegistryString(win::HKEY_CURRENT_USER,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                              "Folders",
                              "AppData", "c:\\dados");
    machine.AddFile("c:\\dados\\Sonara\\Sonara.ini",
                    "[TRADUTOR]\r\ndirLetras=c:\\som\\letras\r\nDIRDIFONES=c:\\som\\difones\r\n");
    const Database db = MakeDatabase({});
    machine.AddFile("c:\\som\\difones\\DIFONES2.IND", db.index);
    machine.AddFile("c:\\som\\difones\\DIFONES2.DIF", db.data);
    machine.AddFile("c:\\som\\difones\\regras.rgr", "");
    machine.AddFile("c:\\som\\difones\\portug.exc", "");
    ASSERT_EQ(synth.InitDiphoneSynth(), 0);
    synth.SetPlayer(&player);
    SpeakNumberWords("dezessete", false);
    EXPECT_EQ(player.AllSamples(), Join({"_dezeset"}));
    synth.FreeDiphoneSynth();
}

}  // namespace
}  // namespace sonara
