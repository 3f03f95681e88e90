// One process-wide instance of every module, as members in start order: constructing a
// Process runs the start steps in order, destroying it runs the shutdown steps in
// reverse. The free operations of the modules (KeyPressed, ReadIni, ...) act on the
// current Process. Modules join here as they are built:
//   wave output, diphone defaults, engine settings, server dispatch, speech facade,
//   mouse keys, console.
#pragma once

#include <functional>

namespace sonara {

class Process;
Process& CurrentProcess();

// Builds a fresh Process on the current platform back end, runs programMain, and turns
// a win::ProcessExit (DoneConsole, Ctrl+Break, WM_QUIT, a closed window) into its exit
// code after the shutdown steps ran. Returns 0 when programMain returns normally.
int RunProgram(const std::function<void()>& programMain);

}  // namespace sonara
