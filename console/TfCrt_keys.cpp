// TfCrt: the 64-byte key queue, the keyboard handlers and the message pumps.
#include <algorithm>
#include <cstring>

#include "console/TfCrt.h"
#include "platform/api.h"

namespace sonara {

namespace {

struct SpecialKey {
    int vk;
    std::uint8_t code;
    std::uint8_t ctrlCode;
};

// Searched in this order; the Ctrl code is queued when Ctrl is held.
constexpr SpecialKey kSpecialKeys[] = {
    {win::VK_F1, 59, 94},      {win::VK_F1 + 1, 60, 95},  {win::VK_F1 + 2, 61, 96},
    {win::VK_F1 + 3, 62, 97},  {win::VK_F1 + 4, 63, 98},  {win::VK_F1 + 5, 64, 99},
    {win::VK_F1 + 6, 65, 100}, {win::VK_F1 + 7, 66, 101}, {win::VK_F1 + 8, 67, 102},
    {win::VK_F10, 68, 103},    {win::VK_F11, 69, 104},    {win::VK_F12, 70, 105},
    {win::VK_INSERT, 82, 255}, {win::VK_DELETE, 83, 83},  {win::VK_HOME, 71, 119},
    {win::VK_END, 79, 117},    {win::VK_PRIOR, 73, 132},  {win::VK_NEXT, 81, 118},
    {win::VK_UP, 72, 113},     {win::VK_DOWN, 80, 114},   {win::VK_LEFT, 75, 115},
    {win::VK_RIGHT, 77, 116},
};

// PC scan codes of A..Z with Alt; digits 1..9 give 120..128 and 0 gives 129.
constexpr std::uint8_t kAltLetters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                          49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

bool Held(int vk) {
    return win::GetKeyState(vk) < 0;
}

int AltCode(int vk) {
    if (vk >= 'A' && vk <= 'Z') return kAltLetters[vk - 'A'];
    if (vk >= '1' && vk <= '9') return 120 + (vk - '1');
    if (vk == '0') return 129;
    return -1;
}

int ChordBit(int vk) {
    switch (vk) {
        case 'F':
            return 1;
        case 'D':
            return 2;
        case 'S':
            return 4;
        case 'J':
            return 8;
        case 'K':
            return 16;
        case 'L':
            return 32;
        case win::VK_SPACE:
            return 64;
        default:
            return 0;
    }
}

}  // namespace

bool TfCrt::AppendKey(const std::uint8_t* bytes, int n) {
    if (key_count_ + n > kQueueSize) return false;
    std::memcpy(queue_.data() + key_count_, bytes, static_cast<std::size_t>(n));
    key_count_ += n;
    if (key_observer_) key_observer_(bytes, n);
    return true;
}

bool TfCrt::KeyPressed() {
    InitConsole();
    PumpMessages();
    return key_count_ > 0;
}

std::uint8_t TfCrt::ReadKey() {
    // Without the window no key could ever arrive: make it before waiting.
    InitConsole();
    if (key_count_ == 0) {
        reading_ = true;
        if (focused_) ShowCaret();
        do {
            win::WaitMessage();
        } while (!KeyPressed());
        if (focused_) HideCaret();
        reading_ = false;
    }
    std::uint8_t b = queue_[0];
    std::copy(queue_.begin() + 1, queue_.begin() + key_count_, queue_.begin());
    --key_count_;
    return b;
}

void TfCrt::FlushKeys() {
    while (KeyPressed()) ReadKey();
}

int TfCrt::ReadLine(char* buffer, int size) {
    int i = 0;
    for (;;) {
        std::uint8_t c = ReadKey();
        if (c == 13) break;
        if (c == 8 && i > 0) {
            WriteText("\b", 1);
            --i;
        } else if (c >= 32 && i < size - 3) {  // at most size - 3 characters
            buffer[i++] = static_cast<char>(c);
            WriteText(reinterpret_cast<const char*>(&c), 1);
        }
    }
    if (size >= 2) {
        buffer[i] = 13;
        buffer[i + 1] = 10;
    }
    WriteText("\r\n", 2);
    return size >= 2 ? i + 2 : 0;
}

void TfCrt::QueueKey(std::uint8_t byte) {
    AppendKey(&byte, 1);
    win::PostMessageA(window_, kWakeUpMessage, 0, 0);
}

void TfCrt::QueueKeyPair(std::uint8_t first, std::uint8_t second) {
    const std::uint8_t pair[2] = {first, second};
    AppendKey(pair, 2);
    win::PostMessageA(window_, kWakeUpMessage, 0, 0);
}

void TfCrt::Pump(win::HWND filter) {
    win::MSG msg;
    while (win::PeekMessageA(&msg, filter, 0, 0, win::PM_REMOVE)) {
        if (msg.message == win::WM_QUIT) DoneConsole();
        win::TranslateMessage(&msg);
        win::DispatchMessageA(&msg);
    }
}

void TfCrt::PumpMessages() {
    Pump(nullptr);
}

void TfCrt::PumpConsoleMessages() {
    if (window_ != nullptr) Pump(window_);
}

void TfCrt::Delay(std::uint16_t ms) {
    win::Sleep(ms);
    PumpMessages();
    PumpConsoleMessages();
}

void TfCrt::OnChar(std::uint8_t c) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (braille_mode_ != 0 && (c == ' ' || letter)) return;  // the chord keys' meaning
    if (key_count_ >= kQueueSize) return;
    if (c == 8 && Held(win::VK_CONTROL)) c = 127;
    if (c == 13 && Held(win::VK_CONTROL)) c = 10;
    AppendKey(&c, 1);
}

