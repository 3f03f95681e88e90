// Display and low-vision settings: parsing rules, and their effect on a real console.
#include "console/TfCrt_settings.h"

#include <gtest/gtest.h>

#include <map>

#include "console/tfAmplia.h"
#include "platform/api.h"
#include "support/ConsoleHarness.h"

namespace {

using sonara::DisplaySettings;
using sonara::ParseDisplaySettings;

// A reader over a map "SECTION/KEY" -> value; absent keys give the default.
sonara::SettingReader MapReader(std::map<std::string, std::string> values) {
    return [values](std::string_view section, std::string_view key, std::string_view def) {
        auto it = values.find(std::string(section) + "/" + std::string(key));
        return it == values.end() ? std::string(def) : it->second;
    };
}

DisplaySettings Parse(std::map<std::string, std::string> values, int w = 1024, int h = 734) {
    return ParseDisplaySettings(MapReader(std::move(values)), w, h);
}

TEST(DisplaySettings, DefaultsGiveWhiteOnBlackLucidaMaximisedAndModeZero) {
    DisplaySettings s = Parse({});
    EXPECT_EQ(s.textAttr, 0x0F);
    EXPECT_EQ(s.face, "Lucida Console");
    EXPECT_EQ(s.fontWidth, 13);
    EXPECT_EQ(s.fontHeight, 28);
    EXPECT_TRUE(s.maximised);
    EXPECT_FALSE(s.fixedColours);
    EXPECT_FALSE(s.blitScroll);
    EXPECT_EQ(s.brailleMode, 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s.paletteMap[i], i);
}

TEST(DisplaySettings, PaletteEntriesStopAtTheFirstThatIsNotAPlainNumber) {
    auto map = sonara::ParsePaletteMap("15,14");
    EXPECT_EQ(map[0], 15);
    EXPECT_EQ(map[1], 14);
    EXPECT_EQ(map[2], 2);
    EXPECT_EQ(map[15], 15);
    map = sonara::ParsePaletteMap("15, 14");  // a space after the comma stops there
    EXPECT_EQ(map[0], 15);
    EXPECT_EQ(map[1], 1);
    map = sonara::ParsePaletteMap("3,x,5");
    EXPECT_EQ(map[0], 3);
    EXPECT_EQ(map[1], 1);
    EXPECT_EQ(map[2], 2);                     // nothing after the failed entry is taken
    map = sonara::ParsePaletteMap("300,-1");  // the low byte is stored
    EXPECT_EQ(map[0], 44);
    EXPECT_EQ(map[1], 255);
    map = sonara::ParsePaletteMap("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,0,9,9");
    EXPECT_EQ(map[15], 0);  // at most 16 slots
}

TEST(DisplaySettings, ColoursFlagsAndModes) {
    EXPECT_EQ(Parse({{"VIDEO/CORLETRA", "9"}, {"VIDEO/CORFUNDO", "1"}}).textAttr, 0x19);
    EXPECT_EQ(Parse({{"VIDEO/CORLETRA", ""}, {"VIDEO/CORFUNDO", ""}}).textAttr, 0x07);
    EXPECT_EQ(Parse({{"VIDEO/CORLETRA", "x"}, {"VIDEO/CORFUNDO", "2"}}).textAttr, 0x27);
    EXPECT_EQ(Parse({{"VIDEO/CORLETRA", "15"}, {"VIDEO/CORFUNDO", "17"}}).textAttr, 0x1F);
    EXPECT_TRUE(Parse({{"VIDEO/CORESFIXAS", "sim"}}).fixedColours);
    EXPECT_FALSE(Parse({{"VIDEO/CORESFIXAS", ""}}).fixedColours);
    EXPECT_TRUE(Parse({{"VIDEO/LENTO", "S"}}).blitScroll);
    EXPECT_FALSE(Parse({{"VIDEO/LENTO", "Y"}}).blitScroll);
    EXPECT_EQ(Parse({{"BRAILLE/MODO", "1"}}).brailleMode, 1);
    EXPECT_EQ(Parse({{"BRAILLE/MODO", "2"}}).brailleMode, 2);
    EXPECT_EQ(Parse({{"BRAILLE/MODO", "3"}}).brailleMode, 3);
    EXPECT_EQ(Parse({{"BRAILLE/MODO", ""}}).brailleMode, 0);
}

TEST(DisplaySettings, SecondCharacterOfCantotelaDecidesTheMaximisedStart) {
    EXPECT_TRUE(Parse({{"VIDEO/CANTOTELA", "SIM"}}).maximised);
    EXPECT_TRUE(Parse({{"VIDEO/CANTOTELA", "NAO"}}).maximised);
    EXPECT_FALSE(Parse({{"VIDEO/CANTOTELA", "NS"}}).maximised);
    EXPECT_FALSE(Parse({{"VIDEO/CANTOTELA", "xs"}}).maximised);
    EXPECT_FALSE(Parse({{"VIDEO/CANTOTELA", ""}}).maximised);
}

TEST(DisplaySettings, FontSizeFromTheKeysOrScaledFromTheWorkArea) {
    DisplaySettings s = Parse(
        {{"VIDEO/LARGURALETRA", "10"}, {"VIDEO/ALTURALETRA", "20"}, {"VIDEO/FONTE", "Courier"}});
    EXPECT_EQ(s.fontWidth, 10);
    EXPECT_EQ(s.fontHeight, 20);
    EXPECT_EQ(s.face, "Courier");
    s = Parse({}, 2048, 1468);
    EXPECT_EQ(s.fontWidth, 26);
    EXPECT_EQ(s.fontHeight, 56);
    s = Parse({{"VIDEO/LARGURALETRA", "wide"}}, 800, 600);  // not a number: scaled
    EXPECT_EQ(s.fontWidth, 10);                             // 800 / 1024 * 13 = 10.16
    EXPECT_EQ(s.fontHeight, 22);                            // 600 / 734 * 28 = 22.9
}

TEST(DisplaySettings, HugeFontSizesAreClampedToTheLargestCell) {
    DisplaySettings s =
        Parse({{"VIDEO/LARGURALETRA", "999999999"}, {"VIDEO/ALTURALETRA", "-1000000000"}});
    EXPECT_EQ(s.fontWidth, sonara::kMaxFontPixels);
    EXPECT_EQ(s.fontHeight, -sonara::kMaxFontPixels);
    s = Parse({{"VIDEO/LARGURALETRA", "512"}, {"VIDEO/ALTURALETRA", "-40"}});
    EXPECT_EQ(s.fontWidth, 512);
    EXPECT_EQ(s.fontHeight, -40);
}

TEST(LowVision, FactorAndColoursWithTheirRangesAndDefaults) {
    using sonara::ParseLowVisionSettings;
    EXPECT_EQ(ParseLowVisionSettings("12", "", "", "").factor, 3);
    EXPECT_EQ(ParseLowVisionSettings("", "", "", "").factor, 0);
    EXPECT_EQ(ParseLowVisionSettings("x", "", "", "").factor, 3);
    EXPECT_EQ(ParseLowVisionSettings("-1", "", "", "").factor, 3);
    EXPECT_EQ(ParseLowVisionSettings("10", "", "", "").factor, 10);
    auto s = ParseLowVisionSettings("2", "", "", "");
    EXPECT_EQ(s.textColour, 14);
    EXPECT_EQ(s.background, 6);
    EXPECT_EQ(s.cursorColour, 3);
    s = ParseLowVisionSettings("2", "16", "0", "$A");
    EXPECT_EQ(s.textColour, 14);
    EXPECT_EQ(s.background, 0);
    EXPECT_EQ(s.cursorColour, 10);
}

TEST(SettingsOnTheMachine, ConsoleReadsSonaraIniAtWindowCreation) {
    console_test::ConsoleHarness h("[VIDEO]\r\nCORLETRA=9\r\nCORFUNDO=1\r\nTABCORES=15,14\r\n");
    EXPECT_FALSE(h.crt().Created());
    h.Open();
    EXPECT_TRUE(h.crt().Created());
    EXPECT_EQ(h.crt().TextAttr(), 0x19);
    EXPECT_EQ(h.crt().ColourOf(0), win::RGB(255, 255, 255));
    EXPECT_EQ(h.crt().ColourOf(1), win::RGB(255, 255, 0));
    EXPECT_EQ(h.crt().ColourOf(2), win::RGB(0, 255, 0));
    EXPECT_EQ(h.machine.ShowCommand(), win::SW_MAXIMIZE);
}

TEST(SettingsOnTheMachine, CantotelaWithSecondLetterSStartsAtTheComputedSize) {
    console_test::ConsoleHarness h("[VIDEO]\r\nCANTOTELA=NS\r\n");
    h.Open();
    EXPECT_EQ(h.machine.ShowCommand(), win::SW_SHOW);
    win::RECT r;
    win::GetWindowRect(h.crt().Window(), &r);
    EXPECT_EQ(r.right - r.left, 2 * 4 + 80 * 13);
    EXPECT_EQ(r.bottom - r.top, 2 * 4 + 25 * 28 + 19);
}

TEST(SettingsOnTheMachine, MagnifierCreatesTheConsoleAndAScaledFont) {
    console_test::ConsoleHarness absent;
    absent.process().amplia.module.ReadLowVisionSettings();
    EXPECT_FALSE(absent.process().amplia.module.On());
    EXPECT_FALSE(absent.crt().Created());

    console_test::ConsoleHarness h("[BAIXAVISAO]\r\nAMPLIACAO=12\r\nCORLETRA=1\r\n");
    h.process().amplia.module.ReadLowVisionSettings();
    const sonara::TfAmplia& magnifier = h.process().amplia.module;
    EXPECT_TRUE(magnifier.On());
    EXPECT_EQ(magnifier.Settings().factor, 3);
    EXPECT_EQ(magnifier.Settings().textColour, 1);
    EXPECT_TRUE(h.crt().Created());
    ASSERT_NE(magnifier.Font(), nullptr);
    win::HDC dc = win::GetDC(nullptr);
    win::SelectObject(dc, magnifier.Font());
    win::TEXTMETRICA tm;
    win::GetTextMetricsA(dc, &tm);
    win::ReleaseDC(nullptr, dc);
    EXPECT_EQ(tm.tmHeight, 3 * 28);
    EXPECT_EQ(tm.tmAveCharWidth, 3 * 13);
}

// Under UBSan the window size and the magnified font overflowed int with these values.
TEST(SettingsOnTheMachine, HugeFontSizesWithTheLargestMagnificationStayInRange) {
    console_test::ConsoleHarness h(
        "[VIDEO]\r\nLARGURALETRA=999999999\r\nALTURALETRA=999999999\r\nCANTOTELA=NS\r\n"
        "[BAIXAVISAO]\r\nAMPLIACAO=10\r\n");
    h.process().amplia.module.ReadLowVisionSettings();
    const sonara::TfAmplia& magnifier = h.process().amplia.module;
    ASSERT_TRUE(h.crt().Created());
    win::RECT r;
    win::GetWindowRect(h.crt().Window(), &r);
    EXPECT_EQ(r.right - r.left, 2 * 4 + 80 * sonara::kMaxFontPixels);
    EXPECT_EQ(r.bottom - r.top, 2 * 4 + 25 * sonara::kMaxFontPixels + 19);
    ASSERT_NE(magnifier.Font(), nullptr);
    win::HDC dc = win::GetDC(nullptr);
    win::SelectObject(dc, magnifier.Font());
    win::TEXTMETRICA tm;
    win::GetTextMetricsA(dc, &tm);
    win::ReleaseDC(nullptr, dc);
    EXPECT_EQ(tm.tmHeight, 10 * sonara::kMaxFontPixels);
    EXPECT_EQ(tm.tmAveCharWidth, 10 * sonara::kMaxFontPixels);
    h.crt().WriteText("ok", 2);
    EXPECT_FALSE(h.machine.TextRuns().empty());
}

}  // namespace
