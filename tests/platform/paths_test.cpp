#include "platform/paths.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, AbsolutePathResolvesAgainstTheCurrentDirectory) {
    EXPECT_EQ(win::AbsolutePath("c:\\sonara", "som/letras\\A.wav"),
              "c:\\sonara\\som\\letras\\A.wav");
    EXPECT_EQ(win::AbsolutePath("c:\\sonara\\", "..\\..\\..\\x"), "c:\\x");
    EXPECT_EQ(win::AbsolutePath("c:\\sonara", "\\tecfal\\.\\som"), "c:\\tecfal\\som");
    EXPECT_EQ(win::AbsolutePath("c:\\sonara", "d:x.ini"), "d:\\x.ini");
    EXPECT_EQ(win::AbsolutePath("c:\\", ""), "c:\\");
    EXPECT_EQ(win::NormaliseSeparators("c://a\\\\b/"), "c:\\a\\b\\");
}

TEST(Paths, SplitJoinAndBareNames) {
    auto p = win::SplitPath("c:\\sonara\\sonara.exe");
    EXPECT_EQ(p.drive, "c:");
    EXPECT_EQ(p.dir, "\\sonara\\");
    EXPECT_EQ(p.name, "sonara.exe");
    EXPECT_EQ(win::SplitPath("x.ini").dir, "");
    EXPECT_EQ(win::JoinPath("c:\\", "a"), "c:\\a");
    EXPECT_EQ(win::JoinPath("c:\\w", "a"), "c:\\w\\a");
    EXPECT_TRUE(win::IsBareFileName("Sonara.ini"));
    EXPECT_FALSE(win::IsBareFileName("c:Sonara.ini"));
    EXPECT_FALSE(win::IsBareFileName("./Sonara.ini"));
    EXPECT_EQ(win::BaseName("c:\\x\\caixa-aberta.mp4"), "caixa-aberta");
    EXPECT_EQ(win::Extension("c:\\x.y\\A.WAV"), ".wav");
    EXPECT_EQ(win::Extension("c:\\x.y\\A"), "");
}

TEST(Paths, CaseFoldingCoversWindows1252Letters) {
    EXPECT_TRUE(win::SameName("C:\\\xC7\xC3O.INI", "c:\\\xE7\xE3o.ini"));  // ÇÃO / ção
    EXPECT_TRUE(win::SameName("\x8A\x9F", "\x9A\xFF"));                    // Š Ÿ / š ÿ
    EXPECT_FALSE(win::SameName("\xD7", "\xF7"));                           // × is not ÷
    EXPECT_FALSE(win::SameName("ab", "abc"));
}

}  // namespace
