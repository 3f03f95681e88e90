// sonara say [--level N] [--wav FILE] [TEXT...]: speaks TEXT (or each line of standard
// input) through StartSpeech and Speak, then EndSpeech. With --wav the speech runs on the
// simulated machine with the host's files and is written to FILE, block by block as the
// device was given it. sonara spell TEXT: the same through SpellText. sonara devices:
// the wave-out device names "SAIDADEAUDIO" accepts.
//
// Without --wav the sound goes to the real device and nothing is shown: the console
// window the sound notifications need lives off-screen, on a desktop as in a text
// console or an SSH session. Ctrl+C ends the program cleanly.
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
    std::vector<std::string> words;
};

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

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) {
        if (!text.empty()) text += ' ';
        text += w;
    }
    return sonara_tool::Utf8ToCp1252(text);
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
            const std::string text = Joined(args.words);
            spell ? sonara::SpellText(text) : sonara::Speak(text);
            return;
        }
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            sonara::Speak(sonara_tool::Utf8ToCp1252(line));
        }
    };
    if (args.wav) {
        sonara_tool::HostFileSim machine;
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
        std::ofstream out(*args.wav, std::ios::binary);
        const std::string bytes = machine.WaveFile();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
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
        std::fprintf(stderr, "usage: sonara say [--level N] [--wav FILE] [TEXT...]\n");
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

sonara_tool::Registrar say({"say",
                            "say [--level N] [--wav FILE] [TEXT...]  speak TEXT, or each "
                            "line of input",
                            &Say});
sonara_tool::Registrar spell({"spell", "spell [--level N] [--wav FILE] TEXT  spell TEXT", &Spell});
sonara_tool::Registrar devices({"devices", "devices              the wave-out device names",
                                &Devices});

}  // namespace
