// Speak and SpellText on any text, on one simulated machine with short recordings for
// every character and a small diphone database: nothing crashes, every call returns and
// leaves nothing playing. The first byte picks the speed flags.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "diphone/tfwav.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"

namespace {

std::string Le(std::uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Recording(std::size_t samples) {
    return "RIFF" + Le(static_cast<std::uint32_t>(36 + samples), 4) + "WAVEfmt " + Le(16, 4) +
           Le(1, 2) + Le(1, 2) + Le(11025, 4) + Le(11025, 4) + Le(1, 2) + Le(8, 2) + "data" +
           Le(static_cast<std::uint32_t>(samples), 4) + std::string(samples, '\x90');
}

// Index entries: length, 8 name bytes, 16-bit length, 32-bit offset.
std::string Entry(const std::string& name, std::uint32_t length, std::uint32_t offset) {
    std::string padded = name;
    padded.resize(8, '\0');
    return static_cast<char>(name.size()) + padded + Le(length, 2) + Le(offset, 4);
}

struct World {
    World() {
        win::SetBackend(&machine);
        machine.AddFile("c:\\windows\\Sonara.ini",
                        "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\n");
        for (int c = 0; c < 256; ++c)
            machine.AddFile("c:\\letras\\_" + std::to_string(c) + ".wav", Recording(40));
        for (const char* name : {"_zero", "_MENOS", "_FON9", "_unknown", "_um", "_dois"})
            machine.AddFile(std::string("c:\\letras\\") + name + ".wav", Recording(40));
        machine.AddFile("c:\\difones\\DIFONES2.IND", Entry("$A", 300, 0) + Entry("$KA", 500, 300));
        machine.AddFile("c:\\difones\\DIFONES2.DIF", std::string(800, '\x70'));
        machine.AddFile("c:\\difones\\regras.rgr", "");
        machine.AddFile("c:\\difones\\portug.exc", "");
        process = std::make_unique<sonara::Process>();
        sonara::StartSpeech(1, "c:\\som");
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
    // Longer texts only repeat what shorter ones reach, at a much higher cost per run.
    std::string text(reinterpret_cast<const char*>(data + 1), std::min<size_t>(size - 1, 24));
    if ((data[0] & 4) != 0) {
        sonara::SpellText(text);
    } else {
        sonara::Speak(text);
    }
    if (sonara::IsSpeaking() || wav->QueuedCount() != 0) std::abort();
    world.machine.ClearRecords();
    // One input is one program run: the peeks of a text spoken without any wait (silent
    // control characters) do not add up with the next input's into a busy wait.
    win::Sleep(1);
    return 0;
}
