// Speed of our phoneme-line synthesizer library in times real time, loaded by its path as
// the engine loads it, beside espeak-ng speaking the same sentences in the same run. The
// voice is br4 when the build has made it, otherwise a generated voice of the same size
// (every pair of the engine's 41 phonemes, 150 ms units). SONARA_BENCH_VOICE in the
// environment names another voice file. Rates are per CPU second (the machine is shared;
// both run on one thread).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kInventory[] = {"_",  "a",  "@",  "e",  "E", "i",  "o",  "O",  "u", "an",
                                  "en", "in", "on", "un", "y", "w",  "p",  "b",  "t", "d",
                                  "k",  "g",  "f",  "v",  "s", "z",  "S",  "Z",  "m", "n",
                                  "J",  "l",  "L",  "r",  "R", "tS", "dZ", "r2", "s2"};

// "O menino Pipoco abriu a caixa e achou as letras do alfabeto." in the engine's phonemes.
const char kSentence[] =
    "O menino Pipoco abriu a caixa e achou as letras do alfabeto, e depois "
    "contou todas elas para o seu amigo. ";
const char* const kLines[] = {
    "_ 60",         "u 60 50 200", "m 55",         "e 60",          "n 55",         "i 110 80 230",
    "n 55",         "u 70 50 190", "p 70",         "i 60 50 200",   "p 70",         "o 120 80 225",
    "k 75",         "u 70 50 180", "a 70",         "b 60",          "r 40",         "i 120 80 220",
    "w 60",         "a 80 50 190", "k 75",         "a 110 80 215",  "y 60",         "S 90",
    "@ 80",         "i 70 50 185", "a 70",         "S 90",          "o 110 80 210", "w 60",
    "a 60",         "s2 80",       "l 55",         "e 110 80 205",  "t 70",         "r 40",
    "@ 70",         "s2 80",       "d 55",         "u 60 50 180",   "a 70",         "w 50",
    "f 80",         "a 70",        "b 60",         "E 120 80 200",  "t 70",         "u 90 50 170",
    "_ 200",        "i 60 50 190", "d 55",         "e 60",          "p 70",         "o 110 80 210",
    "y 60",         "s2 80",       "k 75",         "on 120 80 215", "t 70",         "o 60",
    "w 50",         "t 70",        "o 110 80 205", "d 55",          "a 60",         "s2 80",
    "E 110 80 200", "l 55",        "a 60",         "s2 80",         "p 70",         "a 60",
    "r 40",         "a 60",        "u 60",         "s 80",          "e 110 80 195", "w 60",
    "a 60",         "m 55",        "i 110 80 190", "g 60",          "u 90 50 150",  "_ 300"};

double SentenceMilliseconds() {
    double total = 0;
    for (const char* line : kLines) {
        double ms = 0;
        if (std::sscanf(line, "%*s %lf", &ms) == 1) total += ms;
    }
    return total;
}

bool Voiced(const std::string& p) {
    static const char* const unvoiced[] = {"_", "p", "t", "k", "f", "s", "S", "tS", "s2", "r2"};
    for (const char* u : unvoiced) {
        if (p == u) return false;
    }
    return true;
}

// Writes a voice of realistic size: 41 x 41 units of 2 x 75 ms at 16 kHz (about 8 MB).
std::string GeneratedVoice() {
    const std::string path = "/tmp/sonara-bench-synth-" + std::to_string(getpid()) + ".voice";
    const int phonemes = sizeof kInventory / sizeof kInventory[0];
    const int half = 1200, period = 160;
    std::string out = "SNRVOICE";
    const auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
    };
    std::vector<std::vector<uint32_t>> marks;
    std::vector<std::vector<int16_t>> samples;
    uint32_t noise = 1;
    for (int l = 0; l < phonemes; ++l) {
        for (int r = 0; r < phonemes; ++r) {
            std::vector<uint32_t> m;
            std::vector<int16_t> s(2 * half, 0);
            for (int side = 0; side < 2; ++side) {
                const std::string p = kInventory[side == 0 ? l : r];
                const int from = side * half;
                if (Voiced(p)) {
                    const double f1 = 300 + 40 * (side ? r : l), f2 = 1000 + 70 * (side ? r : l);
                    for (int pulse = from + 80; pulse < from + half; pulse += period) {
                        m.push_back(pulse | 0x80000000u);
                        for (int n = 0; n < 2 * period && pulse + n < 2 * half; ++n) {
                            const double t = 2 * M_PI * n / 16000;
                            s[pulse + n] +=
                                static_cast<int16_t>(6000 * std::exp(-n / 40.0) *
                                                     (std::sin(f1 * t) + 0.5 * std::sin(f2 * t)));
                        }
                    }
                } else {
                    for (int at = from + 40; at < from + half; at += 80) m.push_back(at);
                    for (int n = from; n < from + half && p != "_"; ++n) {
                        noise = noise * 1664525u + 1013904223u;
                        s[n] = static_cast<int16_t>((static_cast<int>(noise >> 20) - 2048));
                    }
                }
            }
            marks.push_back(std::move(m));
            samples.push_back(std::move(s));
        }
    }
    size_t markCount = 0, sampleCount = 0;
    for (size_t u = 0; u < marks.size(); ++u) {
        markCount += marks[u].size();
        sampleCount += samples[u].size();
    }
    put(1, 4);
    put(16000, 4);
    put(phonemes, 4);
    put(static_cast<uint32_t>(marks.size()), 4);
    put(static_cast<uint32_t>(markCount), 4);
    put(static_cast<uint32_t>(sampleCount), 4);
    for (const char* name : kInventory) {
        std::string n = name;
        n.resize(8, '\0');
        out += n;
    }
    size_t firstMark = 0, firstSample = 0;
    for (size_t u = 0; u < marks.size(); ++u) {
        put(static_cast<uint32_t>(u / phonemes), 2);
        put(static_cast<uint32_t>(u % phonemes), 2);
        put(static_cast<uint32_t>(firstSample), 4);
        put(static_cast<uint32_t>(samples[u].size()), 4);
        put(half, 4);
        put(static_cast<uint32_t>(firstMark), 4);
        put(static_cast<uint32_t>(marks[u].size()), 4);
        firstMark += marks[u].size();
        firstSample += samples[u].size();
    }
    for (const auto& m : marks) {
        for (uint32_t v : m) put(v, 4);
    }
    for (const auto& s : samples) {
        for (int16_t v : s) put(static_cast<uint16_t>(v), 2);
    }
    std::ofstream(path, std::ios::binary)
        .write(out.data(), static_cast<std::streamsize>(out.size()));
    return path;
}

