// Windows and the message queue of the simulated machine.
#include <algorithm>

#include "platform/paths.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

win::HWND HandleOf(std::size_t index) {
    return reinterpret_cast<win::HWND>((index + 1) * 4 + 0x10000);
}

bool InRange(win::UINT msg, win::UINT first, win::UINT last) {
    return (first == 0 && last == 0) || (msg >= first && msg <= last);
}

win::RECT Union(const win::RECT& a, const win::RECT& b) {
    return win::RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

constexpr int kFrame = 4, kCaption = 19;

}  // namespace

SimMachine::Window* SimMachine::Find(win::HWND hwnd) {
    auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    if (v < 0x10004 || (v - 0x10000) % 4 != 0) return nullptr;
    std::size_t index = (v - 0x10000) / 4 - 1;
    if (index >= windows_.size() || !windows_[index].alive) return nullptr;
    return &windows_[index];
}

const SimMachine::Window* SimMachine::Find(win::HWND hwnd) const {
    return const_cast<SimMachine*>(this)->Find(hwnd);
}

win::HWND SimMachine::TopWindow() const {
    // The most recently created live top-level window that is shown, else any live one.
    win::HWND any = nullptr;
    for (std::size_t i = windows_.size(); i-- > 0;) {
        const Window& w = windows_[i];
        if (!w.alive || w.parent != nullptr) continue;
        if (w.visible) return HandleOf(i);
        if (any == nullptr) any = HandleOf(i);
    }
    return any;
}

win::ATOM SimMachine::RegisterClassA(const win::WNDCLASSA& wc) {
    if (wc.lpszClassName == nullptr || wc.lpfnWndProc == nullptr) return 0;
    std::string key = win::FoldCase(wc.lpszClassName);
    if (classes_.count(key) != 0) return 0;
    classes_[key] = wc;
    return static_cast<win::ATOM>(0xC000 + classes_.size());
}

