// The wave output's chunk walks on any bytes, on one simulated machine: a WAV file
// played with PlayWavFile (the first input byte picks fast speech and high rate) and the
// same bytes as an image of known size with PlayWavImage. Nothing may read outside the
// input, hang or leave blocks queued.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "diphone/tfwav.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace {

struct World {
    World() {
        win::SetBackend(&machine);
        process = std::make_unique<sonara::Process>();
    }
    sim::SimMachine machine;
    std::unique_ptr<sonara::Process> process;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    if (size == 0) return 0;
    sonara::Tfwav* wav = sonara::Tfwav::Current();
    wav->SetFastSpeech((data[0] & 1) != 0);
    wav->SetHighRate((data[0] & 2) != 0);
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    world.machine.AddFile("c:\\f\\in.wav", bytes);
    int r = sonara::PlayWavFile("c:\\f\\in.wav");
    if (r > 0 && r != 32) std::abort();  // only a refused format may fail the device
    if (wav->QueuedCount() != 0) std::abort();

    wav->PlayWavImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    while (sonara::IsPlaying()) win::WaitMessage();
    world.machine.ClearRecords();
    // One input is one program run: the peeks of an input that ended without waiting
    // (a file refused at once) do not add up with the next input's into a busy wait.
    win::Sleep(1);
    return 0;
}
