// The ending: the farewell clips with the vowels sung over them, then the credits.
#include "console/TfCrt.h"
#include "game/LetterGame.h"
#include "speech/tfsapi_startup.h"

namespace sonara {

namespace {

constexpr const char* kDescription[] = {
    " O Menino Pipoco \xe9 um programa sonoro, criado para",
    " auxiliar na alfabetiza\xe7\xe3o de crian\xe7\x61s com defici\xeancia",
    " visual e sua integra\xe7\xe3o com outras crian\xe7\x61s.",
};

constexpr const char* kCredits[] = {
    " Autores: Equipe Menino Pipoco",
    " Locu\xe7\xe3o: Voz sintetizada da Equipe Menino Pipoco",
    " Design Gr\xe1"
    "fico: Oficina de Imagens Lume",
    "                 Grupo de Contraste Sonara",
    "                 Equipe Menino Pipoco",
    " Anima\xe7\xe3o: Oficina de Imagens Lume",
    " Programa\xe7\xe3o e M\xfasica:  Equipe Sonara",
    " Multim\xed"
    "dia: Equipe Menino Pipoco",
};

constexpr const char* kContact[] = {
    " Projeto Menino Pipoco - vers\xe3o Lume",
    " Coordena\xe7\xe3o: Equipe Sonara",
    " E-mail: pipoco@example.org",
    " Telefone: (00) 5555-0000",
};

}  // namespace

void LetterGame::ShowCredits() {
    ClearScreen();
    TextColor(15);
    ConsoleWriteLine("");
    for (const char* line : kDescription) ConsoleWriteLine(line);
    ConsoleWriteLine("");
    TextColor(14);
    for (const char* line : kCredits) ConsoleWriteLine(line);
    TextColor(15);
    ConsoleWriteLine("");
    for (const char* line : kContact) ConsoleWriteLine(line);
}

void LetterGame::Ending() {
    player_.PlayCue("Tchan");
    player_.PlayClip("final1");
    player_.PlayCueAsync("aeiou");
    player_.PlayClip("final2");
    player_.PlayClip("xxx");
    FlushKeys();
    ShowCredits();
    ReadKey();
    EndSpeech();
    DoneConsole();
}

}  // namespace sonara
