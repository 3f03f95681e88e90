// tfTradut rules: the loader's chaining, every context symbol, the phoneme-group string
// and the exceptions, over small rule files written here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diphone/tfTradut.h"

namespace sonara {
namespace {

using namespace std::string_literals;

// `tested` (rules whose match begins with `letter`), then a fallback rule per letter
// giving its lower-case form, so outputs are easy to read.
std::string RulesWith(const std::string& tested, char letter) {
    std::string file =
        "; test rules\n" + tested + "\n(" + letter + ")=" + static_cast<char>(letter + 32) + "\n";
    for (char c = 'A'; c <= 'Z'; ++c) {
        if (c != letter) file += "("s + c + ")=" + static_cast<char>(c + 32) + "|\n";
    }
    return file;
}

struct Case {
    const char* word;
    const char* expected;
};

void ExpectTranslations(const std::string& rule, const std::vector<Case>& cases) {
    TfTradut t;
    t.LoadRulesText(RulesWith(rule, 'S'));
    for (const Case& c : cases) {
        EXPECT_EQ(t.TranslateWord(c.word), c.expected) << rule << " on " << c.word;
    }
}

TEST(RightContext, VowelRunEdgeAndVoicedSymbols) {
    ExpectTranslations("(S)#=z", {{"casa", "[c/a/z/a]"}, {"cas", "[c/a/s]"}, {"s'", "[z/ /_']"}});
    ExpectTranslations("(S)#T=z",
                       {{"saet", "[z/a/e/t]"}, {"sa'et", "[z/a/ /_'/e/t]"}, {"saes", "[s/a/e/s]"}});
    ExpectTranslations("(S)%=z", {{"casas", "[c/a/s/a/z]"}, {"sa", "[s/a]"}});
    ExpectTranslations(
        "(S)&A=z",
        {{"sla", "[z/l/a]"}, {"sza", "[z/z/a]"}, {"sll", "[s/l/l]"}, {"sta", "[s/t/a]"}});
}

TEST(RightContext, ConsonantClassesKeepTheScanPosition) {
    ExpectTranslations("(S)*T=z", {{"st", "[z/t]"}, {"sp", "[s/p]"}});
    ExpectTranslations("(S)*=z", {{"sr", "[s/r]"}, {"sl", "[s/l]"}, {"sa", "[s/a]"}});
    ExpectTranslations("(S)[T=z", {{"st", "[z/t]"}});
    ExpectTranslations("(S)[=z", {{"s", "[z]"}, {"sh", "[s/h]"}, {"se", "[s/e]"}});
}

TEST(RightContext, FrontVowelOptionalSAndLiterals) {
    ExpectTranslations(
        "(S)+A=z",
        {{"sea", "[z/e/a]"}, {"si'a", "[z/i/ /_'/a]"}, {"sa", "[s/a]"}, {"seba", "[s/e/b/a]"}});
    ExpectTranslations("(S)\\A=z", {{"sa", "[z/a]"}, {"ssa", "[z/z/a]"}, {"sta", "[s/t/a]"}});
    ExpectTranslations("(S)A=z", {{"sA", "[z/A]"}, {"sa", "[z/a]"}, {"se", "[s/e]"}, {"s", "[s]"}});
}

TEST(LeftContext, VowelRunEdgeAndOpenVowels) {
    ExpectTranslations("#(S)=z", {{"as", "[a/z]"}, {"ts", "[t/s]"}, {"s", "[s]"}});
    ExpectTranslations("%#(S)=z",
                       {{"aes", "[a/e/z]"}, {"a'es", "[a/ /_'/e/z]"}, {"taes", "[t/a/e/s]"}});
    ExpectTranslations("%(S)=z", {{"sa", "[z/a]"}, {"as", "[a/s]"}});
    ExpectTranslations("%](S)=z", {{"as", "[a/z]"},
                                   {"Os", "[O/z]"},
                                   {"a~s", "[a/ /_~/z]"},
                                   {"es", "[e/s]"},
                                   {"ta~s", "[t/a/ /_~/s]"}});
}

TEST(LeftContext, VowelOrStartNasalsAndLiterals) {
    ExpectTranslations("_(S)=z", {{"sa", "[z/a]"},
                                  {"as", "[a/z]"},
                                  {"ts", "[t/s]"},
                                  {"a's", "[a/ /_'/z]"},
                                  {"t's", "[t/ /_'/s]"}});
    ExpectTranslations("T_(S)=z", {{"tas", "[t/a/z]"}, {"ts", "[t/s]"}, {"sa", "[s/a]"}});
    ExpectTranslations("|(S)=z",
                       {{"ns", "[n/z]"}, {"rs", "[r/z]"}, {"ss", "[s/z]"}, {"ts", "[t/s]"}});
    ExpectTranslations("T(S)=z", {{"ts", "[t/z]"}, {"as", "[a/s]"}, {"s", "[s]"}});
}

TEST(TranslateWord, MatchesConsumeTheirLettersAndNeverRunPastTheEnd) {
    TfTradut t;
    t.LoadRulesText(RulesWith("(SSA)=X\n(SS)=Y", 'S'));
    EXPECT_EQ(t.TranslateWord("cassa"), "[c/a/X]");
    EXPECT_EQ(t.TranslateWord("cass"), "[c/a/Y]");
    EXPECT_EQ(t.TranslateWord("cas"), "[c/a/s]");
}

TEST(TranslateWord, StressedVowelUpperCasesTheFirstVowelOfItsOutput) {
    TfTradut t;
    t.LoadRulesText("(A)=xa|\n(O)=ptk\n(C)=ke\n(S)=s");
    EXPECT_EQ(t.TranslateWord("cAsa"), "[ke/xA/s/xa]");
    EXPECT_EQ(t.TranslateWord("cOs"), "[ke/ptk/s]");  // no vowel to mark
    EXPECT_EQ(t.TranslateWord("Eb"), "[ /_E/ /_B]");  // no rules: named, upper-cased
    EXPECT_EQ(t.TranslateWord("{"), "[ /_{]");        // beyond the chains
}

TEST(LoadRules, RulesOfOneCharacterMustStandTogether) {
    TfTradut t;
    t.LoadRulesText("(A)%=a1\n(B)=b\n(A)=a2\n;(A)=comment\n(B)=b2");
    ASSERT_EQ(t.Chain('A').size(), 1u);
    ASSERT_EQ(t.Chain('B').size(), 3u);  // a2 and b2 were linked behind b
    EXPECT_EQ(t.Chain('B')[1].output, "a2");
    // a2 is never tried for an A: the default output stays.
    EXPECT_EQ(t.TranslateWord("ab"), "[ /_A/b]");
    EXPECT_EQ(t.TranslateWord("a"), "[a1]");
}

TEST(LoadRules, SkippedLinesDoNotBreakABlockAndPartsAreCut) {
    TfTradut t;
    t.LoadRulesText(
        "(A)=a1\r\n\r\nno rule here\n()=x\n(a)=lower\n(\x7F)=del\n(\x01)=ctl\n"
        "ABCDEFG(AAAAAAA)QRSTUVW=0123456789abcdef|junk\n(A=runs on");
    ASSERT_EQ(t.Chain('A').size(), 3u);
    const Regra& cut = t.Chain('A')[1];
    EXPECT_EQ(cut.left, "ABCDE");
    EXPECT_EQ(cut.match, "AAAAA");
    EXPECT_EQ(cut.right, "QRSTU");
    EXPECT_EQ(cut.output, "0123456789a");
    EXPECT_EQ(t.Chain('A')[2].match, "A=run");  // no ")": the match takes the rest
    EXPECT_EQ(t.Chain('A')[2].output, "");
    EXPECT_TRUE(t.Chain('a').empty());
    EXPECT_TRUE(t.Chain(0x7F).empty());
}

TEST(LoadRules, ReloadingEmptiesRulesAndExceptions) {
    TfTradut t;
    t.LoadRulesText("(A)=a");
    t.LoadExceptionsText("casa=kAza");
    EXPECT_EQ(t.ExceptionCount(), 1u);
    t.LoadRulesText("(B)=b");
    EXPECT_TRUE(t.Chain('A').empty());
    EXPECT_EQ(t.ExceptionCount(), 0u);
    t.FreeRules();
    EXPECT_TRUE(t.Chain('B').empty());
}

class TextToPhonemes : public ::testing::Test {
  protected:
    void SetUp() override { t.LoadRulesText(RulesWith("(SS)=s|\n#(S)#=z", 'S')); }
    TfTradut t;
};

TEST_F(TextToPhonemes, WordsGiveGroupsWithoutSeparators) {
    EXPECT_EQ(t.TextToPhonemes("casa bela"), "[c/A/z/a][b/E/l/a]");
    EXPECT_EQ(t.TextToPhonemes("  "), "");
    EXPECT_EQ(t.TextToPhonemes(""), "");
    EXPECT_EQ(t.TextToPhonemes("bcd."), "[ /_b][ /_c][ /_d][ /_.]");
    EXPECT_EQ(t.TextToPhonemes("x"), "[ /_x]");  // spelled although X has a rule
    EXPECT_EQ(t.TextToPhonemes("#"), "[ /_#]");
    EXPECT_EQ(t.TextToPhonemes("a\tb"), "[a][ /_\0][ /_b]"s);
}

TEST_F(TextToPhonemes, AccentedLettersReachTheRulesTransliterated) {
    EXPECT_EQ(t.TextToPhonemes("ca\xE7"
                               "a"),
              "[c/A/s/a]");  // ç is ss
    EXPECT_EQ(t.TextToPhonemes("ni\xF1o"), "[n/I/n/h/o]");
    EXPECT_EQ(t.TextToPhonemes("caf\xE9"), "[c/a/f/e/ /_']");  // written accent: no mark
}

TEST_F(TextToPhonemes, ExceptionsReplaceTheWordBeforeStressAndRules) {
    t.LoadExceptionsText("casa=kAza\nmex=mel|\nabc\nnada=\n");
    EXPECT_EQ(t.TextToPhonemes("casas"), "[k/A/z/a/s]");
    EXPECT_EQ(t.TextToPhonemes("casam"), "[k/A/z/a/m]");
    EXPECT_EQ(t.TextToPhonemes("mex"), "[m/E/l]");          // one vowel, ends in l after the alias
    EXPECT_EQ(t.TextToPhonemes("abc"), "[a/b/c]");          // no "=": never matches
    EXPECT_EQ(t.TextToPhonemes("nada bela"), "[b/E/l/a]");  // empty alias: silent
}

TEST(LoadExceptions, LimitsAndSkippedLines) {
    TfTradut t;
    std::string file = "\n\n" + std::string(253, 'q') + "\n";
    for (int i = 0; i < 15001; ++i) file += "w" + std::to_string(i) + "=x\n";
    t.LoadExceptionsText(file);
    EXPECT_EQ(t.ExceptionCount(), 15000u);
    TradutWord last{"w15000", 1, false};
    t.ApplyException(last);
    EXPECT_EQ(last.text, "w15000");
    TradutWord first{"w0", 0, false};
    t.ApplyException(first);
    EXPECT_EQ(first.text, "x");
    TradutWord kept{"w14999", 0, false};  // stored only if the long line was skipped
    t.ApplyException(kept);
    EXPECT_EQ(kept.text, "x");
}

}  // namespace
}  // namespace sonara

