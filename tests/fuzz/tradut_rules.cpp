// Rule-file loader on arbitrary bytes, then the loaded rules tried on a few words, so
// that arbitrary context patterns run through the scanner.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diphone/tfTradut.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sonara::TfTradut t;
    t.LoadRulesText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int c = 0; c < 256; ++c) {
        for (const sonara::Regra& r : t.Chain(static_cast<unsigned char>(c))) {
            if (r.match.empty() || r.match.size() > 5 || r.left.size() > 5 || r.right.size() > 5 ||
                r.output.size() > 11) {
                std::abort();
            }
        }
    }
    static const char* const kWords[] = {"casa", "a~o", "sAs", "pe'", "#", "s", "rr\"a"};
    for (const char* word : kWords) {
        std::string out = t.TranslateWord(word);
        if (out.size() < 2 || out.front() != '[' || out.back() != ']') std::abort();
    }
    t.TextToPhonemes(std::string_view(reinterpret_cast<const char*>(data), size > 64 ? 64 : size));
    return 0;
}
