// The Tavena engine's glue: its settings, read from section "TAVENATTS" of Sonara.ini and
// the registry at program start, and the five operations the speech-server dispatch
// calls for type 3.
#pragma once

#include <string>
#include <string_view>

#include "speech/tfsapglb.h"
#include "tavena/TavenaEngine.h"

namespace sonara {

struct TavenaSettings {
    std::string database;  // "MBROLA_DB", default "br4"
    std::string dataDir;   // "DIR", or from the BR4 database's registered path; ends in "\"
    std::string base;      // "BASE", default "portug"
    std::string rules, exceptions, abbreviations, prosody, diphones;  // dataDir + base + ext
};

// Reads the settings as the module start does (ReadIni, then the registry).
TavenaSettings ReadTavenaSettings();

// The module: start reads the settings and makes the engine (with its two buffers).
class TavenaGlue {
  public:
    // Posted to the console window after every speak, busy check and stop: it only ends
    // a caller's WaitMessage.
    static constexpr unsigned kWakeUp = 2980;

    TavenaGlue();
    ~TavenaGlue();
    TavenaGlue(const TavenaGlue&) = delete;
    TavenaGlue& operator=(const TavenaGlue&) = delete;

    static TavenaGlue* Current();

    const TavenaSettings& Settings() const { return settings_; }
    TavenaEngine& Engine() { return engine_; }

  private:
    TavenaSettings settings_;
    TavenaEngine engine_;
};

// voice is ignored. Factors: pitch (pitch + 11) / 11, duration 0.8 - speed / 15.
bool TavenaStart(int voice, int speed, int pitch, std::string_view outputFile);
void TavenaSpeak(std::string_view text);
// A waiting key stops the sound and gives false; the key stays queued.
bool TavenaBusy();
void TavenaStop();
// Waits for the end of speech in steps of 500 ms, stops, closes the engine.
void TavenaEnd();

// The glue as a speech-server back end, the one dispatch type 3 reaches.
ServerBackend& TavenaServer();

}  // namespace sonara
