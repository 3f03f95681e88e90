#include "console/tfMouse.h"

#include "console/TfCrt.h"
#include "platform/api.h"

namespace sonara {

namespace {
TfMouse* current_mouse = nullptr;
}

TfMouse::TfMouse() {
    current_mouse = this;
}

TfMouse::~TfMouse() {
    if (current_mouse == this) current_mouse = nullptr;
}

TfMouse* TfMouse::Current() {
    return current_mouse;
}

bool TfMouse::OnMouse(win::UINT msg, win::WPARAM wp) {
    if (!mouse_keys_) return false;
    if (ignore_click_) {
        ignore_click_ = false;
        return true;
    }
    TfCrt* crt = TfCrt::Current();
    if (crt == nullptr) return true;
    // Two-byte codes go in whole, so a nearly full queue never keeps a lone 0.
    switch (msg) {
        case win::WM_LBUTTONDOWN:
            crt->QueueKey(13);
            break;
        case win::WM_RBUTTONDOWN:
            crt->QueueKey(27);
            break;
        case win::WM_MBUTTONDOWN:
            crt->QueueKeyPair(0, 67);
            break;
        case win::WM_MOUSEWHEEL: {
            int d = win::GET_WHEEL_DELTA_WPARAM(wp);
            if (d < 0) crt->QueueKeyPair(0, 80);
            if (d > 0) crt->QueueKeyPair(0, 72);
            break;
        }
        default:
            return false;
    }
    return true;
}

void TfMouse::OnSetFocus() {
    ignore_click_ = win::GetAsyncKeyState(win::VK_LBUTTON) < 0 ||
                    win::GetAsyncKeyState(win::VK_MBUTTON) < 0 ||
                    win::GetAsyncKeyState(win::VK_RBUTTON) < 0;
}

void TfMouse::OnKillFocus() {
    ignore_click_ = false;
}

}  // namespace sonara
