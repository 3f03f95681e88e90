// sonara tavena say [--wav FILE] [--pitch P] [--duration D] [--trace FILE] [TEXT...]: speaks
// TEXT (or standard input) through the Tavena engine directly, set up from Sonara.ini and
// the registry as the speech server would be. --pitch and --duration are the engine's
// PitchFactor and DurationFactor (1.0 each by default). With --wav the engine writes the
// WAV file itself (its file mode) on the simulated machine with the host's files and
// libraries; without it the sound plays on the real device. --trace appends the phoneme
// lines of the text to FILE.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tavena/TavenaGlue.h"
#include "tools/sonara/encoding.h"
#include "tools/sonara/host_sim.h"

namespace sonara_tool {

namespace {

struct SayOptions {
    std::optional<std::string> wav, trace;
    double pitch = 1.0;
    double duration = 1.0;
    std::vector<std::string> words;
};

std::optional<double> Factor(const std::string& text) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v > 0) || v > 100) return std::nullopt;
    return v;
}

std::optional<SayOptions> Parse(const std::vector<std::string>& args) {
    SayOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "--wav" || a == "--trace") && hasValue) {
            (a == "--wav" ? o.wav : o.trace) = args[++i];
        } else if (a == "--pitch" || a == "--duration") {
            std::optional<double> v = hasValue ? Factor(args[++i]) : std::nullopt;
            if (!v) return std::nullopt;
            (a == "--pitch" ? o.pitch : o.duration) = *v;
        } else if (a == "--") {
            o.words.insert(o.words.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else if (a.rfind("--", 0) == 0) {
            return std::nullopt;
        } else {
            o.words.push_back(a);
        }
    }
    return o;
}

std::string Text(const SayOptions& o) {
    std::string text;
    if (!o.words.empty()) {
        for (const std::string& w : o.words) text += (text.empty() ? "" : " ") + w;
    } else {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    }
    return Utf8ToCp1252(text);
}

// Sets the engine up, speaks, waits for the sound and closes. 0 when all went well.
int Run(const SayOptions& o, const std::string& text) {
    int code = 0;
    sonara::RunProgram([&] {
        sonara::InitConsole();
        sonara::TavenaGlue& glue = *sonara::TavenaGlue::Current();
        sonara::TavenaEngine& engine = glue.Engine();
        const sonara::TavenaSettings& s = glue.Settings();
        if (o.trace) engine.SetTraceFile(Utf8ToCp1252(*o.trace));
        engine.EngineSetOutput(o.wav ? Utf8ToCp1252(*o.wav) : std::string());
        if (!engine.EngineInit(s.database, s.rules, s.exceptions, s.abbreviations, s.prosody,
                               s.diphones)) {
            const std::string why =
                !engine.EngineError().empty() ? Cp1252ToUtf8(engine.EngineError())
                : !engine.LibraryLoaded()
                    ? "the synthesizer library mbrola.dll or its voice could not be loaded"
                    : "the output file could not be created";
            std::fprintf(stderr, "sonara tavena: %s\n", why.c_str());
            code = 1;
            return;
        }
        engine.EngineSetFactors(o.pitch, o.duration);
        if (!engine.EngineSpeak(text)) {
            std::fprintf(stderr, "sonara tavena: the synthesizer or the output file failed\n");
            code = 1;
        }
        while (engine.EngineIsPlaying()) win::WaitMessage();
        engine.EngineClose();
    });
    return code;
}

}  // namespace

int TavenaSay(const std::vector<std::string>& args) {
    std::optional<SayOptions> o = Parse(args);
    if (!o) {
        std::fprintf(stderr,
                     "usage: sonara tavena say [--wav FILE] [--pitch P] [--duration D] "
                     "[--trace FILE] [TEXT...]\n");
        return 2;
    }
    const std::string text = Text(*o);
    if (o->wav) {
        HostFileSim machine;
        machine.SetLoadHostLibraries(true);
        win::SetBackend(&machine);
        int code = 1;
        try {
            code = Run(*o, text);
        } catch (const sim::SimStopped& stop) {
            std::fprintf(stderr, "sonara: the simulation stopped at %u ms: %s\n", stop.time,
                         stop.reason.c_str());
        }
        win::SetBackend(nullptr);
        return code;
    }
    std::unique_ptr<win::Backend> backend = win::MakeLinuxHeadlessBackend();
    win::SetBackend(backend.get());
    int code = Run(*o, text);
    win::SetBackend(nullptr);
    return code;
}

}  // namespace sonara_tool
