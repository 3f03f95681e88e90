// A fake phoneme-line synthesizer library for the simulated machine: "mbrola.dll" with
// the 23 entry points, recording every call with its arguments in order, and giving
// samples, failures and results as a test sets them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace tavena_test {

struct FakeMbrola {
    // "init_MBR c:\x\br4", "write_MBR a 100\r\n", "flush_MBR", "read_MBR 64000 -> 10",
    // "reset_MBR", "setNoError_MBR -63", "close_MBR", ... in order.
    std::vector<std::string> calls;
    std::vector<int> initResults;  // one per init_MBR call in order; 0 after the list
    int samplesPerWrite = 0;       // made readable by each write_MBR
    int samplesOnFlush = 0;        // made readable by flush_MBR
    int maxPerRead = 64000;        // most samples one read_MBR gives
    int failWrite = 0;             // the n-th write_MBR (from 1) answers -1
    int failRead = 0;              // the n-th read_MBR (from 1) answers -1
    std::int16_t sampleValue = 1000;
    bool noteReads = true;            // off: reads are not recorded (long runs)
    std::function<void()> onFailure;  // runs inside a failing write or read

    int pending = 0;
    int writes = 0, reads = 0, inits = 0;

    // The calls without the reads.
    std::vector<std::string> CallsButReads() const;
};

// The one fake, reset to its defaults.
FakeMbrola& ResetFake();
FakeMbrola& Fake();

// Registers "mbrola.dll" on the machine with every entry point except `without`.
void InstallFakeMbrola(sim::SimMachine& machine, std::string_view without = {});

}  // namespace tavena_test
