// tfTradut text stages: transliteration, words, spelling and the stress scan.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diphone/tfTradut.h"

namespace sonara {
namespace {

using namespace std::string_literals;

std::string Tr(const std::string& text) {
    return TfTradut::Transliterate(text);
}

TEST(Transliterate, WAndYBesideALetterBecomeVowels) {
    EXPECT_EQ(Tr("Wagner kiwi"), "uagner kiui");
    EXPECT_EQ(Tr("Yara boy"), "iara boi");
    EXPECT_EQ(Tr("w y W. -Y"), "w y W. -Y");  // no letter beside: unchanged
    EXPECT_EQ(Tr("wy"), "ui");
}

TEST(Transliterate, ApostropheAfterDIsDroppedElsewhereKept) {
    EXPECT_EQ(Tr("d'agua D'Ouro"), "dagua DOuro");
    EXPECT_EQ(Tr("l'agua 'a'"), "l'agua 'a'");
}

TEST(Transliterate, ControlCodesBecomeABlankNulAndBlank) {
    EXPECT_EQ(Tr("a\tb"), "a \0 b"s);
    EXPECT_EQ(Tr("\n"s), " \0 "s);
    EXPECT_EQ(Tr("\0"s), " \0 "s);
}

TEST(Transliterate, AccentedLettersAtBothCodePagePositions) {
    // Windows-1252: ç Ç é ã ñ Ñ ü; code page 850: ç é ã (0x87 0x82 0x84).
    EXPECT_EQ(Tr("\xE7\xC7\xE9\xE3\xF1\xD1\xFC"), "sssse'a~nhnhu");
    EXPECT_EQ(Tr("\x87\x82\x84"), "sse'a~");
    EXPECT_EQ(Tr("caf\xE9"), "cafe'");
    EXPECT_EQ(Tr("\x92\x98\xA7\xAB\xBB\xD8\xD7\xBF\xAD"),
              "-y-\xA7\xAA\xBA"
              "0x?!");
    EXPECT_EQ(Tr("\xB0\xFF"), " \0  \0 "s);  // empty entries
}

TEST(Transliterate, EveryHighCodeGivesPrintableTextOrTheControlForm) {
    for (int code = 128; code < 256; ++code) {
        std::string out = Tr(std::string(1, static_cast<char>(code)));
        ASSERT_FALSE(out.empty()) << code;
        if (out == " \0 "s) continue;
        for (char c : out) EXPECT_GE(static_cast<unsigned char>(c), 32) << code;
    }
}

std::vector<TradutWord> Words(const std::string& text) {
    std::vector<TradutWord> words;
    std::size_t pos = 0;
    while (auto w = TfTradut::NextWord(text, pos)) words.push_back(*w);
    return words;
}

std::vector<std::string> Texts(const std::string& text) {
    std::vector<std::string> out;
    for (const TradutWord& w : Words(text)) out.push_back(w.text);
    return out;
}

TEST(NextWord, LettersAndAccentMarksMakeWordsOtherCharactersStandAlone) {
    EXPECT_EQ(Texts("  CASA, bela!"), (std::vector<std::string>{"casa", ",", "bela", "!"}));
    EXPECT_EQ(Texts("12#a-b"), (std::vector<std::string>{"1", "2", "#", "a", "-", "b"}));
    EXPECT_EQ(Texts("'a a~o"), (std::vector<std::string>{"'", "a", "a~o"}));
    EXPECT_EQ(Texts(" \0 "s), (std::vector<std::string>{"\0"s}));
    EXPECT_TRUE(Texts("   ").empty());
    EXPECT_TRUE(Texts("").empty());
}

TEST(NextWord, CountsVowelsAndFlagsAccentsButNotTheDiaeresis) {
    std::vector<TradutWord> w = Words("Assa~o lingu\"issa cafe' pa^o tres");
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(w[0].vowels, 3);
    EXPECT_TRUE(w[0].explicitAccent);
    EXPECT_EQ(w[1].vowels, 4);
    EXPECT_FALSE(w[1].explicitAccent);
    EXPECT_TRUE(w[2].explicitAccent);
    EXPECT_TRUE(w[3].explicitAccent);
    EXPECT_EQ(w[4].vowels, 1);
    EXPECT_FALSE(w[4].explicitAccent);
}

TEST(NextWord, WordsOverTheBufferAreCutAndTheRestFollows) {
    std::string text(300, 'b');
    text[299] = 'a';
    std::vector<TradutWord> w = Words(text);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].text.size(), 255u);
    EXPECT_EQ(w[1].text.size(), 45u);
    EXPECT_EQ(w[1].vowels, 1);
}

TEST(Spelling, OnlyConsonantsSeparatorsOrANulAreSpelled) {
    EXPECT_TRUE(TfTradut::IsToBeSpelled("bcd"));
    EXPECT_TRUE(TfTradut::IsToBeSpelled("x"));
    EXPECT_TRUE(TfTradut::IsToBeSpelled("."));
    EXPECT_TRUE(TfTradut::IsToBeSpelled("\0"s));
    EXPECT_FALSE(TfTradut::IsToBeSpelled("bca"));
    EXPECT_FALSE(TfTradut::IsToBeSpelled("#"));
    EXPECT_FALSE(TfTradut::IsToBeSpelled("b'"));
    EXPECT_EQ(TfTradut::SpellWord("bcd"), "[ /_b][ /_c][ /_d]");
}

std::string Stress(const std::string& text) {
    std::size_t pos = 0;
    std::string source = TfTradut::Transliterate(text);
    TradutWord w = *TfTradut::NextWord(source, pos);
    TfTradut::MarkStress(w);
    return w.text;
}

TEST(MarkStress, ParoxytonesAndOxytonesByTheirEndings) {
    std::vector<std::pair<std::string, std::string>> cases = {
        {"casa", "cAsa"},       {"casas", "cAsas"},   {"ama", "Ama"},     {"homem", "hOmem"},
        {"batom", "batOm"},     {"jardim", "jardIm"}, {"amor", "amOr"},   {"papel", "papEl"},
        {"xerox", "xerOx"},     {"tatu", "tatU"},     {"lapis", "lapIs"}, {"pai", "pAi"},
        {"uruguai", "uruguaI"},  // gu before the final ai: stress on the i
    };
    for (auto& [word, expected] : cases) EXPECT_EQ(Stress(word), expected) << word;
}

TEST(MarkStress, IOrUBeforeTheFinalSyllable) {
    std::vector<std::pair<std::string, std::string>> cases = {
        {"maria", "marIa"},      // consonant before the i
        {"baixo", "bAixo"},      // a before the i, no closing cluster
        {"rainha", "raInha"},    // nh after the i
        {"bairro", "baIrro"},    // rr after the i
        {"sairmos", "saIrmos"},  // r and a consonant after the i
        {"guia", "guIa"},        // gu opens the syllable
        {"ia", "ia"},            // the scan runs off the word undecided
    };
    for (auto& [word, expected] : cases) EXPECT_EQ(Stress(word), expected) << word;
}

TEST(MarkStress, AccentsAndMonosyllablesAreLeftAlone) {
    EXPECT_EQ(Stress("caf\xE9"), "cafe'");
    EXPECT_EQ(Stress("cinq\x81"
                     "enta"),
              "cinqu\"Enta");  // the diaeresis does not count
    EXPECT_EQ(Stress("mar"), "mar");
    EXPECT_EQ(Stress("sol"), "sOl");
    EXPECT_EQ(Stress("bcl"), "bcl");  // no vowel at all
}

}  // namespace
}  // namespace sonara
