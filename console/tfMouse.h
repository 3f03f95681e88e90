// tfMouse: mouse buttons and the wheel as keys of the console's key queue.
#pragma once

#include "platform/wintypes.h"

namespace sonara {

class TfMouse {
  public:
    TfMouse();  // module start: mouse keys on
    ~TfMouse();
    TfMouse(const TfMouse&) = delete;
    TfMouse& operator=(const TfMouse&) = delete;

    static TfMouse* Current();

    // WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEWHEEL: true when handled.
    bool OnMouse(win::UINT msg, win::WPARAM wp);
    // The click that gives the window the focus is not taken as a key.
    void OnSetFocus();
    void OnKillFocus();

    bool MouseKeys() const { return mouse_keys_; }
    bool IgnoreClick() const { return ignore_click_; }

  private:
    bool mouse_keys_ = true;
    bool ignore_click_ = false;
};

}  // namespace sonara
