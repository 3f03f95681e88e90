// sonara tavena STAGE [data options] [TEXT]: runs the engine's text stages up to STAGE
// and prints its output, one item per line. Text comes from the arguments or, without
// any, from standard input (UTF-8). sonara tavena say: the whole engine
// (cmd_tavena_say.cpp).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tavena/Pipeline.h"
#include "tools/sonara/cmd_tavena_stress.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"

namespace sonara_tool {
int TavenaSay(const std::vector<std::string>& args);  // cmd_tavena_say.cpp
}  // namespace sonara_tool

namespace {

enum class Stage { kNormalize, kTag, kIntonation, kTranscribe, kPho };

struct Options {
    Stage stage = Stage::kNormalize;
    std::string data = ".";
    std::string base = "portug";
    std::string rules, exceptions, abbreviations, prosody, diphones;
    double pitch = 1.0;
    double duration = 1.0;  // the engine's own defaults, as `tavena say` uses them
    std::vector<std::string> text;
};

std::optional<Stage> ParseStage(const std::string& name) {
    if (name == "normalize") return Stage::kNormalize;
    if (name == "tag") return Stage::kTag;
    if (name == "intonation") return Stage::kIntonation;
    if (name == "transcribe") return Stage::kTranscribe;
    if (name == "pho") return Stage::kPho;
    return std::nullopt;
}

std::optional<double> ParseFactor(const std::string& text) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= 0) || v > 100) return std::nullopt;
    return v;
}

bool ParseOptions(const std::vector<std::string>& args, Options& o) {
    if (args.empty()) return false;
    std::optional<Stage> stage = ParseStage(args[0]);
    if (!stage) return false;
    o.stage = *stage;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        std::string* file = a == "--data"            ? &o.data
                            : a == "--rules"         ? &o.rules
                            : a == "--exceptions"    ? &o.exceptions
                            : a == "--abbreviations" ? &o.abbreviations
                            : a == "--prosody"       ? &o.prosody
                            : a == "--diphones"      ? &o.diphones
                                                     : nullptr;
        if (file != nullptr) {
            if (!hasValue) return false;
            *file = args[++i];
        } else if (a == "--pitch" || a == "--duration") {
            std::optional<double> v = hasValue ? ParseFactor(args[++i]) : std::nullopt;
            if (!v) return false;
            (a == "--pitch" ? o.pitch : o.duration) = *v;
        } else if (a == "--") {
            o.text.insert(o.text.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        } else {
            o.text.push_back(a);
        }
    }
    return true;
}

std::optional<std::string> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string PathOf(const Options& o, const std::string& given, const char* extension) {
    if (!given.empty()) return given;
    std::string dir = o.data;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + o.base + extension;
}

bool Fail(const char* message, const std::string& path) {
    std::fprintf(stderr, "sonara tavena: %s (%s)\n", message, path.c_str());
    return false;
}

// Loads the files the stage needs, reporting as the engine set-up does.
bool LoadData(const Options& o, sonara::TavenaData& data) {
    std::string path = PathOf(o, o.abbreviations, ".abr");
    std::optional<std::string> bytes = ReadHostFile(path);
    if (!bytes) return Fail("Erro no arquivo de abreviaturas", path);
    data.abbreviations.Load(*bytes);
    if (o.stage == Stage::kNormalize) return true;

    path = PathOf(o, o.prosody, ".pro");
    bytes = ReadHostFile(path);
    sonara::ProsodyLoad load = sonara::ParseProsody(bytes, data.prosody);
    for (const std::string& m : load.messages) {
        std::fprintf(stderr, "%s\n", sonara_tool::Cp1252ToUtf8(m).c_str());
    }
    if (!load.ok) return Fail("Erro no arquivo de prosódia", path);
    if (o.stage == Stage::kTag || o.stage == Stage::kIntonation) return true;

    path = PathOf(o, o.rules, ".nrl");
    bytes = ReadHostFile(path);
    if (!bytes) return Fail("Erro na base de dados de português", path);
    data.rules.LoadRulesText(*bytes);
    path = PathOf(o, o.exceptions, ".exc");
    bytes = ReadHostFile(path);
    if (!bytes) return Fail("Erro na base de dados de português", path);
    data.rules.LoadExceptionsText(*bytes);
    if (o.stage == Stage::kTranscribe) return true;

    path = PathOf(o, o.diphones, ".dfn");
    bytes = ReadHostFile(path);
    if (!bytes) return Fail("Erro no arquivo de prosódia", path);
    data.diphones.Load(*bytes);
    return true;
}

std::string InputText(const Options& o) {
    std::string text;
    if (!o.text.empty()) {
        for (std::size_t i = 0; i < o.text.size(); ++i) text += (i ? " " : "") + o.text[i];
    } else {
        std::ostringstream all;
        all << std::cin.rdbuf();
        text = all.str();
        if (!text.empty() && text.back() == '\n') text.pop_back();
        if (!text.empty() && text.back() == '\r') text.pop_back();
    }
    return sonara_tool::Utf8ToCp1252(text);
}

void Print(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::printf("%s\n", sonara_tool::Cp1252ToUtf8(line).c_str());
    }
}

int Tavena(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "say") {
        return sonara_tool::TavenaSay(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (!args.empty() && args[0] == "stress") {
        return sonara_tool::TavenaStress({args.begin() + 1, args.end()});
    }
    Options o;
    if (!ParseOptions(args, o)) {
        std::fprintf(stderr,
                     "usage: sonara tavena normalize|tag|intonation|transcribe|pho [--data DIR] "
                     "[--rules F] [--exceptions F] [--abbreviations F] [--prosody F] "
                     "[--diphones F] [--pitch F] [--duration F] [TEXT]\n"
                     "       sonara tavena stress --position [--data DIR] [--rules F] "
                     "[--exceptions F] [--phonemes] [WORD...]\n");
        return 2;
    }
    sonara::TavenaData data;
    if (!LoadData(o, data)) return 1;
    sonara::TextPipeline pipeline(data);
    std::string text = InputText(o);
    switch (o.stage) {
        case Stage::kNormalize:
            Print({pipeline.Normalised(text)});
            break;
        case Stage::kTag:
            Print(pipeline.Tagged(text));
            break;
        case Stage::kIntonation:
            Print(pipeline.Intonation(text));
            break;
        case Stage::kTranscribe:
            Print(pipeline.Transcribed(text));
            break;
        case Stage::kPho:
            Print(pipeline.PhonemeLines(text, o.pitch, o.duration));
            break;
    }
    return 0;
}

sonara_tool::Registrar reg({"tavena",
                            "tavena STAGE [data options] [TEXT]  the text stages of the "
                            "phoneme-line engine (normalize, tag, intonation, transcribe, pho); "
                            "tavena say [--wav F] [--pitch P] [--duration D] TEXT  speak it; "
                            "tavena stress --position WORD...  stressed positions",
                            &Tavena});

}  // namespace
