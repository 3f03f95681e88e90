// SpeakPhonemes synthesis speed (planner, index lookups, data file reads, buffer) on the
// simulated machine, in samples per second and as a multiple of real time at 11025 Hz.
// Goal: at least 2000 times real time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <set>
#include <string>

#include "diphone/DiphonePlan.h"
#include "diphone/DiphoneSynth.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

// A sentence as the rules write it, one syllable per token, with punctuation.
const char kSentence[] =
    "[ u][ me/ nI/ nu][ pi/ pO/ ku][ mO/ ra][ nu/ ma][ kA/ za][ a/ ma/ rE/ la][ /_,]"
    "[ pEr/ tu][ du][ rri/ u][ /_.][ to/ das][ as][ ma/ nya~s][ E/ li][ a/ kOr/ da]"
    "[ se^/ du][ /_,][ to/ ma][ ka/ fE][ ko~][ pa~w][ i][ vay][ pra][ es/ kO/ la][ /_.]";

// Every name the sentence asks for, so the database has them all.
class NameCollector : public sonara::UnitSink {
  public:
    bool FetchDiphone(std::string_view name, int, double) override {
        if (name.size() > 8) return false;
        std::string upper(name);
        for (char& c : upper) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        }
        names.insert(upper);
        return true;
    }
    bool PlayLetterFile(std::string_view) override { return true; }
    void AppendSilence(int) override {}
    void AppendNoise() override {}
    std::set<std::string> names;
};

class CountingPlayer : public sonara::SpeechPlayer {
  public:
    void PlayImageAndWait(const std::uint8_t* image) override {
        samples += image[40] | (image[41] << 8) | (image[42] << 16) |
                   (static_cast<std::uint32_t>(image[43]) << 24);
    }
    bool IsSpeaking() override { return false; }
    std::uint64_t samples = 0;
};

std::string Le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

void BM_SpeakPhonemes(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += kSentence;

    NameCollector collector;
    sonara::DiphonePlanner(collector).Plan(text, false, sonara::PhonemePauses{});
    std::string index;
    std::string data;
    for (const std::string& name : collector.names) {  // std::set: index order
        std::string padded = name;
        padded.resize(8, '\0');
        index += static_cast<char>(name.size()) + padded + Le(1500, 2) +
                 Le(static_cast<std::uint32_t>(data.size()), 4);
        data += std::string(1500, '\x90');
    }
    sim::SimMachine machine;
    win::SetBackend(&machine);
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.IND", index);
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.DIF", data);
    machine.AddFile("c:\\tecfal\\som\\difones\\regras.rgr", "");
    machine.AddFile("c:\\tecfal\\som\\difones\\portug.exc", "");
    machine.AddDirectory("c:\\tecfal\\som\\letras");
    {
        sonara::DiphoneSynth synth;
        CountingPlayer player;
        if (synth.InitDiphoneSynth() != 0) {
            state.SkipWithError("synthesizer did not start");
        } else {
            synth.SetPlayer(&player);
            for (auto _ : state) synth.SpeakPhonemes(text, false);
            state.counters["samples_per_s"] = benchmark::Counter(
                static_cast<double>(player.samples), benchmark::Counter::kIsRate);
            state.counters["x_real_time"] = benchmark::Counter(
                static_cast<double>(player.samples) / 11025.0, benchmark::Counter::kIsRate);
        }
        synth.FreeDiphoneSynth();
    }
    win::SetBackend(nullptr);
}
BENCHMARK(BM_SpeakPhonemes)->Unit(benchmark::kMillisecond);

}  // namespace
