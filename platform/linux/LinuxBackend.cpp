// Windows, the message queue and SDL event translation of the Linux back end.
#include "platform/linux/LinuxBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/cp1252.h"
#include "platform/linux/LinuxAudio.h"
#include "platform/linux/LinuxBraille.h"
#include "platform/linux/LinuxClips.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/linux/LinuxSpeech.h"

namespace win {

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kHeadlessPollMs = 50;
constexpr int kDefaultHeight = 480;
constexpr DWORD kWsThickFrame = 0x00040000;
constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMaximized = 2;
constexpr WPARAM kMkLButton = 0x0001, kMkRButton = 0x0002, kMkShift = 0x0004, kMkControl = 0x0008,
                 kMkMButton = 0x0010;

std::string Upper(const char* s) {
    std::string out = s ? s : "";
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

LPARAM PointLParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}

}  // namespace

std::unique_ptr<Backend> MakeLinuxBackend() {
    return std::make_unique<LinuxBackend>();
}

std::unique_ptr<Backend> MakeLinuxDesktopBackend() {
    auto backend = std::make_unique<LinuxBackend>();
    if (backend->HasDisplay()) return backend;
    std::fputs(
        "no usable display (is DISPLAY set to a running X server?); "
        "see the README for xvfb-run and --simulate\n",
        stderr);
    return nullptr;
}

std::unique_ptr<Backend> MakeLinuxHeadlessBackend() {
    return std::make_unique<LinuxBackend>(true);
}

LinuxBackend::LinuxBackend(bool headless)
    : headless_(headless), queue_([this] {
          if (!eventsOk_) return;
          SDL_Event ev{};
          ev.type = wakeEvent_;
          SDL_PushEvent(&ev);
      }) {
    // Closing windows is WM_CLOSE's business; SDL_QUIT is left to the signals.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    eventsOk_ = SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    if (eventsOk_) {
        wakeEvent_ = SDL_RegisterEvents(1);
        if (wakeEvent_ == static_cast<std::uint32_t>(-1)) wakeEvent_ = SDL_USEREVENT;
    }
    scratch_.reserve(8);
    CreateStockObjects();
    InitDelegates();
}

LinuxBackend::~LinuxBackend() {
    brailleLibrary_.reset();  // its key threads post to this back end
    speech_.reset();          // and so do the speech server's notifications
    clips_.reset();
    audio_.reset();
    windows_.clear();
    objects_.clear();
    if (videoOk_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (eventsOk_) SDL_QuitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

bool LinuxBackend::EnsureVideo() {
    if (videoTried_) return videoOk_;
    videoTried_ = true;
    // No display: go straight to off-screen windows (the Wayland probe only complains).
    if (headless_) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    } else if (!SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY")) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_DEFAULT);
    }
    videoOk_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!videoOk_) std::fprintf(stderr, "video: %s; windows stay off-screen\n", SDL_GetError());
    for (const char* driver : {"offscreen", "dummy"}) {
        if (videoOk_) break;
        SDL_setenv("SDL_VIDEODRIVER", driver, 1);
        videoOk_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }
    if (videoOk_) {
        const char* name = SDL_GetCurrentVideoDriver();
        const std::string driver = name ? name : "";
        realDisplay_ = driver != "offscreen" && driver != "dummy";
        SDL_StartTextInput();
        keys_.SetToggled(VK_CAPITAL, (SDL_GetModState() & KMOD_CAPS) != 0);
        keys_.SetToggled(0x90, (SDL_GetModState() & KMOD_NUM) != 0);
    }
    return videoOk_;
}

bool LinuxBackend::HasDisplay() {
    return EnsureVideo() && realDisplay_;
}

LinuxWindow* LinuxBackend::Find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
}

ATOM LinuxBackend::RegisterClassA(const WNDCLASSA& wc) {
    if (!wc.lpszClassName || !wc.lpfnWndProc) return 0;
    const std::string name = Upper(wc.lpszClassName);
    if (classes_.count(name)) return 0;
    WindowClass cls;
    cls.atom = static_cast<ATOM>(0xC000 + classes_.size());
    cls.proc = wc.lpfnWndProc;
    cls.background = wc.hbrBackground;
    classes_[name] = cls;
    return cls.atom;
}

