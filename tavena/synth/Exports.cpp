// The library's 23 entry points over one synthesizer. Only these names leave the library.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "tavena/synth/PhonemeLineReader.h"
#include "tavena/synth/Synthesizer.h"

#pragma GCC visibility push(default)
#include "tavena/synth/EntryPoints.h"
#pragma GCC visibility pop

namespace {

enum Error {
    kNone = 0,
    kNoVoice = 1,         // no voice database open
    kVoiceFile = 2,       // the voice file cannot be read or is not valid
    kBadLine = 3,         // a phoneme line is malformed; nothing of that write is queued
    kUnknownPhoneme = 4,  // the voice lacks the phoneme: it sounds as silence
    kMissingDiphone = 5,  // the voice lacks the pair: the join sounds as silence
    kQueueFull = 6,       // too many phonemes waiting, or no free phone slot
    kBadArgument = 7,
    kUnsupported = 8,
};

constexpr const char* kVersion = "Sonara phoneme-line synthesizer 1.0";
constexpr int kPhoneSlots = 16;

struct Phone {
    bool used = false;
    synth::PhonemeLine line;
};

struct Library {
    synth::Synthesizer synth;
    std::string voicePath;
    int lastError = kNone;
    std::string lastErrorText;
    int noError = 0;
    float volume = 1.0f;
    Phone phones[kPhoneSlots];
};

Library& Lib() {
    static Library library;
    return library;
}

int Fail(int code, std::string text) {
    Library& lib = Lib();
    lib.lastError = code;
    lib.lastErrorText = std::move(text);
    return -code;
}

// Copies text into a caller's buffer (truncated, always terminated); the full length.
int CopyText(const std::string& text, char* buffer, int capacity) {
    if (buffer != nullptr && capacity > 0) {
        const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(text.size());
}

bool GoodName(const char* name) {
    if (name == nullptr) return false;
    size_t length = 0;
    while (length <= synth::kMaxNameLength && name[length] != '\0') ++length;
    if (length == 0 || length > synth::kMaxNameLength) return false;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c <= ' ' || c == ';') return false;
    }
    return true;
}

Phone* FindPhone(int handle) {
    if (handle < 1 || handle > kPhoneSlots) return nullptr;
    Phone& phone = Lib().phones[handle - 1];
    return phone.used ? &phone : nullptr;
}

// Reads samples as the caller's type, scaled by the volume and clipped.
template <typename Store>
int ReadSamples(int wanted, Store&& store) {
    Library& lib = Lib();
    if (!lib.synth.IsOpen()) return Fail(kNoVoice, "no voice database is open");
    if (wanted < 0) return Fail(kBadArgument, "negative sample count");
    const float volume = lib.volume;
    return lib.synth.Read(wanted, [&](int i, float value) {
        store(i, std::clamp(value * volume, -32768.0f, 32767.0f));
    });
}

}  // namespace

