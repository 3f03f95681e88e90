// sonara units [--rules F] [--exceptions F] [--phonemes] [--inventory]
//              [--misses] [--diphones DIR] [--letters DIR] [--base NAME]
// What the diphone synthesizer asks for when it speaks each line of standard input
// (UTF-8 text, or phoneme-group strings with --phonemes):
//   default      the requests of each line, in order (a readable trace);
//   --inventory  the distinct names fetched when every name of at most 8 characters
//                exists, with their counts, sorted as the index sorts them;
//   --misses     per line, each lookup in a real database (DIR/NAME.IND and .DIF) and
//                letters directory that ends in a noise burst or a left-out piece;
//                exits 1 when there is any.
// Without --diphones/--letters, --misses uses the configured DIRDIFONES and DIRLETRAS;
// the trace uses them when given, else counts every name of at most 8 characters as
// present.
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "diphone/DiphoneIndex.h"
#include "diphone/DiphonePlan.h"
#include "diphone/LetterWave.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"
#include "tools/sonara/tradut_tables.h"

namespace {

struct UnitsOptions {
    sonara_tool::TradutOptions tradut;
    bool phonemes = false;
    bool inventory = false;
    bool misses = false;
    std::optional<std::string> diphones;  // UTF-8
    std::optional<std::string> letters;   // UTF-8
    std::string base = "DIFONES2";
};

const char kUsage[] =
    "usage: sonara units [--rules F] [--exceptions F] [--phonemes] [--inventory | --misses]\n"
    "                    [--diphones DIR] [--letters DIR] [--base NAME]  < lines\n";

bool ParseUnitsOptions(const std::vector<std::string>& args, UnitsOptions& o) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::optional<std::string>* value = nullptr;
        if (a == "--phonemes") {
            o.phonemes = true;
        } else if (a == "--inventory") {
            o.inventory = true;
        } else if (a == "--misses") {
            o.misses = true;
        } else if (a == "--diphones" || a == "--letters" || a == "--base") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "sonara: %s needs a value\n", a.c_str());
                return false;
            }
            if (a == "--base") {
                o.base = args[++i];
                continue;
            }
            value = a == "--diphones" ? &o.diphones : &o.letters;
            *value = args[++i];
        } else {
            rest.push_back(a);
        }
    }
    if (!sonara_tool::ParseTradutOptions(rest, true, o.tradut)) return false;
    if (!o.tradut.words.empty() || (o.inventory && o.misses)) {
        std::fputs(kUsage, stderr);
        return false;
    }
    return true;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) dir += '\\';
    return dir;
}

// A directory named by option, else the configured one, else its default.
std::string Directory(const std::optional<std::string>& option, const char* key,
                      const char* fallback) {
    if (option) return WithSlash(sonara_tool::Utf8ToCp1252(*option));
    std::string dir = sonara::ReadIni("TRADUTOR", key);
    return WithSlash(dir.empty() ? std::string(fallback) : dir);
}

std::string UpperAZ(std::string_view s) {
    std::string u(s);
    for (char& c : u) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return u;
}

// Answers lookups from a real database and letters directory, or counts every name of
// at most 8 characters as present.
class Lookup {
  public:
    bool LoadDatabase(const std::string& dir, const std::string& base) {
        real_ = true;
        auto index = win::ReadWholeFile(dir + base + ".IND");
        auto data = win::ReadWholeFile(dir + base + ".DIF");
        if (!index || !data) {
            std::fprintf(stderr, "sonara: cannot read %s%s.IND and .DIF\n",
                         sonara_tool::Cp1252ToUtf8(dir).c_str(), base.c_str());
            return false;
        }
        auto report = index_.Load(*index, data->size());
        if (report.dropped != 0 || report.trailing != 0 || !report.sorted) {
            std::fprintf(stderr,
                         "sonara: index: %zu entries, %zu outside the data file or badly named, "
                         "%zu trailing bytes, %s\n",
                         report.entries, report.dropped, report.trailing,
                         report.sorted ? "sorted" : "NOT sorted (sorted on load)");
        }
        return true;
    }
    void SetLetters(std::string dir) { letters_ = std::move(dir); }
    bool Real() const { return real_; }

