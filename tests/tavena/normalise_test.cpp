#include "tavena/Normalise.h"

#include <gtest/gtest.h>

#include "support/TavenaTestData.h"
#include "tavena/CharNames.h"
#include "tavena/Numbers.h"

using sonara::AbbreviationTable;
using tavena_test::Squeeze;
using tavena_test::U;
using tavena_test::W;

namespace {

class NormaliseTest : public ::testing::Test {
  protected:
    void SetUp() override { table.Load(tavena_test::AbbreviationsFile()); }
    // Normalised text with blanks collapsed, as UTF-8.
    std::string N(std::string_view utf8) { return U(Squeeze(sonara::Normalise(W(utf8), table))); }
    AbbreviationTable table;
};

TEST_F(NormaliseTest, SignsDashesAndDecimals) {
    EXPECT_EQ(N("-5"), "menos cinco");
    EXPECT_EQ(N("a - b"), "a , bê");
    EXPECT_EQ(N("3,14"), "três vírgula quatorze");
    EXPECT_EQ(N("2.5"), "dois ponto cinco");
    EXPECT_EQ(N("1,5,2"), "um vírgula cinco vírgula dois");
    EXPECT_EQ(N("casa-"), "casa-");  // a hyphen after a letter stays in the word
}

TEST_F(NormaliseTest, ThousandsSeparatorsAndLeadingZeros) {
    EXPECT_EQ(N("1.000"), "mil");
    EXPECT_EQ(N("1.000 casas"), "mil casas");
    EXPECT_EQ(N("1.000,50"), "mil vírgula cinqüenta");
    EXPECT_EQ(N("1.00"), "um ponto zero zero");
    EXPECT_EQ(N("1.0000"), "um ponto zero zero zero zero");  // four digits: no separator
    EXPECT_EQ(N("2.500.000"), "dois milhões e quinhentos mil");
    EXPECT_EQ(N("007"), "zero zero sete");
    EXPECT_EQ(N("0"), "zéro");  // a lone character is named
}

TEST_F(NormaliseTest, DigitRunsWithHyphensAreReadDigitByDigit) {
    EXPECT_EQ(N("10-5"), "um zero traço cinco");
    EXPECT_EQ(N("3322-0"), "três três dois dois traço zero");
}

TEST_F(NormaliseTest, SixteenDigitsAreAFifteenDigitNumberAndOneMore) {
    EXPECT_EQ(N("1234567890123456"),
              "cento e vinte e três trilhões quatrocentos e cinqüenta e seis bilhões "
              "setecentos e oitenta e nove milhões doze mil e trezentos e quarenta e cinco seis");
}

TEST_F(NormaliseTest, Ordinals) {
    EXPECT_EQ(N("2o."), "segundo");
    EXPECT_EQ(N("2os."), "segundos");
    EXPECT_EQ(N("2as."), "segundas");
    EXPECT_EQ(N("2a. vez"), "segunda vez");
    EXPECT_EQ(N("1º"), "primeiro");
    EXPECT_EQ(N("21ª"), "vigésima primeira");
    EXPECT_EQ(N("1.999º"), "milésimo nongentésimo nonagésimo nono");
    EXPECT_EQ(N("2000º"), "dois mil");
    EXPECT_EQ(N("03º"), "terceiro");  // no "zero" prefix for ordinals
    EXPECT_EQ(N("2o"), "dois o");     // without its dot the o is a word
}

TEST_F(NormaliseTest, WordsWithoutVowelsAreSpelled) {
    EXPECT_EQ(N("x.y"), "xis ponto ípsilon");
    EXPECT_EQ(N("CPF"), "sê pê éfe");
    EXPECT_EQ(U(sonara::Normalise("CPF", table)), "  sê pê éfe");
    EXPECT_EQ(N("b"), "bê");
    EXPECT_EQ(N("à"), "A grave");
    EXPECT_EQ(N("?"), "interrogação");
    EXPECT_EQ(N("Ñ-Ç"), "N com til traço Cê cedilha");  // spelled with its hyphen
}

TEST_F(NormaliseTest, Abbreviations) {
    EXPECT_EQ(N("o Sr. Silva"), "o senhor Silva");
    EXPECT_EQ(N("o Dr. e o etc. fim"), "o doutor e o etcétera fim");
    // Only a dot followed by a blank expands: not at the end of the text.
    EXPECT_EQ(N("o Sr."), "o Sr.");
    EXPECT_EQ(N("Sr.x"), "Sr ponto xis");
    EXPECT_EQ(N("o Sr"), "o ésse érre");
}

TEST_F(NormaliseTest, PunctuationSymbolsAndControlCharacters) {
    EXPECT_EQ(N("a\tb\r\nc"), "a bê sê");
    EXPECT_EQ(U(sonara::Normalise("sim... ok", table)), "sim...  ok");
    EXPECT_EQ(N("a # b"), "a sustenido bê");
    EXPECT_EQ(N("é!"), "é!");
    EXPECT_EQ(N("50%"), "cinqüenta porcento");
    EXPECT_EQ(N("x\x7f"), "xis");  // a character without a name says nothing
}

TEST(CharNameTest, TableEdges) {
    EXPECT_EQ(U(sonara::CharName(' ')), "espaço");
    EXPECT_EQ(U(sonara::CharName('@')), "arrôba");
    EXPECT_EQ(U(sonara::CharName('c')), " sê");
    EXPECT_EQ(U(sonara::CharName('D')), " dê");
    EXPECT_EQ(U(sonara::CharName('~')), "til");
    EXPECT_EQ(U(sonara::CharName(0xBF)), "interrogação reversa");
    EXPECT_EQ(U(sonara::CharName(0xDC)), "U com trema");
    EXPECT_EQ(U(sonara::CharName(0xF7)), "vezes");
    EXPECT_EQ(U(sonara::CharName(0xE9)), "É agudo");
    for (int c : {0, 31, 127, 160, 221, 222, 223, 253, 254, 255}) {
        EXPECT_EQ(sonara::CharName(static_cast<unsigned char>(c)), "") << c;
    }
}

TEST(NumberWordsTest, CardinalGroups) {
    using sonara::Cardinal;
    EXPECT_EQ(Cardinal(21), "vinte e um");
    EXPECT_EQ(Cardinal(100), "cem");
    EXPECT_EQ(Cardinal(101), "cento e um");
    EXPECT_EQ(Cardinal(115), "cento e quinze");
    EXPECT_EQ(Squeeze(Cardinal(1000)), "mil");
    EXPECT_EQ(Cardinal(1200), "mil e duzentos");
    EXPECT_EQ(Cardinal(1234), "mil e duzentos e trinta e quatro");
    EXPECT_EQ(Cardinal(2001), "dois mil e um");
    EXPECT_EQ(U(Cardinal(1000000)), "um milhão ");
    EXPECT_EQ(U(Cardinal(2500000)), "dois milhões e quinhentos mil ");
    EXPECT_EQ(U(Cardinal(999999999999999)),
              "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões "
              "novecentos e noventa e nove milhões novecentos e noventa e nove mil e "
              "novecentos e noventa e nove");
}

TEST(NumberWordsTest, OrdinalsAndTheirFeminine) {
    using sonara::Gender;
    using sonara::Ordinal;
    EXPECT_EQ(Ordinal(0, Gender::kMasculine), "zero");
    EXPECT_EQ(U(Ordinal(110, Gender::kFeminine)), "centésima décima");
    EXPECT_EQ(U(Ordinal(1001, Gender::kMasculine)), "milésimo primeiro");
    EXPECT_EQ(U(Squeeze(Ordinal(2000, Gender::kFeminine))), "dois mil");
}

TEST(AbbreviationTableTest, LoaderTrimsUpperCasesAndKeepsFirstMatch) {
    AbbreviationTable t;
    t.Load(W("; c\r\n  av  =  avenida \r\nAV=outra\r\nsem igual\r\n=vazio\r\nséc=século"));
    EXPECT_EQ(t.Count(), 4u);  // the line without "=" is skipped
    EXPECT_EQ(t.FindAbbreviation("Av"), "avenida");
    EXPECT_EQ(U(t.FindAbbreviation(W("SÉC"))), "século");
    EXPECT_EQ(t.FindAbbreviation("sem igual"), "");
    EXPECT_EQ(t.FindAbbreviation("x"), "");
    t.Load("");
    EXPECT_EQ(t.Count(), 0u);  // a new load replaces the table
    t.Load("a=b");
    EXPECT_FALSE(t.LoadFile(std::nullopt));  // a missing file empties it
    EXPECT_EQ(t.FindAbbreviation("a"), "");
}

TEST(AbbreviationTableTest, CapacityAndExpansionLength) {
    std::string file;
    for (int i = 0; i < 2005; ++i)
        file += "k" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
    file += "long=" + std::string(1200, 'x') + "\n";
    AbbreviationTable t;
    t.Load(file);
    EXPECT_EQ(t.Count(), AbbreviationTable::kCapacity);
    EXPECT_EQ(t.Dropped(), 6u);
    EXPECT_EQ(t.FindAbbreviation("K1999"), "v1999");
    EXPECT_EQ(t.FindAbbreviation("K2000"), "");

    t.Load("long=" + std::string(1200, 'x'));
    EXPECT_EQ(t.FindAbbreviation("long").size(), AbbreviationTable::kMaxExpansion);
}

}  // namespace
