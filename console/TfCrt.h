// The text console: one 80 x 25 character-cell window with a caret, colours, a key
// queue and the message pumps every wait of the program relies on. These free
// operations act on the current process's console (process/Process.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

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

}  // namespace sonara