    bool Diphone(std::string_view name) const {
        if (!real_) return name.size() <= sonara::DiphoneIndex::kMaxName;
        return index_.Find(name) != nullptr;
    }
    bool Letter(std::string_view name) {
        if (!real_) return name.size() <= sonara::DiphoneIndex::kMaxName;
        auto known = letterCache_.find(std::string(name));
        if (known != letterCache_.end()) return known->second;
        bool found = false;
        if (auto bytes = win::ReadWholeFile(letters_ + std::string(name) + ".wav")) {
            sonara::MemorySource source(*bytes);
            found = sonara::FindLetterData(source) != 0;
        }
        letterCache_.emplace(std::string(name), found);
        return found;
    }

  private:
    bool real_ = false;
    sonara::DiphoneIndex index_;
    std::string letters_;
    std::map<std::string, bool> letterCache_;
};

// Records the planner's requests as trace lines, inventory counts and misses.
class ToolSink : public sonara::UnitSink {
  public:
    explicit ToolSink(Lookup& lookup) : lookup_(lookup) {}

    bool FetchDiphone(std::string_view name, int mode, double factor) override {
        const bool found = lookup_.Diphone(name);
        char line[96];
        std::snprintf(line, sizeof line, "  diphone %-10s stress %d  factor %.4g%s",
                      std::string(name).c_str(), mode, factor, found ? "" : "  (missing)");
        trace.push_back(line);
        if (found) ++inventory[UpperAZ(name)];
        return found;
    }
    bool PlayLetterFile(std::string_view name) override {
        const bool found = lookup_.Letter(name);
        trace.push_back("  letter  " + std::string(name) + ".wav" + (found ? "" : "  (missing)"));
        if (found) ++inventory[std::string(name)];
        return found;
    }
    void AppendSilence(int samples) override {
        trace.push_back("  silence " + std::to_string(samples));
    }
    void AppendNoise() override { trace.push_back("  noise"); }
    void OnMiss(std::string_view name, sonara::MissKind kind) override {
        misses.push_back(
            std::string(kind == sonara::MissKind::kNoise ? "  noise   " : "  dropped ") +
            std::string(name));
    }

    std::vector<std::string> trace;
    std::vector<std::string> misses;
    std::map<std::string, long> inventory;

  private:
    Lookup& lookup_;
};

int Units(const std::vector<std::string>& args) {
    UnitsOptions options;
    if (!ParseUnitsOptions(args, options)) return 2;
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    bool ready = false;
    sonara::TfTradut tradut;
    Lookup lookup;
    int code = sonara::RunProgram([&] {
        if (!options.phonemes && !sonara_tool::LoadTradutTables(options.tradut, true, tradut)) {
            return;
        }
        const bool real =
            options.misses || (!options.inventory && (options.diphones || options.letters));
        if (real) {
            if (!lookup.LoadDatabase(
                    Directory(options.diphones, "DIRDIFONES", "c:\\tecfal\\som\\difones"),
                    options.base)) {
                return;
            }
            lookup.SetLetters(Directory(options.letters, "DIRLETRAS", "c:\\tecfal\\som\\letras"));
        }
        ready = true;
    });
    if (code != 0 || !ready) {
        win::SetBackend(nullptr);
        return code != 0 ? code : 1;
    }
    ToolSink sink(lookup);
    sonara::DiphonePlanner planner(sink);
    const sonara::PhonemePauses pauses;
    bool anyMiss = false;
    for (const std::string& line : sonara_tool::ReadStdinLines()) {
        const std::string input = sonara_tool::Utf8ToCp1252(line);
        const std::string phonemes = options.phonemes ? input : tradut.TextToPhonemes(input);
        sink.trace.clear();
        sink.misses.clear();
        planner.Plan(phonemes, false, pauses);
        if (options.inventory) continue;
        const std::vector<std::string>& shown = options.misses ? sink.misses : sink.trace;
        if (options.misses && shown.empty()) continue;
        anyMiss = anyMiss || !sink.misses.empty();
        std::printf("> %s\n", line.c_str());
        if (!options.phonemes) sonara_tool::PrintLine(phonemes);
        for (const std::string& s : shown) sonara_tool::PrintLine(s);
    }
    if (options.inventory) {
        for (const auto& [name, count] : sink.inventory) {
            std::printf("%s\t%ld\n", sonara_tool::Cp1252ToUtf8(name).c_str(), count);
        }
    }
    win::SetBackend(nullptr);
    return options.misses && anyMiss ? 1 : 0;
}

sonara_tool::Registrar reg(
    {"units",
     "units [--phonemes] [--inventory|--misses] [--diphones D] [--letters D]  what the "
     "diphone synthesizer fetches for stdin lines",
     &Units});

}  // namespace
