// Abbreviations loader over arbitrary bytes, then lookups and normalisation with the
// table it built.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tavena/Abbreviations.h"
#include "tavena/Normalise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sonara::AbbreviationTable table;
    table.Load(bytes);
    table.FindAbbreviation(bytes.substr(0, 8));
    sonara::Normalise(bytes.substr(0, 200), table);
    return 0;
}
