// Subcommands of the sonara tool register themselves with a static Registrar.
#pragma once

#include <string>
#include <vector>

namespace sonara_tool {

// args: the words after the subcommand name, as UTF-8.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage;  // one line, shown by `sonara help`
    CommandFn run;
};

struct Registrar {
    explicit Registrar(Command command);
};

const std::vector<Command>& Commands();

}  // namespace sonara_tool
