#include "diphone/DiphonePlan.h"

namespace sonara {

namespace {

constexpr double kFullFactor = 1.0;
constexpr double kGlideLeadFactor = 0.6;   // what comes before a vowel-glide unit
constexpr double kFinalSLeadFactor = 0.7;  // what comes before a final "s"
constexpr double kPieceFactor = 0.9;       // the first piece of a name split up

bool In(char c, std::string_view set) {
    return set.find(c) != std::string_view::npos;
}

char UpperAZ(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool EndsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// "_" + the decimal code of a character.
DiphonePlanner::Name LetterName(unsigned char code) {
    DiphonePlanner::Name name("_");
    char digits[3];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + code % 10);
        code /= 10;
    } while (code != 0);
    while (n > 0) name.Append(digits[--n]);
    return name;
}

}  // namespace

bool IsDiphoneVowel(char c) {
    return In(c, "AEIOUaeiouwy");
}
bool IsStressedVowel(char c) {
    return In(c, "AEIOU");
}
bool IsSplitConsonant(char c) {
    return In(c, "bcdfgjklmnpqrstvxz");
}
bool IsGlide(char c) {
    return c == 'w' || c == 'y';
}
bool IsMark(char c) {
    return c == '^' || c == '~';
}

void DiphonePlanner::Start(std::string_view phonemes) {
    text_ = phonemes;
    pos_ = 0;
    stress_mode_ = 1;
}

void DiphonePlanner::Plan(std::string_view phonemes, bool noPunctuationPauses,
                          const PhonemePauses& pauses) {
    Start(phonemes);
    while (!AtEnd()) {
        Token token = NextGroupToken(noPunctuationPauses, pauses);
        SplitToken(token.View(), kFullFactor);
        if (!AtEnd() && pos_ > 0 && text_[pos_ - 1] != ' ') sink_.AppendSilence(pauses.word);
    }
}

DiphonePlanner::Token DiphonePlanner::NextGroupToken(bool noPunctuationPauses,
                                                     const PhonemePauses& pauses) {
    if (!AtEnd() && text_[pos_] == '[') {
        stress_mode_ = 1;
        ++pos_;
    }
    Token token;
    while (!AtEnd()) {
        const char c = text_[pos_++];
        if (c == ' ' || c == ']') break;
        if (c == '/') {
            // A long token ends at a "/"; a short one runs on across it.
            if (token.Size() >= 9) break;
        } else if (c == '_') {
            token.Append(c);
            if (!AtEnd()) token.Append(text_[pos_++]);
        } else if (c == '|') {
            token = Token("_TRACO");
        } else {
            token.Append(c);
        }
    }
    if (!noPunctuationPauses && token.Size() == 2 && token.View()[0] == '_') {
        const int* pause = nullptr;
        switch (token.View()[1]) {
            case ',':
                pause = &pauses.comma;
                break;
            case '.':
                pause = &pauses.fullStop;
                break;
            case ';':
                pause = &pauses.semicolon;
                break;
            case ':':
                pause = &pauses.colon;
                break;
            default:
                break;
        }
        if (pause != nullptr) {
            token.Clear();
            sink_.AppendSilence(*pause);
        }
    }
    return token;
}

