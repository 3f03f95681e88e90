// Scheduled input and key state of the simulated machine.
#include <algorithm>

#include "platform/sim/KeyNames.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

constexpr win::LPARAM kPrevDown = win::LPARAM{1} << 30;
constexpr win::LPARAM kReleased = win::LPARAM{1} << 31;
constexpr win::WPARAM kButtonFlags[3] = {0x0001, 0x0002, 0x0010};  // MK_LBUTTON ...
constexpr win::UINT kButtonDown[3] = {win::WM_LBUTTONDOWN, win::WM_RBUTTONDOWN,
                                      win::WM_MBUTTONDOWN};
constexpr int kButtonVk[3] = {win::VK_LBUTTON, win::VK_RBUTTON, win::VK_MBUTTON};

bool IsKeyDownMessage(win::UINT m) {
    return m == win::WM_KEYDOWN || m == win::WM_SYSKEYDOWN;
}
bool IsKeyUpMessage(win::UINT m) {
    return m == win::WM_KEYUP || m == win::WM_SYSKEYUP;
}

}  // namespace

void SimMachine::ScheduleKeyMessage(int vk, bool down, bool altHeld, bool ctrlHeld, std::uint8_t ch,
                                    std::uint32_t at) {
    // Alt without Ctrl, and F10, make the system variants, as on Windows.
    bool sys = !ctrlHeld && (altHeld || vk == win::VK_F10);
    Happening h{Happening::Kind::kInput};
    h.message = down ? (sys ? win::WM_SYSKEYDOWN : win::WM_KEYDOWN)
                     : (sys ? win::WM_SYSKEYUP : win::WM_KEYUP);
    h.wp = static_cast<win::WPARAM>(vk);
    h.lp = 1 | (altHeld ? win::KF_ALTDOWN_LPARAM : 0) | (down ? 0 : kPrevDown | kReleased);
    h.ch = ch;
    Schedule(at, h);
}

void SimMachine::ScheduleKey(const KeySpec& key, bool down, bool up, std::uint32_t at) {
    if (key.vk == 0) {
        // A character typed directly, as an input method delivers it.
        if (down && key.ch != 0) {
            Happening h{Happening::Kind::kInput};
            h.message = win::WM_CHAR;
            h.wp = key.ch;
            h.lp = 1;
            Schedule(at, h);
        }
        return;
    }
    if (down) {
        if (key.ctrl) ScheduleKeyMessage(win::VK_CONTROL, true, false, false, 0, at);
        if (key.shift) ScheduleKeyMessage(win::VK_SHIFT, true, false, key.ctrl, 0, at);
        if (key.alt) ScheduleKeyMessage(win::VK_MENU, true, true, key.ctrl, 0, at);
        ScheduleKeyMessage(key.vk, true, key.alt, key.ctrl, key.ch, at);
    }
    if (up) {
        ScheduleKeyMessage(key.vk, false, key.alt, key.ctrl, 0, at);
        if (key.alt) ScheduleKeyMessage(win::VK_MENU, false, true, key.ctrl, 0, at);
        if (key.shift) ScheduleKeyMessage(win::VK_SHIFT, false, false, key.ctrl, 0, at);
        if (key.ctrl) ScheduleKeyMessage(win::VK_CONTROL, false, false, false, 0, at);
    }
}

void SimMachine::PressKey(const KeySpec& key, std::uint32_t at) {
    ScheduleKey(key, true, true, at);
}
void SimMachine::KeyDown(const KeySpec& key, std::uint32_t at) {
    ScheduleKey(key, true, false, at);
}
void SimMachine::KeyUp(const KeySpec& key, std::uint32_t at) {
    ScheduleKey(key, false, true, at);
}

void SimMachine::Click(int button, std::uint32_t at) {
    if (button < 0 || button > 2) return;
    Happening h{Happening::Kind::kInput};
    h.message = kButtonDown[button];
    h.wp = kButtonFlags[button];
    Schedule(at, h);
    h.message = kButtonDown[button] + 1;  // the matching button-up message
    h.wp = 0;
    Schedule(at, h);
}

