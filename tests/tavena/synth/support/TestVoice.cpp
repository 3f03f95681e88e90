#include "TestVoice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace synthtest {

namespace {

void Put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

struct Formants {
    double f1, f2, amplitude;
};

bool IsVoiced(const std::string& p) {
    return p == "a" || p == "i" || p == "m" || p == "x";
}

Formants FormantsOf(const std::string& p) {
    if (p == "a") return {700, 1150, 9000};
    if (p == "i") return {300, 2300, 7000};
    if (p == "m") return {250, 1000, 4000};
    return {500, 1500, 8000};  // x
}

// One half of a unit: the phoneme's sound over [from, from + kHalf) of `samples`.
// A voiced half after silence or noise starts with a pulse right at its border; otherwise
// the pulses run on through the unit half a period off the halves' borders.
void RenderHalf(const std::string& p, int from, bool onset, std::vector<double>& samples,
                std::vector<uint32_t>& marks, uint32_t& noise) {
    if (IsVoiced(p)) {
        const Formants f = FormantsOf(p);
        const int firstPulse = from + (onset ? 0 : kSourcePeriod / 2);
        for (int pulse = firstPulse; pulse < from + kHalf; pulse += kSourcePeriod) {
            marks.push_back(static_cast<uint32_t>(pulse) | kVoiced);
            for (int n = 0; n < 3 * kSourcePeriod && pulse + n < int(samples.size()); ++n) {
                const double decay = std::exp(-n / 40.0);
                const double t = 2 * M_PI * n / kRate;
                samples[pulse + n] +=
                    f.amplitude * decay * (std::sin(f.f1 * t) + 0.5 * std::sin(f.f2 * t));
            }
        }
        return;
    }
    for (int at = from + 40; at < from + kHalf; at += 80) marks.push_back(at);
    if (p == "s") {
        for (int n = from; n < from + kHalf; ++n) {
            noise = noise * 1664525u + 1013904223u;
            samples[n] += static_cast<int>(noise >> 20) - 2048;  // about +-2048
        }
    }
}

TestUnit MakeUnit(const std::string& left, const std::string& right, double gain, uint32_t& noise,
                  bool edgePoints = false) {
    TestUnit unit;
    unit.left = left;
    unit.right = right;
    unit.boundary = kHalf;
    std::vector<double> samples(2 * kHalf, 0.0);
    RenderHalf(left, 0, false, samples, unit.marks, noise);
    RenderHalf(right, kHalf, !IsVoiced(left), samples, unit.marks, noise);
    if (edgePoints && IsVoiced(left)) unit.marks.insert(unit.marks.begin(), 10);
    if (edgePoints && IsVoiced(right)) unit.marks.push_back(2 * kHalf - 10);
    for (double s : samples) {
        unit.samples.push_back(static_cast<int16_t>(std::clamp(s * gain, -32768.0, 32767.0)));
    }
    return unit;
}

}  // namespace

std::string TestVoice::Bytes() const {
    std::string out = "SNRVOICE";
    size_t marks = 0, samples = 0;
    for (const auto& u : units) {
        marks += u.marks.size();
        samples += u.samples.size();
    }
    Put(out, 1, 4);
    Put(out, rate, 4);
    Put(out, phonemes.size(), 4);
    Put(out, units.size(), 4);
    Put(out, marks, 4);
    Put(out, samples, 4);
    for (const auto& p : phonemes) {
        std::string name = p;
        name.resize(8, '\0');
        out += name;
    }
    const auto index = [&](const std::string& name) {
        return std::find(phonemes.begin(), phonemes.end(), name) - phonemes.begin();
    };
    size_t firstSample = 0, firstMark = 0;
    for (const auto& u : units) {
        Put(out, index(u.left), 2);
        Put(out, index(u.right), 2);
        Put(out, firstSample, 4);
        Put(out, u.samples.size(), 4);
        Put(out, u.boundary, 4);
        Put(out, firstMark, 4);
        Put(out, u.marks.size(), 4);
        firstSample += u.samples.size();
        firstMark += u.marks.size();
    }
    for (const auto& u : units) {
        for (uint32_t m : u.marks) Put(out, m, 4);
    }
    for (const auto& u : units) {
        for (int16_t s : u.samples) Put(out, static_cast<uint16_t>(s), 2);
    }
    return out;
}

TestVoice StandardVoice(double releaseGain, bool edgePoints) {
    TestVoice voice;
    voice.phonemes = {"_", "a", "i", "m", "s", "x"};
    uint32_t noise = 12345;
    const std::vector<std::string> joined = {"_", "a", "i", "m", "s"};
    for (const auto& l : joined) {
        for (const auto& r : joined) {
            const double gain = (l == "a" && r == "_") ? releaseGain : 1.0;
            voice.units.push_back(MakeUnit(l, r, gain, noise, edgePoints));
        }
    }
    voice.units.push_back(MakeUnit("_", "x", 1.0, noise));
    voice.units.push_back(MakeUnit("x", "_", 1.0, noise));
    return voice;
}

std::string WriteVoiceFile(const std::string& bytes, const std::string& name) {
    // Tests run in parallel processes (and in several build folders): each writes its own.
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string owner = test != nullptr
                                  ? std::string(test->test_suite_name()) + "." + test->name()
                                  : std::string("none");
    const std::string path =
        testing::TempDir() + "/" + owner + "." + std::to_string(getpid()) + "." + name;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // Removed when the test process ends.
    static struct Written {
        std::vector<std::string> paths;
        ~Written() {
            for (const auto& p : paths) std::remove(p.c_str());
        }
    } written;
    written.paths.push_back(path);
    return path;
}

double MeasurePitch(const std::vector<short>& x, long center, int window) {
    const int lagMin = kRate / 500;
    const int lagMax = kRate / 60;
    const long from = center - window / 2;
    if (from < 0 || from + window + lagMax > static_cast<long>(x.size())) return 0;
    std::vector<double> r(lagMax + 2, 0.0);
    double e0 = 0;
    for (int n = 0; n < window; ++n) e0 += double(x[from + n]) * x[from + n];
    for (int lag = lagMin; lag <= lagMax + 1; ++lag) {
        double sum = 0, e1 = 0;
        for (int n = 0; n < window; ++n) {
            sum += double(x[from + n]) * x[from + n + lag];
            e1 += double(x[from + n + lag]) * x[from + n + lag];
        }
        r[lag] = (e0 > 0 && e1 > 0) ? sum / std::sqrt(e0 * e1) : 0;
    }
    const double best = *std::max_element(r.begin() + lagMin, r.begin() + lagMax + 1);
    if (best < 0.5) return 0;
    // The shortest lag that is nearly as good: multiples of the period score as well.
    for (int lag = lagMin + 1; lag <= lagMax; ++lag) {
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            const double a = r[lag - 1], b = r[lag], c = r[lag + 1];
            const double denominator = a - 2 * b + c;
            const double shift = denominator != 0 ? 0.5 * (a - c) / denominator : 0;
            return kRate / (lag + shift);
        }
    }
    return 0;
}

double Rms(const std::vector<short>& x, long from, long length) {
    double sum = 0;
    for (long i = from; i < from + length; ++i) sum += double(x[i]) * x[i];
    return std::sqrt(sum / length);
}

}  // namespace synthtest
