// The engine's own data files (data/tavena) through the engine's loaders: they load
// without a message, and a few sentences come out as a Brazilian reader says them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "support/TavenaTestData.h"
#include "tavena/Charset.h"
#include "tavena/Pipeline.h"
#include "tavena/StressPosition.h"

using tavena_test::Join;
using tavena_test::U;
using tavena_test::W;

namespace {

std::string ReadData(const char* name) {
    std::ifstream in(std::filesystem::path(SONARA_TAVENA_DATA) / name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The phonemes of a text's words, as the transcription writes them: the words' phoneme
// lines joined by blanks, words by " | "; headers, pauses and boundaries left out.
std::string Words(sonara::TextPipeline& pipeline, std::string_view utf8) {
    std::string out;
    std::string word;
    for (const std::string& line : pipeline.Transcribed(W(utf8))) {
        if (line.empty() || line[0] == ';' || line[0] == '_') {
            if (line.empty() && !word.empty()) {
                out += (out.empty() ? "" : " | ") + word;
                word.clear();
            }
            continue;
        }
        std::string phoneme = line;
        std::erase(phoneme, '\xA8');  // syllable marks
        word += (word.empty() ? "" : " ") + phoneme;
    }
    return U(out);
}

// The pitch of the last phoneme line of a text that carries one.
int LastPitch(const sonara::Lines& lines) {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (it->empty() || (*it)[0] == ';') continue;
        std::size_t blanks = std::count(it->begin(), it->end(), ' ');
        if (blanks == 3) return std::stoi(it->substr(it->rfind(' ') + 1));
    }
    return 0;
}

class DataFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data.rules.LoadRulesText(ReadData("portug.nrl"));
        data.rules.LoadExceptionsText(ReadData("portug.exc"));
        data.abbreviations.Load(ReadData("portug.abr"));
        load = sonara::ParseProsody(ReadData("portug.pro"), data.prosody);
    }
    sonara::TavenaData data;
    sonara::ProsodyLoad load;
};

TEST_F(DataFilesTest, LoadWithoutMessages) {
    EXPECT_TRUE(load.ok);
    for (const std::string& m : load.messages) ADD_FAILURE() << U(m);
    EXPECT_GT(data.prosody.durations.size(), 40u);
    EXPECT_LE(data.prosody.durations.size(), sonara::ProsodyConfig::kMaxDurations);
    EXPECT_GT(data.prosody.keywords.size(), 100u);
    EXPECT_GT(data.prosody.intonation.size(), 30u);
    EXPECT_NE(data.prosody.hertz, sonara::ProsodyConfig::kDefaultHertz);
    EXPECT_GT(data.prosody.tabHertz[9], data.prosody.tabHertz[1]);
    EXPECT_GT(data.rules.RuleCount(), 150u);
    EXPECT_GT(data.rules.ExceptionCount(), 0u);
    EXPECT_GT(data.abbreviations.Count(), 50u);
    EXPECT_EQ(data.abbreviations.Dropped(), 0u);
}

