// sonara tavena stress --position [--data DIR] [--rules F] [--exceptions F] [--phonemes]
// [WORD...]: for each word, one line with the 1-based position in the word as written of
// the first vowel letter of the syllable the engine stresses (exception lookup, stress
// finder and rules, as its transcription does; 0 when none). --phonemes adds the word's
// phonemes after a tab. Words from standard input, one a line, when none are given.
// The data files are the installed ones (c:\tecfal\tavenatts\ of the bundled drive)
// unless --data or a file option says otherwise; without an installed copy the source
// copy is read, and standard error says so.
#include "tools/sonara/cmd_tavena_stress.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "tavena/Charset.h"
#include "tavena/StressPosition.h"
#include "tavena/Transcribe.h"
#include "tools/sonara/encoding.h"
#include "tools/sonara/tradut_tables.h"

namespace sonara_tool {

namespace {

constexpr const char* kInstalledDir = "c:\\tecfal\\tavenatts\\";

struct StressOptions {
    bool position = false;
    bool phonemes = false;
    std::string data;
    std::string rules, exceptions;
    std::vector<std::string> words;
};

bool ParseStressOptions(const std::vector<std::string>& args, StressOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* file = a == "--data"         ? &o.data
                            : a == "--rules"      ? &o.rules
                            : a == "--exceptions" ? &o.exceptions
                                                  : nullptr;
        if (file != nullptr) {
            if (i + 1 >= args.size()) return false;
            *file = args[++i];
        } else if (a == "--position") {
            o.position = true;
        } else if (a == "--phonemes") {
            o.phonemes = true;
        } else if (a.size() > 1 && a.rfind("--", 0) == 0) {
            return false;
        } else {
            o.words.push_back(a);
        }
    }
    return o.position;
}

std::optional<std::string> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The installed file through the simulated machine's drive c:.
std::optional<std::string> ReadInstalled(const char* name) {
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    std::optional<std::string> bytes;
    sonara::RunProgram([&] { bytes = win::ReadWholeFile(std::string(kInstalledDir) + name); });
    win::SetBackend(nullptr);
    return bytes;
}

// Reads one data file: the given path, else DIR/name, else the installed copy, else the
// source copy.
std::optional<std::string> ReadData(const StressOptions& o, const std::string& given,
                                    const char* name) {
    if (!given.empty()) return ReadHostFile(given);
    if (!o.data.empty()) return ReadHostFile(o.data + "/" + name);
    if (std::optional<std::string> bytes = ReadInstalled(name)) return bytes;
#ifdef SONARA_TAVENA_SOURCE_DATA
    std::string source = std::string(SONARA_TAVENA_SOURCE_DATA) + "/" + name;
    if (std::optional<std::string> bytes = ReadHostFile(source)) {
        std::fprintf(stderr, "sonara tavena stress: no installed %s; reading %s\n", name,
                     source.c_str());
        return bytes;
    }
#endif
    return std::nullopt;
}

std::string PhonemeText(const std::string& word, const sonara::TavenaTradut& rules) {
    std::string upper = sonara::Upper(word);
    rules.ApplyException(upper);
    std::size_t stress = sonara::IsUnstressedWord(upper) ? 0 : sonara::FindStress(upper);
    sonara::Lines lines;
    sonara::ApplyRules(upper, stress, rules, lines);
    std::string out;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (!out.empty()) out += ' ';
        out += line;
    }
    return out;
}

}  // namespace

int TavenaStress(const std::vector<std::string>& args) {
    StressOptions o;
    if (!ParseStressOptions(args, o)) {
        std::fprintf(stderr,
                     "usage: sonara tavena stress --position [--data DIR] [--rules F] "
                     "[--exceptions F] [--phonemes] [WORD...]\n");
        return 2;
    }
    std::optional<std::string> rules = ReadData(o, o.rules, "portug.nrl");
    if (!rules) {
        std::fprintf(stderr, "sonara tavena stress: no rule file portug.nrl\n");
        return 1;
    }
    std::optional<std::string> exceptions = ReadData(o, o.exceptions, "portug.exc");
    if (!exceptions) {
        std::fprintf(stderr, "sonara tavena stress: no exception file portug.exc\n");
        return 1;
    }
    sonara::TavenaTradut tradut;
    tradut.LoadRulesText(*rules);
    tradut.LoadExceptionsText(*exceptions);

    std::vector<std::string> words = o.words.empty() ? ReadStdinLines() : o.words;
    std::string out;
    for (const std::string& utf8 : words) {
        std::string word = Utf8ToCp1252(utf8);
        while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.pop_back();
        while (!word.empty() && (word.front() == ' ' || word.front() == '\t')) word.erase(0, 1);
        out += std::to_string(sonara::StressedLetter(word, tradut));
        if (o.phonemes) out += '\t' + Cp1252ToUtf8(PhonemeText(word, tradut));
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace sonara_tool
