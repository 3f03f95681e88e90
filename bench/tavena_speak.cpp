// TavenaSpeak on the simulated machine: real time from the call to the first block handed
// to the wave-out device, for a sentence of about two seconds (goal: at most 20 ms). The
// synthesizer library is a fake that gives 100 ms of silence per phoneme line, so the time
// is the engine's own: its text stages, the library calls and the pieces it plays. Once
// with small data made here, once with the installed data files (the bundled data root,
// or the folder SONARA_TAVENA_DATA names).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "bench/bench_support.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "tavena/TavenaGlue.h"
#include "tests/tavena/support/FakeMbrola.h"
#include "tests/tavena/support/TavenaTestData.h"

namespace {

using bench_support::Clock;
using bench_support::TimedSim;

std::optional<std::string> HostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The five data files: made here, or read from the installed folder (false when one is
// missing there).
bool AddData(sim::SimMachine& machine, bool installed) {
    const std::string dir = "c:\\tecfal\\tavenatts\\";
    if (!installed) {
        machine.AddFile(dir + "portug.nrl", tavena_test::RulesFile());
        machine.AddFile(dir + "portug.exc", tavena_test::ExceptionsFile());
        machine.AddFile(dir + "portug.abr", tavena_test::AbbreviationsFile());
        machine.AddFile(dir + "portug.pro", tavena_test::ProsodyFile());
        machine.AddFile(dir + "portug.dfn", tavena_test::DiphonesFile());
        return true;
    }
    const char* env = std::getenv("SONARA_TAVENA_DATA");
    const std::string host = env != nullptr ? env : SONARA_DATA_ROOT "/tecfal/tavenatts";
    for (const char* ext : {".nrl", ".exc", ".abr", ".pro", ".dfn"}) {
        std::optional<std::string> bytes = HostFile(host + "/portug" + ext);
        if (!bytes) return false;
        machine.AddFile(dir + "portug" + ext, *bytes);
    }
    return true;
}

void SpeakToFirstBlock(benchmark::State& state, bool installed) {
    TimedSim machine;
    win::SetBackend(&machine);
    machine.AddFile("c:\\windows\\Sonara.ini", "");
    if (!AddData(machine, installed)) {
        state.SkipWithError("no installed data files");
        win::SetBackend(nullptr);
        return;
    }
    tavena_test::FakeMbrola& fake = tavena_test::ResetFake();
    fake.samplesPerWrite = 1600;
    fake.sampleValue = 0;
    tavena_test::InstallFakeMbrola(machine);
    auto process = std::make_unique<sonara::Process>();
    sonara::InitConsole();
    if (!sonara::TavenaStart(0, 0, 0, "")) {
        state.SkipWithError("the engine did not start");
        process.reset();
        win::SetBackend(nullptr);
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
void BM_TavenaSpeakToFirstBlock(benchmark::State& state) {
    SpeakToFirstBlock(state, false);
}
void BM_TavenaSpeakToFirstBlockInstalledData(benchmark::State& state) {
    SpeakToFirstBlock(state, true);
}
BENCHMARK(BM_TavenaSpeakToFirstBlock)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TavenaSpeakToFirstBlockInstalledData)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
