// FindStress and IsUnstressedWord: where a Portuguese word carries its stress.
#include <string>

#include "tavena/Charset.h"
#include "tavena/Transcribe.h"

namespace sonara {

namespace {

enum class State {
    kEnd,
    kAfterAeo,
    kPenult,
    kPenultIu,
    kAfterUVowel,
    kUBeforePenultIu,
    kAfterU,
    kAfterI,
    kUBeforeFinalI,
    kAfterConsonant,
    kAfterM,
};

bool IsAeo(char c) {
    return c == 'a' || c == 'e' || c == 'o';
}
bool IsGq(char c) {
    return c == 'g' || c == 'q';
}
bool IsStressVowel(char c) {
    return std::string_view("aeiouwy\xFC").find(c) != std::string_view::npos;
}

struct Scan {
    State state = State::kEnd;
    std::size_t result = 0;
    bool stop = false;

    void Set(std::size_t at, State next) {
        result = at;
        state = next;
    }
    void Stop(std::size_t at) {
        result = at;
        stop = true;
    }
    void Step(char c, std::size_t here);
};

void Scan::Step(char c, std::size_t here) {
    switch (state) {
        case State::kEnd:
            if (IsAeo(c))
                Set(here, State::kAfterAeo);
            else if (c == 'u')
                Set(here, State::kAfterU);
            else if (c == 'i')
                Set(here, State::kAfterI);
            else if (c == 'm')
                state = State::kAfterM;
            else if (c != 's')
                state = State::kAfterConsonant;
            break;
        case State::kAfterAeo:
            if (c == 'u')
                state = State::kAfterUVowel;
            else if (IsStressVowel(c))
                Stop(here);
            else
                state = State::kPenult;
            break;
        case State::kPenult:
            if (IsAeo(c))
                Stop(here);
            else if (c == 'i' || c == 'u')
                Set(here, State::kPenultIu);
            break;
        case State::kPenultIu:
            if (IsAeo(c))
                Stop(here);
            else if (c == 'u')
                state = State::kUBeforePenultIu;
            else
                stop = true;
            break;
        case State::kAfterUVowel:
            if (IsGq(c))
                Set(here + 2, State::kPenult);
            else
                Stop(here + 1);
            break;
        case State::kUBeforePenultIu:
        case State::kUBeforeFinalI:
            Stop(IsGq(c) ? here + 2 : here + 1);
            break;
        case State::kAfterU:
            if (IsAeo(c) || c == 'i') result = here;
            stop = true;
            break;
        case State::kAfterI:
            if (IsAeo(c))
                result = here;
            else if (c == 'u')
                state = State::kUBeforeFinalI;
            else
                stop = true;
            break;
        case State::kAfterConsonant:
            if (IsStressVowel(c)) Stop(here);
            break;
        case State::kAfterM:
            if (c == 'i' || c == 'o' || c == 'u')
                Stop(here);
            else if (c == 'a' || c == 'e')
                Set(here, State::kAfterAeo);
            else
                state = State::kEnd;
            break;
    }
}

}  // namespace

std::size_t FindStress(std::string_view word) {
    const std::string w = Lower(word);
    constexpr std::string_view kAccented = "\xE0\xE1\xE2\xE3\xE9\xEA\xED\xF3\xF4\xF5\xFA";
    bool anyVowel = false;
    for (std::size_t i = w.size(); i > 0; --i) {
        if (kAccented.find(w[i - 1]) != std::string_view::npos) return i;
        anyVowel = anyVowel || IsStressVowel(w[i - 1]);
    }
    if (!anyVowel) return 0;
    Scan scan;
    for (std::size_t i = w.size(); i > 0 && !scan.stop; --i) scan.Step(w[i - 1], i);
    return scan.result;
}

bool IsUnstressedWord(std::string_view upperWord) {
    if (upperWord.size() <= 2) return true;
    static constexpr std::string_view kWords[] = {"POR", "DAS", "DOS", "COM", "N\xC3O", "SIM"};
    for (std::string_view w : kWords) {
        if (upperWord == w) return true;
    }
    return false;
}

}  // namespace sonara
