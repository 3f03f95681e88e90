// The reading of a phoneme-group string: which diphones, character recordings, silences
// and noise bursts the synthesizer asks for, in order. The planner decides, a sink
// answers the lookups and makes the sound, so the synthesizer, its tests and the
// `sonara units` tool share one reading.
#pragma once

#include <cstddef>
#include <string_view>

namespace sonara {

// Up to Cap characters held in place (no allocation); appends past Cap are dropped.
template <std::size_t Cap>
class ShortString {
  public:
    ShortString() = default;
    explicit ShortString(std::string_view s) { Append(s); }
    void Append(char c) {
        if (size_ < Cap) chars_[size_++] = c;
    }
    void Append(std::string_view s) {
        for (char c : s) Append(c);
    }
    void Clear() { size_ = 0; }
    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    std::string_view View() const { return {chars_, size_}; }

  private:
    char chars_[Cap] = {};
    std::size_t size_ = 0;
};

// How a name that could not be found was given up.
enum class MissKind {
    kNoise,    // a name of at most 2 characters: a noise burst instead
    kDropped,  // nothing left to try: the piece is left out
};

// Answers the planner's lookups and makes the sound.
class UnitSink {
  public:
    virtual ~UnitSink() = default;
    // A diphone name ("$..." as built, not yet upper-cased); true when it was found.
    virtual bool FetchDiphone(std::string_view name, int stressMode, double factor) = 0;
    // A character recording name ("_97"); true when it was found.
    virtual bool PlayLetterFile(std::string_view name) = 0;
    virtual void AppendSilence(int samples) = 0;
    virtual void AppendNoise() = 0;
    // Told after a missing name ended in a noise burst or was left out.
    virtual void OnMiss(std::string_view /*name*/, MissKind /*kind*/) {}
};

// Silences in samples: after each word group and for the punctuation tokens "_,"
// "_." "_;" "_:".
struct PhonemePauses {
    int word = 100;
    int comma = 4000;
    int fullStop = 8000;
    int semicolon = 6000;
    int colon = 8000;
};

class DiphonePlanner {
  public:
    static constexpr std::size_t kMaxToken = 40;
    // Units and names: longer ones are cut to this length.
    static constexpr std::size_t kMaxName = 12;
    using Token = ShortString<kMaxToken>;
    using Name = ShortString<kMaxName>;

    explicit DiphonePlanner(UnitSink& sink) : sink_(sink) {}

    // Everything SpeakPhonemes asks for, in order: each group's token split into units,
    // the word pause after a group followed by more text (unless a blank precedes it),
    // and the punctuation silences unless `noPunctuationPauses`.
    void Plan(std::string_view phonemes, bool noPunctuationPauses, const PhonemePauses& pauses);

    // The steps, usable alone. Start sets the read position to the first character and
    // the stress mode to 1.
    void Start(std::string_view phonemes);
    bool AtEnd() const { return pos_ >= text_.size(); }
    Token NextGroupToken(bool noPunctuationPauses, const PhonemePauses& pauses);
    void SplitToken(std::string_view token, double factor);
    void SpeakUnit(std::string_view unit, double factor);
    void SpeakName(std::string_view name, int stressMode, double factor);

    // 1 at the start of a group, 2 while a stressed unit is fetched, 0 after it.
    int StressMode() const { return stress_mode_; }
    std::size_t ReadPosition() const { return pos_; }

  private:
    UnitSink& sink_;
    std::string_view text_;
    std::size_t pos_ = 0;
    int stress_mode_ = 1;
};

// Character sets of the phoneme strings.
bool IsDiphoneVowel(char c);    // A E I O U a e i o u w y
bool IsStressedVowel(char c);   // A E I O U
bool IsSplitConsonant(char c);  // b c d f g j k l m n p q r s t v x z
bool IsGlide(char c);           // w y
bool IsMark(char c);            // ^ ~

}  // namespace sonara
