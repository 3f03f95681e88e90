// The Windows-named services module code calls. Each forwards to the current back end
// (platform/backend.h); the few that are the same on every back end are implemented once
// in platform/api.cpp on top of the back end's primitives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/backend.h"
#include "platform/wintypes.h"

namespace win {

inline ATOM RegisterClassA(const WNDCLASSA& wc) {
    return CurrentBackend().RegisterClassA(wc);
}
inline HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style,
                            int x, int y, int width, int height, HWND parent) {
    return CurrentBackend().CreateWindowExA(exStyle, className, title, style, x, y, width, height,
                                            parent);
}
inline LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return CurrentBackend().DefWindowProcA(hwnd, msg, wp, lp);
}
inline BOOL DestroyWindow(HWND hwnd) {
    return CurrentBackend().DestroyWindow(hwnd);
}
inline BOOL ShowWindow(HWND hwnd, int cmd) {
    return CurrentBackend().ShowWindow(hwnd, cmd);
}
inline BOOL UpdateWindow(HWND hwnd) {
    return CurrentBackend().UpdateWindow(hwnd);
}
inline BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    return CurrentBackend().InvalidateRect(hwnd, rect, erase);
}
inline BOOL SetWindowTextA(HWND hwnd, const char* text) {
    return CurrentBackend().SetWindowTextA(hwnd, text);
}
inline BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    return CurrentBackend().GetWindowRect(hwnd, rect);
}
inline BOOL GetClientRect(HWND hwnd, RECT* rect) {
    return CurrentBackend().GetClientRect(hwnd, rect);
}
inline HWND GetForegroundWindow() {
    return CurrentBackend().GetForegroundWindow();
}
inline WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc) {
    return CurrentBackend().SetWindowProc(hwnd, proc);
}
inline BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return CurrentBackend().PostMessageA(hwnd, msg, wp, lp);
}
inline LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return CurrentBackend().SendMessageA(hwnd, msg, wp, lp);
}
inline void PostQuitMessage(int code) {
    return CurrentBackend().PostQuitMessage(code);
}
inline BOOL PeekMessageA(MSG* msg, HWND filter, UINT first, UINT last, UINT remove) {
    return CurrentBackend().PeekMessageA(msg, filter, first, last, remove);
}
inline BOOL TranslateMessage(const MSG* msg) {
    return CurrentBackend().TranslateMessage(msg);
}
inline LRESULT DispatchMessageA(const MSG* msg) {
    return CurrentBackend().DispatchMessageA(msg);
}
inline BOOL WaitMessage() {
    return CurrentBackend().WaitMessage();
}
inline UINT RegisterWindowMessageA(const char* name) {
    return CurrentBackend().RegisterWindowMessageA(name);
}
inline SHORT GetKeyState(int vk) {
    return CurrentBackend().GetKeyState(vk);
}
inline SHORT GetAsyncKeyState(int vk) {
    return CurrentBackend().GetAsyncKeyState(vk);
}
inline int GetSystemMetrics(int index) {
    return CurrentBackend().GetSystemMetrics(index);
}
inline BOOL SystemParametersInfoA(UINT action, UINT param, void* out, UINT winIni) {
    return CurrentBackend().SystemParametersInfoA(action, param, out, winIni);
}
inline HDC GetDC(HWND hwnd) {
    return CurrentBackend().GetDC(hwnd);
}
inline int ReleaseDC(HWND hwnd, HDC dc) {
    return CurrentBackend().ReleaseDC(hwnd, dc);
}
inline HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    return CurrentBackend().BeginPaint(hwnd, ps);
}
inline BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    return CurrentBackend().EndPaint(hwnd, ps);
}
inline HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, const char* face) {
    return CurrentBackend().CreateFontA(height, width, escapement, orientation, weight, italic,
                                        underline, strikeOut, charSet, outPrecision, clipPrecision,
                                        quality, pitchAndFamily, face);
}
inline HGDIOBJ GetStockObject(int index) {
    return CurrentBackend().GetStockObject(index);
}
inline HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    return CurrentBackend().SelectObject(dc, obj);
}
inline BOOL DeleteObject(HGDIOBJ obj) {
    return CurrentBackend().DeleteObject(obj);
}
inline BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm) {
    return CurrentBackend().GetTextMetricsA(dc, tm);
}
inline COLORREF SetTextColor(HDC dc, COLORREF color) {
    return CurrentBackend().SetTextColor(dc, color);
}
inline COLORREF SetBkColor(HDC dc, COLORREF color) {
    return CurrentBackend().SetBkColor(dc, color);
}
inline int SetBkMode(HDC dc, int mode) {
    return CurrentBackend().SetBkMode(dc, mode);
}
inline BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
    return CurrentBackend().TextOutA(dc, x, y, text, count);
}
inline BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    return CurrentBackend().BitBlt(dst, x, y, w, h, src, sx, sy, rop);
}
inline BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
    return CurrentBackend().PatBlt(dc, x, y, w, h, rop);
}
inline HBRUSH CreateSolidBrush(COLORREF color) {
    return CurrentBackend().CreateSolidBrush(color);
}
inline BOOL CreateCaret(HWND hwnd, HGDIOBJ bitmap, int width, int height) {
    return CurrentBackend().CreateCaret(hwnd, bitmap, width, height);
}
inline BOOL SetCaretPos(int x, int y) {
    return CurrentBackend().SetCaretPos(x, y);
}
inline BOOL ShowCaret(HWND hwnd) {
    return CurrentBackend().ShowCaret(hwnd);
}
inline BOOL HideCaret(HWND hwnd) {
    return CurrentBackend().HideCaret(hwnd);
}
inline BOOL DestroyCaret() {
    return CurrentBackend().DestroyCaret();
}
inline DWORD GetTickCount() {
    return CurrentBackend().GetTickCount();
}
inline void Sleep(DWORD ms) {
    return CurrentBackend().Sleep(ms);
}
inline BOOL MessageBeep(UINT type) {
    return CurrentBackend().MessageBeep(type);
}
inline int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    return CurrentBackend().MessageBoxA(owner, text, caption, type);
}
inline DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
    return CurrentBackend().GetCurrentDirectoryA(size, buffer);
}
inline BOOL SetCurrentDirectoryA(const char* path) {
    return CurrentBackend().SetCurrentDirectoryA(path);
}
inline DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
    return CurrentBackend().GetModuleFileNameA(module, buffer, size);
}
inline UINT GetWindowsDirectoryA(char* buffer, UINT size) {
    return CurrentBackend().GetWindowsDirectoryA(buffer, size);
}
inline DWORD GetFileAttributesA(const char* path) {
    return CurrentBackend().GetFileAttributesA(path);
}
// Files: GENERIC_READ alone with OPEN_EXISTING reads; with GENERIC_WRITE the file is
// opened for reading and writing with CREATE_ALWAYS, OPEN_EXISTING or OPEN_ALWAYS (the
// engine's output WAV and trace file). Sharing flags are accepted and ignored.
HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
inline BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* /*overlapped*/) {
    return CurrentBackend().FileHandles().Read(file, buffer, toRead, read);
}
inline BOOL WriteFile(HANDLE file, const void* data, DWORD toWrite, DWORD* written,
                      void* /*overlapped*/) {
    return CurrentBackend().FileHandles().Write(file, data, toWrite, written);
}
inline DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method) {
    return CurrentBackend().FileHandles().Seek(file, distance, high, method);
}
inline DWORD GetFileSize(HANDLE file, DWORD* high) {
    return CurrentBackend().FileHandles().Size(file, high);
}
inline BOOL CloseHandle(HANDLE file) {
    return CurrentBackend().FileHandles().Close(file);
}

