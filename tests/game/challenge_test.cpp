// The vowel challenge: hints, uncounted keys, the found vowel and the silent end.
#include <gtest/gtest.h>

#include "game/HintTable.h"
#include "support/GameHarness.h"

using game_test::GameHarness;
using game_test::Keys;

namespace {

using Lines = std::vector<std::string>;

// Runs one challenge whose hidden vowel has index `vowel`.
int RunChallengeFor(GameHarness& h, int vowel, const std::string& script) {
    h.Script(script);
    return h.Run([vowel](sonara::LetterGame& g) {
        g.SetChallengeIndex((vowel + 4) % 5);
        g.RunChallenge();
    });
}

TEST(HintTable, EachColumnHidesItsOwnVowelOnce) {
    for (int v = 0; v < sonara::kVowelCount; ++v) {
        int found = 0;
        for (std::uint8_t k = 'A'; k <= 'Z'; ++k) {
            char code = sonara::HintCode(v, k);
            EXPECT_NE(std::string("xpqmfg").find(code), std::string::npos) << v << k;
            if (code == 'x') {
                ++found;
                EXPECT_EQ(k, sonara::kVowels[v]);
            }
        }
        EXPECT_EQ(found, 1);
    }
    // U beside I on the keyboard: scalding in the I challenge.
    EXPECT_EQ(sonara::HintCode(2, 'U'), 'p');
    EXPECT_EQ(sonara::HintCode(5, 'A'), 0);
    EXPECT_EQ(sonara::HintCode(-1, 'A'), 0);
    EXPECT_EQ(sonara::HintCode(0, 'a'), 0);
    EXPECT_EQ(sonara::HintClip('x'), "");
    EXPECT_EQ(sonara::HintClip('g'), "ta-gelado");
}

TEST(Challenge, HintsThenTheFoundVowelWithoutHint) {
    GameHarness h;
    // E hides: D is scalding, U cold, then E itself.
    EXPECT_EQ(RunChallengeFor(h, 1, Keys({"d", "u", "e"})), 0);
    Lines expected = {"clip historia-das-letrinhas",
                      "cue tingting",
                      "clip desafio-e",
                      "clip ta-pelando",
                      "clip ta-frio",
                      "clip salvou-a-letrinha"};
    EXPECT_EQ(h.LinesFrom("clip historia-das-letrinhas"), expected);
}

TEST(Challenge, UInTheIChallengeIsScalding) {
    GameHarness h;
    RunChallengeFor(h, 2, Keys({"u", "i"}));
    Lines expected = {"clip desafio-i", "clip ta-pelando", "clip salvou-a-letrinha"};
    EXPECT_EQ(h.LinesFrom("clip desafio-i"), expected);
}

TEST(Challenge, DigitsAndOtherKeysPlayChaaaaanAndAreNotCounted) {
    GameHarness h;
    // Fifteen misses, then a digit, Esc and F1 (none counted), then the vowel: found on
    // the sixteenth counted try.
    std::vector<std::string> keys(15, "b");
    keys.insert(keys.end(), {"5", "esc", "f1", "a"});
    RunChallengeFor(h, 0, Keys(keys));
    EXPECT_EQ(h.Count("cue chaaaaan"), 3);
    EXPECT_EQ(h.Count("clip ta-morno"), 15);
    EXPECT_EQ(h.Count("clip salvou-a-letrinha"), 1);
}

TEST(Challenge, LettersTypedFasterThanReadCountOnce) {
    GameHarness h;
    // 14 misses, then B and C at the same moment (only C is read and counted), then the
    // vowel as the sixteenth try. Counted twice, the pair would end the challenge first.
    std::string script =
        Keys(std::vector<std::string>(14, "b")) + "wait 1000\nkey b\nkey c\n" + Keys({"a"});
    RunChallengeFor(h, 0, script);
    EXPECT_EQ(h.Count("clip ta-morno"), 14);
    EXPECT_EQ(h.Count("clip ta-quente"), 1);
    EXPECT_EQ(h.Count("clip salvou-a-letrinha"), 1);
}

TEST(Challenge, SixteenMissesEndSilently) {
    GameHarness h;
    std::vector<std::string> keys(16, "z");
    keys.push_back("o");  // after the end: not part of the challenge
    int code = RunChallengeFor(h, 4, Keys(keys));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(h.Stopped());
    EXPECT_EQ(h.Count("clip ta-gelado"), 16);
    EXPECT_EQ(h.Count("clip salvou-a-letrinha"), 0);
    EXPECT_EQ(h.Lines().back(), "clip ta-gelado");
}

TEST(Challenge, VowelsComeInTurn) {
    GameHarness h;
    h.Script(Keys({"a", "e"}));
    h.Run([](sonara::LetterGame& g) {
        g.SetChallengeIndex(4);
        g.RunChallenge();  // A
        g.RunChallenge();  // E
    });
    EXPECT_EQ(h.Count("clip desafio-a"), 1);
    EXPECT_EQ(h.Count("clip desafio-e"), 1);
    EXPECT_EQ(h.Count("clip salvou-a-letrinha"), 2);
}

}  // namespace
