// The Sonara.ini lookup on the simulated machine: where the file is found, the "@"
// substitutions, the legacy second lookup and the integer rule.
#include <gtest/gtest.h>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "speech/minireg.h"
#include "speech/tfsapi.h"

namespace sonara {
namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class IniLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        win::SetBackend(&machine);
        machine.SetModuleFileName("c:\\prog\\menino.exe");
        machine.SetWindowsDirectory("c:\\windows");
        machine.SetRegistryString(win::HKEY_CURRENT_USER, kShellFolders, "AppData",
                                  "c:\\users\\ana\\appdata");
        machine.AddDirectory("c:\\users\\ana\\appdata\\Sonara");
    }
    void TearDown() override { win::SetBackend(nullptr); }
    void UserIni(std::string text) {
        machine.AddFile("c:\\users\\ana\\appdata\\Sonara\\Sonara.ini", std::move(text));
    }
    void WindowsIni(std::string text) {
        machine.AddFile("c:\\windows\\Sonara.ini", std::move(text));
    }

    sim::SimMachine machine;
};

TEST_F(IniLookup, DirectoryPrefersAppDataThenWindowsThenAppDataForm) {
    EXPECT_EQ(IniDirectory(), "c:\\users\\ana\\appdata\\Sonara");  // neither file exists
    WindowsIni("[A]\n");
    EXPECT_EQ(IniDirectory(), "c:\\windows");
    UserIni("[A]\n");
    EXPECT_EQ(IniDirectory(), "c:\\users\\ana\\appdata\\Sonara");
}

TEST_F(IniLookup, FailedRegistryReadLeavesTheAppDataPartEmpty) {
    sim::SimMachine bare;
    win::SetBackend(&bare);
    bare.SetWindowsDirectory("c:\\windows");
    EXPECT_EQ(IniDirectory(), "\\Sonara");
    bare.AddFile("c:\\windows\\Sonara.ini", "[A]\nB=1\n");
    EXPECT_EQ(IniDirectory(), "c:\\windows");
}

TEST_F(IniLookup, ValuesAreReadWithoutRegardToCaseAndMissingOnesAreEmpty) {
    UserIni("[Tradutor]\r\nvelocidade = 4 \r\n");
    EXPECT_EQ(ReadIni("TRADUTOR", "VELOCIDADE"), "4");
    EXPECT_EQ(ReadIni("TRADUTOR", "SAPI"), "");
    EXPECT_EQ(ReadIni("NADA", "VELOCIDADE"), "");
}

TEST_F(IniLookup, AtSubstitutions) {
    UserIni(
        "[X]\nALONE=@\nROOT=@\\som\\letras\nCONF=@@\\x\nMID=a@b\nBOTH=@@\\a;@\\b\n"
        "TWICE=@\\a;@\\b\n");
    EXPECT_EQ(ReadIni("X", "ALONE"), "c:\\prog");
    EXPECT_EQ(ReadIni("X", "ROOT"), "c:\\prog\\som\\letras");
    EXPECT_EQ(ReadIni("X", "CONF"), "c:\\users\\ana\\appdata\\Sonara\\x");
    EXPECT_EQ(ReadIni("X", "MID"), "a@b");
    EXPECT_EQ(ReadIni("X", "BOTH"), "c:\\users\\ana\\appdata\\Sonara\\a;c:\\prog\\b");
    EXPECT_EQ(ReadIni("X", "TWICE"), "c:\\prog\\a;c:\\prog\\b");
}

TEST_F(IniLookup, ProgramRootComesFromPgmsonara) {
    UserIni("[SONARA]\nPGMSONARA=d:\\prog\n[X]\nV=@\\x\n");
    EXPECT_EQ(ReadIni("X", "V"), "d:\\prog\\x");
    UserIni("[SONARA]\nPGMSONARA=@qualquer\n[X]\nV=@\\x\n");
    EXPECT_EQ(ReadIni("X", "V"), "c:\\prog\\x");
}

