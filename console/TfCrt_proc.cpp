// TfCrt: the console window procedure, closing, the standard text streams and the free
// operations over the current console.
#include <cstdio>
#include <cstdlib>

#include "console/TfCrt.h"
#include "console/tfMouse.h"
#include "platform/api.h"

namespace sonara {

namespace {

TfCrt& Crt() {
    TfCrt* crt = TfCrt::Current();
    if (crt == nullptr) {
        std::fputs("console: no process started\n", stderr);
        std::abort();
    }
    return *crt;
}

win::LRESULT Hooked(const HookSlot& slot, win::HWND hwnd, win::UINT msg, win::WPARAM wp,
                    win::LPARAM lp) {
    if (!slot.enabled || slot.proc == nullptr) return win::DefWindowProcA(hwnd, msg, wp, lp);
    slot.proc(hwnd, wp, lp);
    return 0;
}

}  // namespace

win::LRESULT TfCrt::WindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) {
    window_ = hwnd;
    TfMouse* mouse = TfMouse::Current();
    switch (msg) {
        case win::WM_CREATE:
            OnCreate();
            return 0;
        case win::WM_SETFOCUS:
            focused_ = true;
            if (reading_) ShowCaret();
            if (mouse) mouse->OnSetFocus();
            return 0;
        case win::WM_KILLFOCUS:
            if (reading_) HideCaret();
            focused_ = false;
            // The key-ups of a half-typed chord go to another window.
            chord_ = chord_keys_down_ = 0;
            if (mouse) mouse->OnKillFocus();
            return 0;
        case win::WM_PAINT:
            Paint(hwnd);
            return 0;
        case win::WM_CLOSE:
            DoneConsole();
        case win::WM_GETMINMAXINFO:
            SizeLimits(reinterpret_cast<win::MINMAXINFO*>(lp));
            return 0;
        case win::WM_KEYDOWN:
            return OnKeyDown(static_cast<int>(wp)) ? 0 : win::DefWindowProcA(hwnd, msg, wp, lp);
        case win::WM_SYSKEYDOWN:
            // Only Alt+Left and Alt+Right are ours; Alt+F4, F10 and the system menu
            // keep working.
            if ((wp == win::VK_LEFT || wp == win::VK_RIGHT) && OnKeyDown(static_cast<int>(wp)))
                return 0;
            return win::DefWindowProcA(hwnd, msg, wp, lp);
        case win::WM_KEYUP:
            return OnKeyUp(static_cast<int>(wp)) ? 0 : win::DefWindowProcA(hwnd, msg, wp, lp);
        case win::WM_CHAR:
            OnChar(static_cast<std::uint8_t>(wp & 0xFF));
            return 0;
        case win::WM_LBUTTONDOWN:
        case win::WM_RBUTTONDOWN:
        case win::WM_MBUTTONDOWN:
        case win::WM_MOUSEWHEEL:
            if (mouse && mouse->OnMouse(msg, wp)) return 0;
            return win::DefWindowProcA(hwnd, msg, wp, lp);
        case win::MM_MCINOTIFY:
            return Hooked(mciNotifyHook, hwnd, msg, wp, lp);
        case win::MM_WOM_DONE:
            return Hooked(waveDoneHook, hwnd, msg, wp, lp);
        default:
            break;
    }
    if (braille_message_ != 0 && msg == braille_message_) return OnBrailleKey(hwnd, wp, lp);
    return win::DefWindowProcA(hwnd, msg, wp, lp);
}

win::LRESULT TfCrt::OnBrailleKey(win::HWND hwnd, win::WPARAM wp, win::LPARAM lp) {
    if (!brailleKeyHook.enabled || brailleKeyHook.proc == nullptr)
        return win::DefWindowProcA(hwnd, braille_message_, wp, lp);
    auto [c, k] = brailleKeyHook.proc(hwnd, wp, lp);
    if (c == 0 && k == 0) return 0;
    if (c != 0)
        QueueKey(c);
    else
        QueueKeyPair(0, k);  // an extended key goes in whole or not at all
    return 0;
}

void TfCrt::DoneConsole() {
    if (created_) {
        if (focused_ && reading_) HideCaret();
        while (KeyPressed()) ReadKey();
        if (font_ != nullptr) {
            win::HDC dc = win::GetDC(window_);
            win::SelectObject(dc, win::GetStockObject(win::OEM_FIXED_FONT));
            win::DeleteObject(font_);
            font_ = nullptr;
            win::ReleaseDC(window_, dc);
        }
        win::SetWindowProc(window_, &win::DefWindowProcA);
        win::DestroyWindow(window_);
        created_ = false;
    }
    closed_ = true;
    win::ExitProcess(0);
}

// Free operations over the current console.
void InitConsole() {
    Crt().InitConsole();
}
void WriteText(const char* bytes, std::uint16_t count) {
    Crt().WriteText(bytes, count);
}
void ClearScreen() {
    Crt().ClearScreen();
}
void TextColor(int colour) {
    Crt().TextColor(colour);
}
void DoneConsole() {
    Crt().DoneConsole();
}
win::HWND ConsoleWindow() {
    return Crt().Window();
}
bool KeyPressed() {
    return Crt().KeyPressed();
}
std::uint8_t ReadKey() {
    return Crt().ReadKey();
}
void FlushKeys() {
    Crt().FlushKeys();
}
int ReadLine(char* buffer, int size) {
    return Crt().ReadLine(buffer, size);
}
void QueueKey(std::uint8_t byte) {
    Crt().QueueKey(byte);
}
void PumpMessages() {
    Crt().PumpMessages();
}
void PumpConsoleMessages() {
    Crt().PumpConsoleMessages();
}
void Delay(std::uint16_t ms) {
    Crt().Delay(ms);
}
void SetBrailleMode(int mode) {
    Crt().SetBrailleMode(mode);
}
void StartTone(std::uint16_t frequency) {
    Crt().StartTone(frequency);
}
void StopTone() {
    Crt().StopTone();
}
HookSlot& MciNotifyHook() {
    return Crt().mciNotifyHook;
}
HookSlot& WaveDoneHook() {
    return Crt().waveDoneHook;
}
BrailleHookSlot& BrailleKeyHook() {
    return Crt().brailleKeyHook;
}

void ConsoleWrite(std::string_view text) {
    TfCrt& crt = Crt();
    // WriteText takes a 16-bit count: a longer text goes in several blocks.
    do {
        std::size_t n = std::min<std::size_t>(text.size(), 0xFFFF);
        crt.WriteText(text.data(), static_cast<std::uint16_t>(n));
        text.remove_prefix(n);
    } while (!text.empty());
    crt.KeyPressed();
}

void ConsoleWriteLine(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    ConsoleWrite(line);
}

std::string ConsoleReadLine() {
    char buffer[128];
    int n = Crt().ReadLine(buffer, sizeof buffer);
    return std::string(buffer, n >= 2 ? n - 2 : 0);  // without the CR LF
}

}  // namespace sonara
