// The whole text pipeline, normalisation through phoneme lines, over arbitrary text
// with small fixed data.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tavena/Pipeline.h"

namespace {

const sonara::TavenaData& Data() {
    static const sonara::TavenaData data = [] {
        sonara::TavenaData d;
        d.rules.LoadRulesText(
            "(A)=a\n(B)=b\n(C)+=s\n(C)=k\n(E)%=i\n(E)=e\n(H)=\n(L)%=w\n(O)=\xA8o\n"
            "(R)%=r2\n(R)=r\n#(S)#=z\n(S)%=s2\n(S)=s\n(X)=k&s\n(U)=&&u&\n(I)=&\n(\xC3)=a&~\n");
        d.rules.LoadExceptionsText("casa=kaza\nxis=\n");
        d.abbreviations.Load("sr=senhor\ndr=\n");
        sonara::ParseProsody(
            "[DURA\xC7\xC3O]\na=80\n__=200\n[CHAVES]\no=ar\n[PROS\xD3"
            "DIA]\nHERTZ=200\n"
            "TABHERTZ=0,10,20,30,40,50,100,110,120,130\n|XX|=?x9\n..||=1\n",
            d.prosody);
        d.diphones.Load("_-a\na-_\nk-a\nr2-_\n");
        return d;
    }();
    return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    sonara::TextPipeline pipeline(Data());
    pipeline.PhonemeLines(text, 1.0, 0.8);
    pipeline.PhonemeLines(text.substr(0, 1), 2.0, 0.5);
    return 0;
}