win::HWND SimMachine::CreateWindowExA(win::DWORD, const char* className, const char* title,
                                      win::DWORD, int x, int y, int width, int height,
                                      win::HWND parent) {
    if (className == nullptr) return nullptr;
    auto cls = classes_.find(win::FoldCase(className));
    if (cls == classes_.end()) return nullptr;
    if (x == win::CW_USEDEFAULT) x = y = 0;
    if (width == win::CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    Window w;
    w.className = className;
    w.proc = cls->second.lpfnWndProc;
    w.title = title != nullptr ? title : "";
    w.rect = win::RECT{x, y, x + width, y + height};
    w.parent = parent;
    w.background = cls->second.hbrBackground;
    windows_.push_back(w);
    win::HWND hwnd = HandleOf(windows_.size() - 1);
    Record("window", "create " + w.className + " \"" + w.title + "\"");

    win::MINMAXINFO mmi;
    mmi.ptMaxSize = win::POINT{1024 + 2 * kFrame, 734 + 2 * kFrame};
    mmi.ptMaxPosition = win::POINT{-kFrame, -kFrame};
    mmi.ptMaxTrackSize = win::POINT{1024 + 2 * kFrame, 768 + 2 * kFrame};
    SendMessageA(hwnd, win::WM_GETMINMAXINFO, 0, reinterpret_cast<win::LPARAM>(&mmi));
    if (Find(hwnd) == nullptr) return nullptr;
    if (SendMessageA(hwnd, win::WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return Find(hwnd) != nullptr ? hwnd : nullptr;
}

win::LRESULT SimMachine::DefWindowProcA(win::HWND hwnd, win::UINT msg, win::WPARAM wp,
                                        win::LPARAM lp) {
    switch (msg) {
        case win::WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case win::WM_SYSKEYDOWN:
            if (static_cast<int>(wp) == 0x73 /* F4 */ && (lp & win::KF_ALTDOWN_LPARAM) != 0)
                PostMessageA(hwnd, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
            return 0;
        case win::WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == win::SC_CLOSE) SendMessageA(hwnd, win::WM_CLOSE, 0, 0);
            return 0;
        case win::WM_ERASEBKGND:
            return 1;
        case win::WM_PAINT: {
            win::PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return 0;
    }
}

win::BOOL SimMachine::DestroyWindow(win::HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return win::FALSE;
    if (focus_ == hwnd) {
        SendMessageA(hwnd, win::WM_KILLFOCUS, 0, 0);
        focus_ = nullptr;
    }
    SendMessageA(hwnd, win::WM_DESTROY, 0, 0);
    w = Find(hwnd);
    if (w == nullptr) return win::TRUE;
    w->alive = false;
    w->visible = false;
    if (caret_.exists && caret_.owner == hwnd) DestroyCaret();
    std::erase_if(queue_, [hwnd](const Queued& q) { return q.msg.hwnd == hwnd; });
    Record("window", "destroy " + w->className);
    return win::TRUE;
}

void SimMachine::SetFocusWindow(win::HWND hwnd) {
    if (focus_ == hwnd) return;
    win::HWND old = focus_;
    focus_ = hwnd;
    if (old != nullptr) SendMessageA(old, win::WM_KILLFOCUS, 0, 0);
    if (hwnd != nullptr) SendMessageA(hwnd, win::WM_SETFOCUS, 0, 0);
}

void SimMachine::InvalidateWhole(Window& w, bool erase) {
    win::RECT client{0, 0, w.rect.right - w.rect.left - 2 * kFrame,
                     w.rect.bottom - w.rect.top - kCaption - 2 * kFrame};
    w.update = w.dirty ? Union(w.update, client) : client;
    w.dirty = true;
    w.erase = w.erase || erase;
}

win::BOOL SimMachine::ShowWindow(win::HWND hwnd, int cmd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return win::FALSE;
    bool wasVisible = w->visible;
    showCommand_ = cmd;
    Record("window", "show " + std::to_string(cmd));
    if (cmd == win::SW_HIDE) {
        w->visible = false;
        if (focus_ == hwnd) SetFocusWindow(nullptr);
        return wasVisible ? win::TRUE : win::FALSE;
    }
    if (cmd == win::SW_MAXIMIZE) {
        win::MINMAXINFO mmi;
        mmi.ptMaxSize = win::POINT{1024 + 2 * kFrame, 734 + 2 * kFrame};
        mmi.ptMaxPosition = win::POINT{-kFrame, -kFrame};
        mmi.ptMaxTrackSize = win::POINT{1024 + 2 * kFrame, 768 + 2 * kFrame};
        SendMessageA(hwnd, win::WM_GETMINMAXINFO, 0, reinterpret_cast<win::LPARAM>(&mmi));
        w = Find(hwnd);
        if (w == nullptr) return win::FALSE;
        w->rect =
            win::RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y,
                      mmi.ptMaxPosition.x + mmi.ptMaxSize.x, mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
    }
    w->visible = true;
    InvalidateWhole(*w, true);
    if (w->parent == nullptr && focus_ == nullptr) SetFocusWindow(hwnd);
    return wasVisible ? win::TRUE : win::FALSE;
}

win::BOOL SimMachine::UpdateWindow(win::HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return win::FALSE;
    if (w->dirty && w->visible) SendMessageA(hwnd, win::WM_PAINT, 0, 0);
    return win::TRUE;
}

win::BOOL SimMachine::InvalidateRect(win::HWND hwnd, const win::RECT* rect, win::BOOL erase) {
    if (hwnd == nullptr || Find(hwnd) != nullptr) ProgramDrew(hwnd);
    if (hwnd == nullptr) {
        for (auto& w : windows_)
            if (w.alive) InvalidateWhole(w, erase != 0);
        return win::TRUE;
    }
    Window* w = Find(hwnd);
    if (w == nullptr) return win::FALSE;
    if (rect == nullptr) {
        InvalidateWhole(*w, erase != 0);
        return win::TRUE;
    }
    if (rect->right <= rect->left || rect->bottom <= rect->top) return win::TRUE;
    w->update = w->dirty ? Union(w->update, *rect) : *rect;
    w->dirty = true;
    w->erase = w->erase || erase != 0;
    return win::TRUE;
}

win::BOOL SimMachine::SetWindowTextA(win::HWND hwnd, const char* text) {
    Window* w = Find(hwnd);
    if (w == nullptr) return win::FALSE;
    w->title = text != nullptr ? text : "";
    Record("title", w->title);
    return win::TRUE;
}

win::BOOL SimMachine::GetWindowRect(win::HWND hwnd, win::RECT* rect) {
    const Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr) return win::FALSE;
    *rect = w->rect;
    return win::TRUE;
}

win::BOOL SimMachine::GetClientRect(win::HWND hwnd, win::RECT* rect) {
    const Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr) return win::FALSE;
    *rect = win::RECT{0, 0, std::max(0, w->rect.right - w->rect.left - 2 * kFrame),
                      std::max(0, w->rect.bottom - w->rect.top - kCaption - 2 * kFrame)};
    return win::TRUE;
}

win::HWND SimMachine::GetForegroundWindow() {
    const Window* w = Find(focus_);
    return (w != nullptr && w->visible) ? focus_ : nullptr;
}

win::WNDPROC SimMachine::SetWindowProc(win::HWND hwnd, win::WNDPROC proc) {
    Window* w = Find(hwnd);
    if (w == nullptr || proc == nullptr) return nullptr;
    win::WNDPROC old = w->proc;
    w->proc = proc;
    return old;
}

// ---- Messages ----

win::BOOL SimMachine::PostMessageA(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    if (hwnd != nullptr && Find(hwnd) == nullptr) return win::FALSE;
    queue_.push_back(Queued{win::MSG{hwnd, msg, wp, lp, now_, {}}, 0});
    return win::TRUE;
}

win::LRESULT SimMachine::SendMessageA(win::HWND hwnd, win::UINT msg, win::WPARAM wp,
                                      win::LPARAM lp) {
    Window* w = Find(hwnd);
    if (w == nullptr) return 0;
    return w->proc(hwnd, msg, wp, lp);
}

void SimMachine::PostQuitMessage(int code) {
    quitPending_ = true;
    quitCode_ = code;
}

bool SimMachine::MessageWaiting() const {
    if (!queue_.empty() || quitPending_) return true;
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const Window& w) { return w.alive && w.visible && w.dirty; });
}

