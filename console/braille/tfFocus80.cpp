// tfFocus80: braille display output through the library "fsbrldspapi.dll".
#include "console/braille/tfFocus80.h"

#include <cstring>

#include "console/TfCrt.h"
#include "console/braille/BrailleTables.h"
#include "platform/api.h"

namespace sonara {

namespace {

TfFocus80* current_focus80 = nullptr;

constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kEsc = 27;
constexpr std::uint8_t kUp = 72;
constexpr std::uint8_t kDown = 80;
constexpr std::uint8_t kHome = 71;
constexpr std::uint8_t kEnd = 79;
constexpr int kPadding = 10;
// More cells than any display has: a library reporting this many is not believed.
constexpr std::int32_t kMostCells = 1024;
constexpr int kTextBuffer = 80;

template <class Proc>
Proc Resolve(win::HMODULE library, const char* name) {
    return reinterpret_cast<Proc>(win::GetProcAddress(library, name));
}

// A completed chord of pending key bits p (its low 16 bits not all zero).
DisplayKey CompleteChord(std::uint32_t p) {
    DisplayKey key;
    if (p == fsbrl::kBitDot7) {
        key.c = kBackspace;
    } else if (p == fsbrl::kBitDot8) {
        key.c = kEnter;
    } else if (p == (fsbrl::kBitDot7 | fsbrl::kBitDot8)) {
        key.c = kEsc;
    } else if (p == fsbrl::kBitSpace) {
        key.c = ' ';
    } else if (p & fsbrl::kBitHome) {
        key.k = kHome;
    } else if (p & fsbrl::kBitEnd) {
        key.k = kEnd;
    } else if (p & fsbrl::kBitSpace) {
        key.c = static_cast<std::uint8_t>(DisplayKeyChar(p & 63) & 31);  // a control character
    } else if (p < 64) {
        key.c = static_cast<std::uint8_t>(DisplayKeyChar(p));
    } else if ((p & 63) != 0) {
        // Dots 1-6 with dot 7, dot 8 or keys the table has no column for: the character of
        // the six dots, as an eight-dot display's dots 7 and 8 add nothing to a letter here.
        key.c = static_cast<std::uint8_t>(DisplayKeyChar(p & 63));
    }
    // Only keys outside dots 1-6 (dots 7 and 8 with others, unknown keys): nothing.
    return key;
}

}  // namespace

DisplayKey TranslateDisplayKey(std::uint32_t& pendingBits, win::WPARAM kind, win::LPARAM data) {
    DisplayKey key;
    if (kind != fsbrl::kKindKeys && kind != fsbrl::kKindNavigation) {
        key.c = '?';
        return key;
    }
    if (kind == fsbrl::kKindNavigation) {
        if (data == 16 || data == 64) key.k = kUp;
        if (data == 32 || data == 128) key.k = kDown;
        return key;
    }
    if (data == 261 || data == 6405) {
        key.k = kUp;
    } else if (data == 2309 || data == 4357) {
        key.k = kDown;
    } else if (data == fsbrl::kChordDone) {
        if ((pendingBits & 0xFFFF) != 0) key = CompleteChord(pendingBits);
        pendingBits = 0;
    } else {
        // The data is the library's 32-bit value; bits beyond it are not key bits.
        pendingBits |= static_cast<std::uint32_t>(data) >> 8;
    }
    return key;
}

TfFocus80::TfFocus80() {
    current_focus80 = this;
    if (TfCrt* crt = TfCrt::Current()) {
        crt->brailleDisplay.open = [this] { return OpenBrailleDisplay(); };
        crt->brailleDisplay.enableKeys = [this] { BrailleKeys(true); };
        crt->brailleDisplay.writeLine = [this](int, std::string_view row) { BrailleShowLine(row); };
    }
}

TfFocus80::~TfFocus80() {
    if (TfCrt* crt = TfCrt::Current()) {
        crt->brailleDisplay = {};
        if (crt->brailleKeyHook.proc == &KeyHook) crt->brailleKeyHook = {};
    }
    if (current_focus80 == this) current_focus80 = nullptr;
}

TfFocus80* TfFocus80::Current() {
    return current_focus80;
}

bool TfFocus80::OpenBrailleDisplay() {
    TfCrt* crt = TfCrt::Current();
    if (active_ || crt == nullptr) return active_;
    library_ = win::LoadLibraryA(fsbrl::kLibraryName);
    if (library_ == nullptr || crt->BrailleMessage() == 0) return false;
    open_ = Resolve<fsbrl::OpenProc>(library_, fsbrl::kOpen);
    get_cell_count_ = Resolve<fsbrl::GetCellCountProc>(library_, fsbrl::kGetCellCount);
    write_ = Resolve<fsbrl::WriteProc>(library_, fsbrl::kWrite);
    configure_ = Resolve<fsbrl::ConfigureProc>(library_, fsbrl::kConfigure);
    get_display_name_ = Resolve<fsbrl::GetTextProc>(library_, fsbrl::kGetDisplayName);
    get_firmware_version_ = Resolve<fsbrl::GetTextProc>(library_, fsbrl::kGetFirmwareVersion);
    close_ = Resolve<fsbrl::CloseProc>(library_, fsbrl::kClose);
    beep_ = Resolve<fsbrl::BeepProc>(library_, fsbrl::kBeep);
    // A library without a function this module calls cannot drive a display.
    if (!open_ || !get_cell_count_ || !write_ || !configure_ || !get_display_name_ ||
        !get_firmware_version_)
        return false;

    display_ = open_("USB", crt->Window(), crt->BrailleMessage());
    if (display_ == 0) return false;
    cell_count_ = get_cell_count_(display_);
    if (cell_count_ <= 0 || cell_count_ > kMostCells) return false;

    char name[kTextBuffer] = {};
    char firmware[kTextBuffer] = {};
    get_display_name_(display_, name, kTextBuffer);
    get_firmware_version_(display_, firmware, kTextBuffer);
    name[kTextBuffer - 1] = firmware[kTextBuffer - 1] = '\0';
    name_ = name;
    description_ = name_ + " " + std::to_string(cell_count_) + " Blue";
    active_ = true;
    return true;
}

void TfFocus80::BrailleKeys(bool on) {
    TfCrt* crt = TfCrt::Current();
    if (crt == nullptr) return;
    if (!on) {
        crt->brailleKeyHook.enabled = false;
        return;
    }
    if (!active_) return;  // no display: no hook
    configure_(display_, fsbrl::kKeyEventsOn);
    crt->brailleKeyHook.proc = &KeyHook;
    crt->brailleKeyHook.enabled = true;
}

void TfFocus80::BrailleShowLine(std::string_view text) {
    if (!active_) return;
    std::string braille = translator_.TranslateToBraille(text);
    while (braille.size() <= static_cast<std::size_t>(cell_count_)) braille.append(kPadding, ' ');
    const std::string dots = BrailleTextToDots(braille);
    write_(display_, 0, cell_count_, reinterpret_cast<const std::uint8_t*>(dots.data()));
}

std::pair<std::uint8_t, std::uint8_t> TfFocus80::KeyHook(win::HWND, win::WPARAM kind,
                                                         win::LPARAM data) {
    if (current_focus80 == nullptr) return {0, 0};
    DisplayKey key = TranslateDisplayKey(current_focus80->pending_, kind, data);
    return {key.c, key.k};
}

}  // namespace sonara
