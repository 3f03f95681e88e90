// The simulated machine: a complete, deterministic back end with a virtual clock, scripted
// input and a recorder of everything the program draws, plays and opens. Tests and
// `--simulate` runs use it. It has no real time, no threads and no host files.
//
// Time: Sleep(ms) advances the clock, moving every happening that falls due into the
// message queue (scripted input, MM_WOM_DONE of wave-out blocks, MM_MCINOTIFY at a clip's
// end). A SND_SYNC sound advances the clock by its length. WaitMessage returns at once
// when a message is queued, else advances to the next happening, else throws SimStopped.
// A loop that only peeks (PeekMessage finding nothing again and again) lets time pass too:
// after kBusyPeeks empty peeks in a row every further empty peek advances the clock by
// 1 ms. Waits must block: a wait (everything between two blocking calls, WaitMessage or
// Sleep) that peeks in vain more than kMaxEmptyPeeksPerWait times is a busy loop, and
// the machine throws SimBusyWait, which no harness takes for a normal end.
//
// Recorded texts (TextRun::text, Event::detail) are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend.h"
#include "platform/wintypes.h"

namespace sim {

class SimSpeech;

// Thrown out of a wait that nothing can ever end.
struct SimStopped {
    std::string reason;
    std::uint32_t time;
};

// Thrown when a wait spins on PeekMessage instead of blocking: a fault of the program.
struct SimBusyWait : std::runtime_error {
    SimBusyWait(const std::string& what, std::uint32_t at) : std::runtime_error(what), time(at) {}
    std::uint32_t time;
};

// One modifier-qualified key as the script names it: "a", "A", "ç" (UTF-8), "5", "*",
// "esc", "enter", "backspace", "tab", "space", "f1".."f12", "up", "down", "left", "right",
// "home", "end", "pgup", "pgdn", "insert", "delete", "pause", optionally prefixed by
// modifiers joined with '+': "ctrl+alt+f11", "shift+insert", "alt+x".
struct KeySpec {
    int vk = 0;  // 0 for a character typed directly (delivered as WM_CHAR only)
    bool ctrl = false, alt = false, shift = false;
    std::uint8_t ch = 0;  // the WM_CHAR byte, or 0 when the key makes none
};
std::optional<KeySpec> ParseKeySpec(std::string_view name);

struct TextRun {
    std::uint32_t time;
    int x, y;
    std::string text;
    win::COLORREF fg, bg;
};
struct Blit {
    std::uint32_t time;
    int x, y, w, h, sx, sy;
    win::DWORD rop;
};
struct PatBlt {
    std::uint32_t time;
    int x, y, w, h;
    win::COLORREF colour;
};
struct SoundPlay {
    std::uint32_t time;
    std::string name;   // file path, "" for memory, "default" for the default sound
    std::string bytes;  // image bytes for SND_MEMORY
    win::UINT flags;
};
struct MciCommand {
    std::uint32_t time;
    std::string command;
    win::MCIERROR result;
};
struct WaveWrite {
    std::uint32_t time;
    int device;  // 1, 2, ... in order of waveOutOpen
    std::string bytes;
};
// Every recorded happening, in order: kind is one of "title", "beep", "sound",
// "sound-stop", "mci", "file", "messagebox", "caret", "window", "text", "wave" (a block
// written: "<bytes> <rate>/<bits>/<channels>"), "wave-reset", "braille", "picture".
struct Event {
    std::uint32_t time;
    std::string kind;
    std::string detail;
};
// What a window shows: its own drawing (the console's cells), a clip playing in it, or
// the last frame of a clip that ended (or stopped) but is still open. A clip shows in
// the window of its "window ... handle" command from "play" until "close"; an ended
// clip's frame also gives way when the program draws in the window itself (a write
// through GetDC, or InvalidateRect), while repaints (BeginPaint) keep it.
enum class Picture { kOwnDrawing, kClipPlaying, kClipLastFrame };
struct PictureChange {
    std::uint32_t time;
    win::HWND window;
    Picture picture;
    std::string clip;  // the clip's path as opened; empty for the window's own drawing
};

class SimMachine : public win::Backend {
  public:
    static constexpr int kBusyPeeks = 64;
    static constexpr int kMaxEmptyPeeksPerWait = 128;

