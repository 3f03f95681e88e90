// The vowel challenge: a vowel hides and hot-and-cold clips guide the child to it.
#include "console/TfCrt.h"
#include "game/HintTable.h"
#include "game/LetterGame.h"

namespace sonara {

namespace {

constexpr int kMaxTries = 15;  // the challenge ends when the tries exceed this

constexpr const char* kChallengeClips[kVowelCount] = {
    "desafio-a", "desafio-e", "desafio-i", "desafio-o", "desafio-u",
};

}  // namespace

void LetterGame::RunChallenge() {
    player_.PlayClip("historia-das-letrinhas");
    challenge_index_ = (challenge_index_ + 1) % kVowelCount;
    FlushKeys();
    player_.PlayCue("tingting");
    player_.PlayClip(kChallengeClips[challenge_index_]);
    int tries = 0;
    bool found = false;
    while (!found && tries <= kMaxTries) {
        std::uint8_t k = UpperCase(ReadKey());
        if (k == 0) ReadKey();
        if (k < 'A' || k > 'Z') {
            player_.PlayCue("chaaaaan");
            continue;
        }
        if (KeyPressed()) continue;  // typed faster than read: only the last one counts
        ShowKeyLetter(k);
        char code = HintCode(challenge_index_, k);
        std::string_view clip = HintClip(code);
        if (!clip.empty()) player_.PlayClip(clip);
        ++tries;
        found = code == 'x';
    }
    if (found) player_.PlayClip("salvou-a-letrinha");
    FlushKeys();
}

}  // namespace sonara
