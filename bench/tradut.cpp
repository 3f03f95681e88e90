// TextToPhonemes throughput on a long Portuguese text with a small rule set.
#include <benchmark/benchmark.h>

#include <string>

#include "diphone/tfTradut.h"

namespace {

// A few rules per letter, in blocks, with the context symbols a real set uses most.
const char kRules[] =
    "; pequeno conjunto de regras\n"
    "(AM)%=an\n(AN)[=an\n(A)=a\n"
    "(B)=b\n"
    "(CH)=x\n(C)+=s\n(C)=k\n"
    "(D)=d\n"
    "(EM)%=en\n(E)%=i\n(E)=e\n"
    "(F)=f\n"
    "(GU)+=g\n(G)+=j\n(G)=g\n"
    "(H)=\n"
    "(I)=i\n(J)=j\n(K)=k\n"
    "(LH)=lh\n(L)%=u\n(L)=l\n"
    "(M)=m\n"
    "(NH)=nh\n(N)=n\n"
    "(O)%=u\n(O)=o\n"
    "(P)=p\n(QU)+=k\n(QU)=kw\n"
    "%(R)=rr\n(RR)=rr\n(R)=r\n"
    "#(S)#=z\n(SS)=s\n(S)=s\n"
    "(T)=t\n(U)=u\n(V)=v\n(X)=x\n(Z)%=s\n(Z)=z\n";

const char kExceptions[] = "casa=kAza\nmenino=menIno\nxicara=xIcara\n";

std::string LongText() {
    const std::string paragraph =
        "O menino Pipoco mora numa casa amarela perto do rio. Todas as manh\xE3s ele acorda "
        "cedo, toma caf\xE9 com p\xE3o e vai para a escola com os amigos. Na escola, a "
        "professora conta hist\xF3rias sobre bichos, estrelas e cora\xE7\xF5"
        "es; depois "
        "todos cantam, desenham e brincam no p\xE1tio at\xE9 a hora de voltar para casa! "
        "Quando chove, Pipoco fica na janela ouvindo a \xE1gua cair no telhado e pensando "
        "em novas aventuras com o cachorro Biscoito, que late para as nuvens.\n";
    std::string text;
    while (text.size() < 64 * 1024) text += paragraph;
    return text;
}

void BM_TextToPhonemes(benchmark::State& state) {
    sonara::TfTradut tradut;
    tradut.LoadRulesText(kRules);
    tradut.LoadExceptionsText(kExceptions);
    const std::string text = LongText();
    for (auto _ : state) {
        std::string out = tradut.TextToPhonemes(text);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextToPhonemes)->Unit(benchmark::kMillisecond);

}  // namespace
