// The synthesizer's voice loader over arbitrary bytes; a voice that loads is then spoken:
// every phoneme after every other, so each unit's marks and samples are used.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tavena/synth/Synthesizer.h"
#include "tavena/synth/VoiceDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    synth::VoiceDatabase voice;
    if (!voice.Load(bytes, error)) return 0;
    if (voice.DiphoneCount() > voice.PhonemeCount() * voice.PhonemeCount()) __builtin_trap();
    synth::Synthesizer synthesizer;
    if (!synthesizer.OpenBytes(bytes, error)) __builtin_trap();
    float sink = 0;
    const auto consume = [&](int, float value) { sink += value; };
    const int count = std::min(voice.PhonemeCount(), 8);
    for (int i = 0; i < count * count; ++i) {
        synth::PhonemeLine line;
        const std::string& name = voice.PhonemeName(i % count);
        name.copy(line.name, synth::kMaxNameLength);
        line.milliseconds = 5 + (i * 7) % 60;
        line.pointCount = 1;
        line.points[0] = {50.0f, static_cast<float>(60 + (i * 37) % 400)};
        synthesizer.Add(line, error);
        synthesizer.Read(512, consume);
    }
    synthesizer.Flush(error);
    while (synthesizer.Read(4096, consume) > 0) {
    }
    return sink == 12345.678f ? 1 : 0;
}
