// A letter game on a fresh simulated machine holding the bundled data root (the media
// pack and the default Sonara.ini), short clips and cues so scripts stay small.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/LetterGame.h"
#include "game/simulate/PipocoSimulation.h"
#include "platform/sim/SimMachine.h"

namespace game_test {

constexpr std::uint32_t kClipMs = 100;
constexpr std::uint32_t kCueMs = 10;

class GameHarness {
  public:
    GameHarness();
    ~GameHarness();

    sim::SimMachine machine;

    // Loads a script of the sim's language plus the game's extensions; fails the test on
    // a script error.
    void Script(const std::string& text);

    // A key wait with no scripted input left, once the script's time has passed, stops
    // the run as a SimStopped (unless the options bring their own idle observer).
    // Runs `body` on a started game inside a whole process. Returns the exit code, or -1
    // when the simulation stopped because nothing could end a wait.
    int Run(const std::function<void(sonara::LetterGame&)>& body, sonara::GameOptions options = {});
    // The whole program, Run() included.
    int RunWholeGame(sonara::GameOptions options = {});

    bool Stopped() const { return stopped_; }
    // The console's rows when the program ended (Windows-1252).
    const std::vector<std::string>& Screen() const { return screen_; }

    // The transcript without times, and with them.
    std::vector<std::string> Lines() const;
    std::vector<sonara::TranscriptLine> Timed() const;
    // The lines from the first one equal to `from` on (all of them when absent).
    std::vector<std::string> LinesFrom(const std::string& from) const;
    // How often a line occurs.
    int Count(const std::string& line) const;

  private:
    sonara::GameOptions WithDefaults(sonara::GameOptions options);

    sonara::ScriptExtensions extensions_;
    bool stopped_ = false;
    std::vector<std::string> screen_;
    std::uint32_t script_end_ = 0;
};

// Script text: each key `spacing` ms after the previous one.
std::string Keys(const std::vector<std::string>& keys, std::uint32_t spacing = 1000);

}  // namespace game_test
