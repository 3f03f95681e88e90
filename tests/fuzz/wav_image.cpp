// The WAVE header reader on arbitrary bytes: whatever it reports must lie inside the input,
// and converting what it found must stay inside it too.
#include "platform/wav_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/pcm_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const win::WavImage w = win::ReadWavImage(std::span<const std::uint8_t>(data, size));
    if (w.status == win::WavStatus::kOk) {
        if (w.dataOffset > size || w.dataSize > size - w.dataOffset) std::abort();
        // Touch the first and last sample bytes so the sanitizers check the bounds too.
        volatile std::uint8_t sink = 0;
        if (w.dataSize > 0) sink = data[w.dataOffset] ^ data[w.dataOffset + w.dataSize - 1];
        (void)sink;
        // A playable image goes through the cue conversion too, as sndPlaySound does it.
        if (win::IsPlayablePcm(w.format)) {
            const std::size_t frames = w.dataSize / win::FrameBytes(w.format);
            const auto out =
                win::ConvertToStereo(data + w.dataOffset, frames, w.format.bitsPerSample,
                                     w.format.channels, w.format.samplesPerSec, 44100);
            if (out.size() % 2 != 0) std::abort();
        }
    }
    if (size >= 12) (void)win::RiffExtent(data);
    return 0;
}
