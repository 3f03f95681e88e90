// The chunk walk of character recordings on arbitrary bytes: the data size found never
// exceeds 65535 and the walk never reads past the file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diphone/LetterWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sonara::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::uint32_t found = sonara::FindLetterData(source);
    if (found > 65535 || source.Remaining() > size) std::abort();
    return 0;
}
