#include "game/simulate/PipocoSimulation.h"

#include <charconv>

#include "console/TfCrt.h"
#include "game/LetterGame.h"
#include "game/simulate/DataRoot.h"
#include "platform/api.h"
#include "platform/cp1252.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "process/SimulateRun.h"

namespace sonara {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

std::optional<std::uint32_t> ParseMs(std::string_view text) {
    text = Trim(text);
    std::uint32_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return {};
    return v;
}

// "word rest" -> ("word", "rest").
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line) {
    line = Trim(line);
    std::size_t space = line.find_first_of(" \t");
    if (space == std::string_view::npos) return {line, {}};
    return {line.substr(0, space), Trim(line.substr(space))};
}

}  // namespace

std::string MediaBaseName(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    std::size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
    return std::string(path);
}

std::string ClipLine(const sim::MciCommand& command) {
    std::string_view text = command.command;
    if (text.substr(0, 5) != "open ") return {};
    std::size_t open = text.find('"');
    std::size_t close = open == std::string_view::npos ? open : text.find('"', open + 1);
    std::string_view path = text.substr(5);
    if (close != std::string_view::npos) path = text.substr(open + 1, close - open - 1);
    std::string name = win::Cp1252ToUtf8(MediaBaseName(path));
    return (command.result == 0 ? "clip " : "clip-missing ") + name;
}

std::string CueLine(const sim::SoundPlay& sound) {
    if (sound.name.empty()) return {};
    std::string name = win::Cp1252ToUtf8(MediaBaseName(sound.name));
    return ((sound.flags & win::SND_ASYNC) ? "cue-async " : "cue ") + name;
}

std::vector<TranscriptLine> GameTranscript(const sim::SimMachine& machine) {
    std::vector<TranscriptLine> lines;
    std::size_t mci = 0, sound = 0;
    for (const sim::Event& e : machine.Events()) {
        std::string text;
        if (e.kind == "mci" && mci < machine.MciCommands().size()) {
            text = ClipLine(machine.MciCommands()[mci++]);
        } else if (e.kind == "sound" && sound < machine.Sounds().size()) {
            text = CueLine(machine.Sounds()[sound++]);
        } else if (e.kind == "title") {
            text = "title " + win::Cp1252ToUtf8(e.detail);
        }
        if (!text.empty()) lines.push_back({e.time, std::move(text)});
    }
    return lines;
}

bool ScriptExtensions::Handle(std::string_view line, std::uint32_t at) {
    auto [word, rest] = SplitWord(line);
    if (word == "missing") {
        if (rest.empty()) return false;
        machine_.MarkMediaMissing(win::Utf8ToCp1252(rest));
        return true;
    }
    if (word == "ini") {
        auto [section, keyValue] = SplitWord(rest);
        auto [key, value] = SplitWord(keyValue);
        if (section.empty() || key.empty()) return false;
        const std::string header = "[" + std::string(section) + "]";
        const std::string line = std::string(key) + "=" + win::Utf8ToCp1252(value) + "\r\n";
        // The key goes first into its section, whatever line ends the file uses.
        const std::size_t at = ini_.find(header);
        const std::size_t eol = at == std::string::npos ? at : ini_.find('\n', at);
        if (at == std::string::npos) {
            if (!ini_.empty() && ini_.back() != '\n') ini_ += "\r\n";
            ini_ += header + "\r\n" + line;
        } else if (eol == std::string::npos) {
            ini_ += "\r\n" + line;
        } else {
            ini_.insert(eol + 1, line);
        }
        machine_.AddFile("c:\\windows\\Sonara.ini", ini_);
        return true;
    }
    if (word != "clip-ms" && word != "cue-ms") return false;
    std::optional<std::uint32_t> ms = ParseMs(rest);
    if (!ms) return false;
    pending_.push_back({at, word == "clip-ms", *ms});
    ApplyDue();
    return true;
}

void ScriptExtensions::ApplyDue() {
    std::uint32_t now = machine_.Now();
    std::erase_if(pending_, [&](const LengthChange& c) {
        if (c.at > now) return false;
        if (c.clip) {
            machine_.SetClipLength(c.ms);
        } else {
            machine_.SetCueLength(c.ms);
        }
        return true;
    });
}

int RunGameProgram(const std::function<void()>& body, std::vector<std::string>& screen) {
    auto keep = [&] {
        if (TfCrt* console = TfCrt::Current()) screen = console->ScreenRows();
    };
    return RunProgram([&] {
        try {
            body();
        } catch (...) {
            keep();
            throw;
        }
        keep();
    });
}

std::uint32_t ScriptEnd(std::string_view script) {
    std::uint32_t end = 0;
    while (!script.empty()) {
        std::size_t nl = script.find('\n');
        std::string_view line = script.substr(0, nl);
        script = nl == std::string_view::npos ? std::string_view{} : script.substr(nl + 1);
        auto [word, rest] = SplitWord(line);
        if (word == "wait") {
            if (auto ms = ParseMs(rest)) end += *ms;
        }
    }
    return end;
}

SimulationResult RunSimulation(std::string_view script, std::optional<std::uint32_t> seed,
                               std::ostream& out, const std::string& dataRoot) {
    sim::SimMachine* machine = nullptr;
    std::optional<ScriptExtensions> extensions;
    SimulateSetup setup;
    setup.prepare = [&](sim::SimMachine& m) {
        machine = &m;
        m.SetModuleFileName("c:\\sonara\\pipoco.exe");  // the console's first title
        // Exactly the files of the data root: a clip the game names but the pack lacks is
        // missing here as on a real machine.
        AddDataRoot(m, dataRoot);
        extensions.emplace(m, DataRootIni(dataRoot));
    };
    setup.extension = [&](std::string_view line, std::uint32_t at) {
        return extensions->Handle(line, at);
    };
    setup.format = [&](const sim::Event& e) -> std::optional<std::string> {
        extensions->ApplyDue();
        if (e.kind == "mci" && !machine->MciCommands().empty()) {
            return ClipLine(machine->MciCommands().back());
        }
        if (e.kind == "sound" && !machine->Sounds().empty()) {
            return CueLine(machine->Sounds().back());
        }
        return std::nullopt;
    };
    std::uint32_t scriptLength = ScriptEnd(script);

    GameOptions options;
    options.seed = seed;
    // A key wait with no input left to come, once the script's time is used up, is where
    // a scripted run ends: nothing the script holds can reach the game any more.
    options.onIdleWait = [&] {
        if (!machine->InputPending() && machine->Now() >= scriptLength) {
            throw sim::SimStopped{"waiting for a key with nothing scripted left", machine->Now()};
        }
    };
    SimulateOutcome outcome = RunSimulated(
        script,
        [&] {
            LetterGame game(options);
            game.Run();
        },
        out, setup);
    return SimulationResult{outcome.exitCode, outcome.idle, outcome.error};
}

}  // namespace sonara
