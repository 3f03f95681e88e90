// The simulated machine's braille display: a fake "fsbrldspapi.dll" whose display keeps
// its cells, records every call and posts the key events a script presses.
#include <algorithm>
#include <cstring>

#include "platform/fsbrldspapi.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

constexpr std::uint32_t kDisplayHandle = 0xB1;

SimMachine* Machine() {
    return dynamic_cast<SimMachine*>(&win::CurrentBackend());
}

void CopyText(const char* text, char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) return;
    std::size_t n = std::min<std::size_t>(std::strlen(text), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
}

}  // namespace

// The entry points: plain functions, as a library's are, finding the machine through the
// current back end.
struct SimBrailleLibrary {
    static SimMachine::BrailleDisplayState* Display(std::uint32_t handle, const std::string& call) {
        SimMachine* m = Machine();
        if (m == nullptr) return nullptr;
        auto& d = m->braille_;
        d.calls.push_back(call + (handle == kDisplayHandle && d.open ? "" : " (no display)"));
        return handle == kDisplayHandle && d.open ? &d : nullptr;
    }

    static std::uint32_t Open(const char* port, win::HWND window, win::UINT message) {
        SimMachine* m = Machine();
        if (m == nullptr) return 0;
        auto& d = m->braille_;
        std::string name = port != nullptr ? port : "";
        d.calls.push_back("open " + name);
        if (name != "USB") return 0;  // the display is on USB
        d.open = true;
        d.window = window;
        d.message = message;
        return kDisplayHandle;
    }
    static std::int32_t GetCellCount(std::uint32_t display) {
        auto* d = Display(display, "cells");
        return d != nullptr ? d->cells : 0;
    }
    static void Write(std::uint32_t display, std::int32_t first, std::int32_t count,
                      const std::uint8_t* dots) {
        auto* d = Display(display, "write " + std::to_string(first) + " " + std::to_string(count));
        if (d == nullptr || dots == nullptr || first < 0 || count < 0 || first >= d->cells) return;
        const std::int32_t n = std::min(count, d->cells - first);
        std::copy_n(dots, n, d->dots.begin() + first);
        Machine()->Record("braille", d->dots);
    }
    static void Configure(std::uint32_t display, std::int32_t value) {
        auto* d = Display(display, "configure " + std::to_string(value));
        if (d != nullptr && value == fsbrl::kKeyEventsOn) d->keysOn = true;
    }
    static void GetDisplayName(std::uint32_t display, char* buffer, std::int32_t size) {
        if (Display(display, "name") != nullptr) CopyText("Simulada", buffer, size);
    }
    static void GetFirmwareVersion(std::uint32_t display, char* buffer, std::int32_t size) {
        if (Display(display, "firmware") != nullptr) CopyText("1.0", buffer, size);
    }
    static void Close(std::uint32_t display) {
        if (auto* d = Display(display, "close")) d->open = d->keysOn = false;
    }
    static void Beep(std::uint32_t display) { Display(display, "beep"); }
};

void SimMachine::AttachBrailleDisplay(int cells) {
    braille_ = BrailleDisplayState{};
    braille_.attached = true;
    braille_.cells = std::max(0, cells);
    braille_.dots.assign(static_cast<std::size_t>(braille_.cells), '\0');
    if (std::any_of(libraries_.begin(), libraries_.end(),
                    [](const Library& l) { return l.name == fsbrl::kLibraryName; }))
        return;
    using L = SimBrailleLibrary;
    AddLibrary(
        fsbrl::kLibraryName,
        {{fsbrl::kOpen, reinterpret_cast<win::FARPROC>(&L::Open)},
         {fsbrl::kGetCellCount, reinterpret_cast<win::FARPROC>(&L::GetCellCount)},
         {fsbrl::kWrite, reinterpret_cast<win::FARPROC>(&L::Write)},
         {fsbrl::kConfigure, reinterpret_cast<win::FARPROC>(&L::Configure)},
         {fsbrl::kGetDisplayName, reinterpret_cast<win::FARPROC>(&L::GetDisplayName)},
         {fsbrl::kGetFirmwareVersion, reinterpret_cast<win::FARPROC>(&L::GetFirmwareVersion)},
         {fsbrl::kClose, reinterpret_cast<win::FARPROC>(&L::Close)},
         {fsbrl::kBeep, reinterpret_cast<win::FARPROC>(&L::Beep)}});
}

void SimMachine::BrailleKey(std::uint32_t kind, std::uint32_t data, std::uint32_t at) {
    Happening h{Happening::Kind::kBrailleKey};
    h.wp = kind;
    h.lp = static_cast<win::LPARAM>(data);
    Schedule(at, h);
}

void SimMachine::DeliverBrailleKey(const Happening& h) {
    if (!braille_.open || !braille_.keysOn ||
        !PostMessageA(braille_.window, braille_.message, h.wp, h.lp))
        ++braille_.lostKeys;
}

}  // namespace sim
