// The letter game: start-up, intro, the box, the letter loop with its challenges, the
// closing, the ending and the credits. One straight sequence of steps and loops on the
// program's one thread; every wait goes through the console's key queue.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "game/MediaPlayer.h"

namespace sonara {

struct GameOptions {
    // Seed of the random generator; without it the clock seeds it.
    std::optional<std::uint32_t> seed;
    // Called each time WaitLetterKey's idle wait is about to sleep with no key queued:
    // a seam for harnesses that must notice a game waiting with nothing left to come.
    std::function<void()> onIdleWait;
};

class LetterGame {
  public:
    static constexpr const char* kTitle = "Menino Pipoco - vers\xe3o Lume";
    static constexpr const char* kDefaultSoundDirectory = "c:\\tecfal\\som\\LETRALUME";
    static constexpr std::uint8_t kNoKey = 64;
    static constexpr int kChallengeEvery = 12;
    // Sonara.ini [LETRALUME] flag: each letter or digit key is written on the console's
    // last row before its clip, for large print and a braille display. Off by default.
    static constexpr const char* kShowLetterKey = "MOSTRALETRA";

    explicit LetterGame(GameOptions options = {});

    // The whole program; ends through DoneConsole.
    [[noreturn]] void Run();

    // The steps, public for tests.
    void StartUp();
    bool Intro();  // false when Esc kept the box shut
    std::uint8_t WaitLetterKey();
    bool OpenBox();
    void LetterLoop();
    bool IsTired(std::uint8_t key);
    void RunChallenge();
    [[noreturn]] void Ending();
    void ShowCredits();

    static bool IsAccepted(std::uint8_t key);
    static std::uint8_t UpperCase(std::uint8_t key);  // only a-z

    const std::string& SoundDirectory() const { return sound_directory_; }
    bool ShowsLetters() const { return show_letters_; }
    int ChallengeIndex() const { return challenge_index_; }
    void SetChallengeIndex(int index) { challenge_index_ = index; }
    MediaPlayer& Player() { return player_; }

  private:
    void IdleWait();
    void PlayForKey(std::uint8_t key);
    void ShowKeyLetter(std::uint8_t key);
    bool CloseBox();  // true when the box closed, false when a key cancelled it

    GameOptions options_;
    MediaPlayer player_;
    std::mt19937 random_;
    std::string sound_directory_;
    int challenge_index_ = 0;
    std::uint8_t last_key_ = kNoKey;
    int repeat_count_ = 0;
    int letter_counter_ = 0;
    bool show_letters_ = false;
};

}  // namespace sonara
