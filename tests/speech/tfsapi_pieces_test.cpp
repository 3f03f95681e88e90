// How Speak cuts texts into pieces on the built-in path.
#include "speech/tfsapi_pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonara {
namespace {

// Each step as one line: pieces separated by " | ", written kind:text or kind:char.
std::vector<std::string> Cut(std::string text) {
    text += ' ';
    PieceCutter cutter(text);
    std::vector<SpeechPiece> step;
    std::vector<std::string> out;
    while (cutter.Next(step)) {
        std::string line;
        for (const SpeechPiece& p : step) {
            if (!line.empty()) line += " | ";
            using K = SpeechPiece::Kind;
            switch (p.kind) {
                case K::kNamedSound:
                    line += "sound:" + std::string(p.text);
                    break;
                case K::kSpell:
                    line += "spell:" + std::string(p.text);
                    break;
                case K::kNumber:
                    line += "number:" + std::string(p.text);
                    break;
                case K::kPhrase:
                    line += "phrase:" + std::string(p.text);
                    break;
                case K::kPunctuation:
                    line += std::string("pause:") + p.ch + (p.spaceAfter ? "+" : "");
                    break;
                case K::kClick:
                    line += "click";
                    break;
                case K::kChar:
                    line += std::string("char:") + p.ch;
                    break;
                case K::kTab:
                    line += "tab";
                    break;
            }
        }
        out.push_back(line);
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(PieceCutter, ZerosAreNamedOneByOneAndTheNumberAfterThemIsRead) {
    EXPECT_EQ(Cut("0012"), (Lines{"sound:_zero | sound:_zero | number:12", "phrase: "}));
    EXPECT_EQ(Cut("0 0 1 2"), (Lines{"sound:_zero | phrase: ", "sound:_zero | phrase: ", "number:1",
                                     "phrase: ", "number:2", "phrase: "}));
}

TEST(PieceCutter, MinusSignsAndLongNumbersAreSpelled) {
    EXPECT_EQ(Cut("-5"), (Lines{"sound:_MENOS", "number:5", "phrase: "}));
    EXPECT_EQ(Cut("5-3"), (Lines{"spell:5-3", "phrase: "}));
    EXPECT_EQ(Cut("1234567"), (Lines{"spell:1234567", "phrase: "}));
    EXPECT_EQ(Cut("123456"), (Lines{"number:123456", "phrase: "}));
    EXPECT_EQ(Cut("3.5"), (Lines{"number:3", "pause:.", "number:5", "phrase: "}));
}

TEST(PieceCutter, HyphensJoinWordsOrAreNamedWithTheCommaPause) {
    EXPECT_EQ(Cut("guarda-chuva"), (Lines{"phrase:guarda", "phrase:chuva "}));
    EXPECT_EQ(Cut("a - b"), (Lines{"phrase:a ", "pause:-+", "phrase: b "}));
    EXPECT_EQ(Cut("a-1"), (Lines{"phrase:a", "sound:_MENOS", "number:1", "phrase: "}));
    EXPECT_EQ(Cut("a-%"), (Lines{"phrase:a", "char:-", "char:%", "phrase: "}));
    // The fifth of five: a click first, then named with the pause as a space follows.
    EXPECT_EQ(Cut("-----"),
              (Lines{"pause:-", "pause:-", "pause:-", "pause:-", "click | pause:-+", "phrase: "}));
}

TEST(PieceCutter, WwwIsSpelledButOnlyAsAPhraseOfItsOwn) {
    EXPECT_EQ(Cut("www.x"), (Lines{"spell:www", "pause:.", "phrase:x "}));
    EXPECT_EQ(Cut("WwW"), (Lines{"phrase:WwW "}));  // with the appended space: not WWW
    EXPECT_EQ(Cut("ir www.x"), (Lines{"phrase:ir www", "pause:.", "phrase:x "}));
}

TEST(PieceCutter, ColonBeforeTwoSlashesIsNamedWithoutItsPause) {
    EXPECT_EQ(Cut("http://a"), (Lines{"phrase:http", "spell::", "char:/", "char:/", "phrase:a "}));
    EXPECT_EQ(Cut("a: b"), (Lines{"phrase:a", "pause::+", "phrase: b "}));
}

TEST(PieceCutter, TheFifthAndEveryLaterRepeatOfASymbolIsAClick) {
    EXPECT_EQ(Cut("*****"), (Lines{"char:*", "char:*", "char:*", "char:*", "click", "phrase: "}));
    EXPECT_EQ(Cut("******"),
              (Lines{"char:*", "char:*", "char:*", "char:*", "click", "click", "phrase: "}));
    // Words and numbers between the repeats do not reset the count.
    EXPECT_EQ(Cut("*a*1*b*c*"), (Lines{"char:*", "phrase:a", "char:*", "number:1", "char:*",
                                       "phrase:b", "char:*", "phrase:c", "click", "phrase: "}));
    // A full stop after the click is silent: the click took its place.
    EXPECT_EQ(Cut("....."),
              (Lines{"pause:.", "pause:.", "pause:.", "pause:.", "click", "phrase: "}));
}

TEST(PieceCutter, EmptyTextSpeaksTheAppendedSpaceAndControlsAreSilentButTab) {
    EXPECT_EQ(Cut(""), (Lines{"phrase: "}));
    EXPECT_EQ(Cut("\r\n\t"), (Lines{"", "", "tab", "phrase: "}));
}

TEST(PieceCutter, LongPhrasesAreCutAt999Characters) {
    std::string text(1500, 'a');
    text += '\xE7';
    auto lines = Cut(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), std::string("phrase:").size() + 999);
    EXPECT_EQ(UpperLatin("a\xE7\xFF\xDFz1"), "A\xC7\xDF\xDFZ1");
}

TEST(PieceCutter, AMegabyteOfEveryByteValueIsCutToTheEnd) {
    std::string text(1 << 20, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 % 256);
    text += ' ';
    PieceCutter cutter(text);
    std::vector<SpeechPiece> step;
    std::size_t steps = 0;
    while (cutter.Next(step)) ++steps;
    EXPECT_TRUE(cutter.Rest().empty());
    EXPECT_GT(steps, 1000u);
    EXPECT_LE(steps, text.size());
}

}  // namespace
}  // namespace sonara
