// The shipped Portuguese rule file and exception list: they load whole, each rule group
// gives the expected phonemes, and the stressed syllable lands where a reader puts it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "diphone/tfTradut.h"
#include "diphone/tfTradut_files.h"
#include "platform/cp1252.h"

namespace sonara {
namespace {

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(SONARA_DIPHONE_DATA) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class Portuguese : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        rules_ = ReadData("regras.rgr");
        exceptions_ = ReadData("portug.exc");
        tradut_ = new TfTradut;
        tradut_->LoadRulesText(rules_);
        tradut_->LoadExceptionsText(exceptions_);
    }
    static void TearDownTestSuite() { delete tradut_; }

    // One word, UTF-8 in, its phoneme groups out.
    static std::string Say(const std::string& utf8) {
        return tradut_->TextToPhonemes(win::Utf8ToCp1252(utf8));
    }
    static int Stress(const std::string& utf8) {
        return tradut_->StressPosition(win::Utf8ToCp1252(utf8));
    }

    struct Case {
        const char* word;
        const char* phonemes;
    };
    static void ExpectAll(const std::vector<Case>& cases) {
        for (const Case& c : cases) EXPECT_EQ(Say(c.word), c.phonemes) << c.word;
    }

    static std::string rules_;
    static std::string exceptions_;
    static TfTradut* tradut_;
};

std::string Portuguese::rules_;
std::string Portuguese::exceptions_;
TfTradut* Portuguese::tradut_ = nullptr;

TEST_F(Portuguese, BothFilesLoadWithoutASkippedLine) {
    ASSERT_FALSE(rules_.empty());
    ASSERT_FALSE(exceptions_.empty());
    EXPECT_EQ(tradut_->SkippedRuleLines(), 0u);
    EXPECT_EQ(tradut_->SkippedExceptionLines(), 0u);
    EXPECT_GT(tradut_->ExceptionCount(), 50u);
    // No part of a rule is cut by the loader's widths.
    for (std::string_view line : SplitLines(rules_)) {
        if (IsCommentLine(line)) continue;
        std::optional<RuleParts> whole = ParseRuleLine(line, 100);
        ASSERT_TRUE(whole) << line;
        EXPECT_LE(whole->left.size(), kContextWidth) << line;
        EXPECT_LE(whole->match.size(), kContextWidth) << line;
        EXPECT_LE(whole->right.size(), kContextWidth) << line;
        EXPECT_LE(whole->output.size(), TfTradut::kOutputWidth) << line;
    }
}

TEST_F(Portuguese, EveryLetterAndMarkHasARule) {
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVXZ'^\"")) {
        EXPECT_FALSE(tradut_->Chain(static_cast<unsigned char>(c)).empty()) << c;
    }
    // Nothing in a Portuguese word is spelled out by name.
    for (const char* word : {"a\xE7\xFA"
                             "car",
                             "ma\xF1"
                             "ana",
                             "p\xF4r", "\xE0s",
                             "ling\xFCi\xE7"
                             "a"}) {
        EXPECT_EQ(tradut_->TextToPhonemes(word).find('_'), std::string::npos) << word;
    }
}

TEST_F(Portuguese, OpenAndClosedEAndO) {
    ExpectAll({{"festa", "[ f/E/s/ t/a^]"},
               {"mesa", "[ m/E^/ z/a^]"},
               {"beleza", "[ b/e/ l/E^/ z/a^]"},
               {"comer", "[ k/o/ m/E^/rr]"},
               {"pele", "[ p/E/ l/i]"},
               {"ele", "[E^/ l/i]"},
               {"porta", "[ p/O/rr/ t/a^]"},
               {"gostoso", "[ g/o/s/ t/O^/ z/u]"},
               {"gostosa", "[ g/o/s/ t/O/ z/a^]"},
               {"amor", "[a/ m/O^/rr]"},
               {"você", "[ v/o/ s/E^]"},
               {"avó", "[a/ v/O]"},
               // closed by the exception list, the plural with them
               {"todas", "[ t/O^/ d/a^/s]"},
               {"cachorros", "[ k/a/ x/O^/ rr/u/s]"},
               {"pescoço", "[ p/e/s/ k/O^/ s/u]"},
               {"corpo", "[ k/O^/rr/ p/u]"},
               {"posso", "[ p/O/ s/u]"}});
}

