// The synthesizer's phoneme-line reader over arbitrary bytes, and every accepted line
// sounded with a tiny voice: parse, queue, read in small pieces, flush, read the rest.
#include <cstddef>
#include <cstdint>
#include <string>

#include "synth_voice.h"
#include "tavena/synth/PhonemeLineReader.h"
#include "tavena/synth/Synthesizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static synth::Synthesizer* synthesizer = [] {
        auto* s = new synth::Synthesizer;
        std::string error;
        if (!s->OpenBytes(TinyVoice(), error)) __builtin_trap();
        return s;
    }();
    synthesizer->Reset();
    const std::string text(reinterpret_cast<const char*>(data), size);  // zero-terminated
    std::string error;
    synth::PhonemeLine line;
    float sink = 0;
    const auto consume = [&](int, float value) { sink += value; };
    int budget = 32;  // lines sounded per input, so that each input stays quick
    synth::ForEachLine(
        text.c_str(),
        [&](std::string_view one) {
            if (synth::ParseLine(one, line, error) != synth::LineKind::Phoneme) return true;
            if (line.milliseconds > 200) line.milliseconds = 200;
            if (line.pointCount > 0 && line.points[0].hertz <= 0) __builtin_trap();
            synthesizer->Add(line, error);
            synthesizer->Read(997, consume);
            return --budget > 0;
        },
        error);
    synthesizer->Flush(error);
    while (synthesizer->Read(4096, consume) > 0) {
    }
    return sink == 12345.678f ? 1 : 0;
}
