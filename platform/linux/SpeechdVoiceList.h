// The server's answer to "LIST SYNTHESIS_VOICES", read line by line as it arrives. Our
// client reads it on a connection of its own: libspeechd's reader takes time quadratic in
// the list's length (seconds for espeak-ng's 13 000 voices and variants, many minutes under
// the sanitizers).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace win {

struct SpeechdVoice {
    std::string name;      // what the server selects it by (UTF-8)
    std::string language;  // "pt-BR", "pt", "en-US"...
    std::string variant;   // "none" or the variant's name
};

class SpeechdVoiceListReader {
  public:
    // A longer line, or more voices, and the answer is taken as broken.
    static constexpr std::size_t kLongestLine = 4096;
    static constexpr std::size_t kMostVoices = 200000;

    // Takes the next bytes of the answer; false once it is complete or broken.
    bool Feed(std::string_view bytes);
    // "249 OK VOICE LIST SENT" arrived: the list is complete.
    bool Complete() const { return complete_; }
    // An error reply, an over-long line or too many voices.
    bool Broken() const { return broken_; }
    const std::vector<SpeechdVoice>& voices() const { return voices_; }

  private:
    void Line(std::string_view line);

    std::string partial_;
    std::vector<SpeechdVoice> voices_;
    bool complete_ = false;
    bool broken_ = false;
};

}  // namespace win