HWND LinuxBackend::CreateWindowExA(DWORD, const char* className, const char* title, DWORD style,
                                   int x, int y, int width, int height, HWND) {
    auto cls = classes_.find(Upper(className));
    if (cls == classes_.end()) return nullptr;
    EnsureVideo();
    if (width == CW_USEDEFAULT || width <= 0) width = kDefaultWidth;
    if (height == CW_USEDEFAULT || height <= 0) height = kDefaultHeight;
    HWND hwnd = reinterpret_cast<HWND>(NextId());
    auto window = std::make_unique<LinuxWindow>(hwnd, cls->second.proc,
                                                BrushColour(cls->second.background), width, height);
    if (!window->surface()) return nullptr;
    window->title = title ? title : "";
    if (videoOk_) {
        const int sx = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
        const int sy = y == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
        window->CreateSdlWindow(Cp1252ToUtf8(window->title), sx, sy, (style & kWsThickFrame) != 0);
    }
    windows_[hwnd] = std::move(window);
    {
        std::lock_guard<std::mutex> lock(liveMutex_);
        live_.insert(hwnd);
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

LRESULT LinuxBackend::DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSKEYDOWN:
            // Posted, as Windows' default procedure does: the close comes after the key.
            if (wp == static_cast<WPARAM>(VK_F1 + 3) && (lp & KF_ALTDOWN_LPARAM))
                PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_CLOSE) return SendMessageA(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            EraseBackground(hwnd, reinterpret_cast<HDC>(wp));
            return 1;
        default:
            return 0;
    }
}

BOOL LinuxBackend::DestroyWindow(HWND hwnd) {
    LinuxWindow* w = Find(hwnd);
    if (!w) return FALSE;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    if (caret_.owner == hwnd) DestroyCaret();
    std::erase_if(dcs_, [hwnd](const auto& kv) { return kv.second.hwnd == hwnd; });
    {
        std::lock_guard<std::mutex> lock(liveMutex_);
        live_.erase(hwnd);
    }
    queue_.RemoveWindow(hwnd);
    if (focus_ == hwnd) focus_ = nullptr;
    if (lastShown_ == hwnd) lastShown_ = nullptr;
    windows_.erase(hwnd);
    return TRUE;
}

void LinuxBackend::ApplyMinMax(LinuxWindow& w, bool maximize) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    MINMAXINFO mmi;
    mmi.ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
    mmi.ptMaxPosition = POINT{0, 0};
    mmi.ptMinTrackSize = POINT{1, 1};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SendMessageA(w.handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    const LONG maxW = std::max<LONG>(1, std::min(mmi.ptMaxSize.x, mmi.ptMaxTrackSize.x));
    const LONG maxH = std::max<LONG>(1, std::min(mmi.ptMaxSize.y, mmi.ptMaxTrackSize.y));
    if (w.sdl()) {
        SDL_SetWindowMinimumSize(w.sdl(), std::max<LONG>(1, mmi.ptMinTrackSize.x),
                                 std::max<LONG>(1, mmi.ptMinTrackSize.y));
        SDL_SetWindowMaximumSize(w.sdl(), std::max<LONG>(1, mmi.ptMaxTrackSize.x),
                                 std::max<LONG>(1, mmi.ptMaxTrackSize.y));
    }
    if (!maximize) return;
    w.MoveSdl(work.left + mmi.ptMaxPosition.x, work.top + mmi.ptMaxPosition.y, maxW, maxH);
    w.maximized = true;
    SendMessageA(w.handle(), WM_SIZE, kSizeMaximized, PointLParam(w.width(), w.height()));
}

BOOL LinuxBackend::ShowWindow(HWND hwnd, int cmd) {
    LinuxWindow* w = Find(hwnd);
    if (!w) return FALSE;
    const BOOL wasShown = w->shown ? TRUE : FALSE;
    if (cmd == SW_HIDE) {
        w->Show(false);
        return wasShown;
    }
    ApplyMinMax(*w, cmd == SW_MAXIMIZE);
    w->Show(true);
    lastShown_ = hwnd;
    if (!realDisplay_ && !focus_) {
        // Off-screen there is no focus event: the shown window has the focus.
        focus_ = hwnd;
        PushInput(MSG{hwnd, WM_SETFOCUS, 0, 0, GetTickCount(), {}});
    }
    w->Invalidate(nullptr, true);
    return wasShown;
}

