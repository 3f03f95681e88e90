// How Speak cuts a text into pieces on the built-in path, as a stage of its own: text in,
// one step of spoken pieces at a time out. Speak runs each step after checking for a key;
// nothing here plays or waits.
#pragma once

#include <string_view>
#include <vector>

namespace sonara {

struct SpeechPiece {
    enum class Kind {
        kNamedSound,   // PlayNamedSound(text)
        kSpell,        // SpellText(text)
        kNumber,       // SpeakNumberWords of the number text (1 to 6 digits), masculine
        kPhrase,       // TextToPhonemes(text) then SpeakPhonemes; text is at most 999 bytes
        kPunctuation,  // PunctuationPause: ch named, pause when spaceAfter
        kClick,        // PlayClick
        kChar,         // SpeakChar(ch), unless a key waits
        kTab,          // PlayNamedSound("_FON9")
    };
    Kind kind;
    std::string_view text;  // a view into the cut text, or a fixed name
    char ch = 0;
    bool spaceAfter = false;  // PunctuationPause: the character after ch is a space
};

// Cuts `text` (the caller's text with its appended space) from the front. The text must
// outlive the cutter: pieces are views into it.
class PieceCutter {
  public:
    static constexpr std::size_t kMaxPhrase = 999;
    static constexpr int kRepeatsBeforeClick = 3;

    explicit PieceCutter(std::string_view text) : text_(text) {}
    // The pieces of the next step (cleared first); false when the text is used up.
    bool Next(std::vector<SpeechPiece>& step);
    // What is left of the text.
    std::string_view Rest() const { return text_.substr(pos_); }

  private:
    void Other(std::vector<SpeechPiece>& step);

    std::string_view text_;
    std::size_t pos_ = 0;
    char last_ = ' ';
    int repeats_ = 0;
};

// Space, A-Z, a-z and codes 128-255; the same without the space.
bool IsWordChar(char c);
bool IsLetterChar(char c);
// a-z upper-cased, 224-255 moved down by 32, everything else kept.
std::string UpperLatin(std::string_view s);

}  // namespace sonara
