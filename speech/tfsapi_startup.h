// Speech start-up and shutdown, as the programs of the family call them.
#pragma once

#include <string_view>

namespace sonara {

// Not the speech start-up yet: these only mark where the programs start and stop the
// speech output. The real start-up (low-vision and speed settings, the diphone
// synthesizer, the speech server) replaces these bodies.
void StartSpeech(int speedLevel, std::string_view directory);
void EndSpeech();

}  // namespace sonara
