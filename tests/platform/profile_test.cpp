// Profile strings: the pure parser and GetPrivateProfileStringA over the simulated files.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

using win::FindProfileValue;

TEST(Profile, SectionsAndKeysIgnoreCaseAndValuesAreTrimmed) {
    const std::string ini =
        "; a comment\r\n"
        "[Video]\r\n"
        "  Lento =  S  \r\n"
        "Face=\"Courier New\"\r\n"
        "Odd='x\r\n"
        "[\xC1UDIO]\n"  // Á: Windows-1252 letters fold too
        "volume=7\n";
    EXPECT_EQ(FindProfileValue(ini, "VIDEO", "lento"), "S");
    EXPECT_EQ(FindProfileValue(ini, "video", "FACE"), "Courier New");
    EXPECT_EQ(FindProfileValue(ini, "video", "odd"), "'x");  // an unmatched quote stays
    EXPECT_EQ(FindProfileValue(ini, "\xE1udio", "VOLUME"), "7");
    EXPECT_EQ(FindProfileValue(ini, "video", "volume"), std::nullopt);
    EXPECT_EQ(FindProfileValue(ini, "video", "; a comment"), std::nullopt);
}

TEST(Profile, FirstSectionAndFirstKeyWin) {
    const std::string ini = "[a]\nk=1\nk=2\n[b]\nk=3\n[a]\nk=4\nj=5\n";
    EXPECT_EQ(FindProfileValue(ini, "a", "k"), "1");
    EXPECT_EQ(FindProfileValue(ini, "b", "k"), "3");
    EXPECT_EQ(FindProfileValue(ini, "a", "j"), std::nullopt);  // only the first [a] counts
    EXPECT_EQ(win::ProfileSections(ini), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(win::ProfileKeys(ini, "A"), (std::vector<std::string>{"k", "k"}));
}

TEST(Profile, GarbageAndHugeLinesAreSafe) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 73 + 11) & 0xFF));
    EXPECT_NO_THROW(FindProfileValue(garbage, "x", "y"));
    std::string huge =
        "[s]\nk=" + std::string(10000, 'v') + "\n" + std::string(10000, '[') + "\nlast=ok";
    auto v = FindProfileValue(huge, "s", "k");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->size(), 10000u);
    EXPECT_EQ(FindProfileValue(huge, "s", "last"), std::nullopt);  // inside section "[[[..."
    EXPECT_EQ(FindProfileValue(std::string("[s]\nk=a\0b\n", 10), "s", "k"), std::string("a\0b", 3));
    EXPECT_EQ(FindProfileValue("[s", "s", "k"), std::nullopt);
    EXPECT_EQ(FindProfileValue("[s]\rk=v\r", "s", "k"), "v");  // bare CR lines
}

struct ProfileFiles : ::testing::Test {
    sim::SimMachine m;
    char buf[64] = {};
    void SetUp() override {
        win::SetBackend(&m);
        m.AddFile("c:\\windows\\Sonara.ini", "[VIDEO]\nLENTO=S\nLONG=0123456789\n");
    }
    std::string Get(const char* s, const char* k, const char* def, const char* file,
                    win::DWORD size = 64) {
        win::DWORD n = win::GetPrivateProfileStringA(s, k, def, buf, size, file);
        EXPECT_EQ(n, std::strlen(buf));
        return buf;
    }
};

TEST_F(ProfileFiles, BareNamesAreInTheWindowsDirectory) {
    EXPECT_EQ(Get("video", "lento", "N", "sonara.ini"), "S");
    EXPECT_EQ(Get("video", "lento", "N", "C:/WINDOWS/sonara.INI"), "S");
    EXPECT_EQ(Get("video", "lento", "N", "d:\\sonara.ini"), "N");  // missing file
    m.SetWindowsDirectory("c:\\other");
    EXPECT_EQ(Get("video", "lento", "N  ", "sonara.ini"), "N");  // default loses its blanks
}

TEST_F(ProfileFiles, ValuesAreCutToTheBuffer) {
    EXPECT_EQ(Get("video", "long", "", "sonara.ini", 5), "0123");
    EXPECT_EQ(Get("video", "none", "abcdefgh", "sonara.ini", 4), "abc");
    EXPECT_EQ(win::GetPrivateProfileStringA("video", "long", "", buf, 0, "sonara.ini"), 0u);
}

TEST_F(ProfileFiles, NullKeyListsTheKeys) {
    win::DWORD n =
        win::GetPrivateProfileStringA("video", nullptr, "", buf, sizeof buf, "sonara.ini");
    EXPECT_EQ(std::string(buf, n), std::string("LENTO\0LONG\0", 11));
    EXPECT_EQ(buf[n], '\0');
    // A list that does not fit is cut and ends with two zeros inside the buffer.
    std::memset(buf, 'Z', sizeof buf);
    n = win::GetPrivateProfileStringA("video", nullptr, "", buf, 8, "sonara.ini");
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(std::string(buf, 9), std::string("LENTO\0\0\0Z", 9));
    std::memset(buf, 'Z', sizeof buf);
    n = win::GetPrivateProfileStringA(nullptr, nullptr, "", buf, 2, "sonara.ini");
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(std::string(buf, 3), std::string("\0\0Z", 3));
}

TEST(OemToChar, TranslatesCodePage850) {
    const char oem[] = "\x87\x82\xA4 \x80 ok\xC4";
    char out[sizeof oem];
    ASSERT_TRUE(win::OemToCharA(oem, out));
    EXPECT_STREQ(out, "\xE7\xE9\xF1 \xC7 ok-");  // ç é ñ Ç, a box line becomes '-'
    char inPlace[] = "\x85";
    win::OemToCharA(inPlace, inPlace);
    EXPECT_STREQ(inPlace, "\xE0");  // à
}

}  // namespace
