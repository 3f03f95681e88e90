// What a US keyboard types: the WM_CHAR byte of a virtual key under the modifiers.
#pragma once

#include <cstdint>

namespace sim {

// 0 when the combination types nothing (function keys, arrows, Ctrl+Alt combinations).
// Ctrl+letter gives the control codes 1..26; Ctrl+Break (VK_CANCEL) gives 3.
std::uint8_t UsKeyboardChar(int vk, bool shift, bool ctrl, bool alt);

}  // namespace sim
