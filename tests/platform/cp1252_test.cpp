// Windows-1252 <-> UTF-8 at the edges: every byte survives a round trip, malformed and
// overlong UTF-8 become the replacement, characters Windows-1252 has not likewise.
#include "platform/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = win::Cp1252ToUtf8(all);
    // The five holes of the code page (81 8D 8F 90 9D) may come back as anything, but in place.
    const std::string back = win::Utf8ToCp1252(utf8, '?');
    ASSERT_EQ(back.size(), all.size());
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        EXPECT_EQ(static_cast<unsigned char>(back[b - 1]), b) << b;
    }
    EXPECT_EQ(win::Cp1252ToUtf8("\x80\xE7"), "\xE2\x82\xAC\xC3\xA7");  // € ç
}

TEST(Cp1252, MalformedOverlongAndForeignTextBecomesTheReplacement) {
    EXPECT_EQ(win::Utf8ToCp1252("a\xC3", '?'), "a?");               // cut short
    EXPECT_EQ(win::Utf8ToCp1252("\xC3(", '?'), "?(");               // bad continuation
    EXPECT_EQ(win::Utf8ToCp1252("\xC0\x80", '?'), "??");            // overlong NUL
    EXPECT_EQ(win::Utf8ToCp1252("\xC0\xAE\xC0\xAF", '?'), "????");  // overlong "./"
    EXPECT_EQ(win::Utf8ToCp1252("\xE0\x80\xAE", '?'), "???");
    EXPECT_EQ(win::Utf8ToCp1252("\xF0\x80\x80\xAE", '?'), "????");
    EXPECT_EQ(win::Utf8ToCp1252("\xE4\xB8\xAD", '?'), "?");  // 中: no such character
    EXPECT_EQ(win::Utf8ToCp1252("\xFF", '?'), "?");
    EXPECT_EQ(win::Utf8ToCp1252("\xC3\xA7\xE2\x82\xAC", '?'), "\xE7\x80");
}

}  // namespace
