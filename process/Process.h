// One process-wide instance of every module, as members in start order: constructing a
// Process runs the start steps in order, destroying it runs the shutdown steps in
// reverse. The free operations of the modules (KeyPressed, ReadIni, ...) act on the
// current Process.
#pragma once

#include <functional>
#include <string_view>

#include "console/TfCrt.h"
#include "console/braille/tfFocus80.h"
#include "console/tfAmplia.h"
#include "console/tfMouse.h"
#include "diphone/DiphoneSynth.h"
#include "diphone/tfwav.h"
#include "speech/TFSAPI54.h"
#include "speech/tfSapi5.h"
#include "speech/tfsapglb.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi4.h"
#include "speech/tfsapi_startup.h"

namespace sonara {

// The diphone synthesizer's module start: its own defaults, then the timing defaults and
// both wave flags off through the speed parameters, as the speech start-up sets them.
class DiphoneModule : public DiphoneSynth {
  public:
    DiphoneModule() { SetSpeedParameters(400, 0, 100, false, false); }
};

class Process {
  public:
    Process();
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Told of every module's start and shutdown step ("start Tfsapi", "stop TfCrt"), for
    // tests of the order. Set before the Process is built.
    using StepObserver = std::function<void(std::string_view step)>;
    static void SetStepObserver(StepObserver observer);

  private:
    // Announces a module's start after its constructor and its shutdown before its
    // destructor, so the observer sees the members' real order.
    template <class Module>
    struct Step {
        explicit Step(const char* name) : name_(name) { Note("start", name_); }
        ~Step() { Note("stop", name_); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;
        Module module;
        const char* name_;
    };
    static void Note(const char* what, const char* name);

  public:
    Step<Tfwav> tfwav{"Tfwav"};  // wave output: the ring of blocks, the device by name
    Step<DiphoneModule> diphone{"DiphoneSynth"};  // timing defaults, both wave flags off
    // Still to join here: the Tavena engine's settings.
    Step<Tfsapglb> tfsapglb{"Tfsapglb"};  // server dispatch: type 5
    Step<Tfsapi4> tfsapi4{"Tfsapi4"};     // SAPI 4 back end: server type 4
    Step<TfSapi5> tfSapi5{"TfSapi5"};     // SAPI 5 back end: server type 5 and the others
    Step<TFSAPI54> tfsapi54{"TFSAPI54"};  // SAPI 5, second type library: server type 54
    Step<Tfsapi> tfsapi{"Tfsapi"};        // speech facade: configuration state, legacy lookup
    Step<TfMouse> mouse{"TfMouse"};
    Step<TfCrt> crt{"TfCrt"};
    Step<TfFocus80> focus80{"TfFocus80"};  // offers the console its braille display
    Step<TfAmplia> amplia{"TfAmplia"};     // no start step of its own; needs the console
};

Process& CurrentProcess();

// Builds a fresh Process on the current platform back end, runs programMain, and turns
// a win::ProcessExit (DoneConsole, Ctrl+Break, WM_QUIT, a closed window) into its exit
// code after the shutdown steps ran. Returns 0 when programMain returns normally. Any
// other exception (the simulator's SimStopped) propagates after the shutdown steps.
int RunProgram(const std::function<void()>& programMain);

}  // namespace sonara
