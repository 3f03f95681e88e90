// The streaming state of the synthesizer: the voice, the phonemes written but not yet
// sounded, and the output samples. A phoneme is rendered once its right neighbour is known
// and the pitch beyond its end is known too (a later pitch point, a pause, a flush, or a
// long enough look-ahead). All buffers are allocated when the voice opens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tavena/synth/PhonemeLineReader.h"
#include "tavena/synth/Psola.h"
#include "tavena/synth/VoiceDatabase.h"

namespace synth {

class Synthesizer {
  public:
    static constexpr int kQueueCapacity = 1024;
    static constexpr int kLookahead = 64;  // phonemes waited for a pitch point at most

    enum class Added { Ok, Missing, Full };

    bool Open(const std::string& path, std::string& error);
    // The same from the voice file's bytes.
    bool OpenBytes(std::string_view bytes, std::string& error);
    void Close();
    bool IsOpen() const { return voice_.Loaded(); }
    const VoiceDatabase& Voice() const { return voice_; }

    // Whether `lines` more phonemes (and the flush after them) fit in the queue.
    bool HasRoom(int lines) const { return count_ + lines < kQueueCapacity; }
    // Queues one phoneme. Missing: an unknown phoneme or a pair the voice lacks; it is
    // still queued and sounds as silence, `error` says which.
    Added Add(const PhonemeLine& line, std::string& error);
    // As if a pause followed: everything written becomes readable. False (with `error`)
    // when the voice lacks the last phoneme's pair with the pause.
    bool Flush(std::string& error);
    // Forgets pending phonemes and samples.
    void Reset();

    // Up to `wanted` samples, each handed to sink(index, value) as a float in 16-bit
    // units; renders pending phonemes as needed. Returns how many were handed out.
    template <typename Sink>
    int Read(int wanted, Sink&& sink) {
        int done = 0;
        while (done < wanted) {
            while (readPos_ < out_.Floor() && done < wanted) {
                sink(done++, out_.Take(readPos_++));
            }
            if (done == wanted || !HeadReady()) break;
            RenderHead();
        }
        return done;
    }

  private:
    static constexpr int kPause = -2;
    static constexpr int kUnknown = -1;

    struct TimedPoint {
        double time = 0;  // output samples
        double hertz = 0;
    };
    struct Pending {
        int phoneme = kUnknown;  // voice index, kPause or kUnknown
        bool flush = false;      // the flush's pause: all before its end becomes final
        int64_t start = 0;
        int64_t end = 0;
        int pointCount = 0;
        TimedPoint points[kMaxPitchPoints];
    };

    Pending& At(int i) { return queue_[(head_ + i) % kQueueCapacity]; }
    const Pending& At(int i) const { return queue_[(head_ + i) % kQueueCapacity]; }
    Pending& Push(int phoneme, double milliseconds);
    bool CheckPair(int left, int right, std::string& error) const;
    const DiphoneUnit* Unit(int left, int right) const;
    void Prepare();
    bool HeadReady() const;
    void RenderHead();

    VoiceDatabase voice_;
    int pauseIndex_ = -1;  // the voice's "_", or -1
    std::vector<Pending> queue_;
    int head_ = 0;
    int count_ = 0;
    int lastQueued_ = kPause;  // for the pair check when writing
    int previous_ = kPause;    // the last rendered phoneme
    double writtenMs_ = 0;     // total duration written since the reset
    int64_t readPos_ = 0;
    GrainClock clock_;
    bool carried_ = false;  // the last pitch point sounded, carried into the next phoneme
    TimedPoint carriedPoint_;
    OverlapBuffer out_;
    PitchContour contour_;
};

}  // namespace synth
