// Braille display output: the console's last written row on a braille display driven by
// the library "fsbrldspapi.dll", and the display's keys as keyboard keys. Without the
// library or a display the console runs without braille and nothing is reported.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "console/braille/tfbrunif.h"
#include "platform/fsbrldspapi.h"
#include "platform/wintypes.h"

namespace sonara {

// What a display key event gives the console: a character c, or 0 and an extended code
// k; (0, 0) is nothing.
struct DisplayKey {
    std::uint8_t c = 0;
    std::uint8_t k = 0;
};

// The key translator: one display key event (kind, data) against the pending key bits
// gathered since the last completed chord, which it updates.
DisplayKey TranslateDisplayKey(std::uint32_t& pendingBits, win::WPARAM kind, win::LPARAM data);

// The module tfFocus80. Its start step offers the console its display operations; the
// console calls them at window creation and from its drawing.
class TfFocus80 {
  public:
    TfFocus80();  // module start
    ~TfFocus80();
    TfFocus80(const TfFocus80&) = delete;
    TfFocus80& operator=(const TfFocus80&) = delete;

    static TfFocus80* Current();

    // Loads the library and opens a display on "USB"; true when one with cells is open.
    bool OpenBrailleDisplay();
    // On: the display posts its key events and the key translator goes into the console's
    // BrailleKeyHook; off: the hook is disabled.
    void BrailleKeys(bool on);
    // Shows a console row: translated, padded with blank cells, from cell 0 over the
    // whole display.
    void BrailleShowLine(std::string_view text);

    bool Active() const { return active_; }
    int CellCount() const { return cell_count_; }
    std::uint32_t PendingKeyBits() const { return pending_; }
    // Display name, cell count and "Blue", as built at opening; nothing else uses it.
    const std::string& Description() const { return description_; }
    const std::string& DisplayName() const { return name_; }

  private:
    static std::pair<std::uint8_t, std::uint8_t> KeyHook(win::HWND window, win::WPARAM kind,
                                                         win::LPARAM data);

    win::HMODULE library_ = nullptr;
    std::uint32_t display_ = 0;
    std::int32_t cell_count_ = -1;
    bool active_ = false;
    std::uint32_t pending_ = 0;
    std::string description_;
    std::string name_;
    Tfbrunif translator_;

    fsbrl::OpenProc open_ = nullptr;
    fsbrl::GetCellCountProc get_cell_count_ = nullptr;
    fsbrl::WriteProc write_ = nullptr;
    fsbrl::ConfigureProc configure_ = nullptr;
    fsbrl::GetTextProc get_display_name_ = nullptr;
    fsbrl::GetTextProc get_firmware_version_ = nullptr;
    fsbrl::CloseProc close_ = nullptr;  // resolved, never called: a display stays open
    fsbrl::BeepProc beep_ = nullptr;    // resolved, never called
};

}  // namespace sonara
