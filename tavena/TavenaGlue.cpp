#include "tavena/TavenaGlue.h"

#include "console/TfCrt.h"
#include "platform/api.h"
#include "speech/minireg.h"
#include "speech/tfsapi.h"

namespace sonara {

namespace {

TavenaGlue* current_glue = nullptr;

constexpr char kSection[] = "TAVENATTS";
constexpr char kBr4Key[] = "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\";
constexpr char kDefaultDir[] = "\\tecfal\\tavenatts\\";
constexpr std::uint16_t kEndPollMs = 500;

void WakeUp() {
    win::PostMessageA(ConsoleWindow(), TavenaGlue::kWakeUp, 0, 0);
}

class TavenaBackend : public ServerBackend {
  public:
    bool Start(int voice, int speed, int pitch, std::string_view outputFile) override {
        return TavenaStart(voice, speed, pitch, outputFile);
    }
    void Speak(std::string_view text) override { TavenaSpeak(text); }
    bool Busy(bool) override { return TavenaBusy(); }
    void Stop() override { TavenaStop(); }
    void End() override { TavenaEnd(); }
};

}  // namespace

TavenaSettings ReadTavenaSettings() {
    TavenaSettings s;
    s.database = ReadIni(kSection, "MBROLA_DB");
    s.dataDir = ReadIni(kSection, "DIR");
    s.base = ReadIni(kSection, "BASE");
    if (s.database.empty()) s.database = "br4";
    if (s.dataDir.empty()) {
        // The registered value is the database path handed to the library, whose file
        // name "br4" has three characters: what remains is its directory.
        std::string registered;
        if (ReadRegString(win::HKEY_LOCAL_MACHINE, kBr4Key, registered) && registered.size() > 3) {
            s.dataDir = registered.substr(0, registered.size() - 3);
        } else {
            s.dataDir = kDefaultDir;
        }
    }
    if (s.base.empty()) s.base = "portug";
    if (s.dataDir.back() != '\\') s.dataDir += '\\';
    const std::string stem = s.dataDir + s.base;
    s.rules = stem + ".nrl";
    s.exceptions = stem + ".exc";
    s.abbreviations = stem + ".abr";
    s.prosody = stem + ".pro";
    s.diphones = stem + ".dfn";
    return s;
}

TavenaGlue::TavenaGlue() : settings_(ReadTavenaSettings()) {
    current_glue = this;
}

TavenaGlue::~TavenaGlue() {
    if (current_glue == this) current_glue = nullptr;
}

TavenaGlue* TavenaGlue::Current() {
    return current_glue;
}

bool TavenaStart(int /*voice*/, int speed, int pitch, std::string_view outputFile) {
    TavenaGlue* glue = TavenaGlue::Current();
    if (glue == nullptr) return false;
    TavenaEngine& engine = glue->Engine();
    const TavenaSettings& s = glue->Settings();
    engine.EngineSetOutput(outputFile);
    bool started = engine.EngineInit(s.database, s.rules, s.exceptions, s.abbreviations, s.prosody,
                                     s.diphones);
    engine.EngineSetFactors((pitch + 11) / 11.0, 0.8 - speed / 15.0);
    return started;
}

void TavenaSpeak(std::string_view text) {
    EngineSpeak(text);
    WakeUp();
}

bool TavenaBusy() {
    bool busy = EngineIsPlaying();
    if (KeyPressed()) {
        TavenaStop();
        busy = false;
    }
    WakeUp();
    return busy;
}

void TavenaStop() {
    EngineStop();
    WakeUp();
}

void TavenaEnd() {
    while (TavenaBusy()) Delay(kEndPollMs);
    TavenaStop();
    EngineClose();
}

ServerBackend& TavenaServer() {
    static TavenaBackend backend;
    return backend;
}

}  // namespace sonara
