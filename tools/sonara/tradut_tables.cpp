// Options and table loading for the letter-to-sound subcommands.
#include "tools/sonara/tradut_tables.h"

#include <cstdio>
#include <iostream>

#include "speech/tfsapi.h"
#include "tools/sonara/encoding.h"

namespace sonara_tool {

namespace {

std::string DiphoneDirectory() {
    std::string dir = sonara::ReadIni("TRADUTOR", "DIRDIFONES").substr(0, 80);
    if (dir.empty()) dir = "c:\\tecfal\\som\\difones";
    if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir;
}

// Loads one file into the tables: `load` is LoadRules or LoadExceptions.
template <typename Load>
bool LoadOne(const std::optional<std::string>& option, const std::string& defaultPath,
             const char* what, Load load) {
    if (option) {
        if (load(Utf8ToCp1252(*option))) return true;
        std::fprintf(stderr, "sonara: cannot read the %s file %s\n", what, option->c_str());
        return false;
    }
    if (!load(defaultPath)) {
        std::fprintf(stderr, "sonara: no %s file %s; using none\n", what,
                     Cp1252ToUtf8(defaultPath).c_str());
    }
    return true;
}

}  // namespace

bool ParseTradutOptions(const std::vector<std::string>& args, bool allowRules,
                        TradutOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool isRules = allowRules && arg == "--rules";
        if (isRules || arg == "--exceptions") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "sonara: %s needs a file name\n", arg.c_str());
                return false;
            }
            (isRules ? options.rules : options.exceptions) = args[++i];
        } else if (arg.size() > 1 && arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "sonara: unknown option %s\n", arg.c_str());
            return false;
        } else {
            options.words.push_back(arg);
        }
    }
    return true;
}

bool LoadTradutTables(const TradutOptions& options, bool withRules, sonara::TfTradut& tradut) {
    bool needDir = (withRules && !options.rules) || !options.exceptions;
    std::string dir = needDir ? DiphoneDirectory() : std::string();
    tradut.LoadRulesText({});
    bool ok =
        !withRules || LoadOne(options.rules, dir + "regras.rgr", "rule",
                              [&](const std::string& path) { return tradut.LoadRules(path); });
    // LoadRules starts a fresh exception table, so exceptions come second.
    return ok && LoadOne(options.exceptions, dir + "portug.exc", "exception",
                         [&](const std::string& path) { return tradut.LoadExceptions(path); });
}

std::vector<std::string> ReadStdinLines() {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void PrintLine(const std::string& text) {
    std::string utf8 = Cp1252ToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace sonara_tool