inline UINT waveOutGetNumDevs() {
    return CurrentBackend().waveOutGetNumDevs();
}
inline MMRESULT waveOutGetDevCapsA(UINT device, WAVEOUTCAPSA* caps, UINT size) {
    return CurrentBackend().waveOutGetDevCapsA(device, caps, size);
}
inline MMRESULT waveOutOpen(HWAVEOUT* out, UINT device, const WAVEFORMATEX* format,
                            std::uintptr_t callback, std::uintptr_t instance, DWORD flags) {
    return CurrentBackend().waveOutOpen(out, device, format, callback, instance, flags);
}
inline MMRESULT waveOutPrepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    return CurrentBackend().waveOutPrepareHeader(wo, hdr, size);
}
inline MMRESULT waveOutUnprepareHeader(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    return CurrentBackend().waveOutUnprepareHeader(wo, hdr, size);
}
inline MMRESULT waveOutWrite(HWAVEOUT wo, WAVEHDR* hdr, UINT size) {
    return CurrentBackend().waveOutWrite(wo, hdr, size);
}
inline MMRESULT waveOutReset(HWAVEOUT wo) {
    return CurrentBackend().waveOutReset(wo);
}
inline MMRESULT waveOutClose(HWAVEOUT wo) {
    return CurrentBackend().waveOutClose(wo);
}
inline BOOL sndPlaySoundA(const char* name, UINT flags) {
    return CurrentBackend().sndPlaySoundA(name, flags);
}
inline MCIERROR mciSendStringA(const char* command, char* reply, UINT replyLength, HWND callback) {
    return CurrentBackend().mciSendStringA(command, reply, replyLength, callback);
}
inline HMODULE LoadLibraryA(const char* name) {
    return CurrentBackend().LoadLibraryA(name);
}
inline FARPROC GetProcAddress(HMODULE module, const char* name) {
    return CurrentBackend().GetProcAddress(module, name);
}
inline BOOL FreeLibrary(HMODULE module) {
    return CurrentBackend().FreeLibrary(module);
}
// A path handed to a loaded library (a voice database), as that library can open it.
inline std::string LibraryFileName(std::string_view path) {
    return CurrentBackend().LibraryFileName(path);
}

