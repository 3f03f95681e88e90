// A whole program on a fresh simulated machine, driven by a script, with a transcript on
// a stream: lines "<virtual ms> <event> <details>" ("title", "beep", "sound", "key",
// "wave <bytes> <rate>/<bits>/<channels>" per wave-out block, "file PATH" per WAV file
// opened for reading, "braille" with the display's cells as Unicode braille after each
// write, and
// whatever the caller's formatter adds), then "idle" when the program waited for a key
// with nothing left to come, or "failed" when it spun in a busy wait, "screen" with the
// 25 rows of the grid, and "exit <code>" when it ended.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace sim {
class SimMachine;
struct Event;
}  // namespace sim

namespace sonara {

struct SimulateSetup {
    // Before the script is loaded: files, settings of the machine.
    std::function<void(sim::SimMachine&)> prepare;
    // Script lines the sim does not know; true when handled.
    std::function<bool(std::string_view line, std::uint32_t at)> extension;
    // The transcript text of a recorded event (without the time): nullopt for the default
    // rule (title, beep and sound shown, others not), an empty string to leave it out.
    std::function<std::optional<std::string>(const sim::Event&)> format;
};

struct SimulateOutcome {
    int exitCode = 0;
    bool idle = false;  // stopped waiting with nothing left to come: no exit line
    // The script did not load (nothing ran), or the program spun in a busy wait (the
    // transcript ends with "failed").
    std::string error;
};

// Runs programMain with RunProgram on a fresh machine; the machine is the current back
// end only during the call.
SimulateOutcome RunSimulated(std::string_view script, const std::function<void()>& programMain,
                             std::ostream& out, const SimulateSetup& setup = {});

// Dot bytes (bit 0 = dot 1 ... bit 7 = dot 8) as Unicode braille patterns, in UTF-8.
std::string BrailleCellsText(std::string_view dots);

// The default transcript text of an event, or nullopt when the default rule hides it.
std::optional<std::string> DefaultEventText(const sim::Event& event);

}  // namespace sonara
