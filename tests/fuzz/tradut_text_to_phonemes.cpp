// TextToPhonemes and StressPosition over arbitrary bytes with a small rule set using every context
// symbol.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "diphone/tfTradut.h"

namespace {

const char kRules[] =
    "; every symbol of both contexts\n"
    "#(A)%=a|\n](A)+=a2\n(A)=a\n"
    "_(C)*=k\n(CH)=x\n(C)[=k\n(C)=k\n"
    "|(S)#=z\n(SS)=s\n(S)&=z\n(S)\\=s\n(S)=s\n"
    "%(E)=e\n(E)=e\n(.)=ponto\n( )=_\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sonara::TfTradut* t = [] {
        auto* made = new sonara::TfTradut;
        made->LoadRulesText(kRules);
        made->LoadExceptionsText("casa=kAza\nsol=sOl|\n");
        return made;
    }();
    std::string out =
        t->TextToPhonemes(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!out.empty() && (out.front() != '[' || out.back() != ']')) std::abort();
    // The stressed position names a letter of the input, or 0.
    int at = t->StressPosition(std::string_view(reinterpret_cast<const char*>(data), size));
    if (at < 0 || static_cast<size_t>(at) > size) std::abort();
    return 0;
}
