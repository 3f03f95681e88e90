#include "platform/linux/LinuxInput.h"

#include <SDL.h>

#include "platform/cp1252.h"
#include "platform/paths.h"

namespace win {

namespace {

constexpr int kVkSnapshot = 0x2C;
constexpr int kVkNumLock = 0x90;
constexpr int kVkScroll = 0x91;
constexpr int kVkClear = 0x0C;

int VkFromKeypad(std::int32_t key, bool numLock) {
    struct Pad {
        std::int32_t key;
        int digitVk;
        int navVk;
    };
    static constexpr Pad kPad[] = {
        {SDLK_KP_0, VK_NUMPAD0 + 0, VK_INSERT},  {SDLK_KP_1, VK_NUMPAD0 + 1, VK_END},
        {SDLK_KP_2, VK_NUMPAD0 + 2, VK_DOWN},    {SDLK_KP_3, VK_NUMPAD0 + 3, VK_NEXT},
        {SDLK_KP_4, VK_NUMPAD0 + 4, VK_LEFT},    {SDLK_KP_5, VK_NUMPAD0 + 5, kVkClear},
        {SDLK_KP_6, VK_NUMPAD0 + 6, VK_RIGHT},   {SDLK_KP_7, VK_NUMPAD0 + 7, VK_HOME},
        {SDLK_KP_8, VK_NUMPAD0 + 8, VK_UP},      {SDLK_KP_9, VK_NUMPAD0 + 9, VK_PRIOR},
        {SDLK_KP_PERIOD, VK_DECIMAL, VK_DELETE},
    };
    for (const Pad& p : kPad) {
        if (p.key == key) return numLock ? p.digitVk : p.navVk;
    }
    switch (key) {
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        default:
            return 0;
    }
}

// Punctuation keys by position (US names), whatever the layout prints on them.
int VkFromPunctuationScancode(int sc) {
    switch (sc) {
        case SDL_SCANCODE_SEMICOLON:
            return VK_OEM_1;
        case SDL_SCANCODE_EQUALS:
            return VK_OEM_PLUS;
        case SDL_SCANCODE_COMMA:
            return VK_OEM_COMMA;
        case SDL_SCANCODE_MINUS:
            return VK_OEM_MINUS;
        case SDL_SCANCODE_PERIOD:
            return VK_OEM_PERIOD;
        case SDL_SCANCODE_SLASH:
            return VK_OEM_2;
        case SDL_SCANCODE_GRAVE:
            return VK_OEM_3;
        case SDL_SCANCODE_LEFTBRACKET:
            return VK_OEM_4;
        case SDL_SCANCODE_BACKSLASH:
            return VK_OEM_5;
        case SDL_SCANCODE_RIGHTBRACKET:
            return VK_OEM_6;
        case SDL_SCANCODE_APOSTROPHE:
            return VK_OEM_7;
        default:
            return 0;
    }
}

int VkFromNamedKey(std::int32_t key) {
    switch (key) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_CANCEL:
            return VK_CANCEL;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_PRINTSCREEN:
            return kVkSnapshot;
        case SDLK_NUMLOCKCLEAR:
            return kVkNumLock;
        case SDLK_SCROLLLOCK:
            return kVkScroll;
        default:
            break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    return 0;
}

}  // namespace

int VkFromSdl(std::int32_t keycode, int scancode, const KeyMods& mods) {
    if (keycode == SDLK_PAUSE && mods.ctrl) return VK_CANCEL;
    const bool numLock = mods.numLock;
    if (keycode >= 'a' && keycode <= 'z') return 'A' + (keycode - 'a');
    if (keycode >= '0' && keycode <= '9') return keycode;
    if (int vk = VkFromNamedKey(keycode)) return vk;
    if (int vk = VkFromKeypad(keycode, numLock)) return vk;
    if (int vk = VkFromPunctuationScancode(scancode)) return vk;
    // Letters and digits of other layouts' keys by position.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode == SDL_SCANCODE_NONUSBACKSLASH) return 0xE2;  // VK_OEM_102
    return 0;
}

int SideVkFromScancode(int scancode) {
    switch (scancode) {
        case SDL_SCANCODE_LSHIFT:
            return VK_LSHIFT;
        case SDL_SCANCODE_RSHIFT:
            return VK_RSHIFT;
        case SDL_SCANCODE_LCTRL:
            return VK_LCONTROL;
        case SDL_SCANCODE_RCTRL:
            return VK_RCONTROL;
        case SDL_SCANCODE_LALT:
            return VK_LMENU;
        case SDL_SCANCODE_RALT:
            return VK_RMENU;
        default:
            return 0;
    }
}

bool IsExtendedScancode(int sc) {
    switch (sc) {
        case SDL_SCANCODE_RCTRL:
        case SDL_SCANCODE_RALT:
        case SDL_SCANCODE_INSERT:
        case SDL_SCANCODE_DELETE:
        case SDL_SCANCODE_HOME:
        case SDL_SCANCODE_END:
        case SDL_SCANCODE_PAGEUP:
        case SDL_SCANCODE_PAGEDOWN:
        case SDL_SCANCODE_LEFT:
        case SDL_SCANCODE_RIGHT:
        case SDL_SCANCODE_UP:
        case SDL_SCANCODE_DOWN:
        case SDL_SCANCODE_KP_ENTER:
        case SDL_SCANCODE_KP_DIVIDE:
            return true;
        default:
            return false;
    }
}

namespace {

// The character Windows makes for a key that SDL gives no text for, or -1.
int SynthesizedChar(const KeyEvent& ev) {
    const bool ctrlOnly = ev.mods.ctrl && !ev.mods.alt;
    switch (ev.vk) {
        case VK_ESCAPE:
            return ev.mods.ctrl ? -1 : 27;
        case VK_RETURN:
            return ctrlOnly ? 10 : 13;
        case VK_BACK:
            return ctrlOnly ? 127 : 8;
        case VK_TAB:
            return ev.mods.ctrl ? -1 : 9;
        case VK_CANCEL:
            return ctrlOnly ? 3 : -1;
        default:
            break;
    }
    if (ctrlOnly && ev.vk >= 'A' && ev.vk <= 'Z') return ev.vk - 'A' + 1;
    return -1;
}

LPARAM KeyLParam(const KeyEvent& ev) {
    LPARAM lp = 1;
    int scan = 0;
    if (ev.scancode == SDL_SCANCODE_LSHIFT) scan = 0x2A;
    if (ev.scancode == SDL_SCANCODE_RSHIFT) scan = 0x36;
    lp |= static_cast<LPARAM>(scan) << 16;
    if (IsExtendedScancode(ev.scancode)) lp |= LPARAM{1} << 24;
    if (ev.mods.alt) lp |= KF_ALTDOWN_LPARAM;
    if (ev.repeat || !ev.down) lp |= LPARAM{1} << 30;
    if (!ev.down) lp |= LPARAM{1} << 31;
    return lp;
}

bool IsSystemKey(const KeyEvent& ev) {
    if (ev.mods.ctrl) return false;
    return ev.mods.alt || ev.vk == VK_F10 || ev.vk == VK_MENU;
}

}  // namespace

void AppendKeyMessages(const KeyEvent& ev, HWND hwnd, std::vector<MSG>& out) {
    if (ev.vk == 0) return;
    MSG m;
    m.hwnd = hwnd;
    const bool sys = IsSystemKey(ev);
    m.message = ev.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    m.wParam = static_cast<WPARAM>(ev.vk);
    m.lParam = KeyLParam(ev);
    out.push_back(m);
    if (!ev.down) return;
    const int c = SynthesizedChar(ev);
    if (c < 0) return;
    MSG ch = m;
    ch.message = (ev.mods.alt && !ev.mods.ctrl) ? WM_SYSCHAR : WM_CHAR;
    ch.wParam = static_cast<WPARAM>(c);
    out.push_back(ch);
}

void AppendTextMessages(std::string_view utf8, const KeyMods& mods, HWND hwnd,
                        std::vector<MSG>& out, std::uint8_t keyChar) {
    // '\0' marks the characters Windows-1252 has not; a text event never carries NUL.
    const std::string bytes = Utf8ToCp1252(utf8, '\0');
    for (char b : bytes) {
        if (b == '\0') continue;
        UINT message = WM_CHAR;
        const bool ownChar = keyChar != 0 && FoldChar(b) == FoldChar(static_cast<char>(keyChar));
        if (keyChar == 0 || ownChar) {
            if (mods.ctrl && keyChar != 0) continue;
            if (mods.alt && !mods.ctrl) message = WM_SYSCHAR;
        }
        MSG m;
        m.hwnd = hwnd;
        m.message = message;
        m.wParam = static_cast<unsigned char>(b);
        m.lParam = 1;
        out.push_back(m);
    }
}

std::uint8_t KeyCharOfSdl(std::int32_t sym) {
    if (sym < 0x20 || (sym & SDLK_SCANCODE_MASK) != 0) return 0;
    const int c = CodePointToCp1252(static_cast<char32_t>(sym));
    return c > 0 ? static_cast<std::uint8_t>(c) : 0;
}

void KeyTable::Set(int vk, bool down, bool press) {
    if (vk <= 0 || vk > 255) return;
    std::uint8_t& k = keys_[static_cast<std::size_t>(vk)];
    if (press && !(k & 0x80)) k ^= 0x01;
    k = static_cast<std::uint8_t>(down ? (k | 0x80) : (k & ~0x80));
}

void KeyTable::Apply(const MSG& msg) {
    bool down;
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            down = true;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            down = false;
            break;
        case WM_KILLFOCUS:
            // The keys held now go up elsewhere. Cleared in queue order, so the key
            // messages before the focus change still see their modifiers; toggles stay.
            ReleaseAll();
            return;
        default:
            return;
    }
    const int vk = static_cast<int>(msg.wParam & 0xFF);
    Set(vk, down, down);
    const bool extended = (msg.lParam >> 24) & 1;
    const int scan = static_cast<int>((msg.lParam >> 16) & 0xFF);
    int side = 0;
    if (vk == VK_SHIFT) side = scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    if (vk == VK_CONTROL) side = extended ? VK_RCONTROL : VK_LCONTROL;
    if (vk == VK_MENU) side = extended ? VK_RMENU : VK_LMENU;
    if (side) Set(side, down, down);
}

void KeyTable::SetToggled(int vk, bool on) {
    if (vk <= 0 || vk > 255) return;
    std::uint8_t& k = keys_[static_cast<std::size_t>(vk)];
    k = static_cast<std::uint8_t>(on ? (k | 1) : (k & ~1));
}

SHORT KeyTable::State(int vk) const {
    if (vk <= 0 || vk > 255) return 0;
    const std::uint8_t k = keys_[static_cast<std::size_t>(vk)];
    return static_cast<SHORT>(((k & 0x80) ? 0xFF80 : 0) | (k & 1));
}

void KeyTable::ReleaseAll() {
    for (std::uint8_t& k : keys_) k &= 1;
}

}  // namespace win