void DiphonePlanner::SplitToken(std::string_view t, double x) {
    const std::size_t n = t.size();
    if (n == 0) return;
    if (n == 1) {
        SpeakUnit(t, x);
        return;
    }
    if (n > 2) {
        const std::string_view head = t.substr(0, 2);
        if (IsSplitConsonant(t[0]) && IsSplitConsonant(t[1]) && head != "dj" && head != "nh" &&
            head != "rr" && head != "ks" && t.substr(0, 3) != "tch") {
            SpeakUnit(t.substr(0, 1), kFullFactor);
            SplitToken(t.substr(1), x);
            return;
        }
        if (EndsWith(t, "rr")) {
            SplitToken(t.substr(0, n - 2), x);
            SpeakUnit("rr", x);
            return;
        }
        if (IsSplitConsonant(t[n - 1])) {
            SplitToken(t.substr(0, n - 1), x);
            SplitToken(t.substr(n - 1), x);
            return;
        }
    }
    const char last = t[n - 1];
    const char before = t[n - 2];
    if (IsGlide(last) && IsDiphoneVowel(before) && n > 2) {
        SplitToken(t.substr(0, n - 1), kGlideLeadFactor);
        SpeakUnit(t.substr(n - 2), x);
        return;
    }
    // A mark and a glide with no vowel before them ("~w") fall through to the whole
    // token as one unit.
    if (IsGlide(last) && IsMark(before) && n >= 3) {
        if (n > 3) {
            Token lead(t.substr(0, n - 2));
            if (before == '~') {
                lead.Append('^');
            } else {
                lead = Token(t.substr(0, n - 1));
            }
            SplitToken(lead.View(), kGlideLeadFactor);
        }
        const char unit[3] = {t[n - 3], last, before};
        SpeakUnit(std::string_view(unit, 3), x);
        return;
    }
    if (t != "_s" && last == 's') {
        SplitToken(t.substr(0, n - 1), kFinalSLeadFactor);
        SpeakUnit("s", x);
        return;
    }
    SpeakUnit(t, x);
}

void DiphonePlanner::SpeakUnit(std::string_view unit, double x) {
    unit = unit.substr(0, kMaxName);
    if (unit.empty()) return;
    bool stressed = false;
    Name name;
    if (unit[0] == '_') {
        // A lone "_" names the underscore itself.
        name = LetterName(static_cast<unsigned char>(unit.size() > 1 ? unit[1] : '_'));
    } else {
        name.Append('$');
        for (char c : unit) {
            if (IsStressedVowel(c)) {
                stress_mode_ = 2;
                stressed = true;
            }
            if (c == '^' || c == '~') {
                name.Append(c == '^' ? "CIRC" : "TIL");
                SpeakName(name.View(), stress_mode_, x);
                name = Name("$");
            } else {
                name.Append(c);
            }
        }
    }
    if (name.View() != "$") SpeakName(name.View(), stress_mode_, x);
    if (stressed) stress_mode_ = 0;
}

void DiphonePlanner::SpeakName(std::string_view name, int m, double x) {
    name = name.substr(0, kMaxName);
    if (name.empty()) return;
    const bool found = name[0] == '_' ? sink_.PlayLetterFile(name) : sink_.FetchDiphone(name, m, x);
    if (found) return;
    const std::size_t n = name.size();
    if (n <= 2) {
        sink_.AppendNoise();
        sink_.OnMiss(name, MissKind::kNoise);
        return;
    }
    const char last = name[n - 1];
    if (IsDiphoneVowel(last)) {
        SpeakName(name.substr(0, n - 1), m, kPieceFactor * x);
        const char single[2] = {'$', last};
        SpeakName(std::string_view(single, 2), m, x);
    } else if (EndsWith(name, "CIRC") && n >= 7) {
        SpeakName(name.substr(0, n - 5), m, kPieceFactor * x);
        Name rest("$");
        rest.Append(name.substr(n - 5));
        SpeakName(rest.View(), m, x);
    } else if (EndsWith(name, "TIL")) {
        const std::string_view stem = name.substr(0, n - 3);
        const char stemLast = stem.empty() ? '\0' : UpperAZ(stem.back());
        if (stemLast == 'I' || stemLast == 'U') {
            SpeakName(stem, m, kPieceFactor * x);
        } else {
            Name circ(stem);
            circ.Append("CIRC");
            SpeakName(circ.View(), 2, kPieceFactor * x);
        }
        SpeakName("$nn", 1, kPieceFactor);
    } else {
        sink_.OnMiss(name, MissKind::kDropped);
    }
}

}  // namespace sonara
