// The speech facade: its settings, the Sonara.ini lookup that every module uses, and the
// speaking operations (built-in path or speech server).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sonara {

// The speech facade module: its settings (filled by StartSpeech), the Sonara.ini lookup
// state and the speaking operations. Its start step switches the legacy second lookup
// on, sets server type 5, marks server speech as possibly pending and makes the click.
class Tfsapi {
  public:
    static constexpr std::size_t kClickSamples = 256;
    static constexpr std::size_t kClickNoise = 64;
    // Posted to the console window by StopSpeech: it only ends a WaitMessage.
    static constexpr unsigned kStopWakeUp = 1123;

    Tfsapi();
    ~Tfsapi();
    Tfsapi(const Tfsapi&) = delete;
    Tfsapi& operator=(const Tfsapi&) = delete;

    bool LegacyLookup() const { return legacy_lookup_; }
    void SetLegacyLookup(bool on) { legacy_lookup_ = on; }

    // The started facade of this process, or null before it started (ReadIni then
    // works with the legacy lookup off).
    static Tfsapi* Current();

    // Settings (StartSpeech fills them).
    std::string SoundDir;
    std::string LettersDir;
    int FullStopPause = 0;
    int CommaPause = 0;
    int ColonPause = 0;
    bool ServerActive = false;
    int ServerType = 5;
    std::string ServerOutputFile;  // nothing sets it
    int SpeedLevel = 0;
    // The 44-byte header (filled when played) and 256 samples.
    std::array<std::uint8_t, 44 + kClickSamples> ClickSound{};
    bool StopRequested = false;
    bool ServerPending = true;

    void Speak(std::string_view text);
    void SpellText(std::string_view text);
    void SpeakChar(char c);
    void PlayNamedSound(std::string_view name);
    // c is the punctuation character; spaceAfter: the text goes on with a space.
    void PunctuationPause(char c, bool spaceAfter);
    void PauseMs(int ms);
    bool IsSpeaking();
    void StopSpeech();
    void WaitServerSpeech();
    bool PlayImageAndWait(const std::uint8_t* image);
    void PlayClick();

  private:
    void StartModule();  // the click, the player of the diphone synthesizer
    void EndModule();
    void SpeakBuiltIn(std::string_view text);

    bool legacy_lookup_ = true;
    std::string phoneme_text_;  // the last result of TextToPhonemes
};

// The current facade's speaking operations.
void Speak(std::string_view text);
void SpellText(std::string_view text);
void SpeakChar(char c);
void PlayNamedSound(std::string_view name);
void PauseMs(int ms);
bool IsSpeaking();
void StopSpeech();
void WaitServerSpeech();
bool PlayImageAndWait(const std::uint8_t* image);
void PlayClick();

// Directory holding Sonara.ini, without trailing backslash; recomputed on every call.
std::string IniDirectory();

// A value of Sonara.ini with the "@" substitutions and the legacy second lookup; empty
// when the key is found nowhere.
std::string ReadIni(std::string_view section, std::string_view key);

// The directory of the program file, without trailing backslash.
std::string ProgramDir();

// Converts a value like a decimal literal: leading blanks, an optional sign, "$" or
// "0x" for hexadecimal. Fails on an empty value and on any other character.
std::optional<long> IniToInt(std::string_view value);
inline bool ReadIniInt(std::string_view value, long& out) {
    auto v = IniToInt(value);
    if (v) out = *v;
    return v.has_value();
}

// A flag is on when the value is not empty and does not begin with N or n.
bool IniFlagOn(std::string_view value);

}  // namespace sonara
