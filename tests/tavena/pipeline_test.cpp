#include "tavena/Pipeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/TavenaTestData.h"

using tavena_test::Join;
using tavena_test::U;
using tavena_test::W;

namespace {

// Every stage of one text in the golden file's layout (UTF-8).
std::string AllStages(sonara::TextPipeline& p, std::string_view utf8) {
    const std::string text = W(utf8);
    std::string out = "# " + std::string(utf8) + "\n";
    out += "== normalize\n" + U(p.Normalised(text)) + "\n";
    out += "== tag\n" + U(Join(p.Tagged(text))) + "\n";
    out += "== intonation\n" + U(Join(p.Intonation(text))) + "\n";
    out += "== transcribe\n" + U(Join(p.Transcribed(text))) + "\n";
    out += "== pho\n" + U(Join(p.PhonemeLines(text, 1.0, 0.8))) + "\n";
    return out;
}

std::string ReadGolden(const char* name) {
    auto path = std::filesystem::path(SONARA_TAVENA_GOLDEN) / name;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PipelineTest : public ::testing::Test {
  protected:
    void SetUp() override { tavena_test::LoadAll(data); }
    sonara::TavenaData data;
};

TEST_F(PipelineTest, StagesMatchTheGoldenFile) {
    sonara::TextPipeline pipeline(data);
    EXPECT_EQ(AllStages(pipeline, "O Sr. acha 2 casas, amar a xerox."), ReadGolden("sentence.txt"));
}

TEST_F(PipelineTest, FillerStateCarriesFromOneTextToTheNext) {
    data.diphones.Load("_-k\nk-a\na-z\nz-a\na-_\n");  // no "_-_"
    sonara::TextPipeline pipeline(data);
    sonara::Lines first = pipeline.PhonemeLines(W("casa"), 1.0, 1.0);
    sonara::Lines again = pipeline.PhonemeLines(W("casa"), 1.0, 1.0);
    // The first text has no phoneme before its opening comment; the second still has
    // the final pause of the first, and "_-_" is missing.
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], ";");
    sonara::Lines expected = first;
    expected.insert(expected.begin(), "_ 50");
    EXPECT_EQ(again, expected);
}

}  // namespace