extern "C" {

int init_MBR(const char* databasePath) {
    Library& lib = Lib();
    if (databasePath == nullptr) return Fail(kBadArgument, "no voice database path");
    std::string error;
    if (!lib.synth.Open(databasePath, error)) {
        lib.voicePath.clear();
        return Fail(kVoiceFile, error);
    }
    lib.voicePath = databasePath;
    lib.lastError = kNone;
    lib.lastErrorText.clear();
    return 0;
}

int init_rename_MBR(const char* databasePath, const char* renames, const char* clones) {
    if ((renames != nullptr && *renames != '\0') || (clones != nullptr && *clones != '\0')) {
        return Fail(kUnsupported, "phoneme renames and clones are not supported");
    }
    return init_MBR(databasePath);
}

int write_MBR(const char* lines) {
    Library& lib = Lib();
    if (!lib.synth.IsOpen()) return Fail(kNoVoice, "no voice database is open");
    if (lines == nullptr) return Fail(kBadArgument, "no phoneme line");
    // First the whole text is checked, so a refused write queues nothing.
    std::string error;
    synth::PhonemeLine line;
    int phonemes = 0;
    const bool parsed = synth::ForEachLine(
        lines,
        [&](std::string_view text) {
            const auto kind = synth::ParseLine(text, line, error);
            if (kind == synth::LineKind::Phoneme) ++phonemes;
            return kind != synth::LineKind::Error;
        },
        error);
    if (!parsed) return Fail(kBadLine, error);
    if (!lib.synth.HasRoom(phonemes)) {
        return Fail(kQueueFull, "too many phonemes waiting: read the samples first");
    }
    int missing = kNone;
    std::string missingText;
    synth::ForEachLine(
        lines,
        [&](std::string_view text) {
            if (synth::ParseLine(text, line, error) != synth::LineKind::Phoneme) return true;
            const auto added = lib.synth.Add(line, error);
            if (added == synth::Synthesizer::Added::Missing && missing == kNone) {
                missing = line.IsPause() || lib.synth.Voice().FindPhoneme(line.Name()) >= 0
                              ? kMissingDiphone
                              : kUnknownPhoneme;
                missingText = error;
            }
            return true;
        },
        error);
    if (missing != kNone) {
        const int result = Fail(missing, missingText);
        if (lib.noError == 0) return result;
    }
    return phonemes;
}

int flush_MBR(void) {
    Library& lib = Lib();
    if (!lib.synth.IsOpen()) return Fail(kNoVoice, "no voice database is open");
    std::string error;
    if (!lib.synth.Flush(error)) {
        const int result = Fail(kMissingDiphone, error);
        if (lib.noError == 0) return result;
    }
    return 0;
}

int read_MBR(short* samples, int wanted) {
    if (samples == nullptr && wanted > 0) return Fail(kBadArgument, "no sample buffer");
    return ReadSamples(wanted,
                       [&](int i, float v) { samples[i] = static_cast<short>(std::lrint(v)); });
}

int readtype_MBR(void* samples, int wanted, int sampleType) {
    if (samples == nullptr && wanted > 0) return Fail(kBadArgument, "no sample buffer");
    switch (sampleType) {
        case 0:
            return read_MBR(static_cast<short*>(samples), wanted);
        case 1: {
            auto* bytes = static_cast<uint8_t*>(samples);
            return ReadSamples(wanted, [&](int i, float v) {
                const long byte = std::lrint(v / 256.0f) + 128;
                bytes[i] = static_cast<uint8_t>(std::clamp(byte, 0L, 255L));
            });
        }
        case 2: {
            auto* floats = static_cast<float*>(samples);
            return ReadSamples(wanted, [&](int i, float v) { floats[i] = v / 32768.0f; });
        }
        default:
            return Fail(kBadArgument, "unknown sample type");
    }
}

int close_MBR(void) {
    Library& lib = Lib();
    lib.synth.Close();
    lib.voicePath.clear();
    return 0;
}

int reset_MBR(void) {
    Library& lib = Lib();
    if (lib.synth.IsOpen()) lib.synth.Reset();
    return 0;
}

int lastError_MBR(void) {
    return Lib().lastError;
}

int lastErrorStr_MBR(char* text, int capacity) {
    return CopyText(Lib().lastErrorText, text, capacity);
}

int setNoError_MBR(int noError) {
    const int previous = Lib().noError;
    Lib().noError = noError;
    return previous;
}

int getNoError_MBR(void) {
    return Lib().noError;
}

int setFreq_MBR(int hertz) {
    Library& lib = Lib();
    if (!lib.synth.IsOpen()) return Fail(kNoVoice, "no voice database is open");
    const int rate = static_cast<int>(lib.synth.Voice().Rate());
    if (hertz != rate) {
        return Fail(kUnsupported,
                    "the output rate is the voice's own, " + std::to_string(rate) + " Hz");
    }
    return 0;
}

int getFreq_MBR(void) {
    Library& lib = Lib();
    if (!lib.synth.IsOpen()) return Fail(kNoVoice, "no voice database is open");
    return static_cast<int>(lib.synth.Voice().Rate());
}

int setVolumeRatio_MBR(float ratio) {
    if (!std::isfinite(ratio) || ratio < 0 || ratio > 16) {
        return Fail(kBadArgument, "volume ratio outside 0-16");
    }
    Lib().volume = ratio;
    return 0;
}

int getVolumeRatio_MBR(void) {
    return static_cast<int>(std::lround(Lib().volume * 1000.0f));
}

int getVersion_MBR(char* text, int capacity) {
    return CopyText(kVersion, text, capacity);
}

int getDatabaseInfo_MBR(char* text, int capacity, int index) {
    Library& lib = Lib();
    if (!lib.synth.IsOpen()) return Fail(kNoVoice, "no voice database is open");
    const auto& voice = lib.synth.Voice();
    std::string line;
    switch (index) {
        case 0:
            line = "voice " + lib.voicePath;
            break;
        case 1:
            line = "sample rate " + std::to_string(voice.Rate()) + " Hz";
            break;
        case 2:
            line = "phonemes " + std::to_string(voice.PhonemeCount());
            break;
        case 3:
            line = "diphones " + std::to_string(voice.DiphoneCount());
            break;
        default:
            return Fail(kBadArgument, "no database information line " + std::to_string(index));
    }
    return CopyText(line, text, capacity);
}

int setParser_MBR(void* parser) {
    if (parser != nullptr) return Fail(kUnsupported, "only the built-in line reader is supported");
    return 0;
}

int init_Phone(const char* name, float milliseconds) {
    for (int i = 0; i < kPhoneSlots; ++i) {
        Phone& phone = Lib().phones[i];
        if (phone.used) continue;
        const int result = reset_Phone(-1, name, milliseconds);  // validates only
        if (result < 0) return result;
        phone = Phone{};
        phone.used = true;
        std::memcpy(phone.line.name, name, std::strlen(name) + 1);
        phone.line.milliseconds = milliseconds;
        return i + 1;
    }
    return Fail(kQueueFull, "no free phone slot");
}

int reset_Phone(int phone, const char* name, float milliseconds) {
    if (!GoodName(name)) return Fail(kBadArgument, "bad phoneme name");
    if (!std::isfinite(milliseconds) || milliseconds < 0 ||
        milliseconds > synth::kMaxMilliseconds) {
        return Fail(kBadArgument, "phone duration outside 0-10000 ms");
    }
    if (phone == -1) return 0;
    Phone* slot = FindPhone(phone);
    if (slot == nullptr) return Fail(kBadArgument, "no such phone");
    slot->line = synth::PhonemeLine{};
    std::memcpy(slot->line.name, name, std::strlen(name) + 1);
    slot->line.milliseconds = milliseconds;
    return 0;
}

int close_Phone(int phone) {
    Phone* slot = FindPhone(phone);
    if (slot == nullptr) return Fail(kBadArgument, "no such phone");
    slot->used = false;
    return 0;
}

int appendf0_Phone(int phone, float percent, float hertz) {
    Phone* slot = FindPhone(phone);
    if (slot == nullptr) return Fail(kBadArgument, "no such phone");
    if (!std::isfinite(percent) || percent < 0 || percent > 100) {
        return Fail(kBadArgument, "pitch position outside 0-100");
    }
    if (!std::isfinite(hertz) || hertz <= 0 || hertz > synth::kMaxHertz) {
        return Fail(kBadArgument, "pitch outside 0-2000 Hz");
    }
    auto& line = slot->line;
    if (line.pointCount == synth::kMaxPitchPoints) {
        return Fail(kQueueFull, "more than 64 pitch points");
    }
    line.points[line.pointCount++] = {percent, hertz};
    return line.pointCount;
}

}  // extern "C"
