#include <gtest/gtest.h>

#include <limits>

#include "support/TavenaTestData.h"
#include "tavena/PhonemeLines.h"

using sonara::DiphoneList;
using sonara::Lines;
using sonara::PhonemeLineBuilder;
using sonara::ProsodyConfig;
using tavena_test::Join;
using tavena_test::W;

namespace {

class PhonemeLinesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prosody.durations = {{"a", 80}, {"k", 90}, {"z", 60}, {"__", 200}, {"_,", 150}};
        prosody.hertz = 230;
        prosody.tabHertz = {0, 10, 20, 30, 40, 50, 60, 70, 80, 100};
    }
    // Builds a fresh text with every pair known, so no fillers appear.
    std::string Build(Lines in, double pitch = 1.0, double duration = 1.0) {
        for (auto& l : in) l = W(l);
        DiphoneList all;
        all.Load(AllPairs(in));
        PhonemeLineBuilder builder;
        return Join(builder.BuildPhonemeLines(in, pitch, duration, prosody, all), " | ");
    }
    static std::string AllPairs(const Lines& in) {
        std::string names = "_ y r2 a k z e";
        for (const auto& l : in) names += " " + l;
        std::string out;
        std::vector<std::string> words;
        std::string w;
        for (char c : names + " ") {
            if (c == ' ') {
                if (!w.empty()) words.push_back(w);
                w.clear();
            } else if (c != '>' && c != '\xA8') {
                w += c;
            }
        }
        for (const auto& a : words)
            for (const auto& b : words) out += a + "-" + b + "\n";
        return out;
    }
    ProsodyConfig prosody;
};

TEST_F(PhonemeLinesTest, StressedDurationAndPitchPoints) {
    // 80 ms stressed at factor 0.8: 80 * 145 * 0.8 / 100 = 92.
    EXPECT_EQ(Build({";913|casa", "k", ">a", "z", "a", ""}, 1.0, 0.8),
              ";casa | k 72 50 230 | a 92 80 23 | z 69 | a 92 50 69 | ");
    EXPECT_EQ(Build({";999|a", ">a", ""}, 2.0), ";a | a 116 80 460 | ");
}

TEST_F(PhonemeLinesTest, LengtheningEndsAtTheNextSyllable) {
    EXPECT_EQ(Build({";555|zaza", ">z", "a", "¨z", "a", ""}),
              ";zaza | z 87 80 115 | a 116 | z 60 | a 80 50 115 | ");
    // The ">" may be followed by a syllable mark; both go.
    EXPECT_EQ(Build({";555|za", ">¨z", "a", ""}), ";za | z 87 80 115 | a 116 50 115 | ");
}

TEST_F(PhonemeLinesTest, LongWordsAreShortenedBeforeTheStress) {
    // ";" + 9 letters = 10 characters: 90 %; 13 letters and ";" = 14: 80 %.
    EXPECT_EQ(Build({";000|kkkkkkkkk", "k", ">a", "k", ""}),
              ";kkkkkkkkk | k 81 | a 116 | k 130 | ");
    EXPECT_EQ(Build({";000|kkkkkkkkkkkkk", "k", "k", ">a", ""}),
              ";kkkkkkkkkkkkk | k 72 | k 72 | a 116 | ");
    EXPECT_EQ(Build({";000|kkkkkkkk", "k", ""}), ";kkkkkkkk | k 90 | ");
    // Without a stress mark every phoneme is shortened.
    EXPECT_EQ(Build({";000|kkkkkkkkkkkkk", "k", "a", ""}), ";kkkkkkkkkkkkk | k 72 | a 64 | ");
}

TEST_F(PhonemeLinesTest, Pauses) {
    EXPECT_EQ(Build({";000|", "__", "", ";000|,", "_,", ";000|x", "_", "_ 30", "_ x"}),
              "; | _ 200 |  | ;, | _ 150 | ;x | _ 100 | _ 30 | _ 100");
    prosody.tabHertz[5] = 100;
    EXPECT_EQ(Build({";555|", "__"}), "; | _ 200 50 230");
}

TEST_F(PhonemeLinesTest, UnknownPhonemesAndOddCodes) {
    EXPECT_EQ(Build({";?x9|o", "o", ">o", "o"}), ";o | o 100 | o 145 | o 145 50 230");
    // A lone mark carries no phoneme and is dropped; the syllable mark still ends the
    // lengthening.
    EXPECT_EQ(Build({";555|a", ">", "¨", "a", ""}), ";a | a 80 80 115 | ");
    EXPECT_EQ(Build({";555|a", ">", "a", ""}), ";a | a 116 80 115 | ");
}

TEST_F(PhonemeLinesTest, HugeFactorsAndDurationsStayInRange) {
    prosody.durations = {{"a", 2000000000}};
    prosody.hertz = 2000000000;
    EXPECT_EQ(Build({";999|a", "a"}, 1e9, 1e9), ";a | a 21474836 50 21474836");
    EXPECT_EQ(Build({";999|a", "a"}, -1.0, std::numeric_limits<double>::quiet_NaN()), ";a | a 0");
}

class FillerTest : public ::testing::Test {
  protected:
    std::string Build(const Lines& in, const std::string& pairs) {
        DiphoneList list;
        list.Load(pairs);
        return Join(builder.BuildPhonemeLines(in, 1.0, 1.0, prosody, list), " | ");
    }
    ProsodyConfig prosody;  // no pitch levels: no pitch points
    PhonemeLineBuilder builder;
};

TEST_F(FillerTest, MissingPairsGetYOrAPause) {
    EXPECT_EQ(Build({"k", "a"}, "_-k\nk-y\n"), "k 100 | y 50 | a 100");
    EXPECT_EQ(Build({"k", "a"}, "_-k\n"), "k 100 | _ 50 | a 100");
    EXPECT_EQ(Build({"k", "a"}, "k-a\n"), "_ 50 | k 100 | a 100");  // starts from "_"
    EXPECT_EQ(Build({"r2", "a"}, "_-r2\nr2-_\nr2-y\n"), "r2 100 | _ 50 | a 100");
    EXPECT_EQ(Build({"r2", "a"}, "_-r2\nr2-y\n"), "r2 100 | y 50 | a 100");
}

TEST_F(FillerTest, EmptyLinesAndHeadersInTheCheck) {
    // The pair across a word boundary is checked; empty lines are not.
    EXPECT_EQ(Build({"k", "", ";555|a", "a"}, "_-k\nk-a\n"), "k 100 |  | ;a | a 100");
    // After a pause token (no empty line) a header compares the pause with itself.
    EXPECT_EQ(Build({"_,", ";555|a", "a"}, "_-a\n"), "_ 50 | _ 100 | _ 50 | ;a | a 100");
}

TEST_F(FillerTest, CurrentPhonemeSurvivesIntoTheNextText) {
    const std::string pairs = "_-k\nk-_\n_-_\n";
    EXPECT_EQ(Build({"k"}, pairs), "k 100");
    EXPECT_EQ(builder.CurrentPhoneme(), "k");
    // The next text's first header compares "_" with the surviving "k".
    EXPECT_EQ(Build({";555|x"}, "_-_\n"), "_ 50 | ;x");
    PhonemeLineBuilder fresh;
    DiphoneList list;
    list.Load("_-_\n");
    EXPECT_EQ(Join(fresh.BuildPhonemeLines({";555|x"}, 1, 1, prosody, list), " | "), ";x");
}

}  // namespace
