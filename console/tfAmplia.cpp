#include "console/tfAmplia.h"

#include "console/TfCrt.h"
#include "platform/api.h"
#include "speech/tfsapi.h"

namespace sonara {

namespace {

TfAmplia* current_magnifier = nullptr;

int InRange(std::string_view value, long low, long high, int otherwise) {
    long v = 0;
    if (!ReadIniInt(value, v) || v < low || v > high) return otherwise;
    return static_cast<int>(v);
}

}  // namespace

LowVisionSettings ParseLowVisionSettings(std::string_view ampliacao, std::string_view corLetra,
                                         std::string_view corFundo, std::string_view corCursor) {
    LowVisionSettings s;
    s.factor = ampliacao.empty() ? 0 : InRange(ampliacao, 0, 10, 3);
    s.textColour = InRange(corLetra, 0, 15, 14);
    s.background = InRange(corFundo, 0, 15, 6);
    s.cursorColour = InRange(corCursor, 0, 15, 3);
    return s;
}

TfAmplia::TfAmplia() {
    current_magnifier = this;
}

TfAmplia::~TfAmplia() {
    if (font_ != nullptr) win::DeleteObject(font_);
    if (current_magnifier == this) current_magnifier = nullptr;
}

TfAmplia* TfAmplia::Current() {
    return current_magnifier;
}

void TfAmplia::ReadLowVisionSettings() {
    settings_ = ParseLowVisionSettings(
        ReadIni("BAIXAVISAO", "AMPLIACAO"), ReadIni("BAIXAVISAO", "CORLETRA"),
        ReadIni("BAIXAVISAO", "CORFUNDO"), ReadIni("BAIXAVISAO", "CORCURSOR"));
    if (settings_.factor <= 0) return;
    TfCrt* crt = TfCrt::Current();
    if (crt == nullptr) return;
    crt->InitConsole();
    const DisplaySettings& d = crt->Settings();
    if (font_ != nullptr) win::DeleteObject(font_);
    font_ = win::CreateFontA(settings_.factor * d.fontHeight, settings_.factor * d.fontWidth, 0, 0,
                             0, 0, 0, 0, d.oemCharset ? win::OEM_CHARSET : win::ANSI_CHARSET, 0, 0,
                             0, 0, d.face.c_str());
    on_ = true;
}

void ReadLowVisionSettings() {
    if (TfAmplia* magnifier = TfAmplia::Current()) magnifier->ReadLowVisionSettings();
}

}  // namespace sonara
