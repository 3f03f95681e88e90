#include "tavena/Transcribe.h"

#include <gtest/gtest.h>

#include "support/TavenaTestData.h"

using sonara::FindStress;
using sonara::Lines;
using tavena_test::Join;
using tavena_test::U;
using tavena_test::W;

namespace {

std::size_t Stress(std::string_view utf8) {
    return FindStress(W(utf8));
}

TEST(FindStressTest, AccentDecides) {
    EXPECT_EQ(Stress("café"), 4u);
    EXPECT_EQ(Stress("água"), 1u);
    EXPECT_EQ(Stress("CAFÉ"), 4u);  // upper case is lowered first
    EXPECT_EQ(Stress("lâmpada"), 2u);
    EXPECT_EQ(Stress("órfão"), 4u);  // the rightmost accent wins
}

TEST(FindStressTest, PenultimateForFinalVowelsAmAndEm) {
    EXPECT_EQ(Stress("casa"), 2u);
    EXPECT_EQ(Stress("casas"), 2u);
    EXPECT_EQ(Stress("falam"), 2u);
    EXPECT_EQ(Stress("homem"), 2u);
    EXPECT_EQ(Stress("quase"), 3u);  // qu counts as a consonant
    EXPECT_EQ(Stress("rua"), 2u);
    EXPECT_EQ(Stress("lingua"), 2u);
    // gu + vowel counts as a consonant: the penultimate goes on to the i before it.
    EXPECT_EQ(Stress("averigua"), 5u);
    EXPECT_EQ(Stress("baixo"), 2u);  // ai diphthong on its first vowel
}

TEST(FindStressTest, LastVowelForOtherEndings) {
    EXPECT_EQ(Stress("amor"), 3u);
    EXPECT_EQ(Stress("papel"), 4u);
    EXPECT_EQ(Stress("jardim"), 5u);
    EXPECT_EQ(Stress("urubu"), 5u);
    EXPECT_EQ(Stress("bombom"), 5u);
    EXPECT_EQ(Stress("saci"), 4u);
    EXPECT_EQ(Stress("pai"), 2u);  // final i after a: the a
    EXPECT_EQ(Stress("algum"), 4u);
}

TEST(FindStressTest, WordsWithoutVowels) {
    EXPECT_EQ(Stress("brr"), 0u);
    EXPECT_EQ(Stress(""), 0u);
    EXPECT_EQ(Stress("s"), 0u);
}

TEST(IsUnstressedWordTest, ShortWordsAndTheListed) {
    for (const char* w : {"POR", "DAS", "DOS", "COM", "NÃO", "SIM", "A", "DE", ""}) {
        EXPECT_TRUE(sonara::IsUnstressedWord(W(w))) << w;
    }
    for (const char* w : {"PAR", "CASA", "NAO", "por"}) {
        EXPECT_FALSE(sonara::IsUnstressedWord(W(w))) << w;
    }
}

class TranscribeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rules.LoadRulesText(tavena_test::RulesFile());
        rules.LoadExceptionsText(tavena_test::ExceptionsFile());
    }
    std::string Rules(std::string_view upperUtf8, std::size_t stress) {
        Lines out;
        sonara::ApplyRules(W(upperUtf8), stress, rules, out);
        return U(Join(out, " "));
    }
    std::string Run(Lines intonation) {
        for (auto& line : intonation) line = W(line);
        return U(Join(Transcribe(intonation, rules)));
    }
    sonara::TavenaTradut rules;
};

TEST_F(TranscribeTest, ApplyRulesMarksTheFirstLineAtOrAfterTheStress) {
    EXPECT_EQ(Rules("CASA", 2), "k >a z a ");
    EXPECT_EQ(Rules("CASA", 0), "k a z a ");
    // "k&s" gives two lines; the mark goes only into the first.
    EXPECT_EQ(Rules("XA", 1), ">k s a ");
    // H has an empty output: the mark waits for the next phoneme.
    EXPECT_EQ(Rules("HA", 1), ">a ");
    // A letter without any rule is silent.
    EXPECT_EQ(Rules("AYA", 2), "a >a ");
    EXPECT_EQ(Rules("PAPA", 3), "p a >¨p a ");
    EXPECT_EQ(Rules("NHE", 3), "J >i ");
    EXPECT_EQ(Rules("AMOR", 3), "a m >o r2 ");
}

TEST_F(TranscribeTest, ContextsSelectTheRule) {
    EXPECT_EQ(Rules("CECA", 0), "s e k a ");  // C before a front vowel
    EXPECT_EQ(Rules("ASA", 0), "a z a ");     // S between vowels
    EXPECT_EQ(Rules("SAS", 0), "s a s2 ");    // S at the end
    EXPECT_EQ(Rules("QUE", 0), "k i ");       // QU before a vowel, final E
    EXPECT_EQ(Rules("MAL", 0), "m a w ");     // final L
    EXPECT_EQ(Rules("ARRA", 0), "a R a ");    // the longer match first
}

