#include "TavenaTestData.h"

#include "platform/cp1252.h"

namespace tavena_test {

std::string W(std::string_view utf8) {
    return win::Utf8ToCp1252(utf8);
}
std::string U(std::string_view cp1252) {
    return win::Cp1252ToUtf8(cp1252);
}

std::string Squeeze(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Join(const std::vector<std::string>& lines, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += separator;
        out += lines[i];
    }
    return out;
}

// Rules in no particular order of first letters; "&" splits an output into phonemes and
// "¨" opens a syllable. Final r and s are written r2 and s2.
std::string RulesFile() {
    return W(
        "; test rules\n"
        "(A)=a\n"
        "(B)=b\n"
        "(C)+=s\n"
        "(C)=k\n"
        "(D)=d\n"
        "(E)%=i\n"
        "(É)=E\n"
        "(E)=e\n"
        "(F)=f\n"
        "(G)=g\n"
        "(H)=\n"
        "(I)=i\n"
        "(J)=Z\n"
        "(K)=k\n"
        "(L)%=w\n"
        "(L)=l\n"
        "(M)%=~\n"
        "(M)=m\n"
        "(NH)=J\n"
        "(N)=n\n"
        "(O)%=u\n"
        "(O)=o\n"
        "#(P)#=¨p\n"
        "(P)=p\n"
        "(QU)#=k\n"
        "(RR)=R\n"
        "(R)%=r2\n"
        "(R)=r\n"
        "#(S)#=z\n"
        "(S)%=s2\n"
        "(S)=s\n"
        "(T)=t\n"
        "(U)=u\n"
        "(V)=v\n"
        "(X)=k&s\n"
        "(Z)=z\n"
        "(Á)=a\n"
        "(Ã)=a&~\n"
        "(Ç)=s\n");
}

std::string ExceptionsFile() {
    return W("casa=kaza\nxerox=xérox\n");
}

std::string AbbreviationsFile() {
    return W(
        "; abbreviations\n"
        "  sr = senhor  \n"
        "dr=doutor\n"
        "etc=etcétera\n"
        "\n");
}

std::string ProsodyFile() {
    return W(
        "; sections in another order than the loader reads them\n"
        "[PROSÓDIA]\n"
        "HERTZ=200\n"
        "TABHERTZ=0,10,20,30,40,50,100,110,120,130\n"
        "--|AR|=456\n"
        "|XX|..=564\n"
        "|..|=?43\n"
        "[CHAVES]\n"
        "o = ar\n"
        "de=pr\n"
        "[DURAÇÃO]\n"
        "* durations in ms\n"
        "a=80\n"
        "e=70\n"
        "k=90\n"
        "z=60\n"
        "__=200\n"
        "_,=150\n"
        "_.=300\n");
}

std::string DiphonesFile() {
    return "; pairs\n_-k\nk-a\na-z\nz-a\na-_\n_-_\n";
}

void LoadAll(sonara::TavenaData& data) {
    data.rules.LoadRulesText(RulesFile());
    data.rules.LoadExceptionsText(ExceptionsFile());
    data.abbreviations.Load(AbbreviationsFile());
    sonara::ParseProsody(ProsodyFile(), data.prosody);
    data.diphones.Load(DiphonesFile());
}

}  // namespace tavena_test