BOOL LinuxBackend::UpdateWindow(HWND hwnd) {
    LinuxWindow* w = Find(hwnd);
    if (!w) return FALSE;
    if (w->NeedsPaint() && w->shown) SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL LinuxBackend::InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    LinuxWindow* w = Find(hwnd);
    if (!w) return FALSE;
    w->ProgramDrew();
    w->Invalidate(rect, erase != FALSE);
    return TRUE;
}

BOOL LinuxBackend::SetWindowTextA(HWND hwnd, const char* text) {
    LinuxWindow* w = Find(hwnd);
    if (!w) return FALSE;
    w->title = text ? text : "";
    w->SetTitle(Cp1252ToUtf8(w->title));
    return TRUE;
}

BOOL LinuxBackend::GetWindowRect(HWND hwnd, RECT* rect) {
    LinuxWindow* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    const POINT p = w->Position();
    *rect = RECT{p.x, p.y, p.x + w->width(), p.y + w->height()};
    return TRUE;
}

BOOL LinuxBackend::GetClientRect(HWND hwnd, RECT* rect) {
    LinuxWindow* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = w->ClientRect();
    return TRUE;
}

HWND LinuxBackend::GetForegroundWindow() {
    if (focus_ && Find(focus_)) return focus_;
    return realDisplay_ ? nullptr : lastShown_;
}

WNDPROC LinuxBackend::SetWindowProc(HWND hwnd, WNDPROC proc) {
    LinuxWindow* w = Find(hwnd);
    if (!w || !proc) return nullptr;
    WNDPROC old = w->proc;
    w->proc = proc;
    return old;
}

BOOL LinuxBackend::PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Any thread may post: the live handles are kept apart from the GUI thread's windows.
    if (hwnd != nullptr) {
        std::lock_guard<std::mutex> lock(liveMutex_);
        if (live_.count(hwnd) == 0) return FALSE;
    }
    queue_.Post(MSG{hwnd, msg, wp, lp, SDL_GetTicks(), {}});
    return TRUE;
}

LRESULT LinuxBackend::SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LinuxWindow* w = Find(hwnd);
    if (!w || !w->proc) return 0;
    WNDPROC proc = w->proc;  // the window may be gone when proc returns
    return proc(hwnd, msg, wp, lp);
}

void LinuxBackend::PostQuitMessage(int code) {
    queue_.PostQuit(code);
}

void LinuxBackend::PushInput(const MSG& m) {
    queue_.PushInput(m);
}

bool LinuxBackend::PaintMessage(MSG* msg, HWND filter, UINT first, UINT last) {
    if (!(first == 0 && last == 0) && (WM_PAINT < first || WM_PAINT > last)) return false;
    for (auto& [hwnd, w] : windows_) {
        if (filter && filter != hwnd) continue;
        if (!w->shown || !w->NeedsPaint()) continue;
        if (msg) *msg = MSG{hwnd, WM_PAINT, 0, 0, SDL_GetTicks(), {}};
        return true;
    }
    return false;
}

BOOL LinuxBackend::PeekMessageA(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) {
    PumpSdl();
    MSG m;
    if (queue_.Peek(&m, filter, first, last, (remove & PM_REMOVE) != 0)) {
        if (remove & PM_REMOVE) keys_.Apply(m);
        if (msg) *msg = m;
        return TRUE;
    }
    // WM_PAINT stays until BeginPaint validates the window.
    if (PaintMessage(msg, filter, first, last)) return TRUE;
    PresentDirty();
    return FALSE;
}

BOOL LinuxBackend::TranslateMessage(const MSG* msg) {
    // Characters were queued with their key (see LinuxInput.h): nothing to add here.
    if (!msg) return FALSE;
    return (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) ? TRUE : FALSE;
}

