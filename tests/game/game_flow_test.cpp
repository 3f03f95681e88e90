// The game's flow on the simulated machine: the box, the idle reminder, the repeated-key
// rule, the twelfth key, the closing and the ending.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/GameHarness.h"

using game_test::GameHarness;
using game_test::Keys;

namespace {

using Lines = std::vector<std::string>;

// The clips after the box opened, leaving out the "caixa-aberta" of every turn.
Lines TurnClips(const GameHarness& h) {
    Lines out;
    for (const auto& l : h.LinesFrom("clip abre-caixa")) {
        if (l.rfind("clip ", 0) == 0 && l != "clip abre-caixa" && l != "clip caixa-aberta") {
            out.push_back(l.substr(5));
        }
    }
    return out;
}

// One key to pass the intro, then the keys given at the box and after.
int PlayBox(GameHarness& h, const std::vector<std::string>& keys) {
    std::vector<std::string> all = {"x"};
    all.insert(all.end(), keys.begin(), keys.end());
    h.Script(Keys(all));
    return h.RunWholeGame();
}

TEST(GameBox, KeysThatDoNotOpenIt) {
    struct Case {
        const char* key;
        const char* answer;
    } cases[] = {
        {"b", "clip caixa-nao-abriu"}, {"5", "clip caixa-nao-abriu"}, {"*", "clip caixa-nao-abriu"},
        {"ç", "clip naosouletrinha"},  {"f1", "clip naosouletrinha"}, {"e", "clip abre-caixa"},
        {"space", "clip abre-caixa"},  {"U", "clip abre-caixa"},
    };
    for (const Case& c : cases) {
        GameHarness h;
        PlayBox(h, {c.key});
        EXPECT_TRUE(h.Stopped()) << c.key;
        Lines from = h.LinesFrom("clip aperte-para-abrir");
        ASSERT_GE(from.size(), 3u) << c.key;
        EXPECT_EQ(from[1], "cue plin") << c.key;
        EXPECT_EQ(from[2], c.answer) << c.key;
    }
}

TEST(GameBox, IntroOrderAndTitle) {
    GameHarness h;
    PlayBox(h, {});
    Lines expected = {"title Menino Pipoco - versão Lume",
                      "clip bookcase-intro",
                      "clip intro-pipoco1",
                      "clip intro-pipoco2",
                      "clip intro-pipoco3",
                      "clip aperte-para-abrir",
                      "cue plin"};
    EXPECT_EQ(h.Lines(), expected);
}

TEST(GameBox, IdleReminderEveryEightSeconds) {
    GameHarness h;
    h.Script(Keys({"x"}) + "wait 17000\nkey a\n");
    h.RunWholeGame();
    std::vector<std::uint32_t> plins;
    for (const auto& l : h.Timed()) {
        if (l.text == "cue plin") plins.push_back(l.time);
        if (l.text == "clip abre-caixa") break;
    }
    // The box's own plin, then two reminders after 8 s, and two more 8 s later.
    ASSERT_EQ(plins.size(), 5u);
    EXPECT_EQ(plins[1] - plins[0], game_test::kCueMs + 8000);
    EXPECT_EQ(plins[2] - plins[1], game_test::kCueMs);
    EXPECT_EQ(plins[3] - plins[1], 2 * game_test::kCueMs + 8000);
}

TEST(GameBox, EscPlaysTheWholeEndingAndTheCreditsWaitForAKey) {
    GameHarness h;
    int code = PlayBox(h, {"esc", "a"});
    EXPECT_FALSE(h.Stopped());
    EXPECT_EQ(code, 0);
    Lines expected = {"cue plin",        "cue Tchan",   "clip final1",
                      "cue-async aeiou", "clip final2", "clip xxx"};
    Lines from = h.LinesFrom("cue plin");
    EXPECT_EQ(from, expected);
    // The credits screen, one line per row from the top.
    const auto& screen = h.Screen();
    ASSERT_EQ(screen.size(), 25u);
    EXPECT_EQ(screen[0], "");
    EXPECT_EQ(screen[1], " O Menino Pipoco \xe9 um programa sonoro, criado para");
    EXPECT_EQ(screen[3], " visual e sua integra\xe7\xe3o com outras crian\xe7\x61s.");
    EXPECT_EQ(screen[4], "");
    EXPECT_EQ(screen[5], " Autores: Equipe Menino Pipoco");
    EXPECT_EQ(screen[8].substr(0, 18), std::string(17, ' ') + "G");
    EXPECT_EQ(screen[13], "");
    EXPECT_EQ(screen[16], " E-mail: pipoco@example.org");
    EXPECT_EQ(screen[18], "");
}

TEST(GameBox, KeyDuringACueStaysQueued) {
    GameHarness h;
    // The box's plin lasts 2 s; "a" arrives while it sounds and opens the box after it.
    h.Script("cue-ms 2000\n" + Keys({"x", "a"}, 1000) + "wait 3000\n");
    h.RunWholeGame();
    Lines from = h.LinesFrom("clip aperte-para-abrir");
    ASSERT_GE(from.size(), 3u);
    EXPECT_EQ(from[2], "clip abre-caixa");
}

TEST(GameLetters, FourthEqualKeyIsTiredAndEighthAgain) {
    GameHarness h;
    PlayBox(h, {"a", "b", "b", "b", "b", "b", "b", "b", "b"});
    Lines expected = {"B", "B", "B", "cansado", "B", "B", "B", "cansado"};
    EXPECT_EQ(TurnClips(h), expected);
}

TEST(GameLetters, DigitsLettersAndSpaceHaveTheirClips) {
    GameHarness h;
    PlayBox(h, {"a", "7", "q", "space", "Z"});
    Lines expected = {"7", "Q", "abcdefgh", "Z"};
    EXPECT_EQ(TurnClips(h), expected);
}

TEST(GameLetters, TwelfthKeyStartsAChallengeEvenEsc) {
    GameHarness h;
    std::vector<std::string> keys = {"a"};
    for (int i = 0; i < 11; ++i) keys.push_back(i % 2 ? "c" : "d");
    keys.push_back("esc");
    PlayBox(h, keys);
    Lines clips = TurnClips(h);
    ASSERT_EQ(clips.size(), 13u);
    EXPECT_EQ(clips[11], "historia-das-letrinhas");
    EXPECT_EQ(clips[12].rfind("desafio-", 0), 0u);
    EXPECT_EQ(h.Count("clip caixa-fechando"), 0);
}

TEST(GameLetters, AsteriskStartsAChallengeAtOnceAndResetsTheCount) {
    // The vowel the first challenge hides with seed 1 (the index after the random one).
    std::mt19937 random(1);
    int vowel = static_cast<int>((random() % 5 + 1) % 5);
    std::string vowelKey(1, "aeiou"[vowel]);
    GameHarness h;
    // "*" after one letter, the hidden vowel, then 11 letters and Esc: the count started
    // afresh at the asterisk, so the Esc is the twelfth key and starts a challenge.
    std::vector<std::string> keys = {"a", "b", "*", vowelKey};
    for (int i = 0; i < 11; ++i) keys.push_back(i % 2 ? "c" : "d");
    keys.push_back("esc");
    PlayBox(h, keys);
    Lines clips = TurnClips(h);
    ASSERT_GE(clips.size(), 4u);
    EXPECT_EQ(clips[0], "B");
    EXPECT_EQ(clips[1], "historia-das-letrinhas");
    EXPECT_EQ(clips[2], std::string("desafio-") + vowelKey);
    EXPECT_EQ(clips[3], "salvou-a-letrinha");
    ASSERT_EQ(clips.size(), 4u + 11u + 2u);
    EXPECT_EQ(clips[15], "historia-das-letrinhas");
    EXPECT_EQ(h.Count("clip caixa-fechando"), 0);
}

TEST(GameClosing, LetterWithinTwoSecondsKeepsTheBoxOpen) {
    GameHarness h;
    PlayBox(h, {"a", "esc", "b"});
    Lines from = h.LinesFrom("clip caixa-fechando");
    ASSERT_GE(from.size(), 3u);
    EXPECT_EQ(from[1], "clip caixa-aberta");
    EXPECT_EQ(from[2], "cue plin");
    EXPECT_EQ(h.Count("clip B"), 0);
    EXPECT_EQ(h.Count("cue Tchan"), 0);
}

TEST(GameClosing, NoKeyOrEscClosesTheBox) {
    for (const char* second : {"", "esc"}) {
        GameHarness h;
        std::vector<std::string> keys = {"a", "esc"};
        if (*second) keys.push_back(second);
        PlayBox(h, keys);
        Lines from = h.LinesFrom("clip caixa-fechando");
        ASSERT_GE(from.size(), 2u) << second;
        EXPECT_EQ(from[1], "cue Tchan") << second;
        EXPECT_EQ(h.Count("clip xxx"), 1) << second;
    }
}

TEST(GameMedia, KeysDuringAClipAreGone) {
    GameHarness h;
    // "b" plays a 3-second clip; "c" comes in the middle of it and never reaches the game.
    h.Script(Keys({"x", "a"}) + "wait 1000\nclip-ms 3000\nkey b\nwait 1000\nkey c\nwait 5000\n");
    h.RunWholeGame();
    EXPECT_EQ(h.Count("clip B"), 1);
    EXPECT_EQ(h.Count("clip C"), 0);
}

TEST(GameMedia, AKeyDuringABoxClipIsGoneAndAKeyDuringTheLetterPlinIsFlushed) {
    {
        // "a" comes while "caixa-nao-abriu" plays: the box stays shut.
        GameHarness h;
        h.Script(
            "clip-ms 1000\ncue-ms 200\nwait 2500\nkey x\nwait 4200\nclip-ms 3000\nkey b\n"
            "wait 1000\nkey a\nwait 5000\n");
        h.RunWholeGame();
        EXPECT_EQ(h.Count("clip caixa-nao-abriu"), 1);
        EXPECT_EQ(h.Count("clip abre-caixa"), 0);
    }
    {
        // "b" comes while the open box's plin sounds: the letter loop flushes it.
        GameHarness h;
        h.Script(
            "clip-ms 1000\ncue-ms 200\nwait 2500\nkey x\nwait 4200\ncue-ms 3000\nkey a\n"
            "wait 2500\nkey b\nwait 6000\n");
        h.RunWholeGame();
        EXPECT_EQ(h.Count("clip caixa-aberta"), 1);
        EXPECT_EQ(h.Count("clip B"), 0);
    }
}

TEST(GameMedia, MissingClipReturnsAtOnce) {
    GameHarness h;
    h.Script("missing caixa-aberta\n" + Keys({"x", "a"}));
    h.RunWholeGame();
    auto timed = h.Timed();
    auto it = std::find_if(timed.begin(), timed.end(), [](const sonara::TranscriptLine& l) {
        return l.text == "clip-missing caixa-aberta";
    });
    ASSERT_NE(it, timed.end());
    ASSERT_NE(it + 1, timed.end());
    EXPECT_EQ((it + 1)->text, "cue plin");
    EXPECT_EQ((it + 1)->time, it->time);
}

TEST(GameMedia, ClosingTheWindowDuringAClipEndsAtOnce) {
    GameHarness h;
    h.Script("clip-ms 2000\nwait 3000\nclose\n");
    int code = h.RunWholeGame();
    EXPECT_FALSE(h.Stopped());
    EXPECT_EQ(code, 0);
    Lines lines = h.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "clip intro-pipoco1");
    EXPECT_LT(h.machine.Now(), 4000u);
}

}  // namespace
