// The speech data the game's speech start-up needs (the diphone database, its rules and
// exceptions, the recorded letters and words), copied from the bundled data root on the
// host into a simulated machine's drive c:.
#pragma once

#include <string>

namespace sim {
class SimMachine;
}

namespace sonara {

// Copies <hostRoot>/tecfal/som/difones and <hostRoot>/tecfal/som/letras, with their
// sub-directories, to c:\tecfal\som\difones and c:\tecfal\som\letras. Missing folders
// are left missing: the speech start-up then reports them.
void AddSpeechData(sim::SimMachine& machine, const std::string& hostRoot);

}  // namespace sonara
