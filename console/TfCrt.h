// The text console: one 80 x 25 character-cell window with a caret, colours, a key
// queue and the message pumps every wait of the program relies on. These free
// operations act on the current process's console (process/Process.h).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/TfCrt_settings.h"
#include "platform/wintypes.h"

namespace sonara {

// Window and screen buffer.
void InitConsole();
void WriteText(const char* bytes, std::uint16_t count);
void ClearScreen();
void TextColor(int colour);
[[noreturn]] void DoneConsole();
win::HWND ConsoleWindow();

// The program's standard text output and input: each write reaches WriteText as one
// block and then dispatches pending messages through KeyPressed.
void ConsoleWrite(std::string_view text);
void ConsoleWriteLine(std::string_view text);
std::string ConsoleReadLine();

// Key queue and message pumps.
bool KeyPressed();
std::uint8_t ReadKey();
void FlushKeys();
int ReadLine(char* buffer, int size);
void QueueKey(std::uint8_t byte);
void PumpMessages();
void PumpConsoleMessages();
void Delay(std::uint16_t ms);

// Braille chord keyboard mode and the confirmation tones.
void SetBrailleMode(int mode);
void StartTone(std::uint16_t frequency);
void StopTone();

// Hook slots: other modules receive the console window's MM_MCINOTIFY, MM_WOM_DONE and
// braille-key messages through them.
using HookProc = void (*)(win::HWND, win::WPARAM, win::LPARAM);
struct HookSlot {
    bool enabled = false;
    HookProc proc = nullptr;
};
// The braille-key procedure returns a character and an extended code; (0, 0) is nothing.
using BrailleHookProc = std::pair<std::uint8_t, std::uint8_t> (*)(win::HWND, win::WPARAM,
                                                                  win::LPARAM);
struct BrailleHookSlot {
    bool enabled = false;
    BrailleHookProc proc = nullptr;
};
HookSlot& MciNotifyHook();
HookSlot& WaveDoneHook();
BrailleHookSlot& BrailleKeyHook();

// What the braille display output gives the console: set by the display module before
// the window is created. Every member may be left empty (no display support).
struct BrailleDisplaySeam {
    std::function<bool()> open;        // at window creation: true when a display is open
    std::function<void()> enableKeys;  // switch its key events on (installs BrailleKeyHook)
    std::function<void(int row, std::string_view cells)> writeLine;  // one row, 80 cells
};

// The colour of slot s of the console's colour table (black above 15).
win::COLORREF ColourOfSlot(int slot);

// The console module. One per process; the free operations above act on Current().
class TfCrt {
  public:
    static constexpr int kColumns = 80;
    static constexpr int kRows = 25;
    static constexpr int kCells = kColumns * kRows;
    static constexpr int kQueueSize = 64;
    // Posted to the console window after the mouse or braille modules queue a key; no
    // handler, it only ends a WaitMessage.
    static constexpr win::UINT kWakeUpMessage = 78;

    TfCrt();  // module start
    ~TfCrt();
    TfCrt(const TfCrt&) = delete;
    TfCrt& operator=(const TfCrt&) = delete;

    static TfCrt* Current();

    // Window and buffer (TfCrt.cpp).
    void InitConsole();
    void WriteText(const char* bytes, std::uint16_t count);
    void ClearScreen();
    void TextColor(int colour);
    [[noreturn]] void DoneConsole();
    win::HWND Window() const { return window_; }
    win::LRESULT WindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp);

    // Key queue and pumps (TfCrt_keys.cpp).
    bool KeyPressed();
    std::uint8_t ReadKey();
    void FlushKeys();
    int ReadLine(char* buffer, int size);
    void QueueKey(std::uint8_t byte);
    // Queues a two-byte code whole, or drops it whole when fewer than two bytes are free;
    // then posts the wake-up message.
    void QueueKeyPair(std::uint8_t first, std::uint8_t second);
    void PumpMessages();
    void PumpConsoleMessages();
    void Delay(std::uint16_t ms);

    // Braille keyboard and tones (TfCrt_braille.cpp).
    void SetBrailleMode(int mode);
    void StartTone(std::uint16_t frequency);
    void StopTone();

