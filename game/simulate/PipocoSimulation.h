// `pipoco --simulate`: the whole game on the simulated machine, driven by a script, with
// a transcript of what it played and showed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace sim {
class SimMachine;
struct MciCommand;
struct SoundPlay;
}  // namespace sim

namespace sonara {

struct TranscriptLine {
    std::uint32_t time;
    std::string text;  // UTF-8
};

// What the game played and showed, from the machine's records in order: "clip NAME",
// "clip-missing NAME", "cue NAME", "cue-async NAME", "title TEXT".
std::vector<TranscriptLine> GameTranscript(const sim::SimMachine& machine);

// The transcript line of one recorded MCI command or sound, without its time; empty when
// it is not one the transcript shows (only clip opens and cues are).
std::string ClipLine(const sim::MciCommand& command);
std::string CueLine(const sim::SoundPlay& sound);
// The base name of a Windows path without its extension: "c:\x\A.mp4" -> "A".
std::string MediaBaseName(std::string_view path);

// Script lines the game adds to the sim's language: "clip-ms MS", "cue-ms MS",
// "missing NAME" and "ini SECTION KEY VALUE" (a key added to the Sonara.ini the run starts
// with, wherever the line stands). Keeps the length changes and applies each once the
// clock reaches it.
class ScriptExtensions {
  public:
    explicit ScriptExtensions(sim::SimMachine& machine, std::string ini = {})
        : machine_(machine), ini_(std::move(ini)) {}
    bool Handle(std::string_view line, std::uint32_t at);
    void ApplyDue();  // the length changes whose time has come

  private:
    struct LengthChange {
        std::uint32_t at;
        bool clip;
        std::uint32_t ms;
    };
    sim::SimMachine& machine_;
    std::vector<LengthChange> pending_;
    std::string ini_;  // the text of c:\windows\Sonara.ini
};

// Runs `body` as the program (RunProgram) and keeps the console's last 25 rows in
// `screen`, however the program ends; exceptions (SimStopped) go on to the caller.
int RunGameProgram(const std::function<void()>& body, std::vector<std::string>& screen);

// The time the script's cursor reaches: the sum of its "wait" lines.
std::uint32_t ScriptEnd(std::string_view script);

struct SimulationResult {
    int exitCode = 0;
    bool idle = false;  // stopped at a key wait with nothing scripted left
    std::string error;  // a script that does not load
};

// Runs the game on a fresh simulated machine holding the files of the host directory
// `dataRoot` as drive c: (AddDataRoot) and writes the transcript to `out`.
SimulationResult RunSimulation(std::string_view script, std::optional<std::uint32_t> seed,
                               std::ostream& out, const std::string& dataRoot);

}  // namespace sonara