TEST_F(Portuguese, NasalVowelsAndDiphthongs) {
    ExpectAll({{"mão", "[ m/A~w]"},
               {"pães", "[ p/A~y/s]"},
               {"põe", "[ p/O~y]"},
               {"irmã", "[i/rr/ m/A~]"},
               {"cantam", "[ k/A~/ t/a~w]"},
               {"homem", "[/O^/ m/e~y]"},
               {"também", "[ t/a~/ b/E~y]"},
               {"tempo", "[ t/E~/ p/u]"},
               {"lindo", "[ l/I~/ d/u]"},
               {"algum", "[a/w/ g/U~]"},
               {"cama", "[ k/A^/ m/a^]"},
               {"banho", "[ b/A^/ nh/u]"}});
}

TEST_F(Portuguese, TAndDBeforeAnISoundAndFinalUnstressedVowels) {
    ExpectAll({{"tia", "[ tch/I/ a^]"},
               {"dia", "[ dj/I/ a^]"},
               {"tipo", "[ tch/I/ p/u]"},
               {"leite", "[ l/E^/y/ tch/i]"},
               {"verdade", "[ v/e/rr/ d/A/ dj/i]"},
               {"pode", "[ p/O/ dj/i]"},
               {"gente", "[ j/E~/ tch/i]"},
               {"dedo", "[ d/E^/ d/u]"},
               {"gato", "[ g/A/ t/u]"},
               {"tarde", "[ t/A/rr/ dj/i]"},
               {"lobos", "[ l/O^/ b/u/s]"},
               {"advogado", "[a/d/ v/o/ g/A/ d/u]"}});
}

// A final unstressed a is reduced (written closed), in words of more than one syllable
// only: the small words keep an open a, and a written accent keeps its stress.
TEST_F(Portuguese, FinalUnstressedAIsReducedButNotInOneSyllableWords) {
    ExpectAll({{"casas", "[ k/A/ z/a^/s]"},
               {"fica", "[ f/I/ k/a^]"},
               {"lua", "[ l/U/ a^]"},
               {"a", "[a]"},
               {"as", "[a/s]"},
               {"das", "[ d/a/s]"},
               {"na", "[ n/a]"},
               {"mas", "[ m/a/s]"},
               {"pra", "[ p/r/a]"},
               {"sofá", "[ s/o/ f/A]"}});
}

TEST_F(Portuguese, CodaLAndTheRFamily) {
    ExpectAll({{"sol", "[ s/O/w]"},
               {"papel", "[ p/a/ p/E/w]"},
               {"alto", "[A/w/ t/u]"},
               {"funil", "[ f/u/ n/I/w]"},
               {"caro", "[ k/A/ r/u]"},
               {"rato", "[ rr/A/ t/u]"},
               {"carro", "[ k/A/ rr/u]"},
               {"honra", "[/O~/ rr/a^]"},
               {"Israel", "[i/z/ rr/a/ E/w]"},
               {"melro", "[ m/E/w/ rr/u]"},
               {"prato", "[ p/r/A/ t/u]"},
               {"porta", "[ p/O/rr/ t/a^]"}});
}

TEST_F(Portuguese, TheSSoundsAndZ) {
    ExpectAll({{"assado", "[a/ s/A/ d/u]"},
               {"caça", "[ k/A/ s/a^]"},
               {"nascer", "[ n/a/ s/E^/rr]"},
               {"exceção", "[e/ s/e/ s/A~w]"},
               {"piscina", "[ p/i/ s/I/ n/a^]"},
               {"cresça", "[ k/r/E/ s/a^]"},
               {"casa", "[ k/A/ z/a^]"},
               {"mesmo", "[ m/E^/z/ m/u]"},
               {"rasgar", "[ rr/a/z/ g/A/rr]"},
               {"zebra", "[ z/E/ b/r/a^]"},
               {"azul", "[a/ z/U/w]"},
               {"vez", "[ v/e^/s]"}});
}

