#include <gtest/gtest.h>

#include "tavena/DiphoneList.h"

namespace {

TEST(DiphoneListTest, LinesGiveTheirFirstTwoNames) {
    sonara::DiphoneList list;
    list.Load(
        "! header\r\n* note\r\n; comment\r\n\r\n"
        "  a-b  \r\n"
        "r2\t_ 1234 extra\r\n"
        "@ e2 more\r\n"
        "#k\r\n"
        "S\r\n");
    EXPECT_EQ(list.Keys(), (std::vector<std::string>{"-k", "@-e2", "a-b", "r2-_", "S-"}));
    EXPECT_TRUE(list.Contains("A-B"));  // without regard to case
    EXPECT_TRUE(list.Contains("r2-_"));
    EXPECT_TRUE(list.Contains("s-"));
    EXPECT_FALSE(list.Contains("b-a"));
    EXPECT_FALSE(list.Contains("a-"));
    list.Load("x-y");
    EXPECT_FALSE(list.Contains("a-b"));  // a load replaces the list
    EXPECT_TRUE(list.Contains("x-y"));
    EXPECT_FALSE(list.LoadFile(std::nullopt));
    EXPECT_TRUE(list.Keys().empty());
}

}  // namespace
