#include "platform/linux/SpeechdVoiceList.h"

namespace win {

namespace {

// The field up to the next tab, which is removed with it.
std::string_view Field(std::string_view& rest) {
    const std::size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    return field;
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool SpeechdVoiceListReader::Feed(std::string_view bytes) {
    while (!complete_ && !broken_ && !bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (partial_.size() + piece.size() > kLongestLine) {
            broken_ = true;
            break;
        }
        partial_.append(piece);
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
        std::string_view line = partial_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        Line(line);
        partial_.clear();
    }
    return !complete_ && !broken_;
}

void SpeechdVoiceListReader::Line(std::string_view line) {
    // "249-NAME\tLANGUAGE\tVARIANT" for each voice, "249 OK VOICE LIST SENT" at the end;
    // any other reply code with a space is the server's refusal.
    if (line.size() < 4 || !Digit(line[0]) || !Digit(line[1]) || !Digit(line[2])) return;
    if (line.substr(0, 3) != "249") {
        if (line[3] == ' ') broken_ = true;
        return;
    }
    if (line[3] == ' ') {
        complete_ = true;
        return;
    }
    if (line[3] != '-') return;
    std::string_view rest = line.substr(4);
    SpeechdVoice voice;
    voice.name = Field(rest);
    voice.language = Field(rest);
    voice.variant = Field(rest);
    if (voice.name.empty()) return;
    if (voices_.size() >= kMostVoices) {
        broken_ = true;
        return;
    }
    voices_.push_back(std::move(voice));
}

}  // namespace win
