// Speak's piece cutting on any bytes: it ends, uses every byte once, and every piece
// stays inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "speech/tfsapi_pieces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text += ' ';
    sonara::PieceCutter cutter(text);
    std::vector<sonara::SpeechPiece> step;
    std::size_t steps = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (cutter.Next(step)) {
        if (++steps > text.size()) std::abort();  // each step takes at least one byte
        for (const auto& piece : step) {
            if (!piece.text.empty() && piece.kind != sonara::SpeechPiece::Kind::kNamedSound &&
                (piece.text.data() < begin || piece.text.data() + piece.text.size() > end))
                std::abort();
            if (piece.kind == sonara::SpeechPiece::Kind::kPhrase &&
                piece.text.size() > sonara::PieceCutter::kMaxPhrase)
                std::abort();
            if (piece.kind == sonara::SpeechPiece::Kind::kNumber &&
                (piece.text.empty() || piece.text.size() > 6))
                std::abort();
        }
    }
    if (!cutter.Rest().empty()) std::abort();
    return 0;
}
