// sonara stress [--position] [--exceptions FILE] [WORD...]: each word after the exception
// lookup and the stress mark (casa -> cAsa), or with --position the 1-based position in
// the written word of the first vowel letter of its stressed syllable (casa -> 2, 0 when
// none); words from standard input when none are given. --position reads the rules too.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"
#include "tools/sonara/tradut_tables.h"

namespace {

// The words of a text, each looked up and marked, separated by blanks.
std::string StressLine(const sonara::TfTradut& tradut, const std::string& utf8) {
    std::string text = sonara::TfTradut::Transliterate(sonara_tool::Utf8ToCp1252(utf8));
    std::string out;
    std::size_t pos = 0;
    while (std::optional<sonara::TradutWord> word = sonara::TfTradut::NextWord(text, pos)) {
        tradut.ApplyException(*word);
        sonara::TfTradut::MarkStress(*word);
        if (!out.empty()) out += ' ';
        out += word->text;
    }
    return out;
}

// The position of each blank-separated word of a line, separated by blanks.
std::string PositionLine(const sonara::TfTradut& tradut, const std::string& utf8) {
    std::string text = sonara_tool::Utf8ToCp1252(utf8);
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(' ', pos);
        if (end == std::string::npos) end = text.size();
        if (end > pos) {
            if (!out.empty()) out += ' ';
            out += std::to_string(tradut.StressPosition(text.substr(pos, end - pos)));
        }
        pos = end + 1;
    }
    return out;
}

int Stress(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    bool position = false;
    for (const std::string& arg : args) {
        if (arg == "--position") {
            position = true;
        } else {
            rest.push_back(arg);
        }
    }
    sonara_tool::TradutOptions options;
    if (!sonara_tool::ParseTradutOptions(rest, position, options)) return 2;
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    bool loaded = false;
    sonara::TfTradut tradut;
    int code = sonara::RunProgram(
        [&] { loaded = sonara_tool::LoadTradutTables(options, position, tradut); });
    win::SetBackend(nullptr);
    if (code != 0) return code;
    if (!loaded) return 1;
    std::vector<std::string> lines =
        options.words.empty() ? sonara_tool::ReadStdinLines() : options.words;
    for (const std::string& line : lines) {
        sonara_tool::PrintLine(position ? PositionLine(tradut, line) : StressLine(tradut, line));
    }
    return 0;
}

sonara_tool::Registrar reg({"stress",
                            "stress [--position [--rules F]] [--exceptions F] [WORD...]  "
                            "stress marks or stressed positions of words",
                            &Stress});

}  // namespace