inline HRESULT CoInitialize(void* reserved) {
    return CurrentBackend().CoInitialize(reserved);
}
inline void CoUninitialize() {
    CurrentBackend().CoUninitialize();
}
// Creates an object of a speech-server class; *out gets the interface iid with one
// reference. outer must be null (no aggregation).
inline HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid,
                                void** out) {
    return CurrentBackend().CoCreateInstance(clsid, outer, context, iid, out);
}
// WAIT_OBJECT_0 when the event is (or becomes) signalled within ms, else WAIT_TIMEOUT.
inline DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
    return CurrentBackend().WaitForSingleObject(handle, ms);
}

inline LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return proc(hwnd, msg, wp, lp);
}

// Only GWLP_WNDPROC is supported: value is a WNDPROC; returns the previous one.
std::intptr_t SetWindowLongPtrA(HWND hwnd, int index, std::intptr_t value);

// Thrown by ExitProcess and caught by the program's harness (main or a simulation run),
// which then runs the modules' shutdown steps. Nothing else may swallow it: a catch(...)
// must rethrow it.
struct ProcessExit {
    UINT code = 0;
};
[[noreturn]] void ExitProcess(UINT code);

// Profile strings with Windows semantics: sections and keys without regard to case,
// values trimmed of blanks and one pair of enclosing quotes, a bare file name (no
// directory) looked up in the Windows directory, the default when the file, section or
// key is missing. Returns the number of characters copied (at most size - 1).
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Registry reads over the back end's registry.
LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access, HKEY* result);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size);
LONG RegCloseKey(HKEY key);

// Converts OEM code page 850 text to Windows-1252 in place (dst may equal src).
BOOL OemToCharA(const char* src, char* dst);

// Convenience over ReadFileBytes for loaders: the whole file or nothing.
inline std::optional<std::string> ReadWholeFile(std::string_view path) {
    return CurrentBackend().ReadFileBytes(path);
}

}  // namespace win
