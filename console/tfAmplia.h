// tfAmplia: the low-vision settings (Sonara.ini "BAIXAVISAO") and the magnified font.
#pragma once

#include <string_view>

#include "platform/wintypes.h"

namespace sonara {

struct LowVisionSettings {
    int factor = 0;        // AMPLIACAO 0..10; 0 = no magnification
    int textColour = 14;   // CORLETRA 0..15
    int background = 6;    // CORFUNDO 0..15
    int cursorColour = 3;  // CORCURSOR 0..15
};

// The settings from their values as ReadIni gives them (empty when absent).
LowVisionSettings ParseLowVisionSettings(std::string_view ampliacao, std::string_view corLetra,
                                         std::string_view corFundo, std::string_view corCursor);

class TfAmplia {
  public:
    TfAmplia();
    ~TfAmplia();
    TfAmplia(const TfAmplia&) = delete;
    TfAmplia& operator=(const TfAmplia&) = delete;

    static TfAmplia* Current();

    // Reads the settings through ReadIni; with a factor above 0 creates the console
    // window and the magnified font and switches the magnifier on.
    void ReadLowVisionSettings();

    const LowVisionSettings& Settings() const { return settings_; }
    bool On() const { return on_; }
    win::HFONT Font() const { return font_; }

  private:
    LowVisionSettings settings_;
    bool on_ = false;
    win::HFONT font_ = nullptr;
};

// Called by the speech start-up, first of its steps.
void ReadLowVisionSettings();

}  // namespace sonara
