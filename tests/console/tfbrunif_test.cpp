// Portuguese braille translation: each rule, the state kept across rows, and the signs.
#include "console/braille/tfbrunif.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace sonara {
namespace {

std::string Braille(std::string_view text) {
    Tfbrunif t;
    return t.TranslateToBraille(text);
}

TEST(TranslateLetters, CapitalSignsAndLowerCaseRuns) {
    EXPECT_EQ(Braille(""), "");
    EXPECT_EQ(Braille("Casa"), "{casa");
    EXPECT_EQ(Braille("ONU"), "{{onu");
    EXPECT_EQ(Braille("ABc"), "{{ab~c");
    EXPECT_EQ(Braille("guarda-chuva"), "guarda-chuva");
    EXPECT_EQ(Braille("A casa"), "{a casa");
    // Accented capitals lower-case by +32: Ç -> ç, ÉA -> éa.
    EXPECT_EQ(Braille("\xC7"
                      "a"),
              "{\xE7"
              "a");
    EXPECT_EQ(Braille("\xC9"
                      "A"),
              "{{\xE9"
              "a");
    EXPECT_EQ(Braille("ONUs e EUA"), "{{onu~s e {{eua");
}

TEST(TranslateLetters, TimesAndSharpSAreNotCapitals) {
    EXPECT_EQ(Braille("\xD7"), "\xD7");
    EXPECT_EQ(Braille("\xDF"),
              "\xAC"
              "b");
    // Neither joins a run of capitals, so neither is turned into another letter.
    EXPECT_EQ(Braille("A\xD7"
                      "B"),
              "{a\xD7{b");
    EXPECT_EQ(Braille("AB\xDF"),
              "{{ab\xAC"
              "b");
}

TEST(TranslateNumbers, DigitsAsUpperLetters) {
    EXPECT_EQ(Braille("25"), "#be");
    EXPECT_EQ(Braille("1234567890"), "#abcdefghij");
    EXPECT_EQ(Braille("3a"), "#c~a");
    EXPECT_EQ(Braille("3,5"), "#c,e");
    EXPECT_EQ(Braille("R$5"), "{r$#e");
    EXPECT_EQ(Braille("5$"), "#e$");
    // Letters past j end the number without a marker; a space ends it too.
    EXPECT_EQ(Braille("3k"), "#ck");
    EXPECT_EQ(Braille("3 a"), "#c a");
}

TEST(TranslateNumbers, Ordinals) {
    EXPECT_EQ(Braille("1\xBA"), "#,o");
    EXPECT_EQ(Braille("1\xAA"), "#,a");
    EXPECT_EQ(Braille("2as."), "#;as");
    EXPECT_EQ(Braille("10os. lugares"), "#,}os lugares");
    EXPECT_EQ(Braille("3a. vez"), "#:a vez");
    EXPECT_EQ(Braille("4o."), "#/o");
    // Without the full stop the letters are no ordinal.
    EXPECT_EQ(Braille("2as"), "#b~as");
    EXPECT_EQ(Braille("2o"), "#bo");  // o is no digit letter: no marker
    EXPECT_EQ(Braille("2a"), "#b~a");
}

TEST(TranslateNumbers, DecimalPoint) {
    EXPECT_EQ(Braille("1.000"), "#a.jjj");
    EXPECT_EQ(Braille("25.12"), "#be.#ab");
    EXPECT_EQ(Braille("9.12.2024"), "#i.#ab.bjbd");
    EXPECT_EQ(Braille("123.45"), "#abc.de");
    EXPECT_EQ(Braille("12.345"), "#ab.cde");
    EXPECT_EQ(Braille("7."), "#g.");
    EXPECT_EQ(Braille("7. "), "#g. ");
    EXPECT_EQ(Braille("7.a"), "#g.~a");
}

TEST(TranslateBrackets, NumericAndTextParentheses) {
    Tfbrunif t;
    EXPECT_EQ(t.TranslateToBraille("(12)"), "\xEA#ab\xE3");
    EXPECT_FALSE(t.InParens());
    EXPECT_EQ(t.TranslateToBraille("[3]"), "\xE1#c\xFA");
    EXPECT_EQ(t.TranslateToBraille("(a)"), "(.a\\)");
    EXPECT_FALSE(t.InParens());
    EXPECT_EQ(t.TranslateToBraille("[a]"), "[.a\\]");
    // A digit before a closer outside any text parenthesis closes a numeric one.
    EXPECT_EQ(t.TranslateToBraille("x 3)"), "x #c\xE3");
}

TEST(TranslateBrackets, TextParenthesisOpenedWithADigitWithoutItsCloser) {
    Tfbrunif t;
    EXPECT_EQ(t.TranslateToBraille("(1 a"), "(.#a a");
    EXPECT_TRUE(t.InParens());
    // The next row closes it as a text parenthesis even after a digit.
    EXPECT_EQ(t.TranslateToBraille("b 2)"), "b #b\\)");
    EXPECT_FALSE(t.InParens());
    // Closer present but after a letter: text parenthesis too.
    EXPECT_EQ(t.TranslateToBraille("(2 x)"), "(.#b x\\)");
    EXPECT_FALSE(t.InParens());
    EXPECT_EQ(t.TranslateToBraille("[2 x]"), "[.#b x\\]");
}

TEST(TranslateBrackets, InParensCarriesAcrossRows) {
    Tfbrunif t;
    EXPECT_EQ(t.TranslateToBraille("ver (a"), "ver (.a");
    EXPECT_TRUE(t.InParens());
    EXPECT_EQ(t.TranslateToBraille("linha"), "linha");
    EXPECT_TRUE(t.InParens());
    // Inside a text parenthesis a closer after a digit is still a text closer.
    EXPECT_EQ(t.TranslateToBraille("p. 5)"), "p. #e\\)");
    EXPECT_FALSE(t.InParens());
    // A fresh module starts outside any parenthesis.
    Tfbrunif fresh;
    EXPECT_FALSE(fresh.InParens());
    EXPECT_EQ(fresh.TranslateToBraille("5)"), "#e\xE3");
}

TEST(TranslateFractions, LowerNumeratorAndCopiedDenominator) {
    EXPECT_EQ(Braille("`3/4"), "#:4");
    EXPECT_EQ(Braille("`12/100"), "#,;100");
    EXPECT_EQ(Braille("`5"), "#?");
    EXPECT_EQ(Braille("`5/x"), "#?x");
}

TEST(TranslateMath, BackquoteSigns) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"`\"", "\xFC\xFC"},
        {"`%", "_}}"},
        {"`'", "\xFC"},
        {"`(", "\xEA"},
        {"`)", "\xE3"},
        {"`*", "\xD7"},
        {"`X", "\xD7"},
        {"`x", "\xD7"},
        {"`+", "+"},
        {"`-", "-"},
        {"`.", "."},
        {"`/", "\xF7"},
        {"`:", "\xF7"},
        {"`=", "="},
        {"`E",
         "\x80"
         "e"},
        {"`e",
         "\x80"
         "e"},
        {"`O", "\xB0"},
        {"`o", "\xB0"},
        {"`[", "\xE1"},
        {"`]", "\xFA"},
        {"`^", "\xE5"},
        {"`_", "~\xF7"},
        {"`\xF7", "~\xF7"},
        {"`{", "~l"},
        {"`}", "_,"},
        {"``", ""},
    };
    for (const auto& [text, braille] : cases) EXPECT_EQ(Braille(text), braille) << text;
    // Not a follower: the backquote stands for itself and the letter is a letter.
    EXPECT_EQ(Braille("`a"), "`a");
    EXPECT_EQ(Braille("`"), "`");
    EXPECT_EQ(Braille("2`+`3"), "#b+#:");
}

