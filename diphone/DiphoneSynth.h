// The built-in diphone synthesizer: speaks phoneme-group strings by joining 8-bit mono
// 11025 Hz diphones from the database (index + data file), recorded character names,
// silences and noise bursts in one 64000-byte sound image played through the speech
// facade.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diphone/DiphoneIndex.h"
#include "diphone/DiphonePlan.h"
#include "diphone/tfTradut.h"
#include "platform/wintypes.h"

namespace sonara {

// What the synthesizer needs from the speech facade.
class SpeechPlayer {
  public:
    virtual ~SpeechPlayer() = default;
    // Plays a RIFF WAVE image (44-byte header + samples); returns once it has been heard
    // or stopped by a key.
    virtual void PlayImageAndWait(const std::uint8_t* image) = 0;
    // False once playback has ended or a key has stopped it.
    virtual bool IsSpeaking() = 0;
};

class DiphoneSynth {
  public:
    static constexpr std::size_t kBufferBytes = 64000;
    static constexpr std::size_t kHeaderBytes = 44;
    static constexpr std::uint32_t kSampleRate = 11025;
    // The most one diphone or recording may add: what fits in an empty buffer.
    static constexpr std::size_t kMaxPiece = kBufferBytes - kHeaderBytes;
    static constexpr std::size_t kNoiseBytes = 300;

    // Module start: timing defaults (cut 400, minimum 0, word pause 100), no index, no
    // buffer. The owner then calls SetSpeedParameters(400, 0, 100, false, false).
    DiphoneSynth();
    ~DiphoneSynth();
    DiphoneSynth(const DiphoneSynth&) = delete;
    DiphoneSynth& operator=(const DiphoneSynth&) = delete;

    // The synthesizer of this process (the most recently constructed live one), or null.
    static DiphoneSynth* Current();

    // 0 = ready; 1 = a directory or a database file is missing; 2 = the rule file or
    // the exception list cannot be read. The current directory is restored.
    int InitDiphoneSynth();
    // Releases the buffer, the rules, the data file and the index.
    void FreeDiphoneSynth();

    // Speaks a phoneme-group string; returns when all of it has been played or stopped.
    // Does nothing before InitDiphoneSynth has allocated the buffer.
    void SpeakPhonemes(std::string_view phonemes, bool noPunctuationPauses);
    void SetSpeechTiming(int cut, int minimum, int wordPause);
    void SetPlayer(SpeechPlayer* player);
    SpeechPlayer* Player() const { return player_; }

    // Database base name, at most 8 characters (the speed settings may overwrite it).
    std::string& DiphoneBaseName();
    // The letters directory as read by InitDiphoneSynth, ending in a separator.
    const std::string& LettersDir() const;
    const std::string& DiphoneDir() const { return diphone_dir_; }
    const TfTradut& Rules() const;
    const DiphoneIndex& Index() const { return index_; }
    // What the index file held when it was loaded.
    const DiphoneIndex::LoadReport& IndexReport() const { return index_report_; }

    int Cut() const { return cut_; }
    int Minimum() const { return minimum_; }
    int WordPause() const { return pauses_.word; }

  private:
    // Forwards the planner's requests to the synthesizer.
    class Sink : public UnitSink {
      public:
        explicit Sink(DiphoneSynth& synth) : synth_(synth) {}
        bool FetchDiphone(std::string_view name, int mode, double factor) override {
            return synth_.FetchDiphone(name, mode, factor);
        }
        bool PlayLetterFile(std::string_view name) override { return synth_.PlayLetterFile(name); }
        void AppendSilence(int samples) override { synth_.AppendSilence(samples); }
        void AppendNoise() override { synth_.AppendNoise(); }

      private:
        DiphoneSynth& synth_;
    };

    bool FetchDiphone(std::string_view name, int stressMode, double factor);
    bool PlayLetterFile(std::string_view name);
    void EnsureRoom(std::size_t n);
    void FlushBuffer();
    void AppendSilence(int samples);
    void AppendNoise();
    // Reads up to n bytes of `file` at the write position; returns how many.
    std::size_t ReadIntoBuffer(win::HANDLE file, std::size_t n);
    int OpenDatabase();

    std::string base_name_ = "DIFONES2";
    std::string letters_dir_;
    std::string diphone_dir_;
    TfTradut rules_;
    DiphoneIndex index_;
    DiphoneIndex::LoadReport index_report_;
    win::HANDLE data_file_ = win::INVALID_HANDLE_VALUE;
    std::vector<std::uint8_t> buffer_;  // kBufferBytes once initialised
    std::size_t write_pos_ = kHeaderBytes;
    int cut_ = 400;
    int minimum_ = 0;
    PhonemePauses pauses_;
    SpeechPlayer* player_ = nullptr;
    std::uint32_t noise_state_ = 0x2545F491u;
    char path_[512] = {};  // letters file names, built without allocating
    Sink sink_{*this};
    DiphonePlanner planner_{sink_};
};

}  // namespace sonara
