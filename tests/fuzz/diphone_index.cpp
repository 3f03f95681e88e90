// The diphone index loader on arbitrary bytes, then FetchDiphone's lookup and arithmetic:
// every entry kept lies inside the data file, is found by its name, and no fetch reads
// past its entry.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diphone/DiphoneIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    // First 4 bytes: the data file's size; next 2: cut and minimum; the rest: the index.
    const std::uint64_t dataSize =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint64_t>(data[3]) << 24);
    const long cut = static_cast<signed char>(data[4]) * 16;
    const long minimum = static_cast<signed char>(data[5]) * 16;
    sonara::DiphoneIndex index;
    const auto report =
        index.Load(std::string_view(reinterpret_cast<const char*>(data) + 6, size - 6), dataSize);
    if (report.entries != (size - 6) / 15 || index.Count() + report.dropped != report.entries) {
        std::abort();
    }
    for (const sonara::DiphoneEntry& e : index.Entries()) {
        if (e.nameLength > 8 || e.offset < 0 ||
            static_cast<std::uint64_t>(e.offset) + e.length > dataSize) {
            std::abort();
        }
        const sonara::DiphoneEntry* found = index.Find(e.Name());
        if (found == nullptr || sonara::CompareDiphoneNames(found->Name(), e.Name()) != 0) {
            // Lower-case names in the index cannot be found: lookups upper-case a-z.
            bool lower = false;
            for (char c : e.Name()) lower = lower || (c >= 'a' && c <= 'z');
            if (!lower) std::abort();
            continue;
        }
        for (int mode = 0; mode <= 2; ++mode) {
            for (double factor : {1.0, 0.9, 0.6, 0.81 * 0.7}) {
                if (sonara::DiphoneFetchBytes(found->length, e.nameLength, mode, factor, cut,
                                              minimum) > found->length) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
