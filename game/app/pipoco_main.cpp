// pipoco: the letter game. Without options it runs on the Linux back end; with
// --simulate SCRIPT it runs on the simulated machine and prints a transcript.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "game/LetterGame.h"
#include "game/simulate/PipocoSimulation.h"
#include "platform/backend.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/LinuxFiles.h"
#include "process/Process.h"

namespace {

constexpr const char* kUsage = "usage: pipoco [--simulate SCRIPT [--seed N]]\n";

struct Args {
    std::optional<std::string> script;
    std::optional<std::uint32_t> seed;
};

std::optional<Args> ParseArgs(int argc, char** argv) {
    Args args;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--simulate" && i + 1 < argc) {
            args.script = argv[++i];
        } else if (a == "--seed" && i + 1 < argc) {
            std::string_view v = argv[++i];
            std::uint32_t seed = 0;
            auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), seed);
            if (ec != std::errc() || end != v.data() + v.size()) return {};
            args.seed = seed;
        } else {
            return {};
        }
    }
    if (args.seed && !args.script) return {};
    return args;
}

int Simulate(const Args& args) {
    std::ifstream in(*args.script, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "pipoco: cannot read %s\n", args.script->c_str());
        return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    // The simulated machine holds the same data root a real run reads as drive c:.
    const std::string root = win::LinuxFiles::FromEnvironment().drives['c'];
    sonara::SimulationResult r = sonara::RunSimulation(text.str(), args.seed, std::cout, root);
    if (!r.error.empty()) {
        std::fprintf(stderr, "pipoco: %s: %s\n", args.script->c_str(), r.error.c_str());
        return 2;
    }
    return r.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<Args> args = ParseArgs(argc, argv);
    if (!args) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (args->script) return Simulate(*args);
    std::unique_ptr<win::Backend> backend = win::MakeLinuxDesktopBackend();
    if (!backend) return 1;
    win::SetBackend(backend.get());
    int code = sonara::RunProgram([] {
        sonara::LetterGame game;
        game.Run();
    });
    win::SetBackend(nullptr);
    return code;
}
