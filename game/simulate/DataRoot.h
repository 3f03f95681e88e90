// The bundled data root (drive c: on Linux: the media pack, the default Sonara.ini and
// whatever else the build generates into it) put on a simulated machine, so a simulated
// game finds exactly the files a real one would.
#pragma once

#include <string>

namespace sim {
class SimMachine;
}

namespace sonara {

// Every regular file under the host directory `root` becomes the file of the same
// relative path on drive c:, its bytes read from the host only when the program reads
// them. Returns how many files were added (0 when `root` is not a directory).
int AddDataRoot(sim::SimMachine& machine, const std::string& root);

// The text of the data root's configuration file (windows\Sonara.ini), empty without one:
// what a script's "ini" lines add their keys to.
std::string DataRootIni(const std::string& root);

}  // namespace sonara
