#include "console/braille/BrailleTables.h"

#include <array>
#include <utility>

namespace sonara {
namespace {

// Windows-1252 codes whose Braille ASCII code is not the code itself.
constexpr std::pair<unsigned char, unsigned char> kAsciiExceptions[] = {
    {1, 0},    {2, 0},    {3, 0},    {4, 0},    {5, 0},     {6, 0},     {7, 0},     {8, 32},
    {9, 0},    {10, 0},   {11, 0},   {12, 0},   {13, 0},    {14, 0},    {15, 46},   {16, 0},
    {17, 0},   {18, 0},   {19, 0},   {20, 0},   {21, 0},    {22, 0},    {23, 0},    {24, 0},
    {25, 0},   {26, 0},   {27, 0},   {28, 0},   {29, 0},    {30, 0},    {31, 0},    {33, 54},
    {34, 56},  {36, 59},  {40, 60},  {41, 62},  {42, 57},   {43, 54},   {44, 49},   {46, 39},
    {47, 52},  {48, 106}, {49, 97},  {50, 98},  {51, 99},   {52, 100},  {53, 101},  {54, 102},
    {55, 103}, {56, 104}, {57, 105}, {58, 51},  {59, 50},   {60, 123},  {61, 55},   {62, 111},
    {63, 53},  {64, 58},  {91, 40},  {92, 44},  {93, 41},   {94, 96},   {96, 44},   {123, 46},
    {124, 95}, {125, 48}, {126, 34}, {128, 64}, {129, 92},  {130, 61},  {131, 42},  {132, 62},
    {133, 36}, {135, 38}, {136, 60}, {138, 33}, {139, 125}, {141, 37},  {145, 56},  {146, 56},
    {147, 63}, {148, 91}, {149, 39}, {151, 58}, {160, 40},  {161, 54},  {162, 43},  {163, 41},
    {166, 95}, {168, 32}, {170, 97}, {171, 56}, {172, 94},  {176, 48},  {178, 98},  {179, 99},
    {180, 57}, {185, 97}, {186, 79}, {187, 56}, {191, 53},  {192, 36},  {193, 40},  {194, 42},
    {195, 51}, {196, 62}, {197, 42}, {198, 62}, {199, 38},  {200, 33},  {201, 61},  {202, 60},
    {203, 36}, {204, 47}, {205, 39}, {206, 37}, {207, 93},  {209, 125}, {210, 43},  {211, 63},
    {212, 91}, {213, 91}, {215, 56}, {217, 41}, {218, 41},  {219, 58},  {220, 92},  {224, 36},
    {225, 40}, {226, 42}, {227, 62}, {228, 62}, {229, 42},  {230, 62},  {231, 38},  {232, 33},
    {233, 61}, {234, 60}, {235, 36}, {236, 47}, {237, 47},  {238, 37},  {239, 125}, {241, 125},
    {242, 43}, {243, 43}, {244, 63}, {245, 91}, {246, 91},  {247, 52},  {249, 41},  {250, 41},
    {251, 58}, {252, 92}, {253, 44}, {255, 52},
};

constexpr std::array<unsigned char, 256> MakeAsciiTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (const auto& [code, ascii] : kAsciiExceptions) table[code] = ascii;
    return table;
}

constexpr std::array<unsigned char, 256> kAscii = MakeAsciiTable();

// Dot numbers written as decimal digits, e.g. 3456.
constexpr std::uint8_t Dots(int digits) {
    std::uint8_t bits = 0;
    for (; digits > 0; digits /= 10) bits |= static_cast<std::uint8_t>(1u << (digits % 10 - 1));
    return bits;
}

// Braille ASCII 32..95: space ! " # $ % & ' ( ) * + , - . / 0-9 : ; < = > ? @ A-Z [ \ ] ^ _
constexpr int kDotsFrom32[64] = {
    0,    2346, 5,    3456,   1246, 146,   12346, 3,    12356, 23456, 16,    346,  6,
    36,   46,   34,   356,    2,    23,    25,    256,  26,    235,   2356,  236,  35,
    156,  56,   126,  123456, 345,  1456,  4,     1,    12,    14,    145,   15,   124,
    1245, 125,  24,   245,    13,   123,   134,   1345, 135,   1234,  12345, 1235, 234,
    2345, 136,  1236, 2456,   1346, 13456, 1356,  246,  1256,  12456, 45,    456,
};

constexpr std::array<std::uint8_t, 128> MakeDotsTable() {
    std::array<std::uint8_t, 128> table{};  // 0..31 blank
    for (int c = 32; c < 96; ++c) table[c] = Dots(kDotsFrom32[c - 32]);
    for (int c = 96; c < 127; ++c) table[c] = table[c - 32];  // lower case as upper case
    table[127] = 63;
    return table;
}

constexpr std::array<std::uint8_t, 128> kDots = MakeDotsTable();

// Chord value 0..63 -> character; the console keyboard's table with a full stop for
// dot 3 and the at sign for dots 1, 5, 6.
constexpr unsigned char kDisplayKeys[64] = {
    ' ',  'a',  ',',  'b',  '.',  'k', ';',  'l',   // 0-7
    '^',  'c',  'i',  'f',  0xED, 'm', 's',  'p',   // 8-15
    '~',  'e',  ':',  'h',  '*',  'o', '!',  'r',   // 16-23
    0xAC, 'd',  'j',  'g',  0xE3, 'n', 't',  'q',   // 24-31
    0xFD, 0xE2, '?',  0xEA, '-',  'u', '"',  'v',   // 32-39
    '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x', 0xE8, 0xE7,  // 40-47
    '$',  '@',  0xFF, 0xFC, '}',  'z', '=',  0xE1,  // 48-55
    '_',  0xF4, 'w',  0xEF, '#',  'y', 0xFA, 0xE9,  // 56-63
};

}  // namespace

unsigned char BrailleAscii(unsigned char c) {
    return kAscii[c];
}

std::uint8_t BrailleAsciiDots(unsigned char code) {
    return code < 128 ? kDots[code] : 0;
}

std::string BrailleTextToDots(std::string_view braille) {
    std::string dots(braille.size(), '\0');
    for (std::size_t i = 0; i < braille.size(); ++i)
        dots[i] = static_cast<char>(BrailleCellDots(static_cast<unsigned char>(braille[i])));
    return dots;
}

char DisplayKeyChar(std::uint32_t chord) {
    return static_cast<char>(kDisplayKeys[chord & 63]);
}

}  // namespace sonara
