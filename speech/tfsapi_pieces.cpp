#include "speech/tfsapi_pieces.h"

#include <string>

namespace sonara {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsPunctuation(char c) {
    return c == '(' || c == ')' || c == ',' || c == '.' || c == ':' || c == ';';
}

}  // namespace

bool IsLetterChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 128;
}

bool IsWordChar(char c) {
    return c == ' ' || IsLetterChar(c);
}

std::string UpperLatin(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || u >= 224) c = static_cast<char>(u - 32);
    }
    return out;
}

bool PieceCutter::Next(std::vector<SpeechPiece>& step) {
    step.clear();
    if (pos_ >= text_.size()) return false;
    using Kind = SpeechPiece::Kind;
    while (pos_ < text_.size() && text_[pos_] == '0') {
        step.push_back({Kind::kNamedSound, "_zero"});
        ++pos_;
    }
    if (pos_ >= text_.size()) return true;
    const char first = text_[pos_];
    if (first >= '1' && first <= '9') {
        std::size_t end = pos_;
        bool minus = false;
        while (end < text_.size() && (IsDigit(text_[end]) || text_[end] == '-')) {
            minus = minus || text_[end] == '-';
            ++end;
        }
        std::string_view prefix = text_.substr(pos_, end - pos_);
        step.push_back({minus || prefix.size() >= 7 ? Kind::kSpell : Kind::kNumber, prefix});
        pos_ = end;
    } else if (IsWordChar(first)) {
        std::size_t end = pos_;
        while (end < text_.size() && IsWordChar(text_[end])) ++end;
        std::string_view prefix = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (prefix.size() == 3 && UpperLatin(prefix) == "WWW") {
            step.push_back({Kind::kSpell, prefix});
        } else {
            step.push_back({Kind::kPhrase, prefix.substr(0, kMaxPhrase)});
            // A hyphen joining two words is not spoken.
            if (pos_ + 1 < text_.size() && text_[pos_] == '-' && IsLetterChar(text_[pos_ + 1]))
                ++pos_;
        }
    } else {
        Other(step);
    }
    return true;
}

void PieceCutter::Other(std::vector<SpeechPiece>& step) {
    using Kind = SpeechPiece::Kind;
    std::string_view rest = text_.substr(pos_);
    char ch = rest[0];
    if (ch == last_) {
        if (++repeats_ > kRepeatsBeforeClick) {
            step.push_back({Kind::kClick, {}});
            ch = ' ';
        }
    } else {
        repeats_ = 0;
        last_ = ch;
    }
    const bool spaceAfter = rest.size() > 1 && rest[1] == ' ';
    if (rest[0] == '-') {
        char c2 = rest.size() > 2 ? rest[1] : ' ';
        if (c2 == ' ' || c2 == '-') {
            step.push_back({Kind::kPunctuation, {}, '-', spaceAfter});
        } else if (IsDigit(c2)) {
            step.push_back({Kind::kNamedSound, "_MENOS"});
        } else {
            step.push_back({Kind::kChar, {}, '-'});
        }
    } else if (rest.substr(0, 3) == "://") {
        step.push_back({Kind::kSpell, rest.substr(0, 1)});
    } else if (IsPunctuation(ch)) {
        step.push_back({Kind::kPunctuation, {}, rest[0], spaceAfter});
    } else if (ch == '\t') {
        step.push_back({Kind::kTab, {}});
    } else if (ch != ' ' && ch != '\r' && ch != '\n') {
        step.push_back({Kind::kChar, {}, ch});
    }
    ++pos_;
}

}  // namespace sonara
