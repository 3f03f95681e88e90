// Text and key events with arbitrary contents must translate without a fault: every
// character message carries one byte, every key message a virtual key below 256.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/linux/LinuxInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace win;
    if (size < 8) return 0;
    KeyMods mods;
    mods.shift = data[0] & 1;
    mods.ctrl = data[0] & 2;
    mods.alt = data[0] & 4;
    mods.numLock = data[0] & 8;
    std::int32_t keycode;
    std::memcpy(&keycode, data + 1, 4);
    const int scancode = data[5] | (data[6] << 8);
    KeyEvent ev;
    ev.vk = VkFromSdl(keycode, scancode, mods);
    ev.scancode = scancode;
    ev.down = data[7] & 1;
    ev.repeat = data[7] & 2;
    ev.mods = mods;
    std::vector<MSG> out;
    AppendKeyMessages(ev, nullptr, out);
    AppendTextMessages(std::string_view(reinterpret_cast<const char*>(data + 8), size - 8), mods,
                       nullptr, out);
    KeyTable table;
    for (const MSG& m : out) {
        if ((m.message == WM_CHAR || m.message == WM_SYSCHAR) && (m.wParam == 0 || m.wParam > 255))
            std::abort();
        if ((m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) && m.wParam > 255) std::abort();
        table.Apply(m);
        (void)table.State(static_cast<int>(m.wParam));
    }
    return 0;
}