LRESULT LinuxBackend::DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (DispatchToServices(*msg)) return 0;
    if (!msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL LinuxBackend::WaitMessage() {
    for (;;) {
        PumpSdl();
        if (!queue_.Empty() || PaintMessage(nullptr, nullptr, 0, 0)) return TRUE;
        PresentDirty();
        if (!eventsOk_) {
            // No event system, so nothing can wake us: a short sleep keeps the callers'
            // wait loops from spinning while posts from other threads still arrive.
            SDL_Delay(10);
            return queue_.Empty() ? FALSE : TRUE;
        }
        if (headless_) {
            // Off-screen SDL cannot block and would poll every millisecond: wait for a
            // post instead, looking at SDL (signals) every 50 ms.
            queue_.WaitPosted(std::chrono::milliseconds(kHeadlessPollMs));
            continue;
        }
        SDL_WaitEvent(nullptr);
    }
}

UINT LinuxBackend::RegisterWindowMessageA(const char* name) {
    if (!name || !*name) return 0;
    auto [it, added] = registeredMessages_.try_emplace(Upper(name), nextRegisteredMessage_);
    if (added) ++nextRegisteredMessage_;
    return it->second;
}

SHORT LinuxBackend::GetKeyState(int vk) {
    return keys_.State(vk);
}

SHORT LinuxBackend::GetAsyncKeyState(int vk) {
    if (!videoOk_) return 0;
    const SHORT down = static_cast<SHORT>(0x8000);
    if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) {
        const Uint32 buttons = SDL_GetGlobalMouseState(nullptr, nullptr);
        const Uint32 mask = vk == VK_LBUTTON   ? SDL_BUTTON_LMASK
                            : vk == VK_RBUTTON ? SDL_BUTTON_RMASK
                                               : SDL_BUTTON_MMASK;
        return (buttons & mask) ? down : SHORT{0};
    }
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    const KeyMods mods = CurrentMods();
    for (int sc = 0; sc < count; ++sc) {
        if (!state[sc]) continue;
        const int key = VkFromSdl(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc)), sc, mods);
        if (key == vk || SideVkFromScancode(sc) == vk) return down;
    }
    return 0;
}

int LinuxBackend::GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            SDL_Rect r{0, 0, 1024, 768};
            if (EnsureVideo()) SDL_GetDisplayBounds(0, &r);
            return index == SM_CXSCREEN ? r.w : r.h;
        }
        default:
            return 0;  // no frame or caption inside the client size
    }
}

BOOL LinuxBackend::SystemParametersInfoA(UINT action, UINT, void* out, UINT) {
    if (action != SPI_GETWORKAREA || !out) return FALSE;
    SDL_Rect r{0, 0, 1024, 768};
    if (EnsureVideo() && SDL_GetDisplayUsableBounds(0, &r) != 0) SDL_GetDisplayBounds(0, &r);
    *static_cast<RECT*>(out) = RECT{r.x, r.y, r.x + r.w, r.y + r.h};
    return TRUE;
}

// ---- SDL events ------------------------------------------------------------------------

void LinuxBackend::PumpSdl() {
    if (!eventsOk_) return;
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) TranslateSdl(ev);
}

HWND LinuxBackend::FromSdlWindow(std::uint32_t windowId) {
    SDL_Window* sdl = SDL_GetWindowFromID(windowId);
    for (auto& [hwnd, w] : windows_) {
        if (sdl && w->sdl() == sdl) return hwnd;
    }
    return GetForegroundWindow();
}

KeyMods LinuxBackend::CurrentMods() const {
    const SDL_Keymod m = SDL_GetModState();
    return KeyMods{(m & KMOD_SHIFT) != 0, (m & KMOD_CTRL) != 0, (m & KMOD_ALT) != 0,
                   (m & KMOD_NUM) != 0};
}

void LinuxBackend::TranslateSdl(const SDL_Event& ev) {
    if (ev.type == wakeEvent_) {
        queue_.Drain();
        return;
    }
    switch (ev.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
            TranslateKey(ev);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            TranslateMouse(ev);
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(ev);
            break;
        case SDL_QUIT:
            // Only a signal sends it (closing windows does not, by the hint at start-up):
            // SIGTERM or Ctrl+C in a terminal end the program like a quit message.
            PostQuitMessage(0);
            break;
        default:
            break;
    }
}

