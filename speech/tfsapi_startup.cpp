#include "speech/tfsapi_startup.h"

namespace sonara {

// Placeholders until the speech start-up is built: the letter game speaks only through
// its clips and cues, so it runs the same without them.
void StartSpeech(int /*speedLevel*/, std::string_view /*directory*/) {}

void EndSpeech() {}

}  // namespace sonara
