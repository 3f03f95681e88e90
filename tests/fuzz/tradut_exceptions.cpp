// Exception-file loader on arbitrary bytes, then lookups of the file's own words.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diphone/tfTradut.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sonara::TfTradut t;
    t.LoadRulesText("(A)=a\n(S)#=z\n");
    t.LoadExceptionsText(bytes);
    if (t.ExceptionCount() > sonara::kMaxExceptions) std::abort();
    for (std::string_view line : sonara::SplitLines(bytes)) {
        std::string_view word = line.substr(0, line.find('='));
        sonara::TradutWord w{std::string(word) + "s", 2, false};
        t.ApplyException(w);
    }
    t.TextToPhonemes(bytes.substr(0, 128));
    return 0;
}