    HookSlot mciNotifyHook;
    HookSlot waveDoneHook;
    BrailleHookSlot brailleKeyHook;
    BrailleDisplaySeam brailleDisplay;

    // Observers for transcripts and tests: called with the bytes of each key that
    // enters the queue (one call per key, so a two-byte code is one call).
    void SetKeyObserver(std::function<void(const std::uint8_t*, int)> observer) {
        key_observer_ = std::move(observer);
    }

    // State, for tests and the magnifier.
    int CursorX() const { return cursor_x_; }
    int CursorY() const { return cursor_y_; }
    std::uint8_t TextAttr() const { return text_attr_; }
    bool Created() const { return created_; }
    bool Focused() const { return focused_; }
    bool Reading() const { return reading_; }
    int KeyCount() const { return key_count_; }
    int BrailleMode() const { return braille_mode_; }
    int CellWidth() const { return cell_width_; }
    int CellHeight() const { return cell_height_; }
    win::UINT BrailleMessage() const { return braille_message_; }
    const DisplaySettings& Settings() const { return settings_; }
    const std::string& Title() const { return title_; }
    char CharAt(int column, int row) const { return chars_[Index(column, row)]; }
    std::uint8_t AttrAt(int column, int row) const { return attrs_[Index(column, row)]; }
    // The 25 rows of the grid with trailing blanks cut (Windows-1252); kept after
    // DoneConsole so a harness can show the last screen.
    std::vector<std::string> ScreenRows() const;
    win::COLORREF ColourOf(int nibble) const;

  private:
    static int Index(int column, int row) { return row * kColumns + column; }

    // TfCrt.cpp
    void CreateConsoleWindow();
    void MeasureFont(win::HDC dc);
    win::HDC BeginDraw();
    void EndDraw(win::HDC dc, win::HGDIOBJ previousFont);
    void DrawSpan(int first, int end, int row);
    void NewLine();
    void ScrollPixels();
    void Paint(win::HWND hwnd);
    void ShowCaret();
    void HideCaret();
    void SizeLimits(win::MINMAXINFO* info);
    void OnCreate();
    win::LRESULT OnBrailleKey(win::HWND hwnd, win::WPARAM wp, win::LPARAM lp);

    // TfCrt_keys.cpp
    bool AppendKey(const std::uint8_t* bytes, int n);
    void OnChar(std::uint8_t c);
    bool OnKeyDown(int vk);
    bool OnKeyUp(int vk);
    void Pump(win::HWND filter);

    // TfCrt_braille.cpp
    void CompleteChord();
    std::uint8_t SignsStep(std::uint8_t r);
    void PlayModeTone(std::uint16_t frequency);

    // Window and buffers.
    int cursor_x_ = 0;
    int cursor_y_ = 0;
    std::uint8_t text_attr_ = 0x0F;
    std::array<char, kCells> chars_{};
    std::array<std::uint8_t, kCells> attrs_{};
    int span_first_ = 0;  // dirty span of the cursor row
    int span_end_ = 0;
    int cell_width_ = 8;
    int cell_height_ = 16;
    int text_offset_x_ = 0;
    int caret_offset_y_ = 12;
    win::HWND window_ = nullptr;
    bool created_ = false;
    bool closed_ = false;  // DoneConsole ran: the window is never made again
    bool focused_ = false;
    bool reading_ = false;
    bool painting_ = false;
    win::HDC paint_dc_ = nullptr;
    win::HFONT font_ = nullptr;
    DisplaySettings settings_;
    bool braille_active_ = false;
    std::string title_;
    win::UINT braille_message_ = 0;

    // Key queue.
    std::array<std::uint8_t, kQueueSize> queue_{};
    int key_count_ = 0;
    std::function<void(const std::uint8_t*, int)> key_observer_;

    // Braille keyboard.
    int braille_mode_ = 0;
    std::uint8_t chord_ = 0;
    std::uint8_t chord_keys_down_ = 0;
    bool capital_next_ = false;
    bool caps_lock_ = false;
    bool number_mode_ = false;
    std::vector<std::uint8_t> tone_;  // the tone image being played, empty when none
};

}  // namespace sonara
