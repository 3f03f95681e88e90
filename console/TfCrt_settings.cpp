// Display settings: Sonara.ini "VIDEO" and "BRAILLE" MODO, read directly from the file
// (no "@" substitutions, no legacy second lookup).
#include "console/TfCrt_settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/api.h"
#include "speech/tfsapi.h"

namespace sonara {

namespace {

bool FirstIsS(std::string_view v) {
    return !v.empty() && std::toupper(static_cast<unsigned char>(v[0])) == 'S';
}

// LARGURALETRA / ALTURALETRA: a number, or the size scaled from the work area when the
// value is empty or does not convert. A number is clamped to a cell no screen exceeds, so
// the sums of the window size and of the magnifier (up to ten times) stay far inside int.
int FontSize(std::string_view value, int workSize, double reference, double cells) {
    if (auto v = DecimalValue(value))
        return static_cast<int>(std::clamp<long>(*v, -kMaxFontPixels, kMaxFontPixels));
    return static_cast<int>(std::trunc(workSize / reference * cells));
}

}  // namespace

std::optional<long> DecimalValue(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        if (v > 100000000L) return std::nullopt;  // far beyond any colour or size
        v = v * 10 + (text[i] - '0');
    }
    return negative ? -v : v;
}

std::array<std::uint8_t, 16> ParsePaletteMap(std::string_view value) {
    DisplaySettings identity;
    std::array<std::uint8_t, 16> map = identity.paletteMap;
    if (value.empty()) return map;
    std::string rest(value);
    rest += ',';
    for (int slot = 0; slot < 16; ++slot) {
        std::size_t comma = rest.find(',');
        if (comma == std::string::npos) break;
        // Entries are plain numbers: "15, 14" stops at " 14".
        auto v = DecimalValue(std::string_view(rest).substr(0, comma));
        if (!v) break;
        map[slot] = static_cast<std::uint8_t>(*v & 0xFF);
        rest.erase(0, comma + 1);
    }
    return map;
}

DisplaySettings ParseDisplaySettings(const SettingReader& read, int workWidth, int workHeight) {
    DisplaySettings s;
    s.paletteMap =
        ParsePaletteMap(read("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"));
    s.fixedColours = FirstIsS(read("VIDEO", "CORESFIXAS", "N"));
    s.blitScroll = FirstIsS(read("VIDEO", "LENTO", "N"));
    // An empty value or one that does not convert leaves background 0 and text 7.
    long background = DecimalValue(read("VIDEO", "CORFUNDO", "0")).value_or(0);
    long text = DecimalValue(read("VIDEO", "CORLETRA", "15")).value_or(7);
    s.textAttr = static_cast<std::uint8_t>((background * 16) | text);
    std::string mode = read("BRAILLE", "MODO", "0");
    s.brailleMode = mode.empty() ? 0 : static_cast<unsigned char>(mode[0]) & 3;
    s.face = read("VIDEO", "FONTE", "Lucida Console");
    s.fontWidth = FontSize(read("VIDEO", "LARGURALETRA", ""), workWidth, 1024.0, 13.0);
    s.fontHeight = FontSize(read("VIDEO", "ALTURALETRA", ""), workHeight, 734.0, 28.0);
    // The second character decides; a value shorter than two characters starts normally.
    std::string corner = read("VIDEO", "CANTOTELA", "SIM");
    s.maximised = corner.size() >= 2 && std::toupper(static_cast<unsigned char>(corner[1])) != 'S';
    return s;
}

SettingReader SonaraIniReader() {
    std::string file = IniDirectory() + "\\Sonara.ini";
    return [file](std::string_view section, std::string_view key, std::string_view def) {
        std::string sectionZ(section), keyZ(key), defZ(def);
        char buffer[81];
        win::DWORD n = win::GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defZ.c_str(),
                                                     buffer, sizeof buffer, file.c_str());
        return std::string(buffer, n);
    };
}

}  // namespace sonara
