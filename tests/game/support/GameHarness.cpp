#include "GameHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "game/simulate/DataRoot.h"
#include "platform/backend.h"
#include "process/Process.h"

namespace game_test {

namespace {
constexpr const char* kIni = "[LETRALUME]\r\nDIRLETRALUME=c:\\tecfal\\som\\LETRALUME\r\n";
std::string HarnessIni() {
    return SONARA_MEDIA_ON ? sonara::DataRootIni(SONARA_DATA_ROOT) : std::string(kIni);
}
}  // namespace

GameHarness::GameHarness() : extensions_(machine, HarnessIni()) {
    // The machine holds exactly the files of the bundled data root: the media pack, the
    // speech data and the default Sonara.ini, as the build made them.
    if (SONARA_MEDIA_ON) {
        EXPECT_GT(sonara::AddDataRoot(machine, SONARA_DATA_ROOT), 0)
            << SONARA_DATA_ROOT << " is empty: build the media target";
    } else {  // no pack is built: every clip and cue counts as present
        machine.SetAssumeMediaExists(true);
        machine.AddFile("c:\\windows\\Sonara.ini", kIni);
        // The speech start-up needs a diphone database with its rules and the letters
        // directory: empty ones serve a game that never speaks.
        machine.AddDirectory("c:\\tecfal\\som\\letras");
        for (const char* name : {"DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc"})
            machine.AddFile(std::string("c:\\tecfal\\som\\difones\\") + name, "");
    }
    machine.SetClipLength(kClipMs);
    machine.SetCueLength(kCueMs);
    machine.SetObserver([this](const sim::Event&) { extensions_.ApplyDue(); });
    win::SetBackend(&machine);
}

GameHarness::~GameHarness() {
    machine.SetObserver({});
    win::SetBackend(nullptr);
}

void GameHarness::Script(const std::string& text) {
    auto error = machine.LoadScript(text, [this](std::string_view line, std::uint32_t at) {
        return extensions_.Handle(line, at);
    });
    ASSERT_FALSE(error.has_value()) << *error;
    script_end_ = std::max(script_end_, machine.Now() + sonara::ScriptEnd(text));
}

sonara::GameOptions GameHarness::WithDefaults(sonara::GameOptions options) {
    if (!options.seed) options.seed = 1;
    if (!options.onIdleWait) {
        options.onIdleWait = [this] {
            if (!machine.InputPending() && machine.Now() >= script_end_) {
                throw sim::SimStopped{"idle", machine.Now()};
            }
        };
    }
    return options;
}

int GameHarness::Run(const std::function<void(sonara::LetterGame&)>& body,
                     sonara::GameOptions options) {
    options = WithDefaults(std::move(options));
    try {
        return sonara::RunGameProgram(
            [&] {
                sonara::LetterGame game(options);
                game.StartUp();
                body(game);
            },
            screen_);
    } catch (const sim::SimStopped&) {
        stopped_ = true;
        return -1;
    }
}

int GameHarness::RunWholeGame(sonara::GameOptions options) {
    options = WithDefaults(std::move(options));
    try {
        return sonara::RunGameProgram(
            [&] {
                sonara::LetterGame game(options);
                game.Run();
            },
            screen_);
    } catch (const sim::SimStopped&) {
        stopped_ = true;
        return -1;
    }
}

std::vector<sonara::TranscriptLine> GameHarness::Timed() const {
    return sonara::GameTranscript(machine);
}

std::vector<std::string> GameHarness::Lines() const {
    std::vector<std::string> out;
    for (auto& l : Timed()) out.push_back(l.text);
    return out;
}

std::vector<std::string> GameHarness::LinesFrom(const std::string& from) const {
    auto all = Lines();
    auto it = std::find(all.begin(), all.end(), from);
    if (it == all.end()) return all;
    return std::vector<std::string>(it, all.end());
}

int GameHarness::Count(const std::string& line) const {
    auto all = Lines();
    return static_cast<int>(std::count(all.begin(), all.end(), line));
}

std::string Keys(const std::vector<std::string>& keys, std::uint32_t spacing) {
    std::string s;
    for (const auto& k : keys) s += "wait " + std::to_string(spacing) + "\nkey " + k + "\n";
    return s;
}

}  // namespace game_test
