// Number words, their recordings, and how the recordings fill the word buffer.
#include "speech/tflenum.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonara {
namespace {

using Names = std::vector<std::string>;

// An independent reading of numbers below one million: recursion on the value, joining
// parts with "e", instead of digit groups padded to fifteen characters.
std::string Below100(int n) {
    static const char* const small[] = {"",       "um",        "dois",      "tres",    "quatro",
                                        "cinco",  "seis",      "sete",      "oito",    "nove",
                                        "dez",    "onze",      "doze",      "treze",   "quatorze",
                                        "quinze", "dezesseis", "dezessete", "dezoito", "dezenove"};
    static const char* const tens[] = {"",          "",         "vinte",   "trinta",  "quarenta",
                                       "cinquenta", "sessenta", "setenta", "oitenta", "noventa"};
    if (n < 20) return small[n];
    std::string r = tens[n / 10];
    return n % 10 ? r + " e " + small[n % 10] : r;
}

std::string Below1000(int n) {
    static const char* const hundreds[] = {
        "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
        "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};
    if (n == 100) return "cem";
    if (n < 100) return Below100(n);
    std::string r = hundreds[n / 100];
    return n % 100 ? r + " e " + Below100(n % 100) : r;
}

std::string Expected(int n) {
    if (n == 0) return "zero";
    const int thousands = n / 1000, rest = n % 1000;
    if (thousands == 0) return Below1000(rest);
    std::string r = thousands == 1 ? "mil " : Below1000(thousands) + " mil ";
    return rest ? r + "e " + Below1000(rest) : r;
}

TEST(NumberToWords, EveryNumberBelowOneMillion) {
    int wrong = 0;
    for (int n = 0; n < 1000000 && wrong < 10; ++n) {
        const std::string words = NumberToWords(static_cast<std::uint32_t>(n));
        if (words != Expected(n)) {
            ++wrong;
            ADD_FAILURE() << n << ": got \"" << words << "\" want \"" << Expected(n) << "\"";
        }
    }
}

TEST(NumberToWords, Examples) {
    EXPECT_EQ(NumberToWords(0), "zero");
    EXPECT_EQ(NumberToWords(1000), "mil ");
    EXPECT_EQ(NumberToWords(1234), "mil e duzentos e trinta e quatro");
    EXPECT_EQ(NumberToWords(2000), "dois mil ");
    EXPECT_EQ(NumberToWords(21000), "vinte e um mil ");
    EXPECT_EQ(NumberToWords(100001), "cem mil e um");
    EXPECT_EQ(NumberToWords(999999),
              "novecentos e noventa e nove mil e novecentos e noventa e nove");
    EXPECT_EQ(NumberToWords(1234567),
              "um milh\xE3o duzentos e trinta e quatro mil e quinhentos e sessenta e sete");
}

TEST(NumberToWords, MillionsAndBillions) {
    EXPECT_EQ(NumberToWords(1000000), "um milh\xE3o ");
    EXPECT_EQ(NumberToWords(2000000),
              "dois milh\xF5"
              "es ");
    EXPECT_EQ(NumberToWords(1000001), "um milh\xE3o e um");
    // Only the last group is joined with "e"; a middle "um mil" keeps its "um".
    EXPECT_EQ(NumberToWords(1001000), "um milh\xE3o e um mil ");
    EXPECT_EQ(NumberToWords(1001001), "um milh\xE3o um mil e um");
    EXPECT_EQ(NumberToWords(1000000000), "um bilh\xE3o ");
    EXPECT_EQ(NumberToWords(4294967295u),
              "quatro bilh\xF5"
              "es duzentos e noventa e quatro milh\xF5"
              "es novecentos e "
              "sessenta e sete mil e duzentos e noventa e cinco");
}

TEST(GroupWords, GroupsAndScales) {
    EXPECT_EQ(GroupToWords("000"), "");
    EXPECT_EQ(GroupToWords("100"), "cem");
    EXPECT_EQ(GroupToWords("101"), "cento e um");
    EXPECT_EQ(GroupToWords("010"), "dez");
    EXPECT_EQ(GroupToWords("017"), "dezessete");
    EXPECT_EQ(GroupToWords("340"), "trezentos e quarenta");
    EXPECT_EQ(GroupToWords("003"), "tres");
    EXPECT_EQ(GroupToWords("12"), "");
    EXPECT_EQ(GroupToWords("1a2"), "");
    const std::string s = "000001002000001";
    EXPECT_EQ(ScaledGroup(s, 0), "");
    EXPECT_EQ(ScaledGroup(s, 1), "um bilh\xE3o ");
    EXPECT_EQ(ScaledGroup(s, 2),
              "dois milh\xF5"
              "es ");
    EXPECT_EQ(ScaledGroup(s, 3), "");
    EXPECT_EQ(ScaledGroup(s, 4), "um");
    EXPECT_EQ(ScaledGroup("002000000000000", 0),
              "dois trilh\xF5"
              "es ");
    EXPECT_EQ(ScaledGroup("000000000001000", 3), "um mil ");
    EXPECT_EQ(ScaledGroup(s, 5), "");
    EXPECT_EQ(ScaledGroup("0001", 1), "");
}

Names Files(std::uint32_t n, bool feminine = false) {
    return NumberWordRecordings(NumberToWords(n), feminine);
}

TEST(NumberRecordings, Names) {
    EXPECT_EQ(Files(17), Names({"_dezeset"}));
    EXPECT_EQ(Files(16), Names({"_dezesse"}));
    EXPECT_EQ(Files(1000), Names({"_mil"}));
    EXPECT_EQ(Files(1000000), Names({"_um", "_milhao"}));
    EXPECT_EQ(Files(2000000), Names({"_dois", "_milhoes"}));
    EXPECT_EQ(Files(3000000000u), Names({"_tres", "_bilhoes"}));
    EXPECT_EQ(Files(100), Names({"_cem"}));
    EXPECT_EQ(Files(101), Names({"_cento", "_e", "_um"}));
    EXPECT_EQ(Files(2000), Names({"_dois", "_mil"}));
    EXPECT_EQ(Files(2345),
              Names({"_dois", "_mil", "_e", "_trezent", "_e", "_quarent", "_e", "_cinco"}));
    EXPECT_EQ(Files(14), Names({"_quatorz"}));
    EXPECT_EQ(Files(0), Names({"_zero"}));
    EXPECT_EQ(NumberWordRecordings("trilh\xF5"
                                   "es",
                                   false),
              Names({"_trilhoe"}));
    EXPECT_EQ(NumberWordRecordings("", false), Names());
    EXPECT_EQ(NumberWordRecordings("   ", true), Names());
}

TEST(NumberRecordings, FeminineLastWord) {
    EXPECT_EQ(Files(21, true), Names({"_vinte", "_e", "_uma"}));
    EXPECT_EQ(Files(2, true), Names({"_duas"}));
    EXPECT_EQ(Files(1, true), Names({"_uma"}));
    EXPECT_EQ(Files(2000, true), Names({"_dois", "_mil"}));
    EXPECT_EQ(Files(2002, true), Names({"_dois", "_mil", "_e", "_duas"}));
    EXPECT_EQ(Files(21, false), Names({"_vinte", "_e", "_um"}));
    // Trailing spaces do not count as a following word.
    EXPECT_EQ(NumberWordRecordings("vinte e dois  ", true), Names({"_vinte", "_e", "_duas"}));
    // The words of a number ending in a scale word leave two spaces before the end mark
    // of the original loop; nothing past the last word is ever read as a word.
    EXPECT_EQ(NumberWordRecordings("mil  ", false), Names({"_mil"}));
}

TEST(WordBuffer, SampleBytesOfARecording) {
    EXPECT_EQ(RecordingSampleBytes(0), 0u);
    EXPECT_EQ(RecordingSampleBytes(43), 0u);
    EXPECT_EQ(RecordingSampleBytes(44), 0u);
    EXPECT_EQ(RecordingSampleBytes(45), 1u);
    // No 16-bit wrap: a long recording keeps its length.
    EXPECT_EQ(RecordingSampleBytes(70044), 70000u);
}

using Image = std::vector<WordPiece>;

TEST(WordBuffer, WordsJoinWhileTheyFit) {
    EXPECT_TRUE(PlanWordImages({}).empty());
    EXPECT_TRUE(PlanWordImages({0, 0}).empty());
    EXPECT_EQ(PlanWordImages({5000, 0, 7000}), std::vector<Image>({{{0, 0, 5000}, {2, 0, 7000}}}));
    // Exactly full still joins; one byte more starts a new image.
    EXPECT_EQ(PlanWordImages({20000, 10000}), std::vector<Image>({{{0, 0, 20000}, {1, 0, 10000}}}));
    EXPECT_EQ(PlanWordImages({20000, 10001, 3}),
              std::vector<Image>({{{0, 0, 20000}}, {{1, 0, 10001}, {2, 0, 3}}}));
}

TEST(WordBuffer, LongRecordingPlaysInPieces) {
    EXPECT_EQ(PlanWordImages({100, 65000, 200}),
              std::vector<Image>({{{0, 0, 100}},
                                  {{1, 0, 30000}},
                                  {{1, 30000, 30000}},
                                  {{1, 60000, 5000}, {2, 0, 200}}}));
    EXPECT_EQ(PlanWordImages({60000}), std::vector<Image>({{{0, 0, 30000}}, {{0, 30000, 30000}}}));
}

}  // namespace
}  // namespace sonara
