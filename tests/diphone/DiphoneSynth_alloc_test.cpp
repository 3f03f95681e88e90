// Synthesis allocates nothing: the planner, the index lookups, the data file reads and the
// buffer all work in memory set aside at start-up. (Opening a character recording is the
// platform's business and may allocate; it is left out here.)
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "diphone/DiphoneSynth.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "tests/diphone/support/SynthData.h"

// The replaced global new and delete below are a matched pair; GCC only sees malloc and
// free meeting a new-expression.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t n) {
    if (g_counting.load()) ++g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace sonara {
namespace {

using namespace testdata;

class SilentPlayer : public SpeechPlayer {
  public:
    void PlayImageAndWait(const std::uint8_t*) override { ++images; }
    bool IsSpeaking() override { return false; }
    int images = 0;
};

TEST(SynthAllocation, SpeakingDiphonesSilencesAndNoiseAllocatesNothing) {
    sim::SimMachine machine;
    win::SetBackend(&machine);
    const Database db = MakeDatabase({{"$A", Ramp(20000, 0)},
                                      {"$KA", Ramp(20000, 1)},
                                      {"$NN", Ramp(900, 2)},
                                      {"$ZA", Ramp(20000, 3)}});
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.IND", db.index);
    machine.AddFile("c:\\tecfal\\som\\difones\\DIFONES2.DIF", db.data);
    machine.AddFile("c:\\tecfal\\som\\difones\\regras.rgr", "");
    machine.AddFile("c:\\tecfal\\som\\difones\\portug.exc", "");
    machine.AddDirectory("c:\\tecfal\\som\\letras");
    DiphoneSynth synth;
    SilentPlayer player;
    ASSERT_EQ(synth.InitDiphoneSynth(), 0);
    synth.SetPlayer(&player);
    // Several buffers, fall-backs, nasal pieces, noise, pauses.
    const std::string phonemes =
        "[kA/za][kA za kA za][a~][kae][k][ /_,][ /_.][ka za ka za ka][tchE^s][" +
        std::string(60, 'a') + "]";
    g_allocations = 0;
    g_counting = true;
    synth.SpeakPhonemes(phonemes, false);
    g_counting = false;
    EXPECT_EQ(g_allocations.load(), 0);
    EXPECT_GE(player.images, 2);
    synth.FreeDiphoneSynth();
    win::SetBackend(nullptr);
}

}  // namespace
}  // namespace sonara
