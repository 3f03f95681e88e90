// Keyboard translation of the Linux back end: SDL keys to virtual keys, key events to
// the key messages Windows would queue, text input to Windows-1252 characters, and the
// key-state table GetKeyState reads.
//
// The character rule: every WM_CHAR is made here, when the SDL event is taken, never by
// TranslateMessage. Printable characters come from SDL's text events only; the keys SDL
// gives no text for (Esc, Enter, Backspace, Tab, Ctrl+letter) get theirs from the key
// down. So a key yields its character exactly once, with or without TranslateMessage.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/wintypes.h"

namespace win {

struct KeyMods {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool numLock = true;
};

// The virtual key of an SDL keycode and scancode (0 when none): generic VK_SHIFT,
// VK_CONTROL and VK_MENU for either side, as Windows' key messages carry them; the
// keypad by Num Lock; Ctrl+Pause is VK_CANCEL.
int VkFromSdl(std::int32_t keycode, int scancode, const KeyMods& mods);
// The side-specific key (VK_LSHIFT ...) of a modifier scancode, else 0.
int SideVkFromScancode(int scancode);
// Keys Windows marks "extended" in lParam bit 24 (right Ctrl/Alt, arrows, Insert ...).
bool IsExtendedScancode(int scancode);

struct KeyEvent {
    int vk = 0;
    int scancode = 0;  // SDL scancode
    bool down = true;
    bool repeat = false;
    KeyMods mods;
};

// Appends the messages one key event becomes: WM_KEYDOWN/WM_KEYUP, or WM_SYSKEYDOWN/
// WM_SYSKEYUP for Alt combinations (without Ctrl), F10 and Alt itself; then for a key
// down the synthesized WM_CHAR (or WM_SYSCHAR with Alt) of Esc 27, Enter 13 (Ctrl: 10),
// Backspace 8 (Ctrl: 127), Tab 9 and Ctrl+letter 1..26.
void AppendKeyMessages(const KeyEvent& ev, HWND hwnd, std::vector<MSG>& out);

// Appends one WM_CHAR per character of an SDL text event, as Windows-1252; characters
// outside Windows-1252 and malformed bytes are dropped. `keyChar` is the Windows-1252
// character of the key pressed last (its own symbol, 0 when unknown). With Ctrl or Alt
// held, that key's own character is what Windows never types: with Ctrl it is dropped
// (Ctrl+1, Ctrl+Alt+1), with Alt alone it is WM_SYSCHAR. Any other character is the
// layout's third level (AltGr, which the X server reports as Alt) and types as WM_CHAR.
void AppendTextMessages(std::string_view utf8, const KeyMods& mods, HWND hwnd,
                        std::vector<MSG>& out, std::uint8_t keyChar = 0);
// The Windows-1252 character of an SDL keycode's own symbol, or 0.
std::uint8_t KeyCharOfSdl(std::int32_t sym);

// GetKeyState's table: bit 15 down, bit 0 toggled (each press flips it, as Caps Lock
// shows). Updated from key messages as the program takes them from the queue.
class KeyTable {
  public:
    void Apply(const MSG& msg);
    void SetToggled(int vk, bool on);
    SHORT State(int vk) const;
    void ReleaseAll();  // every key up, toggles kept

  private:
    void Set(int vk, bool down, bool press);
    std::array<std::uint8_t, 256> keys_{};
};

}  // namespace win
