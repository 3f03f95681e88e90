// sonara number N [--feminine] [--files]: the Portuguese words of N exactly as the speech
// output builds them (trailing space kept), or with --files the recordings that say
// them, in play order. Without N, one number per line of standard input.
#include <cstdio>
#include <iostream>
#include <string>

#include "speech/tflenum.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"
#include "tools/sonara/number_arg.h"

namespace {

struct NumberOptions {
    bool feminine = false;
    bool files = false;
};

bool PrintNumber(std::string_view text, const NumberOptions& options) {
    const std::optional<std::uint32_t> n = sonara_tool::ParseNumberArg(text);
    if (!n) {
        std::fprintf(stderr, "sonara number: not a number from 0 to 4294967295: %.*s\n",
                     static_cast<int>(text.size()), text.data());
        return false;
    }
    const std::string words = sonara::NumberToWords(*n);
    if (!options.files) {
        std::printf("%s\n", sonara_tool::Cp1252ToUtf8(words).c_str());
        return true;
    }
    for (const std::string& name : sonara::NumberWordRecordings(words, options.feminine))
        std::printf("%s.wav\n", sonara_tool::Cp1252ToUtf8(name).c_str());
    return true;
}

int Number(const std::vector<std::string>& args) {
    NumberOptions options;
    std::vector<std::string> numbers;
    for (const std::string& a : args) {
        if (a == "--feminine") {
            options.feminine = true;
        } else if (a == "--files") {
            options.files = true;
        } else {
            numbers.push_back(a);
        }
    }
    if (numbers.size() > 1) {
        std::fprintf(stderr, "usage: sonara number [N] [--feminine] [--files]\n");
        return 2;
    }
    if (!numbers.empty()) return PrintNumber(numbers[0], options) ? 0 : 2;
    bool ok = true;
    for (std::string line; std::getline(std::cin, line);) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;  // blank line
        ok = PrintNumber(line, options) && ok;
    }
    return ok ? 0 : 1;
}

sonara_tool::Registrar reg({"number",
                            "number [N] [--feminine] [--files]  words of N (or of each stdin "
                            "line); --files: the recordings, --feminine: uma, duas",
                            &Number});

}  // namespace
