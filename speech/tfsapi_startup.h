// Speech start-up and shutdown, as the programs of the family call them, and the speed
// settings they load.
#pragma once

#include <string_view>

namespace sonara {

// Low-vision settings, the legacy lookup, the speed level (0 or less: "VELOCIDADE" of
// "TRADUTOR"), the diphone synthesizer (which must start, or the program ends after its
// error lines and an Enter), the directories, and the speech server when one is set.
void StartSpeech(int speedLevel, std::string_view directory);
// Lets speech end, stops it, ends the server and frees the diphone synthesizer.
void EndSpeech();

// The "SINTETIZADOR" keys of a speed level into the synthesizer, the wave output and the
// facade's pauses.
void LoadSpeedSettings(int level);
// The synthesizer's cut, minimum and word pause, then the wave output's FastSpeech and
// HighRate.
void SetSpeedParameters(int cut, int minimum, int wordPause, bool fastSpeech, bool highRate);
// The "BAIXAVISAO" keys, handed to the magnifier.
void LoadDisplaySettings();

}  // namespace sonara
