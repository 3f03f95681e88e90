// Diphone list loader over arbitrary bytes, then lookups.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tavena/DiphoneList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sonara::DiphoneList list;
    list.Load(bytes);
    list.Contains(bytes.substr(0, 6));
    for (const auto& key : list.Keys()) {
        if (!list.Contains(key)) __builtin_trap();  // every loaded key must be found
    }
    return 0;
}
