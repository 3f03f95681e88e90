// The WAVE header reader on arbitrary bytes: whatever it reports must lie inside the input.
#include "platform/wav_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const win::WavImage w = win::ReadWavImage(std::span<const std::uint8_t>(data, size));
    if (w.status == win::WavStatus::kOk) {
        if (w.dataOffset > size || w.dataSize > size - w.dataOffset) std::abort();
        // Touch the first and last sample bytes so the sanitizers check the bounds too.
        volatile std::uint8_t sink = 0;
        if (w.dataSize > 0) sink = data[w.dataOffset] ^ data[w.dataOffset + w.dataSize - 1];
        (void)sink;
        (void)win::IsPlayablePcm(w.format);
    }
    if (size >= 12) (void)win::RiffExtent(data);
    return 0;
}
