#include "game/MediaNames.h"

namespace sonara {

std::vector<std::string> GameClipNames() {
    std::vector<std::string> names = {
        "bookcase-intro",
        "intro-pipoco1",
        "intro-pipoco2",
        "intro-pipoco3",
        "aperte-para-abrir",
        "abre-caixa",
        "caixa-nao-abriu",
        "naosouletrinha",
        "caixa-aberta",
        "abcdefgh",
        "caixa-fechando",
        "cansado",
        "historia-das-letrinhas",
        "desafio-a",
        "desafio-e",
        "desafio-i",
        "desafio-o",
        "desafio-u",
        "ta-pelando",
        "ta-quente",
        "ta-morno",
        "ta-frio",
        "ta-gelado",
        "salvou-a-letrinha",
        "final1",
        "final2",
        "xxx",
    };
    for (char c = 'A'; c <= 'Z'; ++c) names.emplace_back(1, c);
    for (char c = '0'; c <= '9'; ++c) names.emplace_back(1, c);
    return names;
}

std::vector<std::string> GameCueNames() {
    return {"plin", "tingting", "chaaaaan", "Tchan", "aeiou"};
}

}  // namespace sonara
