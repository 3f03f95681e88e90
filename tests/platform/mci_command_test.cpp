#include "platform/mci_command.h"

#include <gtest/gtest.h>

namespace {

using win::MciVerb;
using win::ParseMciCommand;

TEST(MciCommand, ParsesEveryCommandOfTheClipPlayer) {
    auto open = ParseMciCommand("open \"C:\\MENINO\\SONS\\A B.mp4\" type mpegVideo alias pipoco");
    ASSERT_EQ(open.error, 0u);
    EXPECT_EQ(open.command.verb, MciVerb::kOpen);
    EXPECT_EQ(open.command.device, "C:\\MENINO\\SONS\\A B.mp4");
    EXPECT_EQ(open.command.type, "mpegVideo");
    EXPECT_EQ(open.command.alias, "pipoco");
    EXPECT_FALSE(open.command.notify);

    auto where = ParseMciCommand("where pipoco source");
    ASSERT_EQ(where.error, 0u);
    EXPECT_EQ(where.command.verb, MciVerb::kWhere);
    EXPECT_EQ(where.command.device, "pipoco");
    EXPECT_FALSE(where.command.destination);

    auto window = ParseMciCommand("window pipoco handle 4294967297");
    ASSERT_EQ(window.error, 0u);
    EXPECT_EQ(window.command.verb, MciVerb::kWindow);
    EXPECT_EQ(window.command.windowHandle, 4294967297ull);

    auto put = ParseMciCommand("put pipoco window at 0 0 1032 799");
    ASSERT_EQ(put.error, 0u);
    EXPECT_EQ(put.command.verb, MciVerb::kPut);
    EXPECT_EQ(put.command.x, 0);
    EXPECT_EQ(put.command.width, 1032);
    EXPECT_EQ(put.command.height, 799);

    auto play = ParseMciCommand("play pipoco notify");
    ASSERT_EQ(play.error, 0u);
    EXPECT_EQ(play.command.verb, MciVerb::kPlay);
    EXPECT_TRUE(play.command.notify);

    auto close = ParseMciCommand("close pipoco");
    ASSERT_EQ(close.error, 0u);
    EXPECT_EQ(close.command.verb, MciVerb::kClose);
    EXPECT_EQ(close.command.device, "pipoco");
}

TEST(MciCommand, KeywordsIgnoreCaseAndBlanksButQuotedWordsAreNames) {
    auto p = ParseMciCommand("  PLAY\tPipoco  NOTIFY wait\r\n");
    ASSERT_EQ(p.error, 0u);
    EXPECT_EQ(p.command.device, "Pipoco");
    EXPECT_TRUE(p.command.notify);
    EXPECT_TRUE(p.command.wait);
    // A quoted "notify" is a word, not the keyword.
    EXPECT_EQ(ParseMciCommand("play pipoco \"notify\"").error, win::MCIERR_UNRECOGNIZED_KEYWORD);
    auto dest = ParseMciCommand("put x DESTINATION at -5 10 20 30");
    ASSERT_EQ(dest.error, 0u);
    EXPECT_TRUE(dest.command.destination);
    EXPECT_EQ(dest.command.x, -5);
}

TEST(MciCommand, ReportsWindowsErrorCodes) {
    EXPECT_EQ(ParseMciCommand("").error, win::MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(ParseMciCommand("   ").error, win::MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(ParseMciCommand("rewind pipoco").error, win::MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(ParseMciCommand("open").error, win::MCIERR_MISSING_DEVICE_NAME);
    EXPECT_EQ(ParseMciCommand("open \"\" alias a").error, win::MCIERR_MISSING_DEVICE_NAME);
    EXPECT_EQ(ParseMciCommand("open \"C:\\a.mp4 alias a").error, win::MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(ParseMciCommand("open x.mp4 alias").error, win::MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(ParseMciCommand("open x.mp4 colour red").error, win::MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(ParseMciCommand("where pipoco").error, win::MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(ParseMciCommand("where pipoco source source").error,
              win::MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(ParseMciCommand("window pipoco handle").error, win::MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(ParseMciCommand("window pipoco handle 12ab").error, win::MCIERR_BAD_INTEGER);
    EXPECT_EQ(ParseMciCommand("window pipoco handle -3").error, win::MCIERR_BAD_INTEGER);
    EXPECT_EQ(ParseMciCommand("window pipoco").error, win::MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(ParseMciCommand("put pipoco window at 0 0 10").error, win::MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(ParseMciCommand("put pipoco window at 0 x 10 10").error, win::MCIERR_BAD_INTEGER);
    EXPECT_EQ(ParseMciCommand("put pipoco at 0 0 10 10").error, win::MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(ParseMciCommand("put pipoco window at 0 0 99999999999 1").error,
              win::MCIERR_BAD_INTEGER);
    EXPECT_EQ(ParseMciCommand("play pipoco from 0").error, win::MCIERR_UNRECOGNIZED_KEYWORD);
}

}  // namespace
