#include "tavena/Intonation.h"

#include <gtest/gtest.h>

#include "support/TavenaTestData.h"

using sonara::Lines;
using sonara::ProsodyConfig;
using tavena_test::Join;
using tavena_test::W;

namespace {

class IntonationTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(ParseProsody(tavena_test::ProsodyFile(), prosody).ok); }
    std::string Tags(std::string_view text) { return Join(TagWords(W(text), prosody), " "); }
    ProsodyConfig prosody;
};

TEST_F(IntonationTest, TagWordsGivesCategoriesAndSentenceBoundaries) {
    EXPECT_EQ(Tags("casa."), "[--] [XX]casa [..]. [--]");
    EXPECT_EQ(Tags("  o Gato de  casa "), "[--] [AR]o [XX]Gato [PR]de [XX]casa");
    EXPECT_EQ(Tags("sim, não! e?"), W("[--] [XX]sim [,,], [XX]não [!!]! [--] [XX]e [??]? [--]"));
    EXPECT_EQ(Tags(""), "[--]");
}

TEST_F(IntonationTest, DotRunsAreOneEllipsisToken) {
    EXPECT_EQ(Tags("a... b"), "[--] [XX]a [.-]. [--] [XX]b");
    EXPECT_EQ(Tags("a.. b"), "[--] [XX]a [.-]. [--] [XX]b");
    EXPECT_EQ(Tags("a. . b"), "[--] [XX]a [..]. [--] [..]. [--] [XX]b");
}

TEST_F(IntonationTest, CodesComeFromTheFirstMatchingRuleOfTheNeighbours) {
    Lines tagged = {"[--]", "[AR]o", "[XX]gato", "[..].", "[--]"};
    Lines out = AssignIntonation(tagged, true, prosody);
    // "--|AR|" for o; "|XX|.." for gato; "|..|=?43" takes gato's last digit 4.
    EXPECT_EQ(Join(out, " "), "555| 456|o 564|gato 443|. 555|");
}

TEST_F(IntonationTest, QuestionMarkTakesTheLastDigitOfThePreviousCode) {
    prosody.intonation = {{"", "..", "", "?43"}, {"", "XX", "", "567"}};
    Lines out = AssignIntonation({"[..].", "[XX]a", "[..].", "[..]."}, true, prosody);
    // Before any code the last digit is 5.
    EXPECT_EQ(Join(out, " "), "543|. 567|a 743|. 343|.");
}

TEST_F(IntonationTest, EmptyLinesAreSkippedAndTheTableCanBeLeftOut) {
    Lines tagged = {"[--]", "", "[AR]o", ""};
    EXPECT_EQ(Join(AssignIntonation(tagged, true, prosody), " "), "555| 456|o");
    EXPECT_EQ(Join(AssignIntonation(tagged, false, prosody), " "), "555| 555|o");
    prosody.intonation.clear();
    EXPECT_EQ(Join(AssignIntonation(tagged, true, prosody), " "), "555| 555|o");
}

}  // namespace
