#include "tavena/CharNames.h"

#include <array>

#include "tavena/Charset.h"

namespace sonara {

namespace {

// Names written in UTF-8 here, stored as Windows-1252.
constexpr const char* kFrom32[] = {"espaço",
                                   "exclamação",
                                   "aspas",
                                   "sustenido",
                                   "cifrão",
                                   "porcento",
                                   "é comercial",
                                   "apóstrofo",
                                   "abre parênteses",
                                   "fecha parênteses",
                                   "asterisco",
                                   "mais",
                                   "vírgula",
                                   "traço",
                                   "ponto",
                                   "barra",
                                   "zéro",
                                   "um",
                                   "dois",
                                   "três",
                                   "quatro",
                                   "cinco",
                                   "seis",
                                   "séte",
                                   "oito",
                                   "nóve",
                                   "dois pontos",
                                   "ponto e vírgula",
                                   "menor que",
                                   "igual",
                                   "maior que",
                                   "interrogação",
                                   "arrôba"};
constexpr const char* kLetters[] = {
    "a",   "bê", " sê", " dê", "é",    "éfe",  "jê", "agá", "i",  "jóta",   "cá",  "éle",     "ême",
    "êne", "ó",  "pê",  "quê", "érre", "ésse", "tê", "u",   "vê", "dábliu", "xis", "ípsilon", "zê"};
constexpr const char* kFrom91[] = {"abre colchete", "raiz",       "fecha colchete",
                                   "circunflexo",   "sublinhado", "crase"};
constexpr const char* kFrom123[] = {"abre chave", "barra vertical", "fecha chave", "til"};
constexpr const char* kFrom161[] = {"exclamação reversa",
                                    "centavos de dólar",
                                    "libras",
                                    "símbolo de moeda",
                                    "iene",
                                    "barra interrompida",
                                    "parágrafo",
                                    "trema",
                                    "copyright",
                                    "ordinal feminino",
                                    "Aspas esquerdas",
                                    "negação",
                                    "hífen",
                                    "Marca registrada",
                                    "mácron",
                                    "grau",
                                    "mais ou menos",
                                    "elevado ao quadrado",
                                    "elevado ao cubo",
                                    "acento agudo",
                                    "mi",
                                    "pi",
                                    "ponto no meio",
                                    "cedilha",
                                    "expoente um",
                                    "ordinal masculino",
                                    "aspas direitas",
                                    "um quarto",
                                    "um meio",
                                    "três quartos",
                                    "interrogação reversa"};
constexpr const char* kFrom192[] = {
    "A grave",   "A agudo",    "A circunflexo", "A com til",     "A com trema",   "A bola",
    "A É",       "Cê cedilha", "É grave",       "É agudo",       "É circunflexo", "É com trema",
    "I grave",   "I agudo",    "I circunflexo", "I com trema",   "Dê cortado",    "N com til",
    "Ó grave",   "Ó agudo",    "Ó circunflexo", "Ó com til",     "Ó tremado",     "vezes",
    "Ó cortado", "U grave",    "U agudo",       "U circunflexo", "U com trema"};

template <std::size_t N>
void Fill(std::array<std::string, 256>& names, int first, const char* const (&list)[N]) {
    for (std::size_t i = 0; i < N; ++i) names[first + i] = W(list[i]);
}

std::array<std::string, 256> BuildNames() {
    std::array<std::string, 256> names;
    Fill(names, 32, kFrom32);
    Fill(names, 'A', kLetters);
    Fill(names, 'a', kLetters);
    Fill(names, 91, kFrom91);
    Fill(names, 123, kFrom123);
    Fill(names, 161, kFrom161);
    Fill(names, 192, kFrom192);
    for (int c = 224; c <= 255; ++c) names[c] = names[c - 32];
    return names;
}

}  // namespace

const std::string& CharName(unsigned char c) {
    static const std::array<std::string, 256> names = BuildNames();
    return names[c];
}

}  // namespace sonara
