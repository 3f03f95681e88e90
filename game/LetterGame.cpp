#include "game/LetterGame.h"

#include "console/TfCrt.h"
#include "game/HintTable.h"
#include "platform/api.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_startup.h"

namespace sonara {

namespace {

constexpr std::uint8_t kEsc = 27;
constexpr int kIdleDelays = 16;    // of 500 ms: the reminder comes after 8 s
constexpr int kClosingDelays = 5;  // of 500 ms: 2.5 s to cancel the closing

bool ChangeDirectory(const std::string& dir) {
    return win::SetCurrentDirectoryA(dir.c_str()) != 0;
}

}  // namespace

LetterGame::LetterGame(GameOptions options) : options_(std::move(options)) {}

bool LetterGame::IsAccepted(std::uint8_t key) {
    return key == kEsc || key == ' ' || key == '*' || (key >= '0' && key <= '9') ||
           (key >= 'A' && key <= 'Z');
}

std::uint8_t LetterGame::UpperCase(std::uint8_t key) {
    return key >= 'a' && key <= 'z' ? static_cast<std::uint8_t>(key - 'a' + 'A') : key;
}

void LetterGame::StartUp() {
    sound_directory_ = ReadIni("LETRALUME", "DIRLETRALUME");
    if (!ChangeDirectory(sound_directory_)) {
        sound_directory_ = kDefaultSoundDirectory;
        ChangeDirectory(sound_directory_);
    }
    player_.SetSoundDirectory(sound_directory_);
    StartSpeech(1, sound_directory_);
    random_.seed(options_.seed ? *options_.seed : win::GetTickCount());
    challenge_index_ = static_cast<int>(random_() % kVowelCount);
    ClearScreen();
    win::SetWindowTextA(ConsoleWindow(), kTitle);
    ChangeDirectory(sound_directory_);
    show_letters_ = IniFlagOn(ReadIni("LETRALUME", kShowLetterKey));
    if (show_letters_) ConsoleWrite(std::string(TfCrt::kRows - 1, '\n'));  // to the last row
}

// The key's letter or digit alone on the last row, where the cursor stays: the console
// sends the row to a braille display as it draws it.
void LetterGame::ShowKeyLetter(std::uint8_t key) {
    const bool letter = key >= 'A' && key <= 'Z';
    const bool digit = key >= '0' && key <= '9';
    if (!show_letters_ || !(letter || digit)) return;
    ConsoleWrite(std::string{'\r', static_cast<char>(key)});
}

bool LetterGame::Intro() {
    player_.PlayClip("bookcase-intro");
    player_.PlayClip("intro-pipoco1");
    FlushKeys();
    ReadKey();
    while (KeyPressed()) ReadKey();
    player_.PlayClip("intro-pipoco2");
    player_.PlayClip("intro-pipoco3");
    return OpenBox();
}

void LetterGame::IdleWait() {
    while (!KeyPressed()) {
        for (int i = 0; i < kIdleDelays; ++i) {
            if (options_.onIdleWait) options_.onIdleWait();
            Delay(500);
            if (KeyPressed()) return;
        }
        player_.PlayCue("plin");
        player_.PlayCue("plin");
    }
}

std::uint8_t LetterGame::WaitLetterKey() {
    for (;;) {
        IdleWait();
        std::uint8_t last = 0;
        while (KeyPressed()) {
            last = ReadKey();
            if (last == 0) ReadKey();  // the code of a two-byte key is dropped
        }
        std::uint8_t key = UpperCase(last);
        if (IsAccepted(key)) return key;
        player_.PlayClip("naosouletrinha");
    }
}

bool LetterGame::OpenBox() {
    player_.PlayClip("aperte-para-abrir");
    for (;;) {
        player_.PlayCue("plin");
        std::uint8_t k = WaitLetterKey();
        if (k == kEsc) return false;
        if (k == ' ' || k == 'A' || k == 'E' || k == 'I' || k == 'O' || k == 'U') {
            player_.PlayClip("abre-caixa");
            return true;
        }
        player_.PlayClip("caixa-nao-abriu");
    }
}

bool LetterGame::IsTired(std::uint8_t key) {
    if (key != last_key_) {
        repeat_count_ = 0;
        last_key_ = key;
        return false;
    }
    if (++repeat_count_ < 3) return false;
    player_.PlayClip("cansado");
    repeat_count_ = 0;
    last_key_ = kNoKey;
    return true;
}

void LetterGame::PlayForKey(std::uint8_t key) {
    ShowKeyLetter(key);
    if (key == ' ') {
        player_.PlayClip("abcdefgh");
    } else {
        player_.PlayClip(std::string(1, static_cast<char>(key)));
    }
}

bool LetterGame::CloseBox() {
    player_.PlayClip("caixa-fechando");
    std::optional<std::uint8_t> last;
    for (int i = 0; i < kClosingDelays && !last; ++i) {
        Delay(500);
        while (KeyPressed()) last = ReadKey();
    }
    return !last || *last == kEsc;
}

void LetterGame::LetterLoop() {
    last_key_ = kNoKey;
    repeat_count_ = 0;
    letter_counter_ = 0;
    for (;;) {
        player_.PlayClip("caixa-aberta");
        std::uint8_t k;
        do {
            player_.PlayCue("plin");
            FlushKeys();
            k = WaitLetterKey();
        } while (IsTired(k));
        ++letter_counter_;
        if (k == '*' || letter_counter_ == kChallengeEvery) {
            letter_counter_ = 0;
            RunChallenge();
        } else if (k == kEsc) {
            if (CloseBox()) return;
        } else {
            PlayForKey(k);
        }
    }
}

void LetterGame::Run() {
    StartUp();
    if (Intro()) LetterLoop();
    Ending();
}

}  // namespace sonara
