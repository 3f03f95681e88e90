// The braille display library the Linux back end provides under the name
// "fsbrldspapi.dll", over BrlAPI: a display is a connection to the local BRLTTY (its
// address and authentication from BRLAPI_HOST and BRLAPI_AUTH, or BrlAPI's defaults).
//
// Open connects, reads the display's size (none without a display), takes the display on the
// program's virtual terminal (or window-less when there is none) and ignores keys; the
// cell count is the display's size; write shows dot bytes; configure 2 accepts every
// key and starts a thread that posts each key as the events of platform/fsbrldspapi.h;
// the display name and firmware are BrlAPI's driver name and model. No BRLTTY, no
// display or a refused connection: open returns 0 and nothing is printed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/wintypes.h"

namespace win {

// A display key event as the library posts it: wParam = kind, lParam = data.
struct DisplayKeyEvent {
    WPARAM kind = 0;
    LPARAM data = 0;
};

// The events of one BrlAPI key code (at most 2: key bits, then the chord's end); returns
// how many were written to out.
int BrlapiKeyEvents(std::uint64_t code, DisplayKeyEvent out[2]);

class BrlapiDisplayLibrary {
  public:
    // post: the back end's thread-safe PostMessage, for the key threads.
    using Poster = std::function<BOOL(HWND, UINT, WPARAM, LPARAM)>;
    explicit BrlapiDisplayLibrary(Poster post);
    // Closes every display still open and stops its key thread.
    ~BrlapiDisplayLibrary();
    BrlapiDisplayLibrary(const BrlapiDisplayLibrary&) = delete;
    BrlapiDisplayLibrary& operator=(const BrlapiDisplayLibrary&) = delete;

    // The entry point of that name, or null.
    static FARPROC Proc(const char* name);

    struct Display;

  private:
    Poster post_;
};

}  // namespace win
