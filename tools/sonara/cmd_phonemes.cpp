// sonara phonemes [--rules FILE] [--exceptions FILE]: the phoneme-group string of each
// line of standard input (UTF-8 in and out).
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

int Phonemes(const std::vector<std::string>& args) {
    sonara_tool::TradutOptions options;
    if (!sonara_tool::ParseTradutOptions(args, true, options)) return 2;
    if (!options.words.empty()) {
        std::fprintf(stderr, "usage: sonara phonemes [--rules FILE] [--exceptions FILE]\n");
        return 2;
    }
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    bool loaded = false;
    sonara::TfTradut tradut;
    int code =
        sonara::RunProgram([&] { loaded = sonara_tool::LoadTradutTables(options, true, tradut); });
    win::SetBackend(nullptr);
    if (code != 0) return code;
    if (!loaded) return 1;
    for (const std::string& line : sonara_tool::ReadStdinLines()) {
        sonara_tool::PrintLine(tradut.TextToPhonemes(sonara_tool::Utf8ToCp1252(line)));
    }
    return 0;
}

sonara_tool::Registrar reg({"phonemes",
                            "phonemes [--rules F] [--exceptions F]  letter-to-sound of stdin lines",
                            &Phonemes});

}  // namespace