void LinuxBackend::TranslateKey(const SDL_Event& ev) {
    scratch_.clear();
    if (ev.type == SDL_TEXTINPUT) {
        AppendTextMessages(ev.text.text, lastMods_, FromSdlWindow(ev.text.windowID), scratch_,
                           lastKeyChar_);
    } else {
        const SDL_Keysym& k = ev.key.keysym;
        KeyMods mods{(k.mod & KMOD_SHIFT) != 0, (k.mod & KMOD_CTRL) != 0, (k.mod & KMOD_ALT) != 0,
                     (k.mod & KMOD_NUM) != 0};
        lastMods_ = mods;
        if (ev.type == SDL_KEYDOWN) lastKeyChar_ = KeyCharOfSdl(k.sym);
        KeyEvent key;
        key.vk = VkFromSdl(k.sym, k.scancode, mods);
        key.scancode = k.scancode;
        key.down = ev.type == SDL_KEYDOWN;
        key.repeat = ev.key.repeat != 0;
        key.mods = mods;
        AppendKeyMessages(key, FromSdlWindow(ev.key.windowID), scratch_);
    }
    for (const MSG& m : scratch_) {
        MSG stamped = m;
        stamped.time = SDL_GetTicks();
        if (stamped.hwnd) PushInput(stamped);
    }
}

void LinuxBackend::TranslateMouse(const SDL_Event& ev) {
    const SDL_Keymod mod = SDL_GetModState();
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    WPARAM mk = ((buttons & SDL_BUTTON_LMASK) ? kMkLButton : 0) |
                ((buttons & SDL_BUTTON_RMASK) ? kMkRButton : 0) |
                ((buttons & SDL_BUTTON_MMASK) ? kMkMButton : 0) |
                ((mod & KMOD_SHIFT) ? kMkShift : 0) | ((mod & KMOD_CTRL) ? kMkControl : 0);
    MSG m;
    m.time = SDL_GetTicks();
    if (ev.type == SDL_MOUSEWHEEL) {
        int y = ev.wheel.y;
        if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y == 0) return;
        m.hwnd = FromSdlWindow(ev.wheel.windowID);
        m.message = WM_MOUSEWHEEL;
        const int delta = std::clamp(y, -273, 273) * 120;  // fits the signed high word
        m.wParam = (static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16) | mk;
        int gx = 0, gy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        m.lParam = PointLParam(gx, gy);
    } else {
        const bool down = ev.type == SDL_MOUSEBUTTONDOWN;
        switch (ev.button.button) {
            case SDL_BUTTON_LEFT:
                m.message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
                break;
            case SDL_BUTTON_RIGHT:
                m.message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
                break;
            case SDL_BUTTON_MIDDLE:
                m.message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
                break;
            default:
                return;
        }
        m.hwnd = FromSdlWindow(ev.button.windowID);
        m.wParam = mk;
        m.lParam = PointLParam(ev.button.x, ev.button.y);
    }
    if (m.hwnd) PushInput(m);
}

void LinuxBackend::TranslateWindowEvent(const SDL_Event& ev) {
    SDL_Window* sdl = SDL_GetWindowFromID(ev.window.windowID);
    LinuxWindow* w = nullptr;
    for (auto& [hwnd, win] : windows_) {
        if (sdl && win->sdl() == sdl) w = win.get();
    }
    if (!w) return;
    const HWND hwnd = w->handle();
    const DWORD now = SDL_GetTicks();
    switch (ev.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (focus_ == hwnd) break;
            focus_ = hwnd;
            PushInput(MSG{hwnd, WM_SETFOCUS, 0, 0, now, {}});
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (focus_ != hwnd) break;
            focus_ = nullptr;
            PushInput(MSG{hwnd, WM_KILLFOCUS, 0, 0, now, {}});
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PushInput(MSG{hwnd, WM_CLOSE, 0, 0, now, {}});
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            w->dirty = true;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (ev.window.data1 == w->width() && ev.window.data2 == w->height()) break;
            w->Resize(ev.window.data1, ev.window.data2);
            w->Invalidate(nullptr, true);
            SendMessageA(hwnd, WM_SIZE, w->maximized ? kSizeMaximized : kSizeRestored,
                         PointLParam(w->width(), w->height()));
            break;
        default:
            break;
    }
}

void LinuxBackend::PresentDirty() {
    for (auto& [hwnd, w] : windows_) {
        if (!w->dirty) continue;
        const bool caretHere = caret_.visible && caret_.owner == hwnd;
        w->Present(caretHere ? &caret_.bar : nullptr);
    }
}

}  // namespace win
