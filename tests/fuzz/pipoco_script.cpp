// The game's script lines and transcript helpers on garbage: `pipoco --simulate` reads
// scripts from outside, and the sim hands unknown lines to the game's extensions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/simulate/PipocoSimulation.h"
#include "platform/sim/SimMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    sim::SimMachine machine;
    sonara::ScriptExtensions extensions(machine);
    machine.LoadScript(
        text, [&](std::string_view line, std::uint32_t at) { return extensions.Handle(line, at); });
    extensions.ApplyDue();
    (void)sonara::ScriptEnd(text);
    (void)sonara::MediaBaseName(text);
    sim::MciCommand command{0, std::string(text), 0};
    (void)sonara::ClipLine(command);
    sim::SoundPlay sound{0, std::string(text), {}, 1};
    (void)sonara::CueLine(sound);
    return 0;
}