bool TfCrt::OnKeyDown(int vk) {
    if (vk == win::VK_CANCEL) DoneConsole();  // Ctrl+Break
    bool ctrl = Held(win::VK_CONTROL);
    if (Held(win::VK_MENU) && vk != win::VK_LEFT && vk != win::VK_RIGHT) {
        if (ctrl && vk == win::VK_F12) {
            SetBrailleMode(0);
        } else if (ctrl && vk == win::VK_F11) {
            SetBrailleMode(braille_mode_ + 1);
        } else if (int code = AltCode(vk); code >= 0) {
            const std::uint8_t pair[2] = {0, static_cast<std::uint8_t>(code)};
            AppendKey(pair, 2);
        }
        return true;
    }
    if (!ctrl && braille_mode_ != 0 && ChordBit(vk) != 0) {
        chord_ |= static_cast<std::uint8_t>(ChordBit(vk));
        chord_keys_down_ |= static_cast<std::uint8_t>(ChordBit(vk));
        return true;
    }
    if (key_count_ > kQueueSize - 2) return true;
    for (const SpecialKey& key : kSpecialKeys) {
        if (key.vk != vk) continue;
        std::uint8_t code = ctrl ? key.ctrlCode : key.code;
        if (vk == win::VK_INSERT && !ctrl && Held(win::VK_SHIFT)) code = 254;
        const std::uint8_t pair[2] = {0, code};
        AppendKey(pair, 2);
        break;
    }
    return true;
}

bool TfCrt::OnKeyUp(int vk) {
    if (braille_mode_ == 0) return false;
    bool letter = vk >= 'A' && vk <= 'Z';
    // A released chord key is up whatever else is held: a bit left set would hold every
    // later chord open and merge them into one wrong character.
    chord_keys_down_ &= static_cast<std::uint8_t>(~ChordBit(vk));
    if (Held(win::VK_CONTROL) || (vk != win::VK_SPACE && !letter)) {
        number_mode_ = capital_next_ = caps_lock_ = false;
        if (chord_keys_down_ == 0) chord_ = 0;  // a chord typed with Ctrl is no character
        return false;
    }
    if (chord_keys_down_ == 0) CompleteChord();
    return true;
}

}  // namespace sonara
