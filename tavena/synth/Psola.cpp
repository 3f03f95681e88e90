#include "tavena/synth/Psola.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace synth {

namespace {

constexpr int kWindowSteps = 1024;

// Half a Hann window, from its peak (index 0) to its foot (kWindowSteps).
const std::array<float, kWindowSteps + 2>& HalfHann() {
    static const auto table = [] {
        std::array<float, kWindowSteps + 2> t{};
        for (int i = 0; i <= kWindowSteps + 1; ++i) {
            const double x = std::min(1.0, static_cast<double>(i) / kWindowSteps);
            t[i] = static_cast<float>(0.5 * (1.0 + std::cos(3.14159265358979323846 * x)));
        }
        return t;
    }();
    return table;
}

uint32_t MarkAt(const uint32_t* marks, int i) {
    return marks[i] & ~kVoicedMark;
}
bool Voiced(const uint32_t* marks, int i) {
    return (marks[i] & kVoicedMark) != 0;
}

// Index of the mark nearest to `position`, or -1 without marks.
int NearestMark(const uint32_t* marks, int count, double position) {
    if (count == 0) return -1;
    int lo = 0;
    int hi = count;  // first mark after position lies in [lo, hi]
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (MarkAt(marks, mid) <= position) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    if (lo == 0) return 0;
    if (lo == count) return count - 1;
    return position - MarkAt(marks, lo - 1) <= MarkAt(marks, lo) - position ? lo - 1 : lo;
}

// One half of a phoneme: a stretch of one unit mapped onto a stretch of output time.
// The source is mapped onto the output in two straight pieces meeting at a knot, so that
// the transition next to the phoneme border can keep its natural speed while the steady
// part towards the phoneme's middle takes up the stretching.
struct Segment {
    const DiphoneUnit* unit = nullptr;
    const int16_t* samples = nullptr;
    const uint32_t* marks = nullptr;
    double from = 0, to = 0;  // source samples within the unit
    double outFrom = 0, outTo = 0;
    double knot = 0, outKnot = 0;
    float gainFrom = 1, gainTo = 1;

    // The source position for output time t, and how much that piece is stretched.
    double SourceAt(double t, double& stretch) const {
        const bool first = t < outKnot;
        const double o0 = first ? outFrom : outKnot, o1 = first ? outKnot : outTo;
        const double s0 = first ? from : knot, s1 = first ? knot : to;
        stretch = s1 > s0 ? (o1 - o0) / (s1 - s0) : 1.0;
        const double f = o1 > o0 ? std::clamp((t - o0) / (o1 - o0), 0.0, 1.0) : 0.0;
        return s0 + f * (s1 - s0);
    }
};

constexpr double kTransitionSeconds = 0.03;
constexpr double kTransitionShare = 0.6;  // of the half, at most
constexpr double kSteadyMinimum = 0.25;   // the steady part shrinks at most to this share
constexpr double kBlendSeconds = 0.005;   // each side of the middle join

// Places the knot: the transition (at the half's start when `transitionFirst`, else at its
// end) keeps its natural length when the steady part can take up the rest of the change.
void PlaceKnot(Segment& h, bool transitionFirst, uint32_t rate) {
    const double source = h.to - h.from;
    const double output = h.outTo - h.outFrom;
    const double zone = std::min(source * kTransitionShare, rate * kTransitionSeconds);
    double zoneOut = source > 0 ? output * zone / source : 0;  // plain proportion
    if (output >= zone + (source - zone) * kSteadyMinimum) zoneOut = zone;
    if (transitionFirst) {
        h.knot = h.from + zone;
        h.outKnot = h.outFrom + zoneOut;
    } else {
        h.knot = h.to - zone;
        h.outKnot = h.outTo - zoneOut;
    }
}

double Rms(const int16_t* samples, int from, int to) {
    if (to <= from) return 0;
    double sum = 0;
    for (int i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / (to - from));
}

// Gains that meet at the middle of the phoneme, where the two units' recordings of it join:
// both ends are scaled to the geometric mean of their loudness, so the level does not step.
void MatchJoin(Segment& first, Segment& second, uint32_t rate) {
    if (first.unit == nullptr || second.unit == nullptr) return;
    const int span = static_cast<int>(rate / 50);  // 20 ms
    const int n1 = static_cast<int>(first.unit->sampleCount);
    const int b1 = static_cast<int>(first.unit->boundary);
    const int b2 = static_cast<int>(second.unit->boundary);
    const double a = Rms(first.samples, std::max(b1, n1 - span), n1);
    const double b = Rms(second.samples, 0, std::min(b2, span));
    if (a < 100 || b < 100) return;  // silence or closure: nothing to match
    const double mean = std::sqrt(a * b);
    first.gainTo = static_cast<float>(std::clamp(mean / a, 0.5, 2.0));
    second.gainFrom = static_cast<float>(std::clamp(mean / b, 0.5, 2.0));
}

}  // namespace

void OverlapBuffer::Allocate(size_t minimumSize) {
    size_t size = 1;
    while (size < minimumSize) size <<= 1;
    ring_ = std::vector<float>(size, 0.0f);  // a smaller ring gives the memory back
    mask_ = size - 1;
    floor_ = 0;
    reach_ = 0;
}

