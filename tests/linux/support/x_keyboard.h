// Puts the test X server's keyboard in a known state before a test types into it, so
// that real input arrives the same way however busy the machine is.
#pragma once

#include <string>

namespace linux_test {

// Call before the back end opens its display. On the X server of DISPLAY, until the test
// process ends:
// - every character the tests type has a key of its own ("ç" gets a spare keycode), so
//   xdotool never remaps a key for a moment while the window reads it;
// - autorepeat is off, so a key held down longer on a busy machine is still one press;
// - keys left down by an earlier run that was killed mid-key are released.
// Returns an empty string, or what went wrong.
std::string PrepareXKeyboard();

}  // namespace linux_test
