#include "game/HintTable.h"

namespace sonara {

namespace {

// One string per hidden vowel, indexed by letter A..Z. In the I column U sits next to I
// on the keyboard, so it says "scalding" like O, J and K do.
constexpr std::string_view kHintTable[kVowelCount] = {
    "xmqqqqmfgfgggfggpmpmfqqpfp",  // A
    "qmqpxpqmgfggfgggqppqfqpqmq",  // E
    "gfgggggmxpppqmpqgfgmpfggqg",  // I
    "gggggffmpqppqmxpgfgfqfggmg",  // O
    "gmgggfmppppqqqqmgfgqxfggpg",  // U
};

}  // namespace

char HintCode(int vowelIndex, std::uint8_t letter) {
    if (vowelIndex < 0 || vowelIndex >= kVowelCount || letter < 'A' || letter > 'Z') return 0;
    return kHintTable[vowelIndex][letter - 'A'];
}

std::string_view HintClip(char code) {
    switch (code) {
        case 'p':
            return "ta-pelando";
        case 'q':
            return "ta-quente";
        case 'm':
            return "ta-morno";
        case 'f':
            return "ta-frio";
        case 'g':
            return "ta-gelado";
        default:
            return {};
    }
}

}  // namespace sonara
