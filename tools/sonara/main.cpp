// sonara: the toolkit's command-line tool. UTF-8 at its edges; each subcommand converts
// to Windows-1252 before handing text to a module.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/sonara/command.h"

namespace sonara_tool {

static std::vector<Command>& Table() {
    static std::vector<Command> table;
    return table;
}

Registrar::Registrar(Command command) {
    Table().push_back(command);
}

const std::vector<Command>& Commands() {
    return Table();
}

}  // namespace sonara_tool

static void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: sonara COMMAND [ARGS...]\n");
    for (const auto& c : sonara_tool::Commands()) std::fprintf(out, "  %s\n", c.usage);
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : sonara_tool::Commands()) {
        if (std::strcmp(c.name, argv[1]) == 0) return c.run(args);
    }
    std::fprintf(stderr, "sonara: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