    // Virtual clock at 0; screen 1024 x 768, work area 1024 x 734, SM_CXFRAME/SM_CYFRAME
    // 4, SM_CYCAPTION 19; every font face exists with cell width = requested width or 8,
    // height = requested height or 16, ascent = height - height/4, overhang 0.
    SimMachine();
    ~SimMachine() override;
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    std::uint32_t Now() const { return now_; }
    // The most empty peeks any wait has made so far.
    int MostEmptyPeeksInAWait() const { return mostPeeksInAWait_; }

    // Scheduled input, at virtual time `at` (a time already past means now).
    void PressKey(const KeySpec& key, std::uint32_t at);
    void KeyDown(const KeySpec& key, std::uint32_t at);
    void KeyUp(const KeySpec& key, std::uint32_t at);
    void Click(int button /*0 left, 1 right, 2 middle*/, std::uint32_t at);
    void Wheel(int delta /* +120 away from user, -120 towards */, std::uint32_t at);
    void Focus(bool on, std::uint32_t at);           // WM_SETFOCUS / WM_KILLFOCUS
    void Close(std::uint32_t at);                    // WM_CLOSE to the top window
    void SetMouseButtonDown(int button, bool down);  // what GetAsyncKeyState reports
    bool InputPending() const;                       // scheduled input not yet delivered

    // Scripts: wait MS; key NAME; keydown NAME; keyup NAME; click left|right|middle;
    // wheel up|down; focus on|off; type TEXT; close; braille-display CELLS (attached from
    // the start, wherever the line stands); braille-key KIND DATA; # comments; blank lines.
    // Unknown lines go to `extension`. Returns an error text naming the line on failure.
    std::optional<std::string> LoadScript(
        std::string_view text,
        const std::function<bool(std::string_view line, std::uint32_t at)>& extension = {});

    // Files: an in-memory file system keyed by Windows path (drive letter, either
    // separator, case-insensitive). The current directory starts at "c:\".
    void AddFile(std::string_view path, std::string bytes);
    void AddDirectory(std::string_view path);
    void RemoveFile(std::string_view path);
    void SetModuleFileName(std::string path);    // default "c:\sonara\sonara.exe"
    void SetWindowsDirectory(std::string path);  // default "c:\windows"
    void SetRegistryString(win::HKEY root, std::string keyPath, std::string valueName,
                           std::string value);
    // Media for whole-program runs: a clip (.mp4) or cue (.wav) path that has no bytes in
    // the file system counts as existing unless its base name is marked missing.
    void SetAssumeMediaExists(bool on);
    // A file whose bytes `read` gives only when the program reads it (ReadFileBytes): how
    // a whole data pack is put on the machine. Opened as a clip or played as a cue it
    // lasts the clip or cue length, like assumed media; MarkMediaMissing hides it too.
    void AddFileSource(std::string_view path, std::function<std::optional<std::string>()> read);
    void MarkMediaMissing(std::string baseName);
    void SetClipLength(std::uint32_t ms);  // virtual length of clips, default 2000
    void SetCueLength(std::uint32_t ms);   // sounds without real bytes, default 500
    // Fake libraries for LoadLibraryA, by file name without regard to case.
    void AddLibrary(std::string name, std::map<std::string, win::FARPROC> procs);

