// Pitch-synchronous overlap-add over diphone units: one phoneme's sound is the right half of
// the unit (previous, phoneme) from its border plus the left half of the unit (phoneme,
// next) up to its border, stretched to the phoneme's duration. Voiced periods are taken at
// the voice's pitch marks with Hann windows two periods wide and placed at the wanted pitch;
// unvoiced stretches are copied without pitch change in 5 ms steps.
#pragma once

#include <cstdint>
#include <vector>

#include "tavena/synth/VoiceDatabase.h"

namespace synth {

// Float samples indexed by absolute output time, in a ring allocated once. Samples before
// `Floor()` are final (handed out or about to be) and are never touched again.
class OverlapBuffer {
  public:
    void Allocate(size_t minimumSize);
    // All zero and time back to 0; `readTo` is where handing out stopped (every slot before
    // it is already clear), so only what was written after it is cleared.
    void Clear(int64_t readTo);

    // Adds src[center - left .. center + right] (clipped to [0, length)) under an asymmetric
    // Hann window, centred at output time `at`, times gain.
    void AddGrain(int64_t at, const int16_t* src, int length, int center, int left, int right,
                  float gain);

    int64_t Floor() const { return floor_; }
    void SetFloor(int64_t floor) { floor_ = floor; }
    size_t Capacity() const { return ring_.size(); }
    // Hands out the sample at `at` (below Floor) and clears its slot for reuse.
    float Take(int64_t at) {
        float& slot = ring_[static_cast<size_t>(at) & mask_];
        const float value = slot;
        slot = 0;
        return value;
    }

  private:
    std::vector<float> ring_;
    size_t mask_ = 0;
    int64_t floor_ = 0;
    int64_t reach_ = 0;  // one past the last slot a grain wrote
};

// Pitch in Hz over output time, linear between points, held flat beyond the first and last.
class PitchContour {
  public:
    static constexpr int kCapacity = 72;
    void Clear() { count_ = 0; }
    bool Empty() const { return count_ == 0; }
    bool Full() const { return count_ == kCapacity; }
    // Points must come in ascending time.
    void Add(double time, double hertz);
    double At(double time) const;
    int Count() const { return count_; }
    double TimeOf(int i) const { return times_[i]; }
    double HertzOf(int i) const { return hertz_[i]; }

  private:
    int count_ = 0;
    double times_[kCapacity] = {};
    double hertz_[kCapacity] = {};
};

// Everything needed to render one phoneme.
struct PhonemeJob {
    const VoiceDatabase* voice = nullptr;
    const DiphoneUnit* first = nullptr;   // (previous, phoneme): its right half; may be null
    const DiphoneUnit* second = nullptr;  // (phoneme, next): its left half; may be null
    int64_t start = 0;                    // output times, samples
    int64_t end = 0;
};

// Carried from phoneme to phoneme: the output time of the next grain, so periods run on
// across borders, and the state of the jitter that keeps stretched noise from buzzing.
struct GrainClock {
    double next = 0;
    uint32_t random = 1;
};

// Renders the job's grains into `out` from `clock.next` on, and advances the clock to at or
// after the job's end. A missing unit leaves its share of the phoneme silent.
void RenderPhoneme(const PhonemeJob& job, const PitchContour& contour, GrainClock& clock,
                   OverlapBuffer& out);

// The widest half window, in samples: grains never reach further than this from their time.
int MaxHalfWindow(uint32_t rate);

}  // namespace synth