namespace sonara {
namespace {

TEST(SkippedLines, RulesThatJoinNoChainOrLandInAnotherBlock) {
    TfTradut t;
    t.LoadRulesText("; comment\n\n   \n(A)=a\n(B)=b\nno rule\n()=x\n(a)=lower\n(A)=late\n");
    // "no rule", "()", "(a)" join no chain; the late (A) lands in B's block.
    EXPECT_EQ(t.SkippedRuleLines(), 4u);
    t.LoadRulesText("(A)=a\n(A)%=b\n(B)=b\n");
    EXPECT_EQ(t.SkippedRuleLines(), 0u);
}

TEST(SkippedLines, ExceptionsTooLongWithoutEqualsOrPastTheLimit) {
    TfTradut t;
    t.LoadExceptionsText("; a comment line\ncasa=kAza\nnoequals\n" + std::string(253, 'q') +
                         "\n\n");
    EXPECT_EQ(t.SkippedExceptionLines(), 2u);  // the line without "=" and the long one
    std::string full;
    for (int i = 0; i < 15002; ++i) full += "w" + std::to_string(i) + "=x\n";
    t.LoadExceptionsText(full);
    EXPECT_EQ(t.SkippedExceptionLines(), 2u);
    t.LoadExceptionsText("a=b\n");
    EXPECT_EQ(t.SkippedExceptionLines(), 0u);
}

TEST(TranslateStretches, LettersConsumedAndStressedOutputs) {
    TfTradut t;
    t.LoadRulesText("(QU)= k\n(A)=a\n(E)=e\n(I)=y\n");
    std::vector<TradutStretch> s = t.TranslateStretches("quEia");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].pos, 0u);
    EXPECT_EQ(s[0].length, 2u);
    EXPECT_EQ(s[1].output, "E");  // upper-cased: its first letter is stressed
    EXPECT_EQ(s[3].pos, 4u);
    EXPECT_EQ(t.TranslateWord("quEia"), "[ k/E/y/a]");
}

