// The Linux desktop back end: windows, drawing, keyboard, mouse and the message queue
// over SDL2, SDL2_ttf and fontconfig; files, sound and clips delegated to LinuxFiles,
// LinuxAudio and LinuxClips. SDL video starts with the first window or display query;
// without a display windows still exist off-screen, so programs run.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/host_library.h"
#include "platform/linux/LinuxFonts.h"
#include "platform/linux/LinuxInput.h"
#include "platform/linux/LinuxQueue.h"
#include "platform/linux/LinuxWindow.h"
#include "platform/linux/VideoSink.h"

union SDL_Event;

namespace win {

std::unique_ptr<Backend> MakeLinuxBackend();
// The back end of a program that needs to be seen: nothing, after a message on stderr,
// when there is no usable display (SDL would quietly draw off-screen, in a window nobody
// sees, waiting for keys that can never come).
std::unique_ptr<Backend> MakeLinuxDesktopBackend();
// The back end of a program that is only heard (a terminal tool): windows exist only
// off-screen, on a desktop too, so the console window still receives the sound
// notifications without showing anything. Ctrl+C and SIGTERM end it as a quit message.
std::unique_ptr<Backend> MakeLinuxHeadlessBackend();

class LinuxFiles;
class LinuxAudio;
class LinuxClips;
class BrlapiDisplayLibrary;
class LinuxSpeech;

class LinuxBackend : public Backend, public VideoSink {
  public:
    // headless: every window off-screen, whatever display there is.
    explicit LinuxBackend(bool headless = false);
    ~LinuxBackend() override;
    LinuxBackend(const LinuxBackend&) = delete;
    LinuxBackend& operator=(const LinuxBackend&) = delete;

    // For tests and tools: a pixel of a window's backing surface (client coordinates),
    // whether a real display is in use, and the window under a title.
    COLORREF PixelAt(HWND hwnd, int x, int y);
    bool HasDisplay();
    bool WindowExists(HWND hwnd) const { return windows_.count(hwnd) != 0; }
    // When the sound device last took the first samples of a cue (steady clock, ns; 0
    // before any).
    std::int64_t LastCueStartNs() const;
    bool ShowsFrame(HWND hwnd) const {
        auto it = windows_.find(hwnd);
        return it != windows_.end() && it->second->HasFrame();
    }
    bool CaretShown() const { return caret_.owner != nullptr && caret_.visible; }

    // VideoSink (GUI thread).
    void ShowFrame(HWND window, const std::uint8_t* bgr0, int width, int height, int stride,
                   RECT target) override;
    void ClearFrame(HWND window) override;
    void StillFrame(HWND window) override;
    RECT ClientRect(HWND window) override;

