// Throughput of the phoneme-line engine's text stages, normalisation through phoneme
// lines, on a long Portuguese text.
#include <benchmark/benchmark.h>

#include <string>

#include "tavena/Pipeline.h"

namespace {

// One rule per letter plus a few contexts: enough for every word to take the usual path.
const char kRules[] =
    "(A)=a\n(B)=b\n(C)+=s\n(C)=k\n(D)=d\n(E)%=i\n(E)=e\n(F)=f\n(G)+=Z\n(G)=g\n(H)=\n"
    "(I)=i\n(J)=Z\n(K)=k\n(L)%=w\n(L)=l\n(M)%=~\n(M)=m\n(NH)=J\n(N)=n\n(O)%=u\n(O)=o\n"
    "(P)=p\n(QU)#=k\n(Q)=k\n(RR)=R\n(R)%=r2\n(R)=r\n#(S)#=z\n(S)%=s2\n(S)=s\n(T)=t\n"
    "(U)=u\n(V)=v\n(W)=u\n(X)=S\n(Y)=i\n(Z)=z\n(\xC7)=s\n(\xC3O)=a&w~\n(\xC9)=E\n(\xC1)=a\n";
const char kProsody[] =
    "[DURA\xC7\xC3O]\na=80\ne=70\ni=60\no=75\nu=65\nk=90\ns=85\nz=70\nr=50\n__=250\n_,=150\n"
    "_.=300\n[CHAVES]\no=ar\na=ar\nde=pr\ne=cj\n[PROS\xD3"
    "DIA]\nHERTZ=200\nTABHERTZ=0,70,80,90,95,100,105,110,120,130\n--|AR|=456\n|XX|..=573\n"
    "|..|=?43\n";
const char kText[] =
    "O menino Pipoco abriu a caixa e achou 21 letras, 3 vogais e 1.250,50 moedas. "
    "O Sr. Silva chegou em 2o. lugar \xE0s 10-15 horas; depois disso, tudo acabou! "
    "Quem \xE9 voc\xEA? A casa do jardim tem um urubu, um bombom e \xE1gua... ";

void BM_TextPipeline(benchmark::State& state) {
    sonara::TavenaData data;
    data.rules.LoadRulesText(kRules);
    data.rules.LoadExceptionsText("casa=kaza\n");
    data.abbreviations.Load("sr=senhor\ndr=doutor\n");
    sonara::ParseProsody(kProsody, data.prosody);
    data.diphones.Load("_-a\na-_\nk-a\na-k\ns-a\na-s\nr2-_\n_-_\n");
    std::string text;
    while (text.size() < 20000) text += kText;
    sonara::TextPipeline pipeline(data);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pipeline.PhonemeLines(text, 1.0, 0.8));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["chars/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * text.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextPipeline)->Unit(benchmark::kMillisecond);

}  // namespace
