#include "process/SimulateRun.h"

#include <iostream>
#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace sonara {

namespace {

void Line(std::ostream& out, std::uint32_t time, std::string_view text) {
    out << time << ' ' << text << '\n';
}

std::string KeyText(const std::uint8_t* bytes, int n) {
    std::string text = "key";
    for (int i = 0; i < n; ++i) text += " " + std::to_string(bytes[i]);
    return text;
}

}  // namespace

std::string BrailleCellsText(std::string_view dots) {
    std::string text;
    for (char cell : dots) {
        const auto d = static_cast<unsigned char>(cell);
        text += static_cast<char>(0xE2);  // U+2800 + the dots, in UTF-8
        text += static_cast<char>(0xA0 | (d >> 6));
        text += static_cast<char>(0x80 | (d & 0x3F));
    }
    return text;
}

std::optional<std::string> DefaultEventText(const sim::Event& event) {
    if (event.kind == "beep") return std::string("beep");
    if (event.kind == "braille") return "braille " + BrailleCellsText(event.detail);
    // The title a window is created with: `create CLASS "TITLE"`.
    if (event.kind == "window" && event.detail.rfind("create ", 0) == 0) {
        std::size_t open = event.detail.find('"');
        std::size_t close = event.detail.rfind('"');
        if (open != std::string::npos && close > open)
            return "title " + win::Cp1252ToUtf8(event.detail.substr(open + 1, close - open - 1));
    }
    // WAV files opened for reading are the recordings speech plays (cues and clips are
    // played by name, not opened).
    if (event.kind == "file" && event.detail.size() > 4 &&
        win::FoldCase(event.detail.substr(event.detail.size() - 4)) == ".wav" &&
        event.detail.rfind("missing ", 0) != 0)
        return "file " + win::Cp1252ToUtf8(event.detail);
    // Calls to the speech server's objects: "sapi4 TextData 7.", "sapi5 Speak 17 bom dia".
    if (event.kind == "sapi4" || event.kind == "sapi5")
        return event.kind + " " + win::Cp1252ToUtf8(event.detail);
    if (event.kind == "title" || event.kind == "sound" || event.kind == "wave")
        return event.kind + " " + win::Cp1252ToUtf8(event.detail);
    return std::nullopt;
}

SimulateOutcome RunSimulated(std::string_view script, const std::function<void()>& programMain,
                             std::ostream& out, const SimulateSetup& setup) {
    SimulateOutcome outcome;
    sim::SimMachine machine;
    if (setup.prepare) setup.prepare(machine);
    if (auto error = machine.LoadScript(script, setup.extension)) {
        outcome.error = *error;
        return outcome;
    }
    machine.SetObserver([&](const sim::Event& event) {
        std::optional<std::string> text = setup.format ? setup.format(event) : std::nullopt;
        if (!text) text = DefaultEventText(event);
        if (text && !text->empty()) Line(out, event.time, *text);
    });
    std::vector<std::string> screen(TfCrt::kRows);
    auto keepScreen = [&] {
        if (TfCrt* crt = TfCrt::Current()) screen = crt->ScreenRows();
    };
    win::SetBackend(&machine);
    try {
        outcome.exitCode = RunProgram([&] {
            TfCrt::Current()->SetKeyObserver([&](const std::uint8_t* bytes, int n) {
                Line(out, machine.Now(), KeyText(bytes, n));
            });
            try {
                programMain();
            } catch (...) {
                keepScreen();  // the Process goes before RunProgram returns
                throw;
            }
            keepScreen();
        });
    } catch (const sim::SimStopped& stop) {
        outcome.idle = true;
        Line(out, stop.time, "idle");
        // Why the run stopped, apart from the transcript: the end of a script at a key
        // wait and a wait that nothing could ever end both print "idle".
        std::cerr << "simulation stopped at " << stop.time << " ms: " << stop.reason << '\n';
    } catch (const sim::SimBusyWait& spin) {
        // A fault of the program, not an end: the run fails.
        Line(out, spin.time, "failed");
        outcome.error = spin.what();
    }
    machine.SetObserver({});
    Line(out, machine.Now(), "screen");
    for (const std::string& row : screen) out << win::Cp1252ToUtf8(row) << '\n';
    if (!outcome.idle && outcome.error.empty())
        Line(out, machine.Now(), "exit " + std::to_string(outcome.exitCode));
    win::SetBackend(nullptr);
    return outcome;
}

}  // namespace sonara
