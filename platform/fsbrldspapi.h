// The braille display library "fsbrldspapi.dll": the shapes of its entry points, which
// programs resolve by name with GetProcAddress, and the key events it posts. The Linux
// back end provides it over BrlAPI; the simulated machine has a fake display behind it.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

namespace fsbrl {

constexpr const char* kLibraryName = "fsbrldspapi.dll";

// Entry point names.
constexpr const char* kOpen = "_fbOpen@12";
constexpr const char* kGetCellCount = "_fbGetCellCount@4";
constexpr const char* kWrite = "_fbWrite@16";
constexpr const char* kConfigure = "_fbConfigure@8";
constexpr const char* kGetDisplayName = "_fbGetDisplayName@12";
constexpr const char* kGetFirmwareVersion = "_fbGetFirmwareVersion@12";
constexpr const char* kClose = "_fbClose@4";
constexpr const char* kBeep = "_fbBeep@4";

// Opens the display on a port ("USB") and posts its key events to window as message;
// 0 on failure.
using OpenProc = std::uint32_t (*)(const char* port, win::HWND window, win::UINT message);
using GetCellCountProc = std::int32_t (*)(std::uint32_t display);
// Shows count dot bytes (bit 0 = dot 1 ... bit 7 = dot 8) from cell first on.
using WriteProc = void (*)(std::uint32_t display, std::int32_t first, std::int32_t count,
                           const std::uint8_t* dots);
using ConfigureProc = void (*)(std::uint32_t display, std::int32_t value);
// Copies a NUL-terminated text of at most size - 1 characters into buffer.
using GetTextProc = void (*)(std::uint32_t display, char* buffer, std::int32_t size);
using CloseProc = void (*)(std::uint32_t display);
using BeepProc = void (*)(std::uint32_t display);

// Configure value: post key events from now on.
constexpr std::int32_t kKeyEventsOn = 2;

// Key events: wParam = kind, lParam = data.
// Kind 1, the display's braille keys: data = bits << 8 adds key bits to the chord being
// pressed; data 3 ends it (all released); 261 or 6405 is line up, 2309 or 4357 line down.
// Kind 3, the panning and navigation keys: 16 or 64 up, 32 or 128 down.
// Kind 2, a cursor routing key: data = the cell, counted from 0.
constexpr win::WPARAM kKindKeys = 1;
constexpr win::WPARAM kKindRouting = 2;
constexpr win::WPARAM kKindNavigation = 3;
constexpr win::LPARAM kChordDone = 3;
constexpr win::LPARAM kLineUp = 261;
constexpr win::LPARAM kLineDown = 2309;
constexpr win::LPARAM kNavigationUp = 16;
constexpr win::LPARAM kNavigationDown = 32;

// Key bits of the chord (before the shift by 8).
constexpr std::uint32_t kBitDot7 = 64;   // backspace alone
constexpr std::uint32_t kBitDot8 = 128;  // Enter alone; Esc with dot 7
constexpr std::uint32_t kBitHome = 256;
constexpr std::uint32_t kBitEnd = 512;
constexpr std::uint32_t kBitSpace = 32768;

}  // namespace fsbrl
