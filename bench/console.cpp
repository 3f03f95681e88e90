// The console's hot paths on the simulated machine: KeyPressed on an empty queue (the
// game's clip wait calls it without pause) and WriteText of a full screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace {

struct Console {
    Console() {
        win::SetBackend(&machine);
        process = std::make_unique<sonara::Process>();
        process->crt.module.InitConsole();
    }
    ~Console() {
        process.reset();
        win::SetBackend(nullptr);
    }
    sim::SimMachine machine;
    std::unique_ptr<sonara::Process> process;
};

void BM_KeyPressedEmptyQueue(benchmark::State& state) {
    Console c;
    std::uint32_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.process->crt.module.KeyPressed());
        // The simulated machine stops a loop that only peeks, as a hang; a rare Sleep(0)
        // tells it this one is meant.
        if (++calls % 4096 == 0) win::Sleep(0);
    }
}
BENCHMARK(BM_KeyPressedEmptyQueue);

void BM_WriteTextFullScreen(benchmark::State& state) {
    Console c;
    std::string screen;
    for (int row = 0; row < 25; ++row)
        screen += std::string(79, static_cast<char>('a' + row)) + "\n";
    for (auto _ : state) {
        c.process->crt.module.WriteText(screen.data(), static_cast<std::uint16_t>(screen.size()));
        c.machine.ClearRecords();  // the recorder would otherwise grow without end
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * screen.size()));
}
BENCHMARK(BM_WriteTextFullScreen);

}  // namespace
