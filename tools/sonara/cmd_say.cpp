// sonara say [--level N] [--wav FILE] [TEXT...]: speaks TEXT (or each line of standard
// input) through StartSpeech and Speak, then EndSpeech. With --wav the speech runs on the
// simulated machine with the host's files and is written to FILE ("-": standard output),
// block by block as the device was given it. For speech-dispatcher's generic output
// module: --rate R takes the server's rate (-100..100) as the speed level, and --cp1252
// takes the text as Windows-1252 bytes instead of UTF-8. sonara spell TEXT: the same through
// SpellText. sonara devices: the wave-out device names "SAIDADEAUDIO" accepts.
//
// Without --wav the sound goes to the real device and nothing is shown: the console
// window the sound notifications need lives off-screen, on a desktop as in a text
// console or an SSH session. Ctrl+C ends the program cleanly.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"
#include "tools/sonara/host_sim.h"

namespace {

struct SayArgs {
    int level = 0;
    std::optional<std::string> wav;
    bool cp1252 = false;
    std::vector<std::string> words;
};

// A speech-dispatcher rate, -100 (slowest) .. 100 (fastest), as a speed level 1..5:
// bands of 40 centred on 0, the voice's own pace (level 3).
std::optional<int> LevelForServerRate(const std::string& text) {
    try {
        std::size_t used = 0;
        const double rate = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(rate)) return std::nullopt;
        const long level = 3 + std::lround(std::clamp(rate, -100.0, 100.0) / 40.0);
        return static_cast<int>(std::clamp(level, 1L, 5L));
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<SayArgs> ParseSay(const std::vector<std::string>& args) {
    SayArgs out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--level" && i + 1 < args.size()) {
            try {
                std::size_t used = 0;
                out.level = std::stoi(args[++i], &used);
                if (used != args[i].size()) return std::nullopt;
            } catch (...) {
                return std::nullopt;
            }
        } else if (args[i] == "--rate" && i + 1 < args.size()) {
            std::optional<int> level = LevelForServerRate(args[++i]);
            if (!level) return std::nullopt;
            out.level = *level;
        } else if (args[i] == "--cp1252") {
            out.cp1252 = true;
        } else if (args[i] == "--wav" && i + 1 < args.size()) {
            out.wav = args[++i];
        } else if (args[i] == "--") {
            out.words.insert(out.words.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else {
            out.words.push_back(args[i]);
        }
    }
    return out;
}

std::string ModuleText(const std::string& text, bool cp1252) {
    return cp1252 ? text : sonara_tool::Utf8ToCp1252(text);
}

std::string Joined(const std::vector<std::string>& words, bool cp1252) {
    std::string text;
    for (const std::string& w : words) {
        if (!text.empty()) text += ' ';
        text += w;
    }
    return ModuleText(text, cp1252);
}

// Starts speech, runs `speak`, ends speech. Nobody sees the console, so the start-up's
// wait for Enter is answered in advance and its error lines go to stderr.
int RunSpeech(int level, const std::function<void()>& speak) {
    bool started = false;
    std::vector<std::string> screen;
    int code = sonara::RunProgram([&] {
        sonara::InitConsole();
        sonara::QueueKey(13);
        try {
            sonara::StartSpeech(level, "");
        } catch (...) {
            screen = sonara::TfCrt::Current()->ScreenRows();
            throw;
        }
        sonara::FlushKeys();
        started = true;
        speak();
        sonara::EndSpeech();
    });
    if (started) return code;
    for (const std::string& row : screen) {
        if (!row.empty()) std::fprintf(stderr, "%s\n", sonara_tool::Cp1252ToUtf8(row).c_str());
    }
    return 1;
}

int Speak(const SayArgs& args, bool spell) {
    auto speak = [&] {
        if (!args.words.empty()) {
            const std::string text = Joined(args.words, args.cp1252);
            spell ? sonara::SpellText(text) : sonara::Speak(text);
            return;
        }
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            sonara::Speak(ModuleText(line, args.cp1252));
        }
    };
    if (args.wav) {
        // No fake library: a speech server of type 3 loads our synthesizer library from
        // the host's files, as on the real machine.
        sonara_tool::HostFileSim machine;
        machine.SetLoadHostLibraries(true);
        win::SetBackend(&machine);
        int code = 0;
        try {
            code = RunSpeech(args.level, speak);
        } catch (const sim::SimStopped& stop) {
            std::fprintf(stderr, "sonara: the simulation stopped at %u ms: %s\n", stop.time,
                         stop.reason.c_str());
            code = 1;
        }
        win::SetBackend(nullptr);
        for (const std::string& call : machine.SpeechCalls()) {
            if (call.rfind("sapi4 TextData", 0) == 0 || call.rfind("sapi5 Speak ", 0) == 0) {
                std::fprintf(stderr,
                             "sonara: SAPI is on in Sonara.ini: the texts went to the speech "
                             "server, not into %s\n",
                             args.wav->c_str());
                break;
            }
        }
        const std::string bytes = machine.WaveFile();
        bool written = false;
        if (*args.wav == "-") {
            written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
                      std::fflush(stdout) == 0;
        } else {
            std::ofstream out(*args.wav, std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            written = static_cast<bool>(out);
        }
        if (!written) {
            std::fprintf(stderr, "sonara: cannot write %s\n", args.wav->c_str());
            return 1;
        }
        return code;
    }
    std::unique_ptr<win::Backend> backend = win::MakeLinuxHeadlessBackend();
    win::SetBackend(backend.get());
    int code = RunSpeech(args.level, speak);
    win::SetBackend(nullptr);
    return code;
}

int Say(const std::vector<std::string>& args) {
    std::optional<SayArgs> parsed = ParseSay(args);
    if (!parsed) {
        std::fprintf(
            stderr, "usage: sonara say [--level N | --rate R] [--cp1252] [--wav FILE] [TEXT...]\n");
        return 2;
    }
    return Speak(*parsed, false);
}

int Spell(const std::vector<std::string>& args) {
    std::optional<SayArgs> parsed = ParseSay(args);
    if (!parsed || parsed->words.empty()) {
        std::fprintf(stderr, "usage: sonara spell [--level N] [--wav FILE] TEXT\n");
        return 2;
    }
    return Speak(*parsed, true);
}

int Devices(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: sonara devices\n");
        return 2;
    }
    std::unique_ptr<win::Backend> backend = win::MakeLinuxHeadlessBackend();
    win::SetBackend(backend.get());
    std::vector<std::string> names;
    sonara::ListWaveDevices(names);
    for (const std::string& name : names)
        std::printf("%s\n", sonara_tool::Cp1252ToUtf8(name).c_str());
    win::SetBackend(nullptr);
    return 0;
}

sonara_tool::Registrar say(
    {"say",
     "say [--level N | --rate R] [--cp1252] [--wav FILE] [TEXT...]  speak TEXT, or each "
     "line of input",
     &Say});
sonara_tool::Registrar spell({"spell", "spell [--level N] [--wav FILE] TEXT  spell TEXT", &Spell});
sonara_tool::Registrar devices({"devices", "devices              the wave-out device names",
                                &Devices});

}  // namespace
