// Speak on the simulated machine: CPU time from the call to the first block handed to
// the wave-out device, for a sentence of ten words (goal: at most 1 ms). The data are
// made here: character recordings and no rules, so each word is spelled from recordings,
// the most file work per word the built-in path does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"

namespace {

using bench_support::Clock;
using bench_support::Recording;
using bench_support::TimedSim;

void BM_SpeakToFirstBlock(benchmark::State& state) {
    TimedSim machine;
    win::SetBackend(&machine);
    machine.AddFile("c:\\windows\\Sonara.ini",
                    "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\n");
    for (int c = 0; c < 256; ++c)
        machine.AddFile("c:\\letras\\_" + std::to_string(c) + ".wav", Recording(1500));
    for (const char* name : {"DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc"})
        machine.AddFile(std::string("c:\\difones\\") + name, "");
    auto process = std::make_unique<sonara::Process>();
    sonara::StartSpeech(1, "");
    const std::string sentence = "o menino abre a caixa e acha todas as letras do alfabeto";
    for (auto _ : state) {
        machine.Arm();
        machine.ClearRecords();
        const auto start = Clock::now();
        sonara::Speak(sentence);
        auto first = machine.First();
        if (!first) {
            state.SkipWithError("nothing was played");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*first - start).count());
    }
    sonara::EndSpeech();
    process.reset();
    win::SetBackend(nullptr);
}
BENCHMARK(BM_SpeakToFirstBlock)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
