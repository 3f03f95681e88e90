// TavenaSpeak on the simulated machine: real time from the call to the first block handed
// to the wave-out device, for a sentence of about two seconds (goal: at most 20 ms). The
// synthesizer library is a fake that gives 100 ms of silence per phoneme line, so the time
// is the engine's own: its text stages, the library calls and the pieces it plays.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "tavena/TavenaGlue.h"
#include "tests/tavena/support/FakeMbrola.h"
#include "tests/tavena/support/TavenaTestData.h"

namespace {

using Clock = std::chrono::steady_clock;

class TimedSim : public sim::SimMachine {
  public:
    void Arm() { first_.reset(); }
    std::optional<Clock::time_point> First() const { return first_; }
    win::MMRESULT waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) override {
        if (!first_) first_ = Clock::now();
        return SimMachine::waveOutWrite(wo, hdr, size);
    }

  private:
    std::optional<Clock::time_point> first_;
};

void BM_TavenaSpeakToFirstBlock(benchmark::State& state) {
    TimedSim machine;
    win::SetBackend(&machine);
    const std::string dir = "c:\\tecfal\\tavenatts\\";
    machine.AddFile("c:\\windows\\Sonara.ini", "");
    machine.AddFile(dir + "portug.nrl", tavena_test::RulesFile());
    machine.AddFile(dir + "portug.exc", tavena_test::ExceptionsFile());
    machine.AddFile(dir + "portug.abr", tavena_test::AbbreviationsFile());
    machine.AddFile(dir + "portug.pro", tavena_test::ProsodyFile());
    machine.AddFile(dir + "portug.dfn", tavena_test::DiphonesFile());
    tavena_test::FakeMbrola& fake = tavena_test::ResetFake();
    fake.samplesPerWrite = 1600;
    fake.sampleValue = 0;
    tavena_test::InstallFakeMbrola(machine);
    auto process = std::make_unique<sonara::Process>();
    sonara::InitConsole();
    if (!sonara::TavenaStart(0, 0, 0, "")) {
        state.SkipWithError("the engine did not start");
        return;
    }
    const std::string sentence = "O Sr. Silva acha 2 casas e amar a xerox.";
    for (auto _ : state) {
        sonara::TavenaStop();
        machine.ClearRecords();
        fake.calls.clear();
        machine.Arm();
        const auto start = Clock::now();
        sonara::TavenaSpeak(sentence);
        auto first = machine.First();
        if (!first) {
            state.SkipWithError("nothing was played");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*first - start).count());
    }
    sonara::TavenaEnd();
    process.reset();
    win::SetBackend(nullptr);
}
BENCHMARK(BM_TavenaSpeakToFirstBlock)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
