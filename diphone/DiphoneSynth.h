// The built-in diphone synthesizer: speaks phoneme-group strings by joining 8-bit mono
// 11025 Hz diphones from the database (index + data file), recorded character names,
// silences and noise bursts in one 64000-byte sound image played through the speech
// facade.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "diphone/tfTradut.h"

namespace sonara {

// What the synthesizer needs from the speech facade.
class SpeechPlayer {
  public:
    virtual ~SpeechPlayer() = default;
    // Plays a RIFF WAVE image (44-byte header + samples); returns once it has been heard
    // or stopped by a key.
    virtual void PlayImageAndWait(const std::uint8_t* image) = 0;
    // False once playback has ended or a key has stopped it.
    virtual bool IsSpeaking() = 0;
};

class DiphoneSynth {
  public:
    // Module start: timing defaults (cut 400, minimum 0, word pause 100), no index, no
    // buffer. The owner then calls SetSpeedParameters(400, 0, 100, false, false).
    DiphoneSynth();
    ~DiphoneSynth();
    DiphoneSynth(const DiphoneSynth&) = delete;
    DiphoneSynth& operator=(const DiphoneSynth&) = delete;

    // The synthesizer of this process (the most recently constructed live one), or null.
    static DiphoneSynth* Current();

    // 0 = ready; 1 = a directory or a database file is missing; 2 = the rule file or
    // the exception list cannot be read. The current directory is restored.
    int InitDiphoneSynth();
    // Releases the buffer, the rules, the data file and the index.
    void FreeDiphoneSynth();

    // Speaks a phoneme-group string; returns when all of it has been played or stopped.
    void SpeakPhonemes(std::string_view phonemes, bool noPunctuationPauses);
    void SetSpeechTiming(int cut, int minimum, int wordPause);
    void SetPlayer(SpeechPlayer* player);

    // Database base name, at most 8 characters (the speed settings may overwrite it).
    std::string& DiphoneBaseName();
    // The letters directory as read by InitDiphoneSynth, ending in "\".
    const std::string& LettersDir() const;
    const TfTradut& Rules() const;
};

}  // namespace sonara
