// sonara braille [--dots] [TEXT]: the braille text of TEXT, or of each line of standard
// input translated in order like console rows (a text parenthesis stays open from one
// line to the next). With --dots, the cells as Unicode braille patterns.
#include <cstdio>
#include <iostream>
#include <string>

#include "console/braille/BrailleTables.h"
#include "console/braille/tfbrunif.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"

namespace {

// U+2800 + the cell's dots, in UTF-8.
std::string DotsAsUnicode(std::string_view braille) {
    std::string out;
    for (char cell : braille) {
        const unsigned dots = sonara::BrailleCellDots(static_cast<unsigned char>(cell));
        out += static_cast<char>(0xE2);
        out += static_cast<char>(0xA0 | (dots >> 6));
        out += static_cast<char>(0x80 | (dots & 0x3F));
    }
    return out;
}

void PrintLine(sonara::Tfbrunif& translator, const std::string& utf8, bool dots) {
    const std::string braille = translator.TranslateToBraille(sonara_tool::Utf8ToCp1252(utf8));
    const std::string shown = dots ? DotsAsUnicode(braille) : sonara_tool::Cp1252ToUtf8(braille);
    std::printf("%s\n", shown.c_str());
}

int Braille(const std::vector<std::string>& args) {
    bool dots = false;
    std::string text;
    bool haveText = false;
    for (const std::string& a : args) {
        if (a == "--dots" && !haveText) {
            dots = true;
            continue;
        }
        if (haveText) text += ' ';  // words of an unquoted text
        text += a;
        haveText = true;
    }
    sonara::Tfbrunif translator;
    if (haveText) {
        PrintLine(translator, text, dots);
        return 0;
    }
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        PrintLine(translator, line, dots);
    }
    return 0;
}

sonara_tool::Registrar reg({"braille",
                            "braille [--dots] [TEXT]  Portuguese braille of TEXT (or of each "
                            "stdin line); --dots: Unicode braille cells",
                            &Braille});

}  // namespace