class StressPosition : public ::testing::Test {
  protected:
    // Vowels after a vowel start a syllable except the glides i and u; qu is an onset.
    void SetUp() override {
        t.LoadRulesText(
            "(A~O)=A~w\n(A')=A\n#(A)= a\n(A)=a\n(C)= k\n(D)= d\n#(E)= e\n(E)=e\n(H)=\n"
            "H(I)= i\n#(I)=y\n(I)=i\n(J)= j\n(L)= l\n(M)= m\n#(O)= o\n(O)=o\n(P)= p\n"
            "(QU)= k\n(R)#= r\n(R)=r\n(S)= s\n(T)= t\n#(U)=w\n(U)=u\n(X)= x\n");
    }
    int At(const char* word) const { return t.StressPosition(word); }
    TfTradut t;
};

TEST_F(StressPosition, FirstVowelLetterOfTheStressedSyllable) {
    EXPECT_EQ(At("casa"), 2);
    EXPECT_EQ(At("queijo"), 3);  // qu is the onset, e leads "quei"
    EXPECT_EQ(At("adao"), 3);
    EXPECT_EQ(At("ad\xE3o"), 3);     // the tilde's rule writes the stress
    EXPECT_EQ(At("p\xE1ssaro"), 2);  // the accent's rule writes it
    EXPECT_EQ(At("muito"), 2);       // u leads "mui"
    EXPECT_EQ(At("mar"), 2);         // one syllable: it is the stressed one
    EXPECT_EQ(At("bcd"), 0);         // spelled
    EXPECT_EQ(At(""), 0);
    EXPECT_EQ(At("  casa"), 4);  // blanks before the word count
}

TEST_F(StressPosition, AnAliasIsFollowedBackToTheWrittenLetters) {
    t.LoadExceptionsText("ilha=Ilha\nsite=saite\nruim=ruhim\nshou=xou\n");
    EXPECT_EQ(At("ilhas"), 1);
    EXPECT_EQ(At("site"), 2);  // s-a-i-te: the inserted a stands on the i
    EXPECT_EQ(At("ruim"), 3);  // the silent h opens the i's syllable
    EXPECT_EQ(At("show"), 3);  // w reads as u: "shou" is respelled "xou"
}

}  // namespace
}  // namespace sonara