void SimMachine::Wheel(int delta, std::uint32_t at) {
    Happening h{Happening::Kind::kInput};
    h.message = win::WM_MOUSEWHEEL;
    h.wp = static_cast<win::WPARAM>(static_cast<std::uint16_t>(delta)) << 16;
    Schedule(at, h);
}

void SimMachine::Focus(bool on, std::uint32_t at) {
    Happening h{Happening::Kind::kFocus};
    h.message = on ? win::WM_SETFOCUS : win::WM_KILLFOCUS;
    Schedule(at, h);
}

void SimMachine::Close(std::uint32_t at) {
    Schedule(at, Happening{Happening::Kind::kClose});
}

void SimMachine::SetMouseButtonDown(int button, bool down) {
    if (button >= 0 && button <= 2) asyncButton_[button] = down;
}

bool SimMachine::InputPending() const {
    return std::any_of(happenings_.begin(), happenings_.end(), [](const auto& entry) {
        auto k = entry.second.kind;
        return k == Happening::Kind::kInput || k == Happening::Kind::kFocus ||
               k == Happening::Kind::kClose || k == Happening::Kind::kBrailleKey;
    });
}

// Key state follows the messages as the program takes them from the queue.
void SimMachine::NoteRetrieved(const Queued& q) {
    win::UINT m = q.msg.message;
    if (IsKeyDownMessage(m) || IsKeyUpMessage(m)) {
        int vk = static_cast<int>(q.msg.wParam & 0xFF);
        bool down = IsKeyDownMessage(m);
        if (down && !keyDown_[vk]) keyToggled_[vk] = !keyToggled_[vk];
        keyDown_[vk] = down;
        if (vk == win::VK_CONTROL) keyDown_[win::VK_LCONTROL] = down;
        if (vk == win::VK_MENU) keyDown_[win::VK_LMENU] = down;
        if (vk == win::VK_SHIFT) keyDown_[win::VK_LSHIFT] = down;
        if (down) lastKey_ = q;
        return;
    }
    for (int b = 0; b < 3; ++b) {
        if (m == kButtonDown[b]) keyDown_[kButtonVk[b]] = true;
        if (m == kButtonDown[b] + 1) keyDown_[kButtonVk[b]] = false;
    }
}

win::BOOL SimMachine::TranslateMessage(const win::MSG* msg) {
    if (msg == nullptr || !IsKeyDownMessage(msg->message)) return win::FALSE;
    const win::MSG& last = lastKey_.msg;
    std::uint8_t ch = 0;
    if (last.hwnd == msg->hwnd && last.message == msg->message && last.wParam == msg->wParam &&
        last.lParam == msg->lParam && last.time == msg->time) {
        ch = lastKey_.ch;
    } else {
        ch = UsKeyboardChar(static_cast<int>(msg->wParam), keyDown_[win::VK_SHIFT],
                            keyDown_[win::VK_CONTROL], keyDown_[win::VK_MENU]);
    }
    if (ch != 0) {
        // The character comes next, ahead of the key's own key-up.
        win::UINT charMsg = msg->message == win::WM_SYSKEYDOWN ? win::WM_SYSCHAR : win::WM_CHAR;
        queue_.push_front(Queued{win::MSG{msg->hwnd, charMsg, ch, msg->lParam, now_, {}}, 0});
    }
    return win::TRUE;
}

win::SHORT SimMachine::GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    int v = (keyDown_[vk] ? 0x8000 : 0) | (keyToggled_[vk] ? 1 : 0);
    return static_cast<win::SHORT>(v);
}

win::SHORT SimMachine::GetAsyncKeyState(int vk) {
    for (int b = 0; b < 3; ++b)
        if (vk == kButtonVk[b]) return static_cast<win::SHORT>(asyncButton_[b] ? 0x8000 : 0);
    if (vk < 0 || vk > 255) return 0;
    return static_cast<win::SHORT>(keyDown_[vk] ? 0x8000 : 0);
}

}  // namespace sim
