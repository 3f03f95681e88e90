// TranslateToBraille on arbitrary rows, the parenthesis state carried from one input to
// the next as from one console row to the next.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/braille/BrailleTables.h"
#include "console/braille/tfbrunif.h"

namespace {

// Capitals are always lower-cased (the times sign is no letter) and typographic quotes
// always become plain ones, so none of them may reach the braille text.
bool AllowedCell(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return false;
    if (c >= 0xC0 && c <= 0xDF && c != 0xD7) return false;
    return c != 0x93 && c != 0x94;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sonara::Tfbrunif carried;
    const std::string_view row(reinterpret_cast<const char*>(data), size);
    const bool wasInParens = carried.InParens();
    const std::string braille = carried.TranslateToBraille(row);
    // No sign is longer than three cells per character used.
    if (braille.size() > 3 * size) std::abort();
    for (char c : braille)
        if (!AllowedCell(static_cast<unsigned char>(c))) std::abort();
    // Outside a parenthesis the result depends on the row alone.
    if (!wasInParens) {
        sonara::Tfbrunif fresh;
        if (fresh.TranslateToBraille(row) != braille) std::abort();
    }
    const std::string dots = sonara::BrailleTextToDots(braille);
    if (dots.size() != braille.size()) std::abort();
    for (char d : dots)
        if (static_cast<unsigned char>(d) >= 64) std::abort();
    return 0;
}
