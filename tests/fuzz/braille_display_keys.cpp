// Display key events of any kind and data, and BrlAPI key codes of any value: the key
// translator gives a character or an extended code (never both, only codes it knows),
// and the same events through a console with a simulated display keep the key queue
// within its 64 bytes; the rest of the input is shown on the display as rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console/TfCrt.h"
#include "console/braille/tfFocus80.h"
#include "platform/api.h"
#include "platform/linux/LinuxBraille.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace {

template <class T>
T Take(const std::uint8_t*& data, std::size_t& size) {
    T v{};
    const std::size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckKey(const sonara::DisplayKey& key) {
    Check(key.c == 0 || key.k == 0);
    Check(key.k == 0 || key.k == 71 || key.k == 72 || key.k == 79 || key.k == 80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The translator alone, and the events the BrlAPI library would post for the codes.
    std::uint32_t pending = 0;
    const std::uint8_t* p = data;
    std::size_t left = size;
    while (left > 0) {
        const auto kind = Take<std::uint32_t>(p, left) & 7;  // mostly 1 and 3, some others
        const auto value = Take<std::int64_t>(p, left);
        CheckKey(sonara::TranslateDisplayKey(pending, kind, static_cast<win::LPARAM>(value)));
        win::DisplayKeyEvent events[2];
        const int n = win::BrlapiKeyEvents(static_cast<std::uint64_t>(value), events);
        Check(n >= 0 && n <= 2);
        for (int i = 0; i < n; ++i)
            CheckKey(sonara::TranslateDisplayKey(pending, events[i].kind, events[i].data));
    }

    // Through the console of a process with a simulated display.
    sim::SimMachine machine;
    machine.AttachBrailleDisplay(size > 0 ? data[0] % 90 : 40);
    win::SetBackend(&machine);
    try {
        sonara::Process process;
        sonara::TfCrt& crt = process.crt.module;
        crt.InitConsole();
        p = data;
        left = size;
        while (left > 0) {
            const auto kind = Take<std::uint8_t>(p, left) & 7;
            const auto value = Take<std::uint32_t>(p, left);
            machine.BrailleKey(kind, value, machine.Now());
            crt.Delay(1);
            Check(crt.KeyCount() >= 0 && crt.KeyCount() <= sonara::TfCrt::kQueueSize);
            if (kind == 7)
                crt.WriteText(reinterpret_cast<const char*>(p),
                              static_cast<std::uint16_t>(left < 200 ? left : 200));
        }
        Check(static_cast<int>(machine.BrailleDisplay().dots.size()) ==
              machine.BrailleDisplay().cells);
    } catch (const win::ProcessExit&) {
    }
    win::SetBackend(nullptr);
    return 0;
}