TEST_F(IniLookup, SelfReferringPgmsonaraDoesNotExpandWithoutEnd) {
    UserIni("[SONARA]\nPGMSONARA=e:\\@\\y\n[X]\nV=@\\x\n");
    EXPECT_EQ(ReadIni("X", "V"), "e:\\@\\y\\x");
    // Read on its own, the value expands once like any other.
    EXPECT_EQ(ReadIni("SONARA", "PGMSONARA"), "e:\\e:\\@\\y\\y");
}

TEST_F(IniLookup, LegacyLookupReadsTheWindowsDirectoryFileForEmptyValues) {
    UserIni("[X]\nA=\nB=user\n");
    WindowsIni("[X]\nA=legacy\nB=windows\n");
    EXPECT_EQ(ReadIni("X", "A"), "");  // no facade started: legacy lookup off
    {
        Tfsapi facade;
        EXPECT_EQ(ReadIni("X", "A"), "legacy");
        EXPECT_EQ(ReadIni("X", "B"), "user");
        facade.SetLegacyLookup(false);
        EXPECT_EQ(ReadIni("X", "A"), "");
    }
    EXPECT_EQ(ReadIni("X", "A"), "");
}

TEST_F(IniLookup, GarbageFileGivesEmptyValues) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
    garbage += "\n[X]\nK=" + std::string(10000, 'v') + "\n";
    UserIni(garbage);
    EXPECT_EQ(ReadIni("NADA", "K"), "");
    EXPECT_EQ(ReadIni("X", "K"), std::string(254, 'v'));  // values longer than 254 are cut
}

TEST(ReadRegString, SplitsValueNameAndLeavesResultOnFailure) {
    sim::SimMachine machine;
    win::SetBackend(&machine);
    machine.SetRegistryString(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\X\\db", "path", "c:\\v");
    std::string value = "unchanged";
    EXPECT_FALSE(ReadRegString(win::HKEY_LOCAL_MACHINE, "novalue", value));
    EXPECT_FALSE(ReadRegString(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\X\\db\\other", value));
    EXPECT_FALSE(ReadRegString(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Y\\path", value));
    EXPECT_EQ(value, "unchanged");
    EXPECT_TRUE(ReadRegString(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\X\\db\\path", value));
    EXPECT_EQ(value, "c:\\v");
    win::SetBackend(nullptr);
}

TEST(IniToInt, DecimalHexSignsAndFailures) {
    EXPECT_EQ(IniToInt("42"), 42);
    EXPECT_EQ(IniToInt("  -7"), -7);
    EXPECT_EQ(IniToInt("+3"), 3);
    EXPECT_EQ(IniToInt("$1F"), 31);
    EXPECT_EQ(IniToInt("0x10"), 16);
    EXPECT_EQ(IniToInt("-$10"), -16);
    EXPECT_EQ(IniToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(IniToInt("-$80000000"), -2147483648L);  // the sign wraps with the value
    EXPECT_EQ(IniToInt("-$FFFFFFFF"), 1);
    EXPECT_EQ(IniToInt("-$7FFFFFFF"), -2147483647L);
    EXPECT_EQ(IniToInt("2147483647"), 2147483647L);
    EXPECT_EQ(IniToInt("-2147483648"), -2147483648L);
    for (const char* bad : {"", "   ", "-", "0x", "$", "12a", "4 ", "1.5", "2147483648",
                            "99999999999999999999", "$123456789"})
        EXPECT_FALSE(IniToInt(bad).has_value()) << bad;
}

TEST(IniFlagOn, EmptyAndNMeanOff) {
    EXPECT_FALSE(IniFlagOn(""));
    EXPECT_FALSE(IniFlagOn("N"));
    EXPECT_FALSE(IniFlagOn("nao"));
    EXPECT_TRUE(IniFlagOn("S"));
    EXPECT_TRUE(IniFlagOn("0"));
}

}  // namespace
}  // namespace sonara
