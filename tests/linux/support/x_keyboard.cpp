#include "tests/linux/support/x_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/linux/support/shell.h"

namespace linux_test {

namespace {

// Keysyms the tests type that a US layout lacks.
constexpr KeySym kExtraKeys[][2] = {{XK_ccedilla, XK_Ccedilla}};

bool GiveKeysymAKey(Display* d, const KeySym pair[2]) {
    if (XKeysymToKeycode(d, pair[0]) != 0) return true;  // done by an earlier run
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(d, &minCode, &maxCode);
    KeySym* map =
        XGetKeyboardMapping(d, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (!map) return false;
    int spare = 0;
    // From the top, where the keycodes no real key uses are.
    for (int code = maxCode; code >= minCode && spare == 0; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            if (map[(code - minCode) * perCode + i] != NoSymbol) empty = false;
        if (empty) spare = code;
    }
    XFree(map);
    if (spare == 0) return false;
    KeySym syms[2] = {pair[0], pair[1]};
    XChangeKeyboardMapping(d, spare, 2, syms, 1);
    XSync(d, False);
    return true;
}

// The names of the keys the server holds down, each after a space.
std::string KeysDown(Display* d) {
    char down[32] = {};  // one bit a keycode
    XQueryKeymap(d, down);
    std::string names;
    for (int code = 0; code < 256; ++code) {
        if (!(down[code / 8] & (1 << (code % 8)))) continue;
        const KeySym sym = XkbKeycodeToKeysym(d, static_cast<KeyCode>(code), 0, 0);
        const char* name = sym != NoSymbol ? XKeysymToString(sym) : nullptr;
        names += " ";
        names += name ? name : std::to_string(code);
    }
    return names;
}

}  // namespace

std::string PrepareXKeyboard() {
    if (!std::getenv("DISPLAY")) return "no X display";
    // An X server resets its keyboard when its last client leaves: this connection stays
    // open for the life of the test process, so the settings hold until the test ends.
    // Retried: a server resetting after the previous test's last client refuses
    // connections for a moment, longer on a busy machine.
    static Display* d = [] {
        Display* opened = XOpenDisplay(nullptr);
        for (int i = 0; i < 200 && !opened; ++i) {
            usleep(50 * 1000);
            opened = XOpenDisplay(nullptr);
        }
        return opened;
    }();
    if (!d) return "cannot open the X display";
    std::string error;
    for (const auto& pair : kExtraKeys)
        if (!GiveKeysymAKey(d, pair)) error = "no spare keycode for a typed character";
    XKeyboardControl control{};
    control.auto_repeat_mode = AutoRepeatModeOff;
    XChangeKeyboardControl(d, KBAutoRepeatMode, &control);
    XSync(d, False);
    if (const std::string stuck = KeysDown(d); !stuck.empty()) {
        Shell("xdotool keyup" + stuck);
        if (const std::string still = KeysDown(d); !still.empty())
            error = "keys still down:" + still;
    }
    return error;
}

}  // namespace linux_test
