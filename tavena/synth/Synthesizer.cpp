#include "tavena/synth/Synthesizer.h"

#include <algorithm>
#include <cmath>

namespace synth {

bool Synthesizer::Open(const std::string& path, std::string& error) {
    Close();
    if (!voice_.LoadFile(path, error)) return false;
    Prepare();
    return true;
}

bool Synthesizer::OpenBytes(std::string_view bytes, std::string& error) {
    Close();
    if (!voice_.Load(bytes, error)) return false;
    Prepare();
    return true;
}

void Synthesizer::Prepare() {
    pauseIndex_ = voice_.FindPhoneme("_");
    queue_.assign(kQueueCapacity, Pending{});
    // The longest phoneme plus the reach of grains on both sides, and some slack.
    const size_t longest = static_cast<size_t>(voice_.Rate() * (kMaxMilliseconds / 1000.0 + 0.1)) +
                           4 * static_cast<size_t>(MaxHalfWindow(voice_.Rate()));
    out_.Allocate(longest);
    Reset();
}

void Synthesizer::Close() {
    voice_.Clear();
    queue_ = {};
    out_.Allocate(0);
    head_ = count_ = 0;
}

void Synthesizer::Reset() {
    head_ = count_ = 0;
    lastQueued_ = previous_ = kPause;
    writtenMs_ = 0;
    out_.Clear(readPos_);
    readPos_ = 0;
    clock_ = GrainClock{};
    carried_ = false;
}

const DiphoneUnit* Synthesizer::Unit(int left, int right) const {
    if (left == kPause) left = pauseIndex_;
    if (right == kPause) right = pauseIndex_;
    return voice_.Find(left, right);
}

bool Synthesizer::CheckPair(int left, int right, std::string& error) const {
    if (left == kUnknown || right == kUnknown) return true;  // already reported
    if (left == kPause && right == kPause) return true;      // silence needs no unit
    if (Unit(left, right) != nullptr) return true;
    const auto name = [&](int p) { return p == kPause ? std::string("_") : voice_.PhonemeName(p); };
    error = "the voice has no diphone " + name(left) + "-" + name(right);
    return false;
}

Synthesizer::Pending& Synthesizer::Push(int phoneme, double milliseconds) {
    Pending& p = At(count_++);
    p.phoneme = phoneme;
    p.flush = false;
    p.pointCount = 0;
    p.start = std::llround(writtenMs_ * voice_.Rate() / 1000.0);
    writtenMs_ += milliseconds;
    p.end = std::llround(writtenMs_ * voice_.Rate() / 1000.0);
    return p;
}

Synthesizer::Added Synthesizer::Add(const PhonemeLine& line, std::string& error) {
    if (!HasRoom(1)) {
        error = "too many phonemes waiting: read the samples first";
        return Added::Full;
    }
    int phoneme = kPause;
    bool known = true;
    if (!line.IsPause()) {
        phoneme = voice_.FindPhoneme(line.Name());
        if (phoneme < 0) {
            phoneme = kUnknown;
            known = false;
            error = "the voice has no phoneme " + std::string(line.Name());
        }
    }
    if (known) known = CheckPair(lastQueued_, phoneme, error);
    lastQueued_ = phoneme;

    Pending& p = Push(phoneme, line.milliseconds);
    const double span = static_cast<double>(p.end - p.start);
    for (int i = 0; i < line.pointCount; ++i) {
        // Insertion in time order: the line may list its points in any order.
        const TimedPoint point{p.start + span * line.points[i].percent / 100.0,
                               line.points[i].hertz};
        int j = p.pointCount++;
        while (j > 0 && p.points[j - 1].time > point.time) {
            p.points[j] = p.points[j - 1];
            --j;
        }
        p.points[j] = point;
    }
    return known ? Added::Ok : Added::Missing;
}

bool Synthesizer::Flush(std::string& error) {
    const bool ok = CheckPair(lastQueued_, kPause, error);
    lastQueued_ = kPause;
    if (count_ > 0 && At(count_ - 1).phoneme == kPause) {
        At(count_ - 1).flush = true;  // a pause already ends the text
    } else {
        Push(kPause, 0).flush = true;  // HasRoom always leaves a slot for this
    }
    return ok;
}

bool Synthesizer::HeadReady() const {
    if (count_ == 0) return false;
    const Pending& head = At(0);
    if (head.phoneme == kPause) return true;
    if (count_ < 2) return false;  // its right neighbour is not known yet
    for (int j = 0; j < count_; ++j) {
        const Pending& p = At(j);
        if (j > 0 && p.phoneme == kPause) return true;  // the pitch contour breaks there
        if (p.pointCount > 0 && p.points[p.pointCount - 1].time >= head.end) return true;
        if (j >= kLookahead) return true;
    }
    return false;
}

void Synthesizer::RenderHead() {
    const Pending& head = At(0);
    const int maxHalf = MaxHalfWindow(voice_.Rate());
    int64_t floor = head.end - maxHalf;
    if (head.phoneme == kPause) {
        clock_.next = std::max(clock_.next, static_cast<double>(head.end));
        carried_ = false;  // a pause starts a new melody
        if (head.flush) floor = head.end;
    } else {
        // The pitch from the last point sounded through the first point at or after the
        // phoneme's end, stopping at a pause.
        contour_.Clear();
        if (carried_) contour_.Add(carriedPoint_.time, carriedPoint_.hertz);
        bool beyond = false;
        for (int j = 0; j < count_ && !beyond && !contour_.Full(); ++j) {
            const Pending& p = At(j);
            if (j > 0 && p.phoneme == kPause) break;
            for (int k = 0; k < p.pointCount && !contour_.Full(); ++k) {
                contour_.Add(p.points[k].time, p.points[k].hertz);
                if (p.points[k].time >= head.end) {
                    beyond = true;
                    break;
                }
            }
        }
        PhonemeJob job;
        job.voice = &voice_;
        job.first = head.phoneme == kUnknown ? nullptr : Unit(previous_, head.phoneme);
        job.second = head.phoneme == kUnknown ? nullptr : Unit(head.phoneme, At(1).phoneme);
        job.start = head.start;
        job.end = head.end;
        RenderPhoneme(job, contour_, clock_, out_);
        for (int k = 0; k < head.pointCount; ++k) {
            carriedPoint_ = {head.points[k].time, head.points[k].hertz};
            carried_ = true;
        }
    }
    out_.SetFloor(std::max(out_.Floor(), floor));
    previous_ = head.phoneme;
    head_ = (head_ + 1) % kQueueCapacity;
    --count_;
}

}  // namespace synth