    // Windows and messages.
    ATOM RegisterClassA(const WNDCLASSA& wc) override;
    HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style,
                         int x, int y, int width, int height, HWND parent) override;
    LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL DestroyWindow(HWND hwnd) override;
    BOOL ShowWindow(HWND hwnd, int cmd) override;
    BOOL UpdateWindow(HWND hwnd) override;
    BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) override;
    BOOL SetWindowTextA(HWND hwnd, const char* text) override;
    BOOL GetWindowRect(HWND hwnd, RECT* rect) override;
    BOOL GetClientRect(HWND hwnd, RECT* rect) override;
    HWND GetForegroundWindow() override;
    WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) override;
    BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    void PostQuitMessage(int code) override;
    BOOL PeekMessageA(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) override;
    BOOL TranslateMessage(const MSG* msg) override;
    LRESULT DispatchMessageA(const MSG* msg) override;
    BOOL WaitMessage() override;
    UINT RegisterWindowMessageA(const char* name) override;
    SHORT GetKeyState(int vk) override;
    SHORT GetAsyncKeyState(int vk) override;
    int GetSystemMetrics(int index) override;
    BOOL SystemParametersInfoA(UINT action, UINT param, void* out, UINT winIni) override;

    // Drawing.
    HDC GetDC(HWND hwnd) override;
    int ReleaseDC(HWND hwnd, HDC dc) override;
    HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) override;
    BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) override;
    HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                      DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                      DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                      const char* face) override;
    HGDIOBJ GetStockObject(int index) override;
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) override;
    BOOL DeleteObject(HGDIOBJ obj) override;
    BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) override;
    COLORREF SetTextColor(HDC dc, COLORREF color) override;
    COLORREF SetBkColor(HDC dc, COLORREF color) override;
    int SetBkMode(HDC dc, int mode) override;
    BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) override;
    BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) override;
    BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) override;
    HBRUSH CreateSolidBrush(COLORREF color) override;
    BOOL CreateCaret(HWND hwnd, HGDIOBJ bitmap, int width, int height) override;
    BOOL SetCaretPos(int x, int y) override;
    BOOL ShowCaret(HWND hwnd) override;
    BOOL HideCaret(HWND hwnd) override;
    BOOL DestroyCaret() override;

    // Time, bells, boxes.
    DWORD GetTickCount() override;
    void Sleep(DWORD ms) override;
    BOOL MessageBeep(UINT type) override;
    int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) override;

    // Files and system: LinuxFiles.
    DWORD GetCurrentDirectoryA(DWORD size, char* buffer) override;
    BOOL SetCurrentDirectoryA(const char* path) override;
    DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) override;
    UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
    DWORD GetFileAttributesA(const char* path) override;
    std::optional<std::string> ReadFileBytes(std::string_view path) override;
    std::unique_ptr<FileSource> OpenFileForReading(std::string_view path) override;
    std::unique_ptr<FileSource> OpenFileForWriting(std::string_view path,
                                                   DWORD disposition) override;
    bool RegistryKeyExists(HKEY root, std::string_view keyPath) override;
    std::optional<RegistryValue> RegistryQuery(HKEY root, std::string_view keyPath,
                                               std::string_view valueName) override;

    // Wave-out and sound cues: LinuxAudio. Clips: LinuxClips.
    UINT waveOutGetNumDevs() override;
    MMRESULT waveOutGetDevCapsA(UINT device, WAVEOUTCAPSA* caps, UINT size) override;
    MMRESULT waveOutOpen(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format,
                         std::uintptr_t callback, std::uintptr_t instance, DWORD flags) override;
    MMRESULT waveOutPrepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) override;
    MMRESULT waveOutUnprepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) override;
    MMRESULT waveOutWrite(HWAVEOUT wo, WAVEHDR* hdr, UINT size) override;
    MMRESULT waveOutReset(HWAVEOUT wo) override;
    MMRESULT waveOutClose(HWAVEOUT wo) override;
    BOOL sndPlaySoundA(const char* name, UINT flags) override;
    MCIERROR mciSendStringA(const char* command, char* reply, UINT replyLength,
                            HWND callback) override;

    // Libraries: first those the platform provides itself ("fsbrldspapi.dll", the braille
    // display over BrlAPI), then a host file found through the path rules, opened as a
    // shared object (LinuxLibraries.cpp).
    HMODULE LoadLibraryA(const char* name) override;
    FARPROC GetProcAddress(HMODULE module, const char* name) override;
    BOOL FreeLibrary(HMODULE module) override;
    std::string LibraryFileName(std::string_view path) override;

    // The speech-server objects over speech-dispatcher: LinuxSpeech.
    HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid,
                             void** out) override;
    DWORD WaitForSingleObject(HANDLE handle, DWORD ms) override;

  private:
    struct WindowClass {
        ATOM atom = 0;
        WNDPROC proc = nullptr;
        HBRUSH background = nullptr;
    };
    struct GdiObject {
        bool isFont = false;
        bool stock = false;
        COLORREF colour = 0;  // brushes
        FontSpec spec;        // fonts
        std::unique_ptr<LinuxFont> font;
        bool opened = false;
    };
    struct Dc {
        HWND hwnd = nullptr;  // null: the screen
        HGDIOBJ font = nullptr;
        HGDIOBJ brush = nullptr;
        COLORREF text = 0;
        COLORREF bk = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        bool paint = false;
        RECT clip;
    };
    struct Caret {
        HWND owner = nullptr;
        CaretBar bar;
        bool visible = false;
        int hideCount = 1;  // as on Windows: created hidden; ShowCaret and HideCaret count
    };

    bool EnsureVideo();
    std::uintptr_t NextId() { return nextId_++; }
    LinuxWindow* Find(HWND hwnd);
    Dc* FindDc(HDC dc);
    GdiObject* FindObject(HGDIOBJ obj);
    LinuxFont* FontOf(const Dc& dc);
    LinuxFont* OpenFont(GdiObject& obj);
    COLORREF BrushColour(HGDIOBJ brush);
    HGDIOBJ AddStock(GdiObject obj);
    HDC NewDc(HWND hwnd, bool paint, RECT clip);
    void CreateStockObjects();
    void EraseBackground(HWND hwnd, HDC dc);
    void InitDelegates();

    // SDL events into queued messages.
    void PumpSdl();
    void TranslateSdl(const SDL_Event& ev);
    void TranslateKey(const SDL_Event& ev);
    void TranslateMouse(const SDL_Event& ev);
    void TranslateWindowEvent(const SDL_Event& ev);
    HWND FromSdlWindow(std::uint32_t windowId);
    KeyMods CurrentMods() const;
    void PushInput(const MSG& m);
    bool PaintMessage(MSG* msg, HWND filter, UINT first, UINT last);
    void PresentDirty();
    void ApplyMinMax(LinuxWindow& w, bool maximize);

    LinuxAudio& Audio();
    LinuxClips& Clips();
    LinuxSpeech& Speech();
    void PostFromAnyThread(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Messages the delegated services post to themselves; true when one was handled.
    bool DispatchToServices(const MSG& msg);

    bool headless_ = false;
    bool eventsOk_ = false;
    bool videoTried_ = false;
    bool videoOk_ = false;
    bool realDisplay_ = false;
    std::uint32_t wakeEvent_ = 0;
    std::uintptr_t nextId_ = 0x100;

    LinuxQueue queue_;
    KeyTable keys_;
    KeyMods lastMods_;
    std::uint8_t lastKeyChar_ = 0;  // the last key down's own character, for its text
    std::vector<MSG> scratch_;
    FontSystem fontSystem_;
    std::map<std::string, WindowClass> classes_;  // upper-cased names
    std::map<std::string, UINT> registeredMessages_;
    UINT nextRegisteredMessage_ = 0xC000;
    std::map<HWND, std::unique_ptr<LinuxWindow>> windows_;
    std::mutex liveMutex_;  // guards live_, the handles PostMessageA accepts
    std::set<HWND> live_;
    std::map<HDC, Dc> dcs_;
    std::map<HGDIOBJ, GdiObject> objects_;
    std::map<int, HGDIOBJ> stock_;
    Caret caret_;
    HWND focus_ = nullptr;
    HWND lastShown_ = nullptr;

    std::unique_ptr<LinuxFiles> files_;
    std::unique_ptr<LinuxAudio> audio_;
    std::unique_ptr<LinuxClips> clips_;
    std::unique_ptr<LinuxSpeech> speech_;
    std::unique_ptr<BrlapiDisplayLibrary> brailleLibrary_;  // while loaded
    int brailleLibraryRefs_ = 0;
    HostLibraries hostLibraries_;
};

}  // namespace win
