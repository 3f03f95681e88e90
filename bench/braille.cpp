// TranslateToBraille over a long Portuguese text cut into 80-character console rows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "console/braille/tfbrunif.h"

namespace {

// Windows-1252 text with capitals, accents, numbers, ordinals, dates and brackets.
constexpr const char* kParagraph =
    "O Menino Pipoco abriu a caixa no dia 25.12 e achou 3 letras: A, E e O. "
    "Na 2a. vez, a professora Ana disse que a crian\xE7"
    "a tinha acertado 1.250 perguntas "
    "(quase 90% delas) e ganhou o 1\xBA lugar na turma do 3\xBA ano. "
    "A ONU e a UNICEF apoiam a educa\xE7\xE3o de crian\xE7"
    "as cegas [ver p\xE1gina 12]. "
    "Ser\xE1 que voc\xEA consegue achar a vogal escondida? \x93Sim!\x94, respondeu ele, "
    "e come\xE7ou a procurar \xE0 esquerda, \xE0 direita, mais perto e mais longe. "
    "Cada tecla tem o seu som; as letras de A a Z e os d\xEDgitos de 0 a 9 falam. ";

std::vector<std::string> Rows(std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) text += kParagraph;
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < text.size(); i += 80) rows.push_back(text.substr(i, 80));
    return rows;
}

void BM_TranslateToBraille(benchmark::State& state) {
    const std::vector<std::string> rows = Rows(64 * 1024);
    std::size_t bytes = 0;
    for (const std::string& row : rows) bytes += row.size();
    sonara::Tfbrunif translator;
    for (auto _ : state) {
        for (const std::string& row : rows)
            benchmark::DoNotOptimize(translator.TranslateToBraille(row));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_TranslateToBraille);

}  // namespace
