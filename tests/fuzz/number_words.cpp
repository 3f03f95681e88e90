// The tool's number reader, the recording names of arbitrary word strings and the word
// buffer plan: nothing crashes, and what comes out keeps its shape.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "speech/tflenum.h"
#include "tools/sonara/number_arg.h"

namespace {

void CheckNames(std::string_view words, bool feminine) {
    std::size_t tokens = 0;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i] != ' ' && (i == 0 || words[i - 1] == ' ')) ++tokens;
    const std::vector<std::string> names = sonara::NumberWordRecordings(words, feminine);
    if (names.size() != tokens) std::abort();
    for (const std::string& name : names)
        if (name.size() < 2 || name.size() > 8 || name[0] != '_' ||
            name.find(' ') != std::string::npos)
            std::abort();
}

void CheckPlan(const uint8_t* data, size_t size) {
    std::vector<std::size_t> sizes;
    std::size_t total = 0;
    for (size_t i = 0; i + 1 < size && sizes.size() < 16; i += 2) {
        sizes.push_back(static_cast<std::size_t>(data[i]) * 512 + data[i + 1]);
        total += sizes.back();
    }
    std::size_t placed = 0, recording = 0, offset = 0;
    for (const auto& image : sonara::PlanWordImages(sizes)) {
        std::size_t filled = 0;
        for (const sonara::WordPiece& piece : image) {
            while (recording < sizes.size() && offset == sizes[recording]) ++recording, offset = 0;
            // Pieces follow the recordings in order without gaps or overlaps.
            if (piece.recording != recording || piece.offset != offset || piece.length == 0)
                std::abort();
            offset += piece.length;
            filled += piece.length;
        }
        if (filled == 0 || filled > sonara::kWordBufferSamples) std::abort();
        placed += filled;
    }
    if (placed != total) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto n = sonara_tool::ParseNumberArg(text)) {
        const std::string words = sonara::NumberToWords(*n);
        if (words.empty() || words.find("  ") != std::string::npos) std::abort();
        CheckNames(words, true);
        // The digits read back: strip blanks and leading zeros and compare.
        std::string digits;
        for (char c : text)
            if (c >= '0' && c <= '9') digits += c;
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        if (digits != std::to_string(*n)) std::abort();
    }
    CheckNames(text, size % 2 == 1);
    if (size >= 3) (void)sonara::GroupToWords(text.substr(0, 3));
    if (size >= 15) {
        for (int i = -1; i <= 5; ++i) (void)sonara::ScaledGroup(text.substr(0, 15), i);
    }
    CheckPlan(data, size);
    return 0;
}
