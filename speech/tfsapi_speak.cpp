// tfsapi: the speaking half of the facade. Texts go to the speech server when one is
// active, else piece by piece to the diphone synthesizer, the recorded numbers and the
// recorded letters. A waiting key stops everything and stays in the queue.
#include <random>
#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "diphone/DiphoneSynth.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "speech/tflenum.h"
#include "speech/tfsapglb.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_pieces.h"
#include "speech/tfsapi_wave.h"

namespace sonara {

namespace {

constexpr std::uint16_t kPauseStepMs = 50;
constexpr int kClickNoiseRange = 60;

// What the diphone synthesizer and the number words play through.
class FacadePlayer : public SpeechPlayer {
  public:
    void PlayImageAndWait(const std::uint8_t* image) override { sonara::PlayImageAndWait(image); }
    bool IsSpeaking() override { return sonara::IsSpeaking(); }
};

FacadePlayer& Player() {
    static FacadePlayer player;
    return player;
}

bool FileExists(const std::string& path) {
    win::DWORD a = win::GetFileAttributesA(path.c_str());
    return a != win::INVALID_FILE_ATTRIBUTES && (a & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Tfsapi& Facade() {
    return *Tfsapi::Current();
}

void WaitWhileSpeaking(Tfsapi& facade) {
    while (facade.IsSpeaking()) win::WaitMessage();
}

}  // namespace

void Tfsapi::StartModule() {
    win::CoInitialize(nullptr);  // for the SAPI back ends; never uninitialised
    legacy_lookup_ = true;
    ServerType = 5;
    ServerOutputFile.clear();
    phoneme_text_.clear();
    ServerPending = true;
    std::minstd_rand random(win::GetTickCount() + 1);
    for (std::size_t i = 0; i < kClickSamples; ++i) {
        ClickSound[44 + i] =
            static_cast<std::uint8_t>(i < kClickNoise ? 128 + random() % kClickNoiseRange : 128);
    }
    if (DiphoneSynth* synth = DiphoneSynth::Current()) synth->SetPlayer(&Player());
}

void Tfsapi::EndModule() {
    if (DiphoneSynth* synth = DiphoneSynth::Current()) synth->SetPlayer(nullptr);
}

void Tfsapi::Speak(std::string_view text) {
    if (!ServerActive) {
        SpeakBuiltIn(text);
        return;
    }
    WaitWhileSpeaking(*this);
    if (KeyPressed()) return;
    ServerSpeak(text);
    ServerPending = true;
}

void Tfsapi::SpeakBuiltIn(std::string_view text) {
    std::string padded;
    padded.reserve(text.size() + 1);
    padded.append(text);
    padded += ' ';
    StopRequested = false;
    PieceCutter cutter(padded);
    std::vector<SpeechPiece> step;
    step.reserve(8);
    DiphoneSynth* synth = DiphoneSynth::Current();
    while (!StopRequested && cutter.Next(step)) {
        if (KeyPressed()) {
            StopSpeech();
            return;
        }
        for (const SpeechPiece& piece : step) {
            using Kind = SpeechPiece::Kind;
            switch (piece.kind) {
                case Kind::kNamedSound:
                    PlayNamedSound(piece.text);
                    break;
                case Kind::kSpell:
                    SpellText(piece.text);
                    break;
                case Kind::kNumber:
                    SpeakNumberWords(NumberToWords(std::stoul(std::string(piece.text))), false);
                    break;
                case Kind::kPhrase:
                    if (synth != nullptr) {
                        phoneme_text_ = synth->Rules().TextToPhonemes(piece.text);
                        synth->SpeakPhonemes(phoneme_text_, false);
                    }
                    break;
                case Kind::kPunctuation:
                    PunctuationPause(piece.ch, piece.spaceAfter);
                    break;
                case Kind::kClick:
                    PlayClick();
                    break;
                case Kind::kChar:
                    if (!KeyPressed()) SpeakChar(piece.ch);
                    break;
                case Kind::kTab:
                    PlayNamedSound("_FON9");
                    break;
            }
        }
    }
}

void Tfsapi::SpellText(std::string_view text) {
    for (char c : text) {
        if (KeyPressed()) return;
        if (c == '\t') {
            PlayNamedSound("_FON9");
        } else {
            SpeakChar(c);
        }
    }
}

void Tfsapi::SpeakChar(char c) {
    WaitServerSpeech();
    auto code = static_cast<unsigned char>(c);
    if ((code >= 1 && code <= 11) || (code >= 13 && code <= 31)) return;
    // The letters directory as the synthesizer read it; the facade's own without one.
    DiphoneSynth* synth = DiphoneSynth::Current();
    const std::string& dir =
        synth != nullptr && !synth->LettersDir().empty() ? synth->LettersDir() : LettersDir;
    std::string file = dir + "_" + std::to_string(code) + ".wav";
    if (FileExists(file)) {
        PlayWavFile(file);
    } else {
        PlayWavFile(dir + "_unknown.wav");
    }
}

void Tfsapi::PlayNamedSound(std::string_view name) {
    WaitServerSpeech();
    std::string file = (!name.empty() && name[0] == '_' ? LettersDir : SoundDir);
    file.append(name);
    file += ".wav";
    PlayWavFile(file);
}

void Tfsapi::PunctuationPause(char c, bool spaceAfter) {
    if (KeyPressed()) return;
    WaitWhileSpeaking(*this);
    SpeakChar(c);
    switch (c) {
        case '(':
        case ')':
        case ':':
        case ';':
            PauseMs(ColonPause);
            break;
        case ',':
        case '-':
            if (spaceAfter) PauseMs(CommaPause);
            break;
        case '.':
            if (spaceAfter) PauseMs(FullStopPause);
            break;
        default:
            break;
    }
}

void Tfsapi::PauseMs(int ms) {
    for (int i = 0; i < ms / kPauseStepMs; ++i) {
        if (!KeyPressed()) Delay(kPauseStepMs);
    }
}

bool Tfsapi::IsSpeaking() {
    if (KeyPressed()) {
        StopSpeech();
        return false;
    }
    if (ServerActive) return IsPlaying() || ServerBusy(false);
    return IsPlaying();
}

void Tfsapi::StopSpeech() {
    StopPlayback();
    StopRequested = true;
    if (ServerActive && (ServerBusy(false) || ServerType == Tfsapglb::kTavena)) ServerStop();
    win::PostMessageA(ConsoleWindow(), kStopWakeUp, 0, 0);
}

void Tfsapi::WaitServerSpeech() {
    if (!ServerPending) return;
    WaitWhileSpeaking(*this);
    ServerPending = false;
}

bool Tfsapi::PlayImageAndWait(const std::uint8_t* image) {
    WaitServerSpeech();
    sonara::PlayWavImage(image);
    WaitWhileSpeaking(*this);
    return false;
}

void Tfsapi::PlayClick() {
    WaitServerSpeech();
    Tfwav* wav = Tfwav::Current();
    const bool fast = wav->FastSpeech();
    wav->SetFastSpeech(false);
    BuildWaveHeader(ClickSound.data(), kClickSamples, 11025, 8, 1);
    wav->PlayWavImage(ClickSound.data());
    WaitWhileSpeaking(*this);
    wav->SetFastSpeech(fast);
}

void Speak(std::string_view text) {
    Facade().Speak(text);
}
void SpellText(std::string_view text) {
    Facade().SpellText(text);
}
void SpeakChar(char c) {
    Facade().SpeakChar(c);
}
void PlayNamedSound(std::string_view name) {
    Facade().PlayNamedSound(name);
}
void PauseMs(int ms) {
    Facade().PauseMs(ms);
}
bool IsSpeaking() {
    return Facade().IsSpeaking();
}
void StopSpeech() {
    Facade().StopSpeech();
}
void WaitServerSpeech() {
    Facade().WaitServerSpeech();
}
bool PlayImageAndWait(const std::uint8_t* image) {
    return Facade().PlayImageAndWait(image);
}
void PlayClick() {
    Facade().PlayClick();
}

}  // namespace sonara
