// The console's display settings from Sonara.ini (sections "VIDEO" and "BRAILLE"):
// parsed into a record by a pure function over a value reader, so tests need no file.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sonara {

// The largest font width or height (pixels) a setting may ask for; beyond it, this.
constexpr int kMaxFontPixels = 512;

struct DisplaySettings {
    std::array<std::uint8_t, 16> paletteMap{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    bool fixedColours = false;
    bool blitScroll = false;
    bool oemCharset = false;  // no key sets it; kept for the stock-font choice
    bool maximised = false;
    std::uint8_t textAttr = 0x0F;
    int brailleMode = 0;
    std::string face = "Lucida Console";
    int fontWidth = 13;
    int fontHeight = 28;
};

// Reads one value: (section, key, default) -> the value, at most 80 characters.
using SettingReader = std::function<std::string(std::string_view section, std::string_view key,
                                                std::string_view defaultValue)>;

// A plain decimal integer with an optional sign; nothing else (no blanks).
std::optional<long> DecimalValue(std::string_view text);

// TABCORES: entries up to the first that is not a plain number; unfilled slots keep
// their identity value.
std::array<std::uint8_t, 16> ParsePaletteMap(std::string_view value);

// Every console setting; workWidth and workHeight are the desktop work area.
DisplaySettings ParseDisplaySettings(const SettingReader& read, int workWidth, int workHeight);

// The reader over IniDirectory() + "\Sonara.ini" with GetPrivateProfileStringA.
SettingReader SonaraIniReader();

}  // namespace sonara