void OverlapBuffer::Clear(int64_t readTo) {
    const int64_t span = std::min<int64_t>(reach_ - readTo, static_cast<int64_t>(ring_.size()));
    for (int64_t i = 0; i < span; ++i) ring_[static_cast<size_t>(readTo + i) & mask_] = 0.0f;
    floor_ = 0;
    reach_ = 0;
}

void OverlapBuffer::AddGrain(int64_t at, const int16_t* src, int length, int center, int left,
                             int right, float gain) {
    const auto& window = HalfHann();
    // First offset at or after the floor; grains lie within a few hundred samples of it.
    const int floorOffset = static_cast<int>(std::clamp<int64_t>(floor_ - at, -(1 << 30), 1 << 30));
    // Rising half, from the foot up to just before the peak; the source may end before it.
    if (left > 0) {
        const int first = std::max({-left, -center, floorOffset});
        const int end = std::min(0, length - center);
        const uint32_t step = (uint32_t{kWindowSteps} << 16) / static_cast<uint32_t>(left);
        for (int k = first; k < end; ++k) {
            const float w = window[(static_cast<uint32_t>(-k) * step) >> 16];
            ring_[static_cast<size_t>(at + k) & mask_] += gain * w * src[center + k];
        }
    }
    // Peak and falling half.
    const int last = std::min(right, length - 1 - center);
    reach_ = std::max(reach_, at + last + 1);
    const uint32_t step =
        right > 0 ? (uint32_t{kWindowSteps} << 16) / static_cast<uint32_t>(right) : 0;
    for (int k = std::max({0, -center, floorOffset}); k <= last; ++k) {
        const float w = window[(static_cast<uint32_t>(k) * step) >> 16];
        ring_[static_cast<size_t>(at + k) & mask_] += gain * w * src[center + k];
    }
}

void PitchContour::Add(double time, double hertz) {
    if (count_ == kCapacity) return;
    times_[count_] = time;
    hertz_[count_] = hertz;
    ++count_;
}

double PitchContour::At(double time) const {
    if (count_ == 0) return 0;
    if (time <= times_[0]) return hertz_[0];
    for (int i = 1; i < count_; ++i) {
        if (time < times_[i]) {
            const double span = times_[i] - times_[i - 1];
            if (span <= 0) return hertz_[i];
            const double f = (time - times_[i - 1]) / span;
            return hertz_[i - 1] + f * (hertz_[i] - hertz_[i - 1]);
        }
    }
    return hertz_[count_ - 1];
}

int MaxHalfWindow(uint32_t rate) {
    return static_cast<int>(rate / 40);
}  // 25 ms

namespace {

// Where one grain comes from: a voiced period at a pitch mark, or unvoiced sound.
struct GrainSource {
    bool voiced = false;
    int center = 0;           // voiced: the mark; unvoiced: the mapped position
    int left = 0, right = 0;  // voiced: distances to the neighbouring periods
    double stretch = 1;       // how much this stretch of the source is drawn out
    float gain = 1;
};

GrainSource FindGrain(const Segment& seg, double t, uint32_t rate) {
    const int maxHalf = MaxHalfWindow(rate);
    GrainSource g;
    const double source = seg.SourceAt(t, g.stretch);
    const double frac = (source - seg.from) / (seg.to - seg.from);
    g.gain = seg.gainFrom + static_cast<float>(frac) * (seg.gainTo - seg.gainFrom);
    g.center = static_cast<int>(std::lround(source));
    const int length = static_cast<int>(seg.unit->sampleCount);
    const int markCount = static_cast<int>(seg.unit->markCount);
    const uint32_t* marks = seg.marks;

    int i = NearestMark(marks, markCount, source);
    const auto voicedAt = [&](int j) { return j >= 0 && j < markCount && Voiced(marks, j); };
    const auto gapTo = [&](int from, int to) {
        const int gap =
            std::abs(static_cast<int>(MarkAt(marks, to)) - static_cast<int>(MarkAt(marks, from)));
        return gap <= maxHalf ? gap : 0;
    };
    // An unvoiced point as the unit's first or last mark, right next to a voiced period, is
    // where the cut fell inside a period, not a voiceless stretch: the period stands.
    if (i >= 0 && !Voiced(marks, i)) {
        if (i == markCount - 1 && voicedAt(i - 1) && gapTo(i - 1, i) > 0) {
            --i;
        } else if (i == 0 && voicedAt(1) && gapTo(0, 1) > 0) {
            i = 1;
        }
    }
    if (i < 0 || !Voiced(marks, i) || std::abs(MarkAt(marks, i) - source) > maxHalf) return g;
    // Distances to the neighbouring periods on each side (0 when there is none).
    int left = voicedAt(i - 1) ? gapTo(i - 1, i) : 0;
    int right = voicedAt(i + 1) ? gapTo(i, i + 1) : 0;
    // A window that would run off the unit takes the period next to it instead.
    const int mark = static_cast<int>(MarkAt(marks, i));
    if (right == 0 && left > 0 && mark + left >= length) {
        --i;
    } else if (left == 0 && right > 0 && mark - right < 0) {
        ++i;
    }
    left = voicedAt(i - 1) ? gapTo(i - 1, i) : 0;
    right = voicedAt(i + 1) ? gapTo(i, i + 1) : 0;
    if (left == 0) left = right;
    if (right == 0) right = left;
    if (left == 0) left = right = static_cast<int>(rate / 100);  // a lone period: 100 Hz
    g.voiced = true;
    g.center = static_cast<int>(MarkAt(marks, i));
    g.left = left;
    g.right = right;
    return g;
}

void AddVoiced(OverlapBuffer& out, const Segment& seg, const GrainSource& g, int64_t at, int reach,
               float weight) {
    out.AddGrain(at, seg.samples, static_cast<int>(seg.unit->sampleCount), g.center,
                 std::min(g.left, reach), std::min(g.right, reach), g.gain * weight);
}

}  // namespace

