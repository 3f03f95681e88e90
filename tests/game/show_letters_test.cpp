// The MOSTRALETRA option: each letter or digit key written on the console's last row
// before its clip, and so shown on a braille display; without it nothing is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/GameHarness.h"

namespace {

using game_test::GameHarness;
using game_test::Keys;

// The recorded "braille" writes and clip opens, in order, as short texts.
std::vector<std::string> BrailleAndClips(const sim::SimMachine& m) {
    std::vector<std::string> out;
    std::size_t mci = 0;
    for (const sim::Event& e : m.Events()) {
        if (e.kind == "braille")
            out.push_back("braille " + std::to_string(e.detail[0]) + " " +
                          std::to_string(e.detail[1]));
        if (e.kind == "mci" && mci < m.MciCommands().size()) {
            std::string line = sonara::ClipLine(m.MciCommands()[mci++]);
            if (line == "clip M" || line == "clip 5" || line == "clip abcdefgh")
                out.push_back(line);
        }
    }
    return out;
}

TEST(ShowLetters, EachLetterAndDigitIsOnTheLastRowAndTheDisplayBeforeItsClip) {
    GameHarness h;
    h.Script("ini LETRALUME MOSTRALETRA Sim\nbraille-display 12\n" +
             Keys({"x", "e", "m", "space", "5"}));
    h.RunWholeGame();
    ASSERT_TRUE(h.Stopped());
    ASSERT_EQ(h.Screen().size(), 25u);
    EXPECT_EQ(h.Screen()[24], "5");
    for (int row = 0; row < 24; ++row) EXPECT_EQ(h.Screen()[row], "") << row;
    // Capital sign and m (dots 4-6, dots 1-3-4); number sign and e (dots 3-4-5-6, 1-5).
    const std::vector<std::string> expected{"braille 40 13", "clip M", "clip abcdefgh",
                                            "braille 60 17", "clip 5"};
    EXPECT_EQ(BrailleAndClips(h.machine), expected);
}

TEST(ShowLetters, OffByDefaultOrWithNTheScreenAndDisplayStayUntouched) {
    for (const char* setting :
         {"", "ini LETRALUME MOSTRALETRA N\n", "ini LETRALUME MOSTRALETRA\n"}) {
        GameHarness h;
        h.Script(std::string(setting) + "braille-display 12\n" + Keys({"x", "e", "m", "5"}));
        h.RunWholeGame();
        ASSERT_TRUE(h.Stopped()) << setting;
        for (const std::string& row : h.Screen()) EXPECT_EQ(row, "") << setting;
        const std::vector<std::string> expected{"clip M", "clip 5"};
        EXPECT_EQ(BrailleAndClips(h.machine), expected) << setting;
        EXPECT_EQ(h.Count("clip M"), 1) << setting;
    }
}

}  // namespace
