#include "tavena/Prosody.h"

#include <gtest/gtest.h>

#include "support/TavenaTestData.h"

using sonara::ParseProsody;
using sonara::ProsodyConfig;
using sonara::ProsodyLoad;
using tavena_test::U;
using tavena_test::W;

namespace {

ProsodyLoad Parse(std::string_view utf8, ProsodyConfig& config) {
    return ParseProsody(W(utf8), config);
}

std::vector<std::string> Messages(const ProsodyLoad& load) {
    std::vector<std::string> out;
    for (const auto& m : load.messages) out.push_back(U(m));
    return out;
}

TEST(ProsodyLoaderTest, ReadsAllThreeSectionsInAnyOrder) {
    ProsodyConfig c;
    ProsodyLoad load = ParseProsody(tavena_test::ProsodyFile(), c);
    ASSERT_TRUE(load.ok);
    EXPECT_TRUE(load.messages.empty());
    EXPECT_EQ(c.durations.size(), 7u);
    EXPECT_EQ(c.DurationOf("a"), 80);
    EXPECT_EQ(c.DurationOf("__"), 200);
    EXPECT_EQ(c.DurationOf("zz"), 100);  // absent: 100 ms
    EXPECT_EQ(c.CategoryOf("O"), "AR");
    EXPECT_EQ(c.CategoryOf("DE"), "PR");
    EXPECT_EQ(c.CategoryOf("CASA"), "XX");
    EXPECT_EQ(c.hertz, 200);
    EXPECT_EQ(c.tabHertz[6], 100);
    EXPECT_EQ(c.tabHertz[9], 130);
    ASSERT_EQ(c.intonation.size(), 3u);
    EXPECT_EQ(c.intonation[0].previous, "--");
    EXPECT_EQ(c.intonation[0].current, "AR");
    EXPECT_EQ(c.intonation[0].next, "");
    EXPECT_EQ(c.intonation[0].code, "456");
}

TEST(ProsodyLoaderTest, FieldsAreCutTrimmedAndUpperCased) {
    ProsodyConfig c;
    ASSERT_TRUE(Parse("[DURAÇÃO]\n abc = 12 \n;x=1\n*y=2\n\n[CHAVES]\n"
                      " zeta = abc\nalfa=xx\nÉ=sv\n[PROSÓDIA]\n"
                      "xx | yyyy |zz=1234\na|b\t=  7\n",
                      c)
                    .ok);
    ASSERT_EQ(c.durations.size(), 1u);
    EXPECT_EQ(c.durations[0].phoneme, "ab");
    EXPECT_EQ(c.durations[0].ms, 12);
    ASSERT_EQ(c.keywords.size(), 3u);  // sorted by key
    EXPECT_EQ(c.keywords[0].key, "ALFA");
    EXPECT_EQ(c.keywords[1].key, "ZETA");
    EXPECT_EQ(c.keywords[1].category, "AB");
    EXPECT_EQ(c.CategoryOf(W("É")), "SV");
    ASSERT_EQ(c.intonation.size(), 2u);
    // Blanks around "|" stay in the patterns, which are cut to three characters.
    EXPECT_EQ(c.intonation[0].previous, "XX ");
    EXPECT_EQ(c.intonation[0].current, " YY");
    EXPECT_EQ(c.intonation[0].next, "ZZ");
    EXPECT_EQ(c.intonation[0].code, "123");   // cut to three characters
    EXPECT_EQ(c.intonation[1].current, "B");  // the part before "=" is trimmed as a whole
    EXPECT_EQ(c.intonation[1].code, "755");   // padded with the neutral level
}

TEST(ProsodyLoaderTest, EmptyIntonationSectionLoads) {
    ProsodyConfig c;
    ProsodyLoad load = Parse("[PROSÓDIA]\n[DURAÇÃO]\n[CHAVES]\n", c);
    EXPECT_TRUE(load.ok);
    EXPECT_TRUE(c.intonation.empty());
    EXPECT_EQ(c.hertz, ProsodyConfig::kDefaultHertz);
}

TEST(ProsodyLoaderTest, MessagesForMissingPartsAndBadLines) {
    ProsodyConfig c;
    ProsodyLoad none = ParseProsody(std::nullopt, c);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(Messages(none), std::vector<std::string>{"Configuração da prosódia não foi achada"});

    EXPECT_EQ(Messages(Parse("[CHAVES]\n[PROSÓDIA]\n", c)),
              std::vector<std::string>{"Duração dos difones errada ou ausente"});
    EXPECT_EQ(Messages(Parse("[DURAÇÃO]\n[PROSÓDIA]\n", c)),
              std::vector<std::string>{"Prosódia: palavras chaves ausentes"});
    EXPECT_EQ(Messages(Parse("[DURAÇÃO]\n[CHAVES]\n", c)),
              std::vector<std::string>{"Prosódia: especificações ausentes"});

    ProsodyLoad noEq = Parse("[DURAÇÃO]\na 80\n[CHAVES]\n[PROSÓDIA]\n", c);
    EXPECT_FALSE(noEq.ok);
    EXPECT_EQ(Messages(noEq),
              std::vector<std::string>{"Configuração da prosódia: fonema errado: a 80"});

    ProsodyLoad badKey = Parse("[DURAÇÃO]\n[CHAVES]\ncasa\n[PROSÓDIA]\n", c);
    EXPECT_FALSE(badKey.ok);
    EXPECT_EQ(Messages(badKey),
              std::vector<std::string>{"Configuração da prosódia: chave errada: casa"});

    ProsodyLoad badCode = Parse("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\nxx|yy\n", c);
    EXPECT_FALSE(badCode.ok);
    EXPECT_EQ(Messages(badCode),
              std::vector<std::string>{"Configuração da prosódia: chave errada: xx|yy"});
}

TEST(ProsodyLoaderTest, DurationThatIsNotAnIntegerIsReportedAndBecomes100) {
    ProsodyConfig c;
    ProsodyLoad load = Parse("[DURAÇÃO]\na=8x\ne=\ni=70\n[CHAVES]\n[PROSÓDIA]\n", c);
    EXPECT_TRUE(load.ok);
    EXPECT_EQ(Messages(load),
              (std::vector<std::string>{"Configuração da prosódia: fonema errado: a=8x",
                                        "Configuração da prosódia: fonema errado: e="}));
    EXPECT_EQ(c.DurationOf("a"), 100);
    EXPECT_EQ(c.DurationOf("e"), 100);
    EXPECT_EQ(c.DurationOf("i"), 70);
}

TEST(ProsodyLoaderTest, MalformedHertzLinesChangeNothing) {
    ProsodyConfig c;
    const std::string head = "[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n";
    ASSERT_TRUE(Parse(head + "TABHERTZ=1,2,3,4,5,6,7,8,9,10\n", c).ok);
    ASSERT_TRUE(Parse(head + "hertz=abc\nTABHERTZ=1,2,3\nTABHERTZ=1,2,3,4,5,6,7,8,9,x\n"
                             "TABHERTZ=9,8,x,6,5,4,3,2,1,0,11\n",
                      c)
                    .ok);
    EXPECT_EQ(c.hertz, ProsodyConfig::kDefaultHertz);
    EXPECT_EQ(c.tabHertz, (std::array<int, 10>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(c.intonation.empty());
    // Ten good values set the levels whatever trails them: a comma, more fields.
    ASSERT_TRUE(Parse(head + "TABHERTZ=10,20,30,40,50,60,70,80,90,100,\n", c).ok);
    EXPECT_EQ(c.tabHertz, (std::array<int, 10>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    ASSERT_TRUE(Parse(head + "TABHERTZ=0,1,2,3,4,5,6,7,8,9,10,11\n", c).ok);
    EXPECT_EQ(c.tabHertz, (std::array<int, 10>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ASSERT_TRUE(Parse(head + "TABHERTZ=1,2,3,4,5,6,7,8,9,10\n", c).ok);
    // A later load without TABHERTZ keeps the levels; HERTZ goes back to 230.
    ASSERT_TRUE(Parse(head + "hertz = 5\nHERTZ=180\n", c).ok);
    EXPECT_EQ(c.hertz, 180);
    EXPECT_EQ(c.tabHertz[9], 10);
}

TEST(ProsodyLoaderTest, CapacitiesKeepTheFirstEntries) {
    std::string file = "[DURAÇÃO]\n";
    for (int i = 0; i < 120; ++i)
        file += "p" + std::to_string(i % 10) + "=" + std::to_string(i) + "\n";
    file += "[CHAVES]\n";
    for (int i = 0; i < 1100; ++i) file += "w" + std::to_string(i) + "=ab\n";
    file += "[PROSÓDIA]\n";
    for (int i = 0; i < 310; ++i) file += "|x" + std::to_string(i % 10) + "|=123\n";
    ProsodyConfig c;
    ASSERT_TRUE(Parse(file, c).ok);
    EXPECT_EQ(c.durations.size(), ProsodyConfig::kMaxDurations);
    EXPECT_EQ(c.keywords.size(), ProsodyConfig::kMaxKeywords);
    EXPECT_EQ(c.intonation.size(), ProsodyConfig::kMaxIntonation);
    EXPECT_EQ(c.DurationOf("p3"), 3);  // the first entry in file order
    EXPECT_EQ(c.CategoryOf("W999"), "AB");
    EXPECT_EQ(c.CategoryOf("W1000"), "XX");
}

TEST(ParseIntTest, WholeIntegersOnly) {
    EXPECT_EQ(sonara::ParseInt(" 42 "), 42);
    EXPECT_EQ(sonara::ParseInt("-7"), -7);
    EXPECT_EQ(sonara::ParseInt("+7"), 7);
    EXPECT_EQ(sonara::ParseInt("4 2"), std::nullopt);
    EXPECT_EQ(sonara::ParseInt(""), std::nullopt);
    EXPECT_EQ(sonara::ParseInt("99999999999"), std::nullopt);
}

}  // namespace
