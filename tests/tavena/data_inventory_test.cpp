// Every phoneme the engine's rules and exceptions can write is one of the voice's
// (data/tavena/phonemes.tsv) and has a duration in portug.pro; every rule line is read
// whole and joins a chain; every letter a word may hold has a rule of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "support/TavenaTestData.h"
#include "tavena/Charset.h"
#include "tavena/Pipeline.h"
#include "tavena/Transcribe.h"

using tavena_test::U;

namespace {

std::string ReadData(const char* name) {
    std::ifstream in(std::filesystem::path(SONARA_TAVENA_DATA) / name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> Inventory() {
    std::set<std::string> names;
    std::istringstream in(ReadData("phonemes.tsv"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        names.insert(line.substr(0, line.find('\t')));
    }
    return names;
}

// The phonemes of a rule output as the transcription splits it: at "&", without the
// syllable mark, only the first 11 characters used.
std::vector<std::string> OutputPhonemes(std::string_view output) {
    std::vector<std::string> out;
    std::string piece;
    for (char c : output.substr(0, 11)) {
        if (c == '&') {
            if (!piece.empty()) out.push_back(piece);
            piece.clear();
        } else if (c != '\xA8') {
            piece += c;
        }
    }
    if (!piece.empty()) out.push_back(piece);
    return out;
}

class DataInventoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rules.LoadRulesText(ReadData("portug.nrl"));
        rules.LoadExceptionsText(ReadData("portug.exc"));
        ASSERT_TRUE(sonara::ParseProsody(ReadData("portug.pro"), prosody).ok);
        inventory = Inventory();
        for (const sonara::Duration& d : prosody.durations) timed.insert(d.phoneme);
    }
    void ExpectKnown(const std::string& phoneme, const std::string& where) {
        EXPECT_TRUE(inventory.count(phoneme)) << U(phoneme) << " from " << U(where);
        EXPECT_TRUE(timed.count(phoneme)) << "no duration for " << U(phoneme);
    }
    sonara::TavenaTradut rules;
    sonara::ProsodyConfig prosody;
    std::set<std::string> inventory;
    std::set<std::string> timed;
};

TEST_F(DataInventoryTest, InventoryAndPausesHaveDurations) {
    ASSERT_GE(inventory.size(), 35u);
    for (const std::string& p : inventory) EXPECT_TRUE(timed.count(p)) << p;
    for (const char* pause : {"__", "_,", "_;", "_:", "_.", "_!", "_?", "_(", "_)"}) {
        EXPECT_TRUE(timed.count(pause)) << pause;
    }
    for (const sonara::Duration& d : prosody.durations) {
        EXPECT_GT(d.ms, 0) << d.phoneme;
        EXPECT_LT(d.ms, 1000) << d.phoneme;
    }
}

TEST_F(DataInventoryTest, EveryRuleWritesKnownPhonemes) {
    for (int first = 32; first < 256; ++first) {
        for (const sonara::TavenaRule& r : rules.Chain(static_cast<unsigned char>(first))) {
            std::string where = r.left + "(" + r.match + ")" + r.right + "=" + r.output;
            EXPECT_LE(r.output.size(), 11u) << U(where) << ": only 11 characters are used";
            for (const std::string& p : OutputPhonemes(r.output)) ExpectKnown(p, where);
        }
    }
}

TEST_F(DataInventoryTest, EveryRuleLineIsReadWhole) {
    std::size_t lines = 0;
    const std::string bytes = ReadData("portug.nrl");
    for (std::string_view line : sonara::FileLines(bytes)) {
        if (line.empty() || line[0] == ';') continue;
        ++lines;
        std::size_t open = line.find('(');
        std::size_t close = line.find(')');
        std::size_t equals = line.find('=', close);
        ASSERT_TRUE(open != line.npos && close != line.npos && equals != line.npos)
            << U(std::string(line));
        EXPECT_LE(open, 5u) << U(std::string(line));
        EXPECT_GE(close - open - 1, 1u) << U(std::string(line));
        EXPECT_LE(close - open - 1, 5u) << U(std::string(line));
        EXPECT_LE(equals - close - 1, 5u) << U(std::string(line));
    }
    EXPECT_EQ(rules.RuleCount(), lines);
}

TEST_F(DataInventoryTest, EveryWordLetterHasARuleWithoutContext) {
    for (int c = 1; c < 256; ++c) {
        if (!sonara::IsWordLetter(static_cast<unsigned char>(c))) continue;
        unsigned char upper = sonara::UpperChar(static_cast<unsigned char>(c));
        bool plain = false;
        for (const sonara::TavenaRule& r : rules.Chain(upper)) {
            plain = plain || (r.match.size() == 1 && r.left.empty() && r.right.empty());
        }
        EXPECT_TRUE(plain) << "no rule for " << U(std::string(1, static_cast<char>(upper)));
    }
}

TEST_F(DataInventoryTest, EveryExceptionIsWrittenInKnownPhonemes) {
    // comment lines are stored too, as words that never match
    std::size_t lines = 0;
    const std::string bytes = ReadData("portug.exc");
    for (std::string_view line : sonara::FileLines(bytes)) {
        if (line.empty()) continue;
        ++lines;
        if (line[0] == ';') continue;
        std::size_t equals = line.find('=');
        ASSERT_NE(equals, line.npos) << U(std::string(line));
        std::string word = sonara::Upper(line.substr(0, equals));
        std::string alias = word;
        rules.ApplyException(alias);
        EXPECT_NE(alias, word) << U(word) << " is not found";
        sonara::Lines out;
        sonara::ApplyRules(alias, sonara::FindStress(alias), rules, out);
        for (const std::string& l : out) {
            if (l.empty()) continue;
            std::string p = l;
            std::erase(p, '>');
            std::erase(p, '\xA8');
            ExpectKnown(p, word);
        }
    }
    EXPECT_EQ(rules.ExceptionCount(), lines);
}

}  // namespace