    // A fake braille display of `cells` cells (0: one that reports none) behind the library
    // "fsbrldspapi.dll"; without it that library does not exist. Its writes are recorded
    // as "braille" events whose detail is the dot byte of every cell.
    void AttachBrailleDisplay(int cells);
    // A display key event (kind, data) at `at`: posted to the window the display was opened
    // with, once key events are on; earlier events are lost, as nobody listens yet.
    void BrailleKey(std::uint32_t kind, std::uint32_t data, std::uint32_t at);
    struct BrailleDisplayState {
        bool attached = false, open = false, keysOn = false;
        int cells = 0;
        win::HWND window = nullptr;
        win::UINT message = 0;
        std::string dots;                // what the cells show, one dot byte each
        std::vector<std::string> calls;  // every library call in order: "open USB", ...
        int lostKeys = 0;                // key events that came before key events were on
    };
    const BrailleDisplayState& BrailleDisplay() const { return braille_; }

    // The fake speech server (SimSpeech.cpp): the SAPI 4 and SAPI 5 objects of
    // platform/speech_objects.h over a few voices. A text "speaks" kSpeechMsPerChar of
    // virtual time for each character that is not blank, one text after the other, as a
    // scheduled happening (WaitMessage advances to it). SAPI 4 notifications reach their
    // sinks when the program dispatches the messages the engine queues for them; a
    // voice's speak-complete event is signalled while it has nothing to speak.
    static constexpr std::uint32_t kSpeechMsPerChar = 60;
    struct SpeechVoice {
        std::string name;  // Windows-1252
        win::WORD language = 0x0416;
    };
    // Failures to inject.
    struct SpeechFaults {
        std::vector<win::CLSID> failingClasses;  // CoCreateInstance refuses them
        bool selectFails = false;                // ITTSEnumA::Select
        bool registerFails = false;              // ITTSCentralA::Register
        bool attributesRefused = false;          // ITTSAttributesA is not offered
        bool fileSetFails = false;               // IAudioFile::Set
        bool textDataFails = false;              // ITTSCentralA::TextData
        bool speakFails = false;                 // ISpeechVoice::Speak
    };
    // The voices, in the order both enumerations give them. Default: "Clara" and "Tiago"
    // (Portuguese, Brazil), then "Mary" (English, United States).
    void SetSpeechVoices(std::vector<SpeechVoice> voices);
    SpeechFaults& SpeechFault();
    // Every call to the speech objects and every notification delivered, in order, as
    // "sapi4 TextData 7.", "sapi5 Rate -5", "sapi4 notify AudioStart", "com CoCreateInstance
    // TTSEnumerator"; also recorded as events of the kinds "sapi4", "sapi5" and "com".
    // ClearRecords empties it too.
    const std::vector<std::string>& SpeechCalls() const;
    // Speech objects created and not yet released.
    int LiveSpeechObjects() const;
    // An engine or voice is speaking now.
    bool SpeechSounding() const;

    // The recorder.
    const std::vector<Event>& Events() const { return events_; }
    const std::vector<TextRun>& TextRuns() const { return textRuns_; }
    const std::vector<Blit>& Blits() const { return blits_; }
    const std::vector<sim::PatBlt>& PatBlts() const { return patBlts_; }
    const std::vector<SoundPlay>& Sounds() const { return sounds_; }
    const std::vector<MciCommand>& MciCommands() const { return mciCommands_; }
    const std::vector<WaveWrite>& WaveWrites() const { return waveWrites_; }
    const std::vector<std::string>& FilesOpened() const { return filesOpened_; }
    std::string Title() const;  // of the first top-level window
    struct CaretState {
        bool exists, visible;
        int x, y, w, h;
    };
    CaretState Caret() const;
    int ShowCommand() const { return showCommand_; }  // last ShowWindow command
    bool SoundPlaying() const;                        // an async or looping sound sounds
    // Every change of what a window shows, in order (also recorded as "picture" events:
    // "clip PATH", "last-frame PATH", "own").
    const std::vector<PictureChange>& PictureChanges() const { return pictures_; }
    // What `window` shows at virtual time `at`: the last change at or before it (its own
    // drawing before any). ClearRecords keeps only each window's latest change.
    PictureChange PictureAt(win::HWND window, std::uint32_t at) const;
    void SetObserver(std::function<void(const Event&)> observer);
    void ClearRecords();

