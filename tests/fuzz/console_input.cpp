// Arbitrary bytes as a sequence of window messages (key downs and ups, characters with
// modifier states, mouse, focus) and WriteText blocks against a fresh console on the
// simulated machine: nothing may crash and the key queue stays within 0..64 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace {

// Ctrl+Break and Alt+F4-like ends are fine: the run just stops there.
void Feed(sim::SimMachine& machine, sonara::TfCrt& crt, const std::uint8_t* data,
          std::size_t size) {
    std::size_t i = 0;
    auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        std::uint8_t op = next();
        std::uint32_t now = machine.Now();
        sim::KeySpec key{next(), (op & 0x10) != 0, (op & 0x20) != 0, (op & 0x40) != 0, next()};
        switch (op & 0x0F) {
            case 0:
                machine.PressKey(key, now);
                break;
            case 1:
                machine.KeyDown(key, now);
                break;
            case 2:
                machine.KeyUp(key, now);
                break;
            case 3:
                machine.Click(key.vk % 3, now);
                break;
            case 4:
                machine.Wheel((key.ch & 1) ? 120 : -120, now);
                break;
            case 5:
                machine.Focus((key.ch & 1) != 0, now);
                break;
            case 6:
                machine.SetMouseButtonDown(key.vk % 3, (key.ch & 1) != 0);
                break;
            case 7: {
                std::size_t n = std::min<std::size_t>(key.vk, size - i);
                crt.WriteText(reinterpret_cast<const char*>(data + i),
                              static_cast<std::uint16_t>(n));
                i += n;
                break;
            }
            case 8:
                win::PostMessageA(crt.Window(), win::WM_CHAR, key.ch, 0);
                break;
            case 9:
                crt.ReadKey();
                break;
            case 10:
                crt.SetBrailleMode(key.ch % 4);
                break;
            default:
                break;
        }
        crt.Delay(static_cast<std::uint16_t>(op >> 7));
        crt.KeyPressed();
        if (crt.KeyCount() < 0 || crt.KeyCount() > 64) std::abort();
        if (crt.KeyCount() > 48) crt.FlushKeys();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::SimMachine machine;
    win::SetBackend(&machine);
    try {
        sonara::RunProgram([&] {
            sonara::TfCrt& crt = *sonara::TfCrt::Current();
            crt.InitConsole();
            Feed(machine, crt, data, size);
        });
    } catch (const sim::SimStopped&) {
        // A ReadKey with nothing left to come.
    }
    win::SetBackend(nullptr);
    return 0;
}
