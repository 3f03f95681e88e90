// The display's tables: braille text to dots, and the chord table of the display keys.
#include "console/braille/BrailleTables.h"

#include <gtest/gtest.h>

#include <string>

#include "console/braille/tfbrunif.h"

namespace sonara {
namespace {

constexpr std::uint8_t kDot1 = 1, kDot2 = 2, kDot3 = 4, kDot4 = 8, kDot5 = 16, kDot6 = 32;

TEST(BrailleDots, SignsOfTheTranslator) {
    EXPECT_EQ(BrailleCellDots('#'), kDot3 | kDot4 | kDot5 | kDot6);  // number sign
    EXPECT_EQ(BrailleCellDots('{'), kDot4 | kDot6);                  // capital sign
    EXPECT_EQ(BrailleCellDots('~'), kDot5);
    EXPECT_EQ(BrailleCellDots('.'), kDot3);
    EXPECT_EQ(BrailleCellDots(' '), 0);
    EXPECT_EQ(BrailleCellDots('\''), kDot3);
    EXPECT_EQ(BrailleCellDots('\x80'), kDot4);  // Braille ASCII @
    EXPECT_EQ(BrailleCellDots('a'), kDot1);
    EXPECT_EQ(BrailleCellDots(','), kDot2);
    EXPECT_EQ(BrailleCellDots('-'), kDot3 | kDot6);
    // The division sign the translator writes for "`/" (Braille ASCII "4").
    Tfbrunif t;
    EXPECT_EQ(t.TranslateToBraille("`/"), "\xF7");
    EXPECT_EQ(BrailleCellDots('\xF7'), kDot2 | kDot5 | kDot6);
}

TEST(BrailleDots, LettersAndDigits) {
    // The first decade a-j, then k-t add dot 3, u v x y z add dots 3 and 6.
    const std::uint8_t decade[10] = {1, 3, 9, 25, 17, 11, 27, 19, 10, 26};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(BrailleCellDots('a' + i), decade[i]) << char('a' + i);
        EXPECT_EQ(BrailleCellDots('k' + i), decade[i] | kDot3) << char('k' + i);
        EXPECT_EQ(BrailleCellDots('A' + i), decade[i]) << "capitals show as lower case";
        // A digit shows as its upper letter: 1 -> a ... 9 -> i, 0 -> j.
        EXPECT_EQ(BrailleCellDots('0' + i), decade[(i + 9) % 10]) << i;
    }
    const char tail[] = "uvxyz";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(BrailleCellDots(tail[i]), decade[i] | kDot3 | kDot6) << tail[i];
    }
    EXPECT_EQ(BrailleCellDots('w'), kDot2 | kDot4 | kDot5 | kDot6);
}

TEST(BrailleDots, BlankAndFullCells) {
    EXPECT_EQ(BrailleAsciiDots(127), 63);
    for (int c = 0; c < 32; ++c) EXPECT_EQ(BrailleAsciiDots(c), 0) << c;
    // Identity entries above 127 have no cell: blank.
    EXPECT_EQ(BrailleAscii(134), 134);
    EXPECT_EQ(BrailleAscii(254), 254);
    EXPECT_EQ(BrailleCellDots(134), 0);
    EXPECT_EQ(BrailleCellDots(254), 0);
    // Backspace is a blank cell, 15 the cell of dots 4 and 6.
    EXPECT_EQ(BrailleAscii(8), 32);
    EXPECT_EQ(BrailleCellDots(15), kDot4 | kDot6);
    for (int c = 0; c < 256; ++c) EXPECT_LT(BrailleCellDots(c), 64) << c;
}

TEST(BrailleDots, TextToDotsCellByCell) {
    Tfbrunif t;
    const std::string dots = BrailleTextToDots(t.TranslateToBraille("Ana 25"));
    const std::string expected = {
        kDot4 | kDot6, 1, 1 | 8 | 16 | 4, 1, 0, kDot3 | kDot4 | kDot5 | kDot6, 3, 1 | 16};
    EXPECT_EQ(dots, expected);
    EXPECT_EQ(BrailleTextToDots(""), "");
}

TEST(DisplayKeys, ChordCharacters) {
    EXPECT_EQ(DisplayKeyChar(3), 'b');
    EXPECT_EQ(DisplayKeyChar(0), ' ');
    EXPECT_EQ(DisplayKeyChar(4), '.');
    EXPECT_EQ(DisplayKeyChar(49), '@');
    EXPECT_EQ(DisplayKeyChar(40), '{');
    EXPECT_EQ(DisplayKeyChar(60), '#');
    EXPECT_EQ(DisplayKeyChar(63), '\xE9');
    EXPECT_EQ(DisplayKeyChar(28), '\xE3');
    // Dots 7 and 8 beside other dots are ignored.
    EXPECT_EQ(DisplayKeyChar(64 | 3), 'b');
    EXPECT_EQ(DisplayKeyChar(128 | 1), 'a');
}

// The dots shown for a character and the character typed with those dots must agree: a
// cross-check of three tables written apart.
TEST(DisplayKeys, TypedChordShowsTheSameCell) {
    for (std::uint32_t chord = 0; chord < 64; ++chord) {
        const unsigned char c = static_cast<unsigned char>(DisplayKeyChar(chord));
        EXPECT_EQ(BrailleCellDots(c), chord) << "chord " << chord << " char " << int(c);
    }
}

}  // namespace
}  // namespace sonara