// One rule per context symbol, each ahead of its plain fallback.
TEST(ContextSymbolsTest, EachSymbolHoldsWhereItShouldAndNowhereElse) {
    sonara::TavenaTradut rules;
    rules.LoadRulesText(
        "%(C)=C1\n(C)=c\n"    // left %: start of the word
        "](D)=D1\n(D)=d\n"    // left ]: after an open vowel
        "_(E)=E1\n(E)=e\n"    // left _: at the start or after a vowel
        "|(G)=G1\n(G)=g\n"    // left |: after N, R or S
        "(F)&=F1\n(F)=f\n"    // right &: before L M N R Z
        "(P)*=P1\n(P)=p\n"    // right *: before a consonant but L and R, not taken
        "(B)[=B1\n(B)=b\n"    // right [: at the end or before a consonant but H
        "(K)\\A=K1\n(K)=k\n"  // right \: an S may stand between
        "(A)=a\n(I)=i\n(O)=o\n(N)=n\n(S)=s\n(T)=t\n(L)=l\n(H)=h\n");
    auto apply = [&](std::string_view word) {
        Lines out;
        sonara::ApplyRules(W(word), 0, rules, out);
        return U(Join(out, " "));
    };
    EXPECT_EQ(apply("CA"), "C1 a ");
    EXPECT_EQ(apply("AC"), "a c ");
    EXPECT_EQ(apply("AD"), "a D1 ");
    EXPECT_EQ(apply("OD"), "o D1 ");
    EXPECT_EQ(apply("ID"), "i d ");
    EXPECT_EQ(apply("ND"), "n d ");
    EXPECT_EQ(apply("E"), "E1 ");
    EXPECT_EQ(apply("AE"), "a E1 ");
    EXPECT_EQ(apply("NE"), "n e ");
    EXPECT_EQ(apply("NG"), "n G1 ");
    EXPECT_EQ(apply("SG"), "s G1 ");
    EXPECT_EQ(apply("AG"), "a g ");
    EXPECT_EQ(apply("G"), "g ");
    EXPECT_EQ(apply("FL"), "F1 l ");
    EXPECT_EQ(apply("FT"), "f t ");
    EXPECT_EQ(apply("F"), "f ");
    EXPECT_EQ(apply("PT"), "P1 t ");  // the T is still read by its own rule
    EXPECT_EQ(apply("PL"), "p l ");
    EXPECT_EQ(apply("PA"), "p a ");
    EXPECT_EQ(apply("B"), "B1 ");
    EXPECT_EQ(apply("BT"), "B1 t ");
    EXPECT_EQ(apply("BH"), "b h ");
    EXPECT_EQ(apply("BA"), "b a ");
    EXPECT_EQ(apply("KSA"), "K1 s a ");
    EXPECT_EQ(apply("KA"), "K1 a ");
    EXPECT_EQ(apply("KTA"), "k t a ");
}

TEST_F(TranscribeTest, OneWordTextHasBoundariesAroundIt) {
    EXPECT_EQ(Run({"555|", "456|casa", "555|."}),
              ";555|\n__\n\n"
              ";456|casa\nk\n>a\nz\na\n\n"
              ";555|.\n_.\n"
              "__");
}

TEST_F(TranscribeTest, ExceptionsApplyBeforeStressAndRules) {
    // casa=kaza: casas is found as casa plus s.
    EXPECT_EQ(Run({"555|casas"}), ";555|casas\nk\n>a\nz\na\ns2\n\n__");
    // xerox=xérox: the accent of the respelling decides the stress.
    EXPECT_EQ(Run({"555|xerox"}), ";555|xerox\nk\ns\n>E\nr\no\nk\ns\n\n__");
}

TEST_F(TranscribeTest, PausesAndUnstressedWords) {
    EXPECT_EQ(Run({"555|,", "555|:", "555|(", "555| ", "555|?"}),
              ";555|,\n_,\n;555|:\n_:\n;555|(\n_(\n;555| \n;555|?\n_?\n__");
    EXPECT_EQ(Run({"555|por"}), ";555|por\np\no\nr2\n\n__");
    EXPECT_EQ(Run({"555|sim"}), ";555|sim\ns\ni\n~\n\n__");
}

TEST_F(TranscribeTest, FinalR2AndS2JoinAVowelOfTheNextWord) {
    EXPECT_EQ(Run({"555|amar", "555|a"}), ";555|amar\na\nm\n>a\nr\n\n;555|a\na\n\n__");
    EXPECT_EQ(Run({"555|asas", "555|amam"}),
              ";555|asas\n>a\nz\na\nz\n\n;555|amam\n>a\nm\na\n~\n\n__");
    // Before a consonant or an upper-case phoneme they stay.
    EXPECT_EQ(Run({"555|amar", "555|casa"}),
              ";555|amar\na\nm\n>a\nr2\n\n;555|casa\nk\n>a\nz\na\n\n__");
    EXPECT_EQ(Run({"555|mas", "555|É"}), ";555|mas\nm\n>a\ns2\n\n;555|É\nE\n\n__");
}

TEST_F(TranscribeTest, JoinBoundariesLooksAcrossTheClosingEmptyLine) {
    Lines lines = {";", "__", "", ";w", "a", "r2", "", ";x", ">¨e", "", "__"};
    for (auto& l : lines) l = W(l);
    sonara::JoinBoundaries(lines);
    EXPECT_EQ(lines[5], "r");
    Lines pause = {";", "__", "", ";w", "s2", "", ";,", "_,", ";a", "a", "", "__"};
    sonara::JoinBoundaries(pause);
    EXPECT_EQ(pause[4], "s2");  // the comma's pause stands between them
}

}  // namespace
