// sonara console-demo [--simulate SCRIPT]: the console window with a few coloured lines,
// then every key read shown as its byte values, until Esc.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "process/SimulateRun.h"
#include "tools/sonara/command.h"

namespace {

void DemoMain() {
    using namespace sonara;
    InitConsole();
    ConsoleWriteLine("Sonara console");
    const int colours[] = {14, 10, 11, 12, 13};
    const char* names[] = {"amarelo", "verde", "ciano", "vermelho", "magenta"};
    for (int i = 0; i < 5; ++i) {
        TextColor(colours[i]);
        ConsoleWriteLine(std::string("Cor ") + std::to_string(colours[i]) + ": " + names[i]);
    }
    TextColor(15);
    ConsoleWriteLine("Aperte teclas; Esc termina.");
    for (;;) {
        std::uint8_t b = ReadKey();
        if (b == 27) break;
        std::string text = std::to_string(b);
        if (b == 0) text += " " + std::to_string(ReadKey());
        ConsoleWriteLine(text);
    }
    DoneConsole();
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "--simulate") {
        std::ifstream file(args[1], std::ios::binary);
        if (!file) {
            std::cerr << "sonara: cannot read " << args[1] << "\n";
            return 2;
        }
        std::ostringstream script;
        script << file.rdbuf();
        sonara::SimulateOutcome r = sonara::RunSimulated(script.str(), DemoMain, std::cout);
        if (!r.error.empty()) {
            std::cerr << "sonara: " << r.error << "\n";
            return 2;
        }
        return r.idle ? 0 : r.exitCode;
    }
    if (!args.empty()) {
        std::cerr << "usage: sonara console-demo [--simulate SCRIPT]\n";
        return 2;
    }
    std::unique_ptr<win::Backend> backend = win::MakeLinuxDesktopBackend();
    if (!backend) return 1;
    win::SetBackend(backend.get());
    int code = sonara::RunProgram(DemoMain);
    win::SetBackend(nullptr);
    return code;
}

sonara_tool::Registrar reg({"console-demo", "console-demo [--simulate SCRIPT]", &Run});

}  // namespace