bool SimMachine::TakePosted(win::MSG* msg, win::HWND filter, win::UINT first, win::UINT last,
                            bool remove) {
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (filter != nullptr && it->msg.hwnd != filter) continue;
        if (!InRange(it->msg.message, first, last)) continue;
        Queued q = *it;
        if (remove) queue_.erase(it);
        NoteRetrieved(q);
        *msg = q.msg;
        return true;
    }
    return false;
}

bool SimMachine::TakePaint(win::MSG* msg, win::HWND filter, win::UINT first, win::UINT last) {
    if (!InRange(win::WM_PAINT, first, last)) return false;
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const Window& w = windows_[i];
        if (!w.alive || !w.visible || !w.dirty) continue;
        if (filter != nullptr && HandleOf(i) != filter) continue;
        *msg = win::MSG{HandleOf(i), win::WM_PAINT, 0, 0, now_, {}};
        return true;
    }
    return false;
}

win::BOOL SimMachine::PeekMessageA(win::MSG* msg, win::HWND filter, win::UINT first, win::UINT last,
                                   win::UINT remove) {
    if (msg == nullptr) return win::FALSE;
    AdvanceTo(now_);  // what is due now reaches the queue
    bool take = (remove & win::PM_REMOVE) != 0;
    if (TakePosted(msg, filter, first, last, take)) {
        emptyPeeks_ = 0;
        return win::TRUE;
    }
    if (quitPending_ && filter == nullptr && InRange(win::WM_QUIT, first, last)) {
        *msg = win::MSG{nullptr, win::WM_QUIT, static_cast<win::WPARAM>(quitCode_), 0, now_, {}};
        if (take) quitPending_ = false;
        emptyPeeks_ = 0;
        return win::TRUE;
    }
    // WM_PAINT is never removed by a peek: it stays until BeginPaint validates.
    if (TakePaint(msg, filter, first, last)) {
        emptyPeeks_ = 0;
        return win::TRUE;
    }
    OnEmptyPeek();
    return win::FALSE;
}

void SimMachine::OnEmptyPeek() {
    mostPeeksInAWait_ = std::max(mostPeeksInAWait_, ++peeksThisWait_);
    if (peeksThisWait_ > kMaxEmptyPeeksPerWait)
        throw SimBusyWait("busy wait at " + std::to_string(now_) +
                              " ms: " + std::to_string(peeksThisWait_) +
                              " empty PeekMessage calls without WaitMessage or Sleep (" +
                              (happenings_.empty() ? "nothing scheduled" : "something scheduled") +
                              "); a wait must block",
                          now_);
    if (++emptyPeeks_ <= kBusyPeeks) return;
    if (!happenings_.empty()) AdvanceTo(now_ + 1);
}

void SimMachine::OnBlockingCall() {
    emptyPeeks_ = 0;
    peeksThisWait_ = 0;
}

win::BOOL SimMachine::WaitMessage() {
    OnBlockingCall();
    AdvanceTo(now_);
    while (!MessageWaiting()) {
        if (!AdvanceToNextHappening())
            throw SimStopped{"WaitMessage at " + std::to_string(now_) +
                                 " ms: nothing queued and nothing scheduled",
                             now_};
    }
    return win::TRUE;
}

win::LRESULT SimMachine::DispatchMessageA(const win::MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    if (speech_ != nullptr && msg->hwnd == kSpeechNotifyWindow)
        return DispatchSpeechNotification(*msg);
    Window* w = Find(msg->hwnd);
    if (w == nullptr) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

win::UINT SimMachine::RegisterWindowMessageA(const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    std::string key = win::FoldCase(name);
    auto it = registeredMessages_.find(key);
    if (it != registeredMessages_.end()) return it->second;
    win::UINT number = 0xC000 + static_cast<win::UINT>(registeredMessages_.size());
    registeredMessages_[key] = number;
    return number;
}

}  // namespace sim
