// EngineSpeak of any text on the simulated machine, over a fake synthesizer library whose
// sample counts and failures the first bytes choose: the text stages, the library calls,
// the recovery and the pieces handed to the wave output never crash, and the library is
// loaded again after every failure.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "tavena/TavenaGlue.h"
#include "tests/tavena/support/FakeMbrola.h"
#include "tests/tavena/support/TavenaTestData.h"

namespace {

struct World {
    World() {
        win::SetBackend(&machine);
        const std::string dir = "c:\\tecfal\\tavenatts\\";
        machine.AddFile("c:\\windows\\Sonara.ini", "");
        machine.AddFile(dir + "portug.nrl", tavena_test::RulesFile());
        machine.AddFile(dir + "portug.exc", tavena_test::ExceptionsFile());
        machine.AddFile(dir + "portug.abr", tavena_test::AbbreviationsFile());
        machine.AddFile(dir + "portug.pro", tavena_test::ProsodyFile());
        machine.AddFile(dir + "portug.dfn", tavena_test::DiphonesFile());
        tavena_test::ResetFake();
        tavena_test::InstallFakeMbrola(machine);
        process = std::make_unique<sonara::Process>();
        sonara::InitConsole();
        if (!sonara::TavenaStart(0, 0, 0, "")) std::abort();
    }
    sim::SimMachine machine;
    std::unique_ptr<sonara::Process> process;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    if (size < 3) return 0;
    tavena_test::FakeMbrola& fake = tavena_test::Fake();
    fake.calls.clear();
    fake.writes = fake.reads = 0;
    fake.samplesPerWrite = data[0] * 11;
    fake.samplesOnFlush = (data[0] & 0x0F) * 13;
    fake.maxPerRead = 64 + data[1] * 251;
    fake.failWrite = data[2] & 0x0F;
    fake.failRead = data[2] >> 4;
    fake.sampleValue = 0;
    fake.noteReads = false;
    // Longer texts only repeat what shorter ones reach, at a much higher cost per run.
    std::string text(reinterpret_cast<const char*>(data + 3), std::min<size_t>(size - 3, 24));
    sonara::EngineSpeak(text);
    sonara::EngineStop();
    if (!world.process->tavena.module.Engine().LibraryLoaded()) std::abort();
    if (sonara::Tfwav::Current()->QueuedCount() != 0) std::abort();
    world.machine.ClearRecords();
    win::Sleep(1);
    return 0;
}
