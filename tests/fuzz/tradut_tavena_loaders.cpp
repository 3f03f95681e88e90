// Tavena rule and exception loaders on arbitrary bytes (the first byte chooses where the
// input splits into the two files), then chain walks and lookups.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "diphone/tfTradut_tavena.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t split = bytes.size() * data[0] / 255;
    sonara::TavenaTradut t;
    t.LoadRulesText(bytes.substr(0, split));
    t.LoadExceptionsText(bytes.substr(split));
    for (int c = 0; c < 256; ++c) {
        for (const sonara::TavenaRule& r : t.Chain(static_cast<unsigned char>(c))) {
            if (static_cast<unsigned char>(r.match.front()) != c || r.match.size() > 5 ||
                r.output.size() > 20) {
                std::abort();
            }
        }
    }
    for (std::string_view line : sonara::SplitLines(bytes.substr(split))) {
        std::string word = sonara::LocaleUpper(line.substr(0, line.find('='))) + "SM";
        t.ApplyException(word);
    }
    return 0;
}