TEST_F(DataFilesTest, EveryAbbreviationIsReachable) {
    // the first of two equal keys wins: a second one would never be used
    std::set<std::string> keys;
    const std::string bytes = ReadData("portug.abr");
    for (std::string_view line : sonara::FileLines(bytes)) {
        std::string trimmed = sonara::Trim(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        std::size_t equals = trimmed.find('=');
        ASSERT_NE(equals, std::string::npos) << U(trimmed);
        std::string key = sonara::Upper(sonara::Trim(trimmed.substr(0, equals)));
        EXPECT_TRUE(keys.insert(key).second) << "twice: " << U(key);
        EXPECT_FALSE(data.abbreviations.FindAbbreviation(key).empty()) << U(key);
    }
    EXPECT_EQ(keys.size(), data.abbreviations.Count());
}

TEST_F(DataFilesTest, NasalVowelsAndNasalDiphthongs) {
    sonara::TextPipeline p(data);
    EXPECT_EQ(Words(p, "mão tempo campo fim bom mundo"),
              "m >an w | t >en p u | k >an p u | f >in | b >on | m >un d u");
    EXPECT_EQ(Words(p, "falam homem mãe lições"),
              "f >a l an w | >o m en | m >an y | l i s >on y s2");
    // m and n before a vowel start the next syllable: the a before them is the closed,
    // nasalised a, the vowel stays oral
    EXPECT_EQ(Words(p, "cama banana"), "k >@ m @ | b @ n >@ n @");
    EXPECT_EQ(Words(p, "tomo"), "t >o m u");
}

TEST_F(DataFilesTest, TAndDBeforeTheSoundIAndFinalVowels) {
    sonara::TextPipeline p(data);
    EXPECT_EQ(Words(p, "tia dia leite tarde noites"),
              "tS >i @ | dZ >i @ | l >e y tS I | t >a r@ dZ I | n >o y tS I s2");
    EXPECT_EQ(Words(p, "tatu dado casa livro"), "t a t >U | d >a d u | k >a z @ | l >i v r u");
}

TEST_F(DataFilesTest, LettersOfPortugueseSpelling) {
    sonara::TextPipeline p(data);
    EXPECT_EQ(Words(p, "filho ninho chave queijo guerra"),
              "f >i l y u | n >i J u | S >a v I | k >e y Z u | g >E R @");
    EXPECT_EQ(Words(p, "rato carro honra caro"), "R >a t u | k >a R u | >on R @ | k >a r u");
    EXPECT_EQ(Words(p, "sol alto caça hoje gente"),
              "s >O w | >a w t u | k >a s @ | >o Z I | Z >en tS I");
    EXPECT_EQ(Words(p, "xadrez caixa exame texto"),
              "S a d r >e s2 | k >a y S @ | e z >@ m I | t >e s2 t u");
}

TEST_F(DataFilesTest, FinalRAndSJoinAVowelThatFollows) {
    sonara::TextPipeline p(data);
    // "mar azul": r2 before a vowel becomes the tap; "mas agora": s2 becomes z
    EXPECT_EQ(Words(p, "mar azul"), "m >a r | a z >U w");
    EXPECT_EQ(Words(p, "mar calmo"), "m >a r2 | k >a w m u");
    EXPECT_EQ(Words(p, "mas agora"), "m >a z | a g >O r @");
    EXPECT_EQ(Words(p, "mas depois"), "m >a s2 | d e p >o y s2");
}

TEST_F(DataFilesTest, AbbreviationsAreExpanded) {
    sonara::TextPipeline p(data);
    EXPECT_EQ(U(p.Normalised(W("O Dr. Paulo e a Sra. Ana moram na Av. Brasil, etc. e tal"))),
              "O doutor Paulo e a senhora Ana moram na avenida Brasil, etcétera e tal");
    EXPECT_EQ(tavena_test::Squeeze(U(p.Normalised(W("Comprei 2 kg. de arroz")))),
              "Comprei dois quilos de arroz");
    // a sentence that ends in a word of the language is not taken for an abbreviation
    EXPECT_EQ(U(p.Normalised(W("Fomos ao mar. Depois"))), "Fomos ao mar. Depois");
}

TEST_F(DataFilesTest, AQuestionEndsHigherThanAStatement) {
    sonara::TextPipeline p(data);
    for (const char* words :
         {"Você gosta de pão", "O menino comprou uma bola", "Você vai ao café", "Ela está aqui"}) {
        std::string text = words;
        int statement = LastPitch(p.PhonemeLines(W(text + "."), 1.0, 1.0));
        int question = LastPitch(p.PhonemeLines(W(text + "?"), 1.0, 1.0));
        EXPECT_GT(statement, 0) << words;
        EXPECT_GT(question, statement * 5 / 4) << words;
    }
}

TEST_F(DataFilesTest, StressedSyllablesAsWritten) {
    struct Case {
        const char* word;
        std::size_t position;
    };
    for (Case c :
         {Case{"casa", 2},     Case{"café", 4},    Case{"pássaro", 2}, Case{"queijo", 3},
          Case{"quase", 3},    Case{"sereia", 4},  Case{"muito", 2},   Case{"rainha", 3},
          Case{"ainda", 2},    Case{"homens", 2},  Case{"órgão", 1},   Case{"amor", 3},
          Case{"sair", 3},     Case{"mas", 2},     Case{"apoiado", 5}, Case{"continuou", 7},
          Case{"abençoai", 7}, Case{"passeei", 6}, Case{"sairmos", 3}, Case{"concluindo", 7},
          Case{"ok", 1}}) {
        EXPECT_EQ(sonara::StressedLetter(W(c.word), data.rules), c.position) << c.word;
    }
}

}  // namespace