void RenderPhoneme(const PhonemeJob& job, const PitchContour& contour, GrainClock& clock,
                   OverlapBuffer& out) {
    const VoiceDatabase& voice = *job.voice;
    const uint32_t rate = voice.Rate();
    const int64_t duration = job.end - job.start;
    const int maxHalf = MaxHalfWindow(rate);
    const double unvoicedHop = rate / 200.0;  // 5 ms
    const double blend = rate * kBlendSeconds;
    const double lowest = static_cast<double>(rate) / maxHalf;
    const double highest = rate / 16.0;
    if (duration <= 0) {
        clock.next = std::max(clock.next, static_cast<double>(job.end));
        return;
    }

    Segment halves[2];
    if (job.first != nullptr) {
        halves[0].unit = job.first;
        halves[0].from = job.first->boundary;
        halves[0].to = job.first->sampleCount;
    }
    if (job.second != nullptr) {
        halves[1].unit = job.second;
        halves[1].from = 0;
        halves[1].to = job.second->boundary;
    }
    double len0 = halves[0].to - halves[0].from;
    double len1 = halves[1].to - halves[1].from;
    if (job.first == nullptr) len0 = len1;  // the missing half stays silent, same share
    if (job.second == nullptr) len1 = len0;
    const int64_t split = len0 + len1 > 0
                              ? job.start + std::llround(duration * len0 / (len0 + len1))
                              : job.start + duration / 2;
    halves[0].outFrom = job.start;
    halves[0].outTo = split;
    halves[1].outFrom = split;
    halves[1].outTo = job.end;
    for (auto& h : halves) {
        if (h.unit == nullptr) continue;
        h.samples = voice.Samples(*h.unit);
        h.marks = voice.Marks(*h.unit);
    }
    const auto usable = [](const Segment& h) { return h.unit != nullptr && h.to > h.from; };
    PlaceKnot(halves[0], true, rate);
    PlaceKnot(halves[1], false, rate);
    MatchJoin(halves[0], halves[1], rate);

    double t = std::max(clock.next, static_cast<double>(job.start) - maxHalf);
    while (t < job.end) {
        const bool second = t >= split;
        const Segment& seg = halves[second ? 1 : 0];
        if (!usable(seg)) {
            t += unvoicedHop;
            continue;
        }
        const int64_t at = std::llround(t);
        const GrainSource g = FindGrain(seg, t, rate);
        if (!g.voiced) {
            const int hop = static_cast<int>(unvoicedHop);
            // Stretched noise would repeat itself every few milliseconds and buzz: the more
            // it is stretched, the more each grain's source position wanders (up to half a
            // step).
            const double wander = 0.5 * hop * std::clamp((g.stretch - 1.0) * 4.0, 0.0, 1.0);
            clock.random = clock.random * 1664525u + 1013904223u;
            const double jitter = wander * ((clock.random >> 8) / double(1u << 24) * 2.0 - 1.0);
            out.AddGrain(at, seg.samples, static_cast<int>(seg.unit->sampleCount),
                         static_cast<int>(std::lround(g.center + jitter)), hop, hop, g.gain);
            t += unvoicedHop;
            continue;
        }
        const double natural = 0.5 * (g.left + g.right);
        const double period =
            contour.Empty() ? natural : rate / std::clamp(contour.At(t), lowest, highest);
        const int reach = static_cast<int>(std::min<double>(period, maxHalf));
        // Near the middle, where the two units' recordings of the phoneme meet, periods of
        // both are blended, so the waveform changes over a few periods rather than at once.
        float weight = 1;
        const Segment& partner = halves[second ? 0 : 1];
        if (std::abs(t - split) < blend && usable(partner)) {
            const GrainSource h = FindGrain(partner, t, rate);
            if (h.voiced) {
                const float firstShare = static_cast<float>(0.5 - 0.5 * (t - split) / blend);
                weight = second ? 1 - firstShare : firstShare;
                AddVoiced(out, partner, h, at, reach, 1 - weight);
            }
        }
        AddVoiced(out, seg, g, at, reach, weight);
        t += period;
    }
    clock.next = t;
}

}  // namespace synth