struct Library {
    int (*init)(const char*) = nullptr;
    int (*write)(const char*) = nullptr;
    int (*flush)() = nullptr;
    int (*read)(short*, int) = nullptr;
    int (*reset)() = nullptr;
    int (*setNoError)(int) = nullptr;
    std::string voice;
    bool ok = false;
};

Library& OpenLibrary() {
    static Library lib = [] {
        Library l;
        void* h = dlopen(SONARA_MBROLA_PATH, RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr) return l;
        l.init = reinterpret_cast<int (*)(const char*)>(dlsym(h, "init_MBR"));
        l.write = reinterpret_cast<int (*)(const char*)>(dlsym(h, "write_MBR"));
        l.flush = reinterpret_cast<int (*)()>(dlsym(h, "flush_MBR"));
        l.read = reinterpret_cast<int (*)(short*, int)>(dlsym(h, "read_MBR"));
        l.reset = reinterpret_cast<int (*)()>(dlsym(h, "reset_MBR"));
        l.setNoError = reinterpret_cast<int (*)(int)>(dlsym(h, "setNoError_MBR"));
        if (!l.init || !l.write || !l.flush || !l.read || !l.reset || !l.setNoError) return l;
        // SONARA_BENCH_VOICE names another voice file, e.g. br4 built elsewhere.
        const char* chosen = std::getenv("SONARA_BENCH_VOICE");
        if (chosen != nullptr && std::ifstream(chosen).good()) {
            l.voice = chosen;
        } else {
            l.voice = std::ifstream(SONARA_BR4_VOICE).good() ? SONARA_BR4_VOICE : GeneratedVoice();
        }
        l.ok = l.init(l.voice.c_str()) >= 0;
        if (l.voice.rfind("/tmp/sonara-bench-synth-", 0) == 0) {
            std::remove(l.voice.c_str());  // the library holds the voice in memory
            l.voice = "generated voice";
        }
        l.setNoError(-63);
        return l;
    }();
    return lib;
}

// The engine's way: one line per write, reads after each until nothing is ready, a flush
// after the last line. Three sentences per iteration.
void BM_SynthLibrary(benchmark::State& state) {
    Library& lib = OpenLibrary();
    if (!lib.ok) {
        state.SkipWithError("the synthesizer library or its voice did not load");
        return;
    }
    static short buffer[64000];
    int64_t samples = 0;
    for (auto _ : state) {
        lib.reset();
        int64_t got = 0;
        for (int round = 0; round < 3; ++round) {
            for (const char* line : kLines) {
                lib.write((std::string(line) + "\r\n").c_str());
                for (int n; (n = lib.read(buffer, 64000)) > 0;) got += n;
            }
        }
        lib.flush();
        for (int n; (n = lib.read(buffer, 64000)) > 0;) got += n;
        samples = got;
    }
    const double audioSeconds = samples / 16000.0;
    state.counters["audio_s"] = audioSeconds;
    state.counters["lines_s"] = 3 * SentenceMilliseconds() / 1000;  // what audio_s should be
    state.counters["x_realtime"] =
        benchmark::Counter(audioSeconds, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(lib.voice);
}
BENCHMARK(BM_SynthLibrary)->Unit(benchmark::kMillisecond);

int espeakSamples = 0;
int CountSamples(short*, int count, espeak_EVENT*) {
    espeakSamples += count;
    return 0;
}

void BM_EspeakNgSameSentences(benchmark::State& state) {
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
    if (rate <= 0 || espeak_SetVoiceByName("pt-br") != EE_OK) {
        state.SkipWithError("espeak-ng pt-br is not available");
        return;
    }
    espeak_SetSynthCallback(CountSamples);
    const std::string text = std::string(kSentence) + kSentence + kSentence;
    int samples = 0;
    for (auto _ : state) {
        espeakSamples = 0;
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     nullptr);
        espeak_Synchronize();
        samples = espeakSamples;
    }
    const double audioSeconds = static_cast<double>(samples) / rate;
    state.counters["audio_s"] = audioSeconds;
    state.counters["x_realtime"] =
        benchmark::Counter(audioSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EspeakNgSameSentences)->Unit(benchmark::kMillisecond);

}  // namespace