    // win::Backend.
    win::ATOM RegisterClassA(const win::WNDCLASSA& wc) override;
    win::HWND CreateWindowExA(win::DWORD exStyle, const char* className, const char* title,
                              win::DWORD style, int x, int y, int width, int height,
                              win::HWND parent) override;
    win::LRESULT DefWindowProcA(win::HWND hwnd, win::UINT msg, win::WPARAM wp,
                                win::LPARAM lp) override;
    win::BOOL DestroyWindow(win::HWND hwnd) override;
    win::BOOL ShowWindow(win::HWND hwnd, int cmd) override;
    win::BOOL UpdateWindow(win::HWND hwnd) override;
    win::BOOL InvalidateRect(win::HWND hwnd, const win::RECT* rect, win::BOOL erase) override;
    win::BOOL SetWindowTextA(win::HWND hwnd, const char* text) override;
    win::BOOL GetWindowRect(win::HWND hwnd, win::RECT* rect) override;
    win::BOOL GetClientRect(win::HWND hwnd, win::RECT* rect) override;
    win::HWND GetForegroundWindow() override;
    win::WNDPROC SetWindowProc(win::HWND hwnd, win::WNDPROC proc) override;
    win::BOOL PostMessageA(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp) override;
    win::LRESULT SendMessageA(win::HWND hwnd, win::UINT msg, win::WPARAM wp,
                              win::LPARAM lp) override;
    void PostQuitMessage(int code) override;
    win::BOOL PeekMessageA(win::MSG* msg, win::HWND filter, win::UINT first, win::UINT last,
                           win::UINT remove) override;
    win::BOOL TranslateMessage(const win::MSG* msg) override;
    win::LRESULT DispatchMessageA(const win::MSG* msg) override;
    win::BOOL WaitMessage() override;
    win::UINT RegisterWindowMessageA(const char* name) override;
    win::SHORT GetKeyState(int vk) override;
    win::SHORT GetAsyncKeyState(int vk) override;
    int GetSystemMetrics(int index) override;
    win::BOOL SystemParametersInfoA(win::UINT action, win::UINT param, void* out,
                                    win::UINT winIni) override;

    win::HDC GetDC(win::HWND hwnd) override;
    int ReleaseDC(win::HWND hwnd, win::HDC dc) override;
    win::HDC BeginPaint(win::HWND hwnd, win::PAINTSTRUCT* ps) override;
    win::BOOL EndPaint(win::HWND hwnd, const win::PAINTSTRUCT* ps) override;
    win::HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                           win::DWORD italic, win::DWORD underline, win::DWORD strikeOut,
                           win::DWORD charSet, win::DWORD outPrecision, win::DWORD clipPrecision,
                           win::DWORD quality, win::DWORD pitchAndFamily,
                           const char* face) override;
    win::HGDIOBJ GetStockObject(int index) override;
    win::HGDIOBJ SelectObject(win::HDC dc, win::HGDIOBJ obj) override;
    win::BOOL DeleteObject(win::HGDIOBJ obj) override;
    win::BOOL GetTextMetricsA(win::HDC dc, win::TEXTMETRICA* tm) override;
    win::COLORREF SetTextColor(win::HDC dc, win::COLORREF color) override;
    win::COLORREF SetBkColor(win::HDC dc, win::COLORREF color) override;
    int SetBkMode(win::HDC dc, int mode) override;
    win::BOOL TextOutA(win::HDC dc, int x, int y, const char* text, int count) override;
    win::BOOL BitBlt(win::HDC dst, int x, int y, int w, int h, win::HDC src, int sx, int sy,
                     win::DWORD rop) override;
    win::BOOL PatBlt(win::HDC dc, int x, int y, int w, int h, win::DWORD rop) override;
    win::HBRUSH CreateSolidBrush(win::COLORREF color) override;
    win::BOOL CreateCaret(win::HWND hwnd, win::HGDIOBJ bitmap, int width, int height) override;
    win::BOOL SetCaretPos(int x, int y) override;
    win::BOOL ShowCaret(win::HWND hwnd) override;
    win::BOOL HideCaret(win::HWND hwnd) override;
    win::BOOL DestroyCaret() override;

