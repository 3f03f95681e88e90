// The speech server's voice list as any bytes in any pieces: the reader keeps to its limits,
// keeps only named voices with fields free of line and field separators, and stops at the
// first end or refusal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/SpeechdVoiceList.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the size of the pieces the answer arrives in.
    const std::size_t piece = 1 + data[0] % 64;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    win::SpeechdVoiceListReader reader;
    bool open = true;
    while (!rest.empty()) {
        const std::string_view bytes = rest.substr(0, piece);
        rest.remove_prefix(bytes.size());
        const bool more = reader.Feed(bytes);
        Check(more == (!reader.Complete() && !reader.Broken()));
        if (!more) {
            open = false;
            break;
        }
    }
    Check(!(reader.Complete() && reader.Broken()));
    Check(open || reader.Complete() || reader.Broken());
    Check(reader.voices().size() <= win::SpeechdVoiceListReader::kMostVoices);
    for (const win::SpeechdVoice& v : reader.voices()) {
        Check(!v.name.empty());
        for (const std::string* field : {&v.name, &v.language, &v.variant})
            Check(field->find_first_of("\t\n") == std::string::npos &&
                  field->size() < win::SpeechdVoiceListReader::kLongestLine);
    }
    return 0;
}
