// The interface every back end implements (simulated machine, Linux, later Win32).
// Module code never sees it: it calls the Windows-named functions of platform/api.h,
// which forward to the current back end.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_handles.h"
#include "platform/speech_objects.h"
#include "platform/wintypes.h"

namespace win {

class Backend {
  public:
    virtual ~Backend() = default;

    // Windows and messages. PostMessageA must be safe to call from any thread.
    virtual ATOM RegisterClassA(const WNDCLASSA& wc) = 0;
    virtual HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title,
                                 DWORD style, int x, int y, int width, int height, HWND parent) = 0;
    virtual LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
    virtual BOOL DestroyWindow(HWND hwnd) = 0;
    virtual BOOL ShowWindow(HWND hwnd, int cmd) = 0;
    virtual BOOL UpdateWindow(HWND hwnd) = 0;
    virtual BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) = 0;
    virtual BOOL SetWindowTextA(HWND hwnd, const char* text) = 0;
    virtual BOOL GetWindowRect(HWND hwnd, RECT* rect) = 0;
    virtual BOOL GetClientRect(HWND hwnd, RECT* rect) = 0;
    virtual HWND GetForegroundWindow() = 0;
    // Replaces the window procedure; returns the previous one.
    virtual WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) = 0;
    virtual BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
    virtual LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
    virtual void PostQuitMessage(int code) = 0;
    virtual BOOL PeekMessageA(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) = 0;
    virtual BOOL TranslateMessage(const MSG* msg) = 0;
    virtual LRESULT DispatchMessageA(const MSG* msg) = 0;
    // Blocks until a message is queued (returns at once if one already is).
    virtual BOOL WaitMessage() = 0;
    virtual UINT RegisterWindowMessageA(const char* name) = 0;
    virtual SHORT GetKeyState(int vk) = 0;
    virtual SHORT GetAsyncKeyState(int vk) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual BOOL SystemParametersInfoA(UINT action, UINT param, void* out, UINT winIni) = 0;

    // Drawing.
    virtual HDC GetDC(HWND hwnd) = 0;
    virtual int ReleaseDC(HWND hwnd, HDC dc) = 0;
    virtual HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) = 0;
    virtual BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) = 0;
    virtual HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                              DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                              DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                              DWORD pitchAndFamily, const char* face) = 0;
    virtual HGDIOBJ GetStockObject(int index) = 0;
    virtual HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) = 0;
    virtual BOOL DeleteObject(HGDIOBJ obj) = 0;
    virtual BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) = 0;
    virtual COLORREF SetTextColor(HDC dc, COLORREF color) = 0;
    virtual COLORREF SetBkColor(HDC dc, COLORREF color) = 0;
    virtual int SetBkMode(HDC dc, int mode) = 0;
    // text is Windows-1252.
    virtual BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) = 0;
    virtual BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy,
                        DWORD rop) = 0;
    virtual BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) = 0;
    virtual HBRUSH CreateSolidBrush(COLORREF color) = 0;
    virtual BOOL CreateCaret(HWND hwnd, HGDIOBJ bitmap, int width, int height) = 0;
    virtual BOOL SetCaretPos(int x, int y) = 0;
    virtual BOOL ShowCaret(HWND hwnd) = 0;
    virtual BOOL HideCaret(HWND hwnd) = 0;
    virtual BOOL DestroyCaret() = 0;

    // Time, bells, boxes.
    virtual DWORD GetTickCount() = 0;
    virtual void Sleep(DWORD ms) = 0;
    virtual BOOL MessageBeep(UINT type) = 0;
    // Modal; returns IDOK.
    virtual int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) = 0;

    // Files and system. Paths are Windows-style (drive letters, either separator) or host
    // absolute paths; the back end maps them (see platform/paths.h).
    virtual DWORD GetCurrentDirectoryA(DWORD size, char* buffer) = 0;
    virtual BOOL SetCurrentDirectoryA(const char* path) = 0;
    virtual DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) = 0;
    virtual UINT GetWindowsDirectoryA(char* buffer, UINT size) = 0;
    virtual DWORD GetFileAttributesA(const char* path) = 0;
    // The whole file, or nothing when it cannot be read. Records the open.
    virtual std::optional<std::string> ReadFileBytes(std::string_view path) = 0;
    // An existing file opened for reading, or null. Records the open like ReadFileBytes.
    virtual std::unique_ptr<FileSource> OpenFileForReading(std::string_view path) = 0;
    // A file opened for reading and writing: CREATE_ALWAYS creates or truncates it,
    // OPEN_EXISTING needs it to exist, OPEN_ALWAYS keeps an existing file or creates it.
    // Null when it cannot be opened (a missing directory, a read-only place).
    virtual std::unique_ptr<FileSource> OpenFileForWriting(std::string_view /*path*/,
                                                           DWORD /*disposition*/) {
        return nullptr;
    }
    // The handles CreateFileA gave out on this back end.
    FileHandleTable& FileHandles() { return fileHandles_; }
    // A registry value: its type and raw bytes (a REG_SZ includes its terminating zero).
    struct RegistryValue {
        DWORD type = REG_NONE;
        std::string data;
    };
    virtual bool RegistryKeyExists(HKEY root, std::string_view keyPath) = 0;
    virtual std::optional<RegistryValue> RegistryQuery(HKEY root, std::string_view keyPath,
                                                       std::string_view valueName) = 0;

    // Wave-out.
    virtual UINT waveOutGetNumDevs() = 0;
    virtual MMRESULT waveOutGetDevCapsA(UINT device, WAVEOUTCAPSA* caps, UINT size) = 0;
    // callback is an HWND when flags has CALLBACK_WINDOW: MM_WOM_DONE goes there with
    // wParam = the HWAVEOUT and lParam = the WAVEHDR*.
    virtual MMRESULT waveOutOpen(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format,
                                 std::uintptr_t callback, std::uintptr_t instance, DWORD flags) = 0;
    virtual MMRESULT waveOutPrepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) = 0;
    virtual MMRESULT waveOutUnprepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) = 0;
    virtual MMRESULT waveOutWrite(HWAVEOUT wo, WAVEHDR* hdr, UINT size) = 0;
    virtual MMRESULT waveOutReset(HWAVEOUT wo) = 0;
    virtual MMRESULT waveOutClose(HWAVEOUT wo) = 0;
    // name is a file path, or with SND_MEMORY a pointer to a RIFF WAVE image; null stops.
    virtual BOOL sndPlaySoundA(const char* name, UINT flags) = 0;

    // MCI command strings.
    virtual MCIERROR mciSendStringA(const char* command, char* reply, UINT replyLength,
                                    HWND callback) = 0;

    // Libraries (later users: the braille display and speech engines).
    virtual HMODULE LoadLibraryA(const char* /*name*/) { return nullptr; }
    // A file name as a library of the host opens it with its own file functions: the
    // host path on Linux; the name itself where libraries see the same paths as modules.
    virtual std::string LibraryFileName(std::string_view path) { return std::string(path); }
    virtual FARPROC GetProcAddress(HMODULE /*module*/, const char* /*name*/) { return nullptr; }
    virtual BOOL FreeLibrary(HMODULE /*module*/) { return FALSE; }

    // COM and the speech-server objects (platform/speech_objects.h). A back end without a
    // speech server knows no class. The handle waited on is a voice's speak-complete event.
    virtual HRESULT CoInitialize(void* /*reserved*/) { return S_OK; }
    virtual void CoUninitialize() {}
    virtual HRESULT CoCreateInstance(const CLSID& /*clsid*/, IUnknown* /*outer*/, DWORD /*context*/,
                                     const IID& /*iid*/, void** out) {
        if (out != nullptr) *out = nullptr;
        return REGDB_E_CLASSNOTREG;
    }
    virtual DWORD WaitForSingleObject(HANDLE /*handle*/, DWORD /*ms*/) { return WAIT_FAILED; }

  private:
    FileHandleTable fileHandles_;
};

// The back end the free functions forward to. Set once by the program's main (or a test).
void SetBackend(Backend* backend);
Backend& CurrentBackend();

}  // namespace win
