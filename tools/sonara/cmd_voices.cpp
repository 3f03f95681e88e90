// sonara voices [--simulate]: the speech server's voices as the SAPI back ends number
// them, for "VOZ" of section "SERVFALA": the SAPI 4 engine modes (TIPOSAPI=4) and the
// SAPI 5 voices (TIPOSAPI=5, and 54 on the same server). With --simulate, the simulated
// machine's fake voices. Without any voice (no speech server) it says so and exits 1.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/sim/SimMachine.h"
#include "speech/tfSapi5.h"
#include "speech/tfsapi4.h"
#include "tools/sonara/command.h"

namespace {

void PrintList(const char* title, const std::vector<std::string>& names) {
    std::printf("%s\n", title);
    if (names.empty()) std::printf("  (no voice)\n");
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("  %zu %s\n", i + 1, names[i].c_str());
}

int ListVoices() {
    win::CoInitialize(nullptr);
    const std::vector<std::string> sapi4 = sonara::Tfsapi4::VoiceNames();
    sonara::TfSapi5 sapi5;  // not installed anywhere: no dispatch runs here
    const std::vector<std::string> sapi5Names = sapi5.VoiceNames();
    if (sapi4.empty() && sapi5Names.empty()) {
        std::fprintf(stderr,
                     "sonara: no speech server voice found (is speech-dispatcher installed and "
                     "does it have a voice?); the built-in synthesizer speaks instead\n");
        return 1;
    }
    PrintList("SAPI 4 (TIPOSAPI=4):", sapi4);
    PrintList("SAPI 5 (TIPOSAPI=5 or 54):", sapi5Names);
    std::printf("Sonara.ini: [SERVFALA] VOZ=<number>, [TRADUTOR] SAPI=S\n");
    return 0;
}

int Voices(const std::vector<std::string>& args) {
    const bool simulate = args.size() == 1 && args[0] == "--simulate";
    if (!args.empty() && !simulate) {
        std::fprintf(stderr, "usage: sonara voices [--simulate]\n");
        return 2;
    }
    std::unique_ptr<win::Backend> backend;
    if (simulate) {
        backend = std::make_unique<sim::SimMachine>();
    } else {
        backend = win::MakeLinuxHeadlessBackend();
    }
    win::SetBackend(backend.get());
    int code = ListVoices();
    win::SetBackend(nullptr);
    return code;
}

sonara_tool::Registrar reg({"voices",
                            "voices [--simulate]  the speech server's voices, numbered as "
                            "\"VOZ\" of [SERVFALA] takes them (SAPI 4 and SAPI 5)",
                            &Voices});

}  // namespace
