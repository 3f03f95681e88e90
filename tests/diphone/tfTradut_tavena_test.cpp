// Tavena rule chains and exception lookup.
#include "diphone/tfTradut_tavena.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonara {
namespace {

std::vector<std::string> Outputs(const TavenaTradut& t, unsigned char first) {
    std::vector<std::string> out;
    for (const TavenaRule& r : t.Chain(first)) out.push_back(r.output);
    return out;
}

TEST(TavenaRules, RulesJoinTheirOwnChainInFileOrderWhereverTheyStand) {
    TavenaTradut t;
    t.LoadRulesText("(B)=b1\n(D)=d1\n#(B)=b2|\r\n;(B)=comment\n(B)%=b3");
    EXPECT_EQ(Outputs(t, 'B'), (std::vector<std::string>{"b1", "b2", "b3"}));
    EXPECT_EQ(Outputs(t, 'D'), (std::vector<std::string>{"d1"}));
    EXPECT_EQ(t.Chain('B')[1].left, "#");
    EXPECT_EQ(t.Chain('B')[2].right, "%");
    EXPECT_EQ(t.RuleCount(), 4u);
}

TEST(TavenaRules, PartsAreCutToTheirWidths) {
    TavenaTradut t;
    t.LoadRulesText("ABCDEFG(HIJKLMN)OPQRSTU=0123456789abcdefghijKLMNO|tail");
    ASSERT_EQ(t.Chain('H').size(), 1u);
    const TavenaRule& r = t.Chain('H')[0];
    EXPECT_EQ(r.left, "ABCDE");
    EXPECT_EQ(r.match, "HIJKL");
    EXPECT_EQ(r.right, "OPQRS");
    EXPECT_EQ(r.output, "0123456789abcdefghij");
}

TEST(TavenaRules, EveryCodeFrom32To255HasAChainAndControlCodesNone) {
    TavenaTradut t;
    t.LoadRulesText("(\xC7)=s\n( )=_\n(\xFF)=y\n(\x01)=ctl\n(\x1F)=ctl");
    EXPECT_EQ(Outputs(t, 0xC7), (std::vector<std::string>{"s"}));
    EXPECT_EQ(Outputs(t, ' '), (std::vector<std::string>{"_"}));
    EXPECT_EQ(Outputs(t, 0xFF), (std::vector<std::string>{"y"}));
    EXPECT_TRUE(t.Chain(0x01).empty());
    EXPECT_TRUE(t.Chain(0x1F).empty());
    EXPECT_EQ(t.RuleCount(), 3u);
}

TEST(TavenaRules, LinesThatCannotJoinAChainAreSkipped) {
    TavenaTradut t;
    // An empty line is no comment in this variant, but without "(" it is no rule.
    t.LoadRulesText("\nno parenthesis=x\n()=empty match\n(A=open match\n(E)=ok");
    EXPECT_EQ(t.RuleCount(), 2u);
    ASSERT_EQ(t.Chain('A').size(), 1u);
    EXPECT_EQ(t.Chain('A')[0].match, "A=ope");  // no ")": the match runs to the end, cut
    EXPECT_EQ(t.Chain('A')[0].output, "");
    EXPECT_EQ(Outputs(t, 'E'), (std::vector<std::string>{"ok"}));
}

TEST(TavenaRules, ReloadingAndFreeingEmptyTheChains) {
    TavenaTradut t;
    t.LoadRulesText("(A)=a\n(B)=b");
    t.LoadExceptionsText("casa=kaza");
    t.LoadRulesText("(C)=c");
    EXPECT_TRUE(t.Chain('A').empty());
    EXPECT_EQ(t.RuleCount(), 1u);
    EXPECT_EQ(t.ExceptionCount(), 0u);  // loading rules starts a fresh exception table
    t.FreeRules();
    EXPECT_EQ(t.RuleCount(), 0u);
}

TEST(TavenaExceptions, LinesAreUpperCasedForTheLocaleBeforeSplitting) {
    TavenaTradut t;
    t.LoadExceptionsText(
        "a\xE7\xE3o=as\xE3un\nx\xED"
        "cara=ch\xED"
        "cara|\n");
    std::string word = "A\xC7\xC3O";  // AÇÃO
    t.ApplyException(word);
    EXPECT_EQ(word, "AS\xC3UN");
    word =
        "X\xCD"
        "CARAS";
    t.ApplyException(word);
    EXPECT_EQ(word,
              "CH\xCD"
              "CARAS");
}

TEST(TavenaExceptions, CapitalSAndMAreSetAsideAndPutBack) {
    TavenaTradut t;
    t.LoadExceptionsText("casa=kaza\nmes=mez\n");
    std::vector<std::pair<std::string, std::string>> cases = {
        {"CASA", "KAZA"},
        {"CASAS", "KAZAS"},
        {"CASAM", "KAZAM"},
        {"CASASMS", "KAZASMS"},
        {"MESMOS", "MESMOS"},  // the O stops the stripping before MES is
                               // reached
        {"casas", "casas"},    // lower-case letters are not suffixes here
        {"SMS", "SMS"},        // all letters stripped, nothing found: unchanged
        {"CAS", "CAS"},
    };
    for (auto& [in, expected] : cases) {
        std::string word = in;
        t.ApplyException(word);
        EXPECT_EQ(word, expected) << in;
    }
}

TEST(TavenaExceptions, LinesWithoutEqualsNeverMatchAndLongLinesAreSkipped) {
    TavenaTradut t;
    std::string fits(252, 'b');
    fits[0] = 'z';
    fits[1] = '=';
    std::string tooLong(253, 'c');
    tooLong[0] = 'y';
    tooLong[1] = '=';
    t.LoadExceptionsText("abc\n\n\n" + fits + "\n" + tooLong + "\n");
    EXPECT_EQ(t.ExceptionCount(), 2u);  // empty lines are skipped, not stored
    std::string word = "ABC";
    t.ApplyException(word);
    EXPECT_EQ(word, "ABC");
    word = "Z";
    t.ApplyException(word);
    EXPECT_EQ(word, std::string(250, 'B'));
    word = "Y";
    t.ApplyException(word);
    EXPECT_EQ(word, "Y");
}

TEST(TavenaExceptions, TableStopsAt15000RecordsAndFindsEveryStoredWord) {
    std::string file;
    // Words in a scrambled order so that the sort matters.
    auto name = [](int i) { return "W" + std::to_string((i * 7919) % 15001); };
    for (int i = 0; i < 15001; ++i) file += name(i) + "=" + std::to_string(i) + "\n";
    TavenaTradut t;
    t.LoadExceptionsText(file);
    EXPECT_EQ(t.ExceptionCount(), 15000u);
    for (int i = 0; i < 15000; i += 97) {
        std::string word = name(i);
        t.ApplyException(word);
        EXPECT_EQ(word, std::to_string(i));
    }
    std::string last = name(15000);
    t.ApplyException(last);
    EXPECT_EQ(last, name(15000));
}

TEST(LocaleCase, AccentedLettersChangeCaseAndOthersStay) {
    EXPECT_EQ(LocaleUpper("aZ\xE0\xE7\xE3\xFE\xFF\x9A\x9C\x9E"),
              "AZ\xC0\xC7\xC3\xDE\x9F\x8A\x8C\x8E");
    EXPECT_EQ(LocaleUpper("\xF7\xDF\xB5"
                          "1;"),
              "\xF7\xDF\xB5"
              "1;");  // ÷ ß µ stay
    EXPECT_EQ(LocaleLower("AZ\xC0\xC7\xC3\xDE\x9F\x8A\x8C\x8E"),
              "az\xE0\xE7\xE3\xFE\xFF\x9A\x9C\x9E");
    EXPECT_EQ(LocaleLower("\xD7\xDF"
                          "1"),
              "\xD7\xDF"
              "1");  // × ß stay
}

}  // namespace
}  // namespace sonara
