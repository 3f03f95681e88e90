#include "speech/tfsapi_startup.h"

#include <string>

#include "console/TfCrt.h"
#include "console/tfAmplia.h"
#include "diphone/DiphoneSynth.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "speech/tfsapglb.h"
#include "speech/tfsapi.h"

namespace sonara {

namespace {

constexpr std::size_t kBaseNameMax = 8;
constexpr char kDefaultLettersDir[] = "c:\\tecfal\\som\\letras";

int IntOr(std::string_view value, int fallback) {
    std::optional<long> v = IniToInt(value);
    return v ? static_cast<int>(*v) : fallback;
}

std::string WithBackslash(std::string dir) {
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

Tfsapi& Facade() {
    return *Tfsapi::Current();
}

}  // namespace

void SetSpeedParameters(int cut, int minimum, int wordPause, bool fastSpeech, bool highRate) {
    if (DiphoneSynth* synth = DiphoneSynth::Current())
        synth->SetSpeechTiming(cut, minimum, wordPause);
    if (Tfwav* wav = Tfwav::Current()) {
        wav->SetFastSpeech(fastSpeech);
        wav->SetHighRate(highRate);
    }
}

void LoadSpeedSettings(int level) {
    std::string n = std::to_string(level);
    if (n.size() > 2) n.resize(2);
    auto key = [&](const char* name) { return ReadIni("SINTETIZADOR", std::string(name) + n); };
    if (DiphoneSynth* synth = DiphoneSynth::Current()) {
        std::string base = key("DIFONES");
        if (base.size() > kBaseNameMax) base.resize(kBaseNameMax);
        synth->DiphoneBaseName() = base;
    }
    // Missing or broken values give 0: the diphone timing has no defaults here.
    int cut = IntOr(key("CORTEFON"), 0);
    int minimum = IntOr(key("SOBRAFON"), 0);
    int wordPause = IntOr(key("INTERPAL"), 0);
    bool fast = IniFlagOn(key("CORTAFALA"));
    bool high = IniFlagOn(key("RAPIDINHO"));
    SetSpeedParameters(cut, minimum, wordPause, fast, high);
    Tfsapi& facade = Facade();
    facade.FullStopPause = IntOr(key("PAUSAPONTO"), 250);
    facade.CommaPause = IntOr(key("PAUSAVIRG"), 150);
    facade.ColonPause = IntOr(key("PAUSADOISPONTOS"), 200);
}

void LoadDisplaySettings() {
    ReadLowVisionSettings();
}

void StartSpeech(int speedLevel, std::string_view directory) {
    Tfsapi& facade = Facade();
    LoadDisplaySettings();
    std::string legacy = ReadIni("SONARA", "LEGADO");
    facade.SetLegacyLookup(!legacy.empty() && (legacy[0] == 'S' || legacy[0] == 's'));
    if (speedLevel <= 0) speedLevel = IntOr(ReadIni("TRADUTOR", "VELOCIDADE"), 0);
    if (speedLevel < 1 || speedLevel > 5) speedLevel = 3;
    facade.SpeedLevel = speedLevel;
    LoadSpeedSettings(speedLevel);

    DiphoneSynth* synth = DiphoneSynth::Current();
    int result = synth != nullptr ? synth->InitDiphoneSynth() : 1;
    if (result != 0) {
        // Windows-1252: "inicialização".
        ConsoleWriteLine("Erro de inicializa\xE7\xE3o: " + std::to_string(result));
        ConsoleWriteLine("Banco de dados de voz: " +
                         (synth != nullptr ? synth->DiphoneBaseName() : std::string("DIFONES2")));
        if (synth != nullptr) synth->FreeDiphoneSynth();
        ConsoleReadLine();
        DoneConsole();
    }

    facade.SoundDir = WithBackslash(std::string(directory));
    std::string letters = ReadIni("TRADUTOR", "DIRLETRAS");
    facade.LettersDir = WithBackslash(letters.empty() ? std::string(kDefaultLettersDir) : letters);
    LoadSpeedSettings(speedLevel);

    facade.ServerActive = false;
    if (IniFlagOn(ReadIni("TRADUTOR", "SAPI"))) {
        int voice = IntOr(ReadIni("SERVFALA", "VOZ"), 0);
        int speed = IntOr(ReadIni("SERVFALA", "VELOCIDADE"), 0);
        int pitch = IntOr(ReadIni("SERVFALA", "TOM"), 0);
        int type = IntOr(ReadIni("SERVFALA", "TIPOSAPI"), 0);
        if (type != Tfsapglb::kSapi4 && speed > 10) speed = 0;
        facade.ServerActive = ServerStart(voice, speed, pitch, type, facade.ServerOutputFile);
        facade.ServerType = type;
    }
}

void EndSpeech() {
    Tfsapi& facade = Facade();
    while (facade.IsSpeaking()) win::WaitMessage();
    facade.StopSpeech();
    if (facade.ServerActive) {
        ServerEnd();
        facade.ServerActive = false;
    }
    if (DiphoneSynth* synth = DiphoneSynth::Current()) synth->FreeDiphoneSynth();
}

}  // namespace sonara