TEST_F(Portuguese, TheReadingsOfX) {
    ExpectAll({{"xadrez", "[ x/a/ d/r/E^/s]"},
               {"caixa", "[ k/A/y/ x/a^]"},
               {"peixe", "[ p/E^/y/ x/i]"},
               {"enxame", "[e~/ x/A^/ m/i]"},
               {"lixo", "[ l/I/ x/u]"},
               {"táxi", "[ t/A/ ks/i]"},
               {"fixo", "[ f/I/ ks/u]"},
               {"exame", "[e/ z/A^/ m/i]"},
               {"sexta", "[ s/E^/s/ t/a^]"},
               {"trouxe", "[ t/r/O^/w/ s/i]"},
               {"próximo", "[ p/r/O/ s/i/ m/u]"},
               {"tórax", "[ t/O/ r/a/ks]"}});
}

TEST_F(Portuguese, DigraphsQuGuGAndJAndSilentH) {
    ExpectAll({{"chave", "[ x/A/ v/i]"},
               {"filho", "[ f/I/ lh/u]"},
               {"ninho", "[ n/I/ nh/u]"},
               {"queijo", "[ k/E^/y/ j/u]"},
               {"quando", "[ kw/A~/ d/u]"},
               {"guerra", "[ g/E/ rr/a^]"},
               {"água", "[A/ gw/a]"},
               {"agüentar", "[a/ gw/e~/ t/A/rr]"},
               {"gente", "[ j/E~/ tch/i]"},
               {"girafa", "[ j/i/ r/A/ f/a^]"},
               {"hora", "[/O/ r/a^]"},
               {"hoje", "[/O^/ j/i]"}});
}

TEST_F(Portuguese, HiatusAndDiphthongs) {
    ExpectAll({{"saída", "[ s/a/ I/ d/a^]"},
               {"país", "[ p/a/ I/s]"},
               {"pais", "[ p/A/y/s]"},
               {"sair", "[ s/a/ I/rr]"},
               {"ainda", "[a/ I~/ d/a^]"},
               {"rainha", "[ rr/a/ I/ nh/a^]"},
               {"juiz", "[ j/u/ I/s]"},
               {"saúde", "[ s/a/ U/ dj/i]"},
               {"caiu", "[ k/a/ Iw]"},
               {"praia", "[ p/r/A/y/ a^]"},
               {"muito", "[ m/U/y/ t/u]"},
               {"bairro", "[ b//Ay/ rr/u]"}});
}

TEST_F(Portuguese, RulesThatMoveTheScannedStress) {
    // MarkStress puts these on the u of qu/gu or on a vowel before -im; the rules
    // give the stress to the syllable a reader stresses.
    ExpectAll({{"parque", "[ p/Arr/ k/i]"},
               {"ataque", "[a/ t/A/ k/i]"},
               {"sangue", "[ s/A~/ g/i]"},
               {"fiquem", "[ f/I/ k/e~y]"},
               {"risquem", "[ rr/Is/ k/e~y]"},
               {"aqui", "[a/ k/I]"},
               {"fiquei", "[ f/i/ k//E^y]"},
               {"quais", "[ kw//Ay/s]"},
               {"seguiu", "[ s/e/ g//Iw]"},
               {"amendoim", "[a/ m/e~/ d//o I~]"},
               {"ruins", "[ rr//u I~s]"},
               {"ilha", "[I/ lh/a^]"}});
}

TEST_F(Portuguese, StressPositionInTheWrittenWord) {
    struct Expected {
        const char* word;
        int position;
    };
    for (const Expected& e : std::vector<Expected>{{"casa", 2},
                                                   {"pássaro", 2},
                                                   {"queijo", 3},
                                                   {"adão", 3},
                                                   {"abundou", 6},
                                                   {"quando", 3},
                                                   {"muito", 2},
                                                   {"quais", 3},
                                                   {"parque", 2},
                                                   {"amendoim", 7},
                                                   {"ilhas", 1},
                                                   {"àquele", 4},
                                                   {"sol", 2},
                                                   {"mar", 2},
                                                   {"órgão", 1},
                                                   {"bcd", 0}}) {
        EXPECT_EQ(Stress(e.word), e.position) << e.word;
    }
}

}  // namespace
}  // namespace sonara
