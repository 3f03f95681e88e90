// sonara stress [--exceptions FILE] [WORD...]: each word after the exception lookup and
// the stress mark (casa -> cAsa); words from standard input when none are given.
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

int Stress(const std::vector<std::string>& args) {
    sonara_tool::TradutOptions options;
    if (!sonara_tool::ParseTradutOptions(args, false, options)) return 2;
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    bool loaded = false;
    sonara::TfTradut tradut;
    int code =
        sonara::RunProgram([&] { loaded = sonara_tool::LoadTradutTables(options, false, tradut); });
    win::SetBackend(nullptr);
    if (code != 0) return code;
    if (!loaded) return 1;
    std::vector<std::string> lines =
        options.words.empty() ? sonara_tool::ReadStdinLines() : options.words;
    for (const std::string& line : lines) sonara_tool::PrintLine(StressLine(tradut, line));
    return 0;
}

sonara_tool::Registrar reg({"stress", "stress [--exceptions F] [WORD...]  stress marks of words",
                            &Stress});

}  // namespace