TEST(TranslateSymbols, MultiCellSigns) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"#", "#"},
        {"%", "_}"},
        {"*", "*"},
        {"/", "\\,"},
        {"?", "?"},
        {"\\", "~."},
        {"_", "_"},
        {"\x80",
         "\x80"
         "e"},
        {"\x85", "..."},
        {"\x89", "_}}"},
        {"\x91", "$\""},
        {"\x92", "$\""},
        {"\x95", "\xF5o"},
        {"\x96", "--"},
        {"\x97", "--"},
        {"\xAD", "--"},
        {"\x9C", "oe"},
        {"\xA7", "ss"},
        {"\xAB", "\\\""},
        {"\xBB", "\\\""},
        {"\xB2", "\xE5#b"},
        {"\xB3", "\xE5#c"},
        {"\xB9", "\xE5#a"},
        {"\xBC", "#,d"},
        {"\xBD", "#,b"},
        {"\xBE", "#:d"},
        {"\xE6", "ae"},
        {".", "."},
        {"\"", "\""},
        {"\x93", "\""},
        {"\x94", "\""},
        {" ", " "},
        {"!", "!"},
        {"\x01", "\x01"},
        {")", "\\)"},
        {"]", "\\]"},
    };
    for (const auto& [text, braille] : cases) EXPECT_EQ(Braille(text), braille) << text;
    // Lower-case accented letters are plain lower-case letters.
    EXPECT_EQ(Braille("a\xE7\xE3o"), "a\xE7\xE3o");
    // æ is written out wherever it stands: alone, inside a word, as a capital.
    EXPECT_EQ(Braille("c\xE6sar"), "caesar");
    EXPECT_EQ(Braille("\xC6"), "{ae");
    EXPECT_EQ(Braille("\xC6ON"), "{{aeon");
}

}  // namespace
}  // namespace sonara