    win::DWORD GetTickCount() override { return now_; }
    void Sleep(win::DWORD ms) override;
    win::BOOL MessageBeep(win::UINT type) override;
    int MessageBoxA(win::HWND owner, const char* text, const char* caption,
                    win::UINT type) override;

    win::DWORD GetCurrentDirectoryA(win::DWORD size, char* buffer) override;
    win::BOOL SetCurrentDirectoryA(const char* path) override;
    win::DWORD GetModuleFileNameA(win::HMODULE module, char* buffer, win::DWORD size) override;
    win::UINT GetWindowsDirectoryA(char* buffer, win::UINT size) override;
    win::DWORD GetFileAttributesA(const char* path) override;
    std::optional<std::string> ReadFileBytes(std::string_view path) override;
    std::unique_ptr<win::FileSource> OpenFileForReading(std::string_view path) override;
    bool RegistryKeyExists(win::HKEY root, std::string_view keyPath) override;
    std::optional<RegistryValue> RegistryQuery(win::HKEY root, std::string_view keyPath,
                                               std::string_view valueName) override;

    win::UINT waveOutGetNumDevs() override { return 1; }
    win::MMRESULT waveOutGetDevCapsA(win::UINT device, win::WAVEOUTCAPSA* caps,
                                     win::UINT size) override;
    win::MMRESULT waveOutOpen(win::HWAVEOUT* out, win::UINT device, const win::WAVEFORMATEX* format,
                              std::uintptr_t callback, std::uintptr_t instance,
                              win::DWORD flags) override;
    win::MMRESULT waveOutPrepareHeader(win::HWAVEOUT wo, win::WAVEHDR* hdr,
                                       win::UINT size) override;
    win::MMRESULT waveOutUnprepareHeader(win::HWAVEOUT wo, win::WAVEHDR* hdr,
                                         win::UINT size) override;
    win::MMRESULT waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) override;
    win::MMRESULT waveOutReset(win::HWAVEOUT wo) override;
    win::MMRESULT waveOutClose(win::HWAVEOUT wo) override;
    win::BOOL sndPlaySoundA(const char* name, win::UINT flags) override;
    win::MCIERROR mciSendStringA(const char* command, char* reply, win::UINT replyLength,
                                 win::HWND callback) override;

    win::HMODULE LoadLibraryA(const char* name) override;
    win::FARPROC GetProcAddress(win::HMODULE module, const char* name) override;
    win::BOOL FreeLibrary(win::HMODULE module) override;

    win::HRESULT CoInitialize(void* reserved) override;
    win::HRESULT CoCreateInstance(const win::CLSID& clsid, win::IUnknown* outer, win::DWORD context,
                                  const win::IID& iid, void** out) override;
    win::DWORD WaitForSingleObject(win::HANDLE handle, win::DWORD ms) override;

  private:
    struct Window {
        std::string className;
        win::WNDPROC proc = nullptr;
        std::string title;
        win::RECT rect;
        win::HWND parent = nullptr;
        win::HBRUSH background = nullptr;
        bool alive = true, visible = false;
        bool dirty = false, erase = false;  // an update region is pending
        win::RECT update;
    };
    struct Dc {
        win::HWND hwnd = nullptr;
        win::HGDIOBJ font = nullptr;
        win::HGDIOBJ brush = nullptr;
        win::COLORREF fg = 0, bg = 0xFFFFFF;
        int bkMode = 2;      // OPAQUE
        bool paint = false;  // from BeginPaint: a repaint, not the program's own drawing
    };
    struct GdiObject {
        bool font = false;  // else a brush
        bool stock = false;
        int height = 16, width = 8, weight = 0;
        win::BYTE charSet = 0;
        std::string face;
        win::COLORREF colour = 0;
    };
    struct WaveDevice {
        bool open = false;
        win::WAVEFORMATEX format;
        std::uintptr_t callback = 0;
        win::DWORD flags = 0;
        std::vector<win::WAVEHDR*> pending;
        std::uint32_t start = 0;     // when the current run of blocks began
        std::uint64_t runBytes = 0;  // bytes queued since then
    };
    struct MciDevice {
        std::string alias;  // folded
        std::string path;
        int id = 0;
        win::HWND window = nullptr;  // from "window ALIAS handle N"
        win::HWND notifyTo = nullptr;
        bool playing = false, notifyPending = false;
        std::uint32_t end = 0;
        Picture picture = Picture::kOwnDrawing;  // what it puts in `window`
    };
    struct Queued {
        win::MSG msg;
        std::uint8_t ch = 0;  // the WM_CHAR byte a key down translates to
    };
    // Something due at a virtual time: a message to queue, or a device's completion.
    struct Happening {
        enum class Kind {
            kInput,
            kFocus,
            kClose,
            kWaveDone,
            kMciNotify,
            kBrailleKey,
            kSpeechDone
        } kind;
        win::UINT message = 0;
        win::WPARAM wp = 0;
        win::LPARAM lp = 0;
        std::uint8_t ch = 0;
        int device = 0;
        win::WAVEHDR* hdr = nullptr;
        win::HWND hwnd = nullptr;
    };
    using HappeningKey = std::pair<std::uint32_t, std::uint64_t>;  // time, order

    // Clock and scheduler (SimMachine.cpp).
    void Schedule(std::uint32_t at, Happening h);
    void AdvanceTo(std::uint32_t t);
    bool AdvanceToNextHappening();
    void Deliver(const Happening& h);
    void Record(std::string kind, std::string detail);
    void CancelHappenings(const std::function<bool(const Happening&)>& match);

    // Windows and input (SimWindows.cpp, SimInput.cpp).
    Window* Find(win::HWND hwnd);
    const Window* Find(win::HWND hwnd) const;
    win::HWND TopWindow() const;
    bool MessageWaiting() const;
    bool TakePosted(win::MSG* msg, win::HWND filter, win::UINT first, win::UINT last, bool remove);
    bool TakePaint(win::MSG* msg, win::HWND filter, win::UINT first, win::UINT last);
    void NoteRetrieved(const Queued& q);
    void OnEmptyPeek();
    void OnBlockingCall();
    void ScheduleKey(const KeySpec& key, bool down, bool up, std::uint32_t at);
    void ScheduleKeyMessage(int vk, bool down, bool altHeld, bool ctrlHeld, std::uint8_t ch,
                            std::uint32_t at);
    void SetFocusWindow(win::HWND hwnd);
    void InvalidateWhole(Window& w, bool erase);

    // Drawing (SimGdi.cpp).
    Dc* FindDc(win::HDC dc);
    GdiObject* FindObject(win::HGDIOBJ obj);
    win::HDC NewDc(win::HWND hwnd, bool paint);

    // The fake braille display (SimBraille.cpp).
    friend struct SimBrailleLibrary;
    void DeliverBrailleKey(const Happening& h);

    // The fake speech server (SimSpeech.cpp).
    friend class SimSpeech;
    SimSpeech& Speech();
    void DeliverSpeechDone(const Happening& h);
    void DetachSpeech();  // objects still alive stop reaching this machine
    void ClearSpeechCalls();
    // The window the speech notifications are queued for: no real window has it.
    static inline win::HWND const kSpeechNotifyWindow =
        reinterpret_cast<win::HWND>(std::uintptr_t{0x7FFF5EEC});
    win::LRESULT DispatchSpeechNotification(const win::MSG& msg);

    // Files (SimFiles.cpp).
    std::string FileKey(std::string_view path) const;
    bool MediaAssumed(std::string_view path) const;
    bool IsDirectory(const std::string& key) const;

    // Sound and clips (SimSound.cpp, SimWave.cpp, SimMci.cpp).
    WaveDevice* FindWave(win::HWAVEOUT wo);
    void FinishWaveBlock(int device, win::WAVEHDR* hdr);
    void PlaySoundRecord(std::string name, std::string bytes, win::UINT flags,
                         std::uint32_t length);
    std::optional<std::uint32_t> WavLength(const std::string& bytes) const;
    win::MCIERROR RunMci(std::string_view command, std::string& reply, win::HWND callback);
    void EndClip(MciDevice& d, win::WPARAM code);
    void ShowClip(MciDevice& d, Picture picture);
    // The program drew in `hwnd` (null: every window) itself: an ended clip's frame gives way.
    void ProgramDrew(win::HWND hwnd);

    std::uint32_t now_ = 0;
    std::uint64_t order_ = 0;
    std::map<HappeningKey, Happening> happenings_;
    std::deque<Queued> queue_;
    bool quitPending_ = false;
    int quitCode_ = 0;
    int emptyPeeks_ = 0;     // in a row, for the clock
    int peeksThisWait_ = 0;  // empty ones since the last blocking call
    int mostPeeksInAWait_ = 0;
    Queued lastKey_;  // the key down most recently retrieved, for TranslateMessage

    std::map<std::string, win::WNDCLASSA> classes_;  // by folded name
    std::vector<std::string> classNames_;            // kept alive for lpszClassName
    std::vector<Window> windows_;                    // HWND n is windows_[n - 1]
    win::HWND focus_ = nullptr;
    int showCommand_ = -1;
    std::map<std::string, win::UINT> registeredMessages_;
    bool keyDown_[256] = {};
    bool keyToggled_[256] = {};
    bool asyncButton_[3] = {};

    std::map<std::uintptr_t, Dc> dcs_;
    std::map<std::uintptr_t, GdiObject> objects_;
    std::uintptr_t nextHandle_ = 0x1000;
    struct CaretData {
        bool exists = false;
        win::HWND owner = nullptr;
        int hideCount = 1, x = 0, y = 0, w = 0, h = 0;
    } caret_;

    std::map<std::string, std::string> files_;      // folded path -> bytes
    std::map<std::string, std::string> dirs_;       // folded path -> path as given
    std::map<std::string, std::string> fileNames_;  // folded path -> path as given
    std::string currentDir_ = "c:\\";
    std::string moduleFileName_ = "c:\\sonara\\sonara.exe";
    std::string windowsDir_ = "c:\\windows";
    std::map<std::string, std::map<std::string, RegistryValue>> registry_;  // root|key
    bool assumeMedia_ = false;
    struct FileSource {
        std::string name;  // as given
        std::function<std::optional<std::string>()> read;
    };
    std::map<std::string, FileSource> sources_;  // folded path -> source
    std::vector<std::string> missingMedia_;      // folded base names
    std::uint32_t clipLength_ = 2000;
    std::uint32_t cueLength_ = 500;
    struct Library {
        std::string name;
        std::map<std::string, win::FARPROC> procs;
        int refs = 0;
    };
    std::vector<Library> libraries_;
    BrailleDisplayState braille_;
    std::shared_ptr<SimSpeech> speech_;  // made on first use; its objects may outlive us

    std::vector<WaveDevice> waves_;
    std::vector<MciDevice> mci_;
    int nextMciId_ = 1;
    std::uint32_t soundEnd_ = 0;  // end of the async sound, or UINT32_MAX for a loop
    bool soundOn_ = false;

    std::vector<Event> events_;
    std::vector<TextRun> textRuns_;
    std::vector<Blit> blits_;
    std::vector<sim::PatBlt> patBlts_;
    std::vector<SoundPlay> sounds_;
    std::vector<MciCommand> mciCommands_;
    std::vector<WaveWrite> waveWrites_;
    std::vector<std::string> filesOpened_;
    std::vector<PictureChange> pictures_;
    std::function<void(const Event&)> observer_;
};

}  // namespace sim
