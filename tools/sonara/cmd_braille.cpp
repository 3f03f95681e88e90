// sonara braille [--dots] [TEXT]: the braille text of TEXT, or of each line of standard
// input translated in order like console rows (a text parenthesis stays open from one
// line to the next). With --dots, the cells as Unicode braille patterns.
// sonara braille --display TEXT: TEXT on the console and on the braille display, as the
// programs show it, until a key (of the keyboard or the display) is pressed.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "console/TfCrt.h"
#include "console/braille/BrailleTables.h"
#include "console/braille/tfFocus80.h"
#include "console/braille/tfbrunif.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
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

// Exit code 0: shown and a key ended it; 1: no display (or no window to open it with).
int ShowOnDisplay(const std::string& utf8) {
    std::unique_ptr<win::Backend> backend = win::MakeLinuxDesktopBackend();
    if (!backend) return 1;
    win::SetBackend(backend.get());
    bool shown = false;
    sonara::RunProgram([&] {
        sonara::InitConsole();
        sonara::TfFocus80* display = sonara::TfFocus80::Current();
        if (display == nullptr || !display->Active()) {
            std::printf("no braille display: is BRLTTY running with a display attached?\n");
            std::fflush(stdout);
            sonara::DoneConsole();
        }
        sonara::ConsoleWrite(sonara_tool::Utf8ToCp1252(utf8));
        shown = true;
        std::printf("shown on \"%s\" (%d cells); press a key to end\n",
                    display->DisplayName().c_str(), display->CellCount());
        std::fflush(stdout);
        std::string key = std::to_string(sonara::ReadKey());
        if (key == "0") key += " " + std::to_string(sonara::ReadKey());
        std::printf("key %s\n", key.c_str());
        std::fflush(stdout);
        sonara::DoneConsole();
    });
    win::SetBackend(nullptr);
    return shown ? 0 : 1;
}

int Braille(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "--display") {
        if (args.size() < 2) {
            std::fprintf(stderr, "usage: sonara braille --display TEXT\n");
            return 2;
        }
        std::string text = args[1];
        for (std::size_t i = 2; i < args.size(); ++i) text += " " + args[i];
        return ShowOnDisplay(text);
    }
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
                            "stdin line); --dots: Unicode braille cells; --display TEXT: "
                            "TEXT on the braille display until a key",
                            &Braille});

}  // namespace
