#include "platform/mci_command.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

namespace win {

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Splits on blanks; "..." is one word without its quotes. Returns false on an open quote.
bool SplitWords(std::string_view text, std::vector<Word>& words) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        Word w;
        if (text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) return false;
            w.text = std::string(text.substr(i + 1, close - i - 1));
            w.quoted = true;
            i = close + 1;
        } else {
            const std::size_t start = i;
            while (i < text.size() && !IsBlank(text[i])) ++i;
            w.text = std::string(text.substr(start, i - start));
        }
        words.push_back(std::move(w));
    }
    return true;
}

bool Is(const Word& w, std::string_view keyword) {
    if (w.quoted || w.text.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(w.text[i])) != keyword[i]) return false;
    }
    return true;
}

std::optional<MciVerb> VerbOf(const Word& w) {
    if (Is(w, "open")) return MciVerb::kOpen;
    if (Is(w, "where")) return MciVerb::kWhere;
    if (Is(w, "window")) return MciVerb::kWindow;
    if (Is(w, "put")) return MciVerb::kPut;
    if (Is(w, "play")) return MciVerb::kPlay;
    if (Is(w, "stop")) return MciVerb::kStop;
    if (Is(w, "close")) return MciVerb::kClose;
    return std::nullopt;
}

template <typename T>
bool ParseNumber(const Word& w, T& out) {
    const char* first = w.text.data();
    const char* last = first + w.text.size();
    const auto result = std::from_chars(first, last, out);
    return !w.text.empty() && result.ec == std::errc() && result.ptr == last;
}

// Walks the words after the device name, keyword by keyword.
class ArgumentParser {
  public:
    ArgumentParser(const std::vector<Word>& words, MciCommand& cmd)
        : words_(words), cmd_(cmd), pos_(2) {}

    MCIERROR Run() {
        while (pos_ < words_.size()) {
            const MCIERROR e = One();
            if (e != 0) return e;
        }
        return Finish();
    }

  private:
    MCIERROR One() {
        const Word& w = words_[pos_++];
        if (Is(w, "notify")) return Flag(cmd_.notify);
        if (Is(w, "wait")) return Flag(cmd_.wait);
        switch (cmd_.verb) {
            case MciVerb::kOpen:
                if (Is(w, "type")) return Text(cmd_.type);
                if (Is(w, "alias")) return Text(cmd_.alias);
                if (Is(w, "shareable")) return 0;
                break;
            case MciVerb::kWhere:
                return Side(w, "source");
            case MciVerb::kWindow:
                if (Is(w, "handle")) return Handle();
                break;
            case MciVerb::kPut:
                if (Is(w, "at") && sideSeen_) return Rect();
                return Side(w, "window");
            default:
                break;
        }
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }

    MCIERROR Side(const Word& w, std::string_view plain) {
        if (sideSeen_) return MCIERR_UNRECOGNIZED_KEYWORD;
        if (Is(w, "destination")) cmd_.destination = true;
        if (!Is(w, plain) && !cmd_.destination) return MCIERR_UNRECOGNIZED_KEYWORD;
        sideSeen_ = true;
        return 0;
    }

    static MCIERROR Flag(bool& flag) {
        flag = true;
        return 0;
    }

    MCIERROR Text(std::string& out) {
        if (pos_ >= words_.size()) return MCIERR_MISSING_PARAMETER;
        out = words_[pos_++].text;
        return 0;
    }

    MCIERROR Handle() {
        if (pos_ >= words_.size()) return MCIERR_MISSING_PARAMETER;
        if (!ParseNumber(words_[pos_++], cmd_.windowHandle)) return MCIERR_BAD_INTEGER;
        handleSeen_ = true;
        return 0;
    }

    MCIERROR Rect() {
        LONG* fields[] = {&cmd_.x, &cmd_.y, &cmd_.width, &cmd_.height};
        for (LONG* f : fields) {
            if (pos_ >= words_.size()) return MCIERR_MISSING_PARAMETER;
            if (!ParseNumber(words_[pos_++], *f)) return MCIERR_BAD_INTEGER;
        }
        rectSeen_ = true;
        return 0;
    }

    MCIERROR Finish() const {
        switch (cmd_.verb) {
            case MciVerb::kWhere:
                return sideSeen_ ? 0 : MCIERR_MISSING_PARAMETER;
            case MciVerb::kWindow:
                return handleSeen_ ? 0 : MCIERR_MISSING_PARAMETER;
            case MciVerb::kPut:
                return rectSeen_ ? 0 : MCIERR_MISSING_PARAMETER;
            default:
                return 0;
        }
    }

    const std::vector<Word>& words_;
    MciCommand& cmd_;
    std::size_t pos_;
    bool sideSeen_ = false;
    bool handleSeen_ = false;
    bool rectSeen_ = false;
};

}  // namespace

MciParse ParseMciCommand(std::string_view text) {
    MciParse parse;
    std::vector<Word> words;
    if (!SplitWords(text, words)) {
        parse.error = MCIERR_NO_CLOSING_QUOTE;
        return parse;
    }
    if (words.empty()) {
        parse.error = MCIERR_MISSING_COMMAND_STRING;
        return parse;
    }
    const std::optional<MciVerb> verb = VerbOf(words[0]);
    if (!verb) {
        parse.error = MCIERR_UNRECOGNIZED_COMMAND;
        return parse;
    }
    parse.command.verb = *verb;
    if (words.size() < 2 || words[1].text.empty()) {
        parse.error = MCIERR_MISSING_DEVICE_NAME;
        return parse;
    }
    parse.command.device = words[1].text;
    parse.error = ArgumentParser(words, parse.command).Run();
    return parse;
}

}  // namespace win
