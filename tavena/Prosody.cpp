#include "tavena/Prosody.h"

#include <algorithm>
#include <charconv>

#include "platform/api.h"
#include "tavena/Charset.h"

namespace sonara {

namespace {

struct Section {
    std::vector<std::string_view> lines;  // content lines, skipped ones removed
    bool found = false;
};

// The lines after the first line equal (trimmed) to header, up to one starting with "[".
Section ReadSection(const std::vector<std::string_view>& all, std::string_view header) {
    Section s;
    std::size_t i = 0;
    while (i < all.size() && Trim(all[i]) != header) ++i;
    if (i == all.size()) return s;
    s.found = true;
    for (++i; i < all.size() && !(all[i].size() > 0 && all[i][0] == '['); ++i) {
        std::string_view line = all[i];
        if (line.empty() || line[0] == '*' || line[0] == ';') continue;
        s.lines.push_back(line);
    }
    return s;
}

// Durations: "phoneme = ms". Returns false on a line without "=".
bool ParseDurations(const Section& s, ProsodyConfig& config, ProsodyLoad& load) {
    const std::string wrong = W("Configuração da prosódia: fonema errado: ");
    for (std::string_view line : s.lines) {
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            load.messages.push_back(wrong + std::string(line));
            return false;
        }
        std::optional<int> ms = ParseInt(line.substr(eq + 1));
        if (!ms) load.messages.push_back(wrong + std::string(line));
        if (config.durations.size() >= ProsodyConfig::kMaxDurations) continue;
        std::string phoneme = Trim(line.substr(0, eq)).substr(0, 2);
        config.durations.push_back({phoneme, ms.value_or(ProsodyConfig::kDefaultDuration)});
    }
    return true;
}

bool ParseKeywords(const Section& s, ProsodyConfig& config, ProsodyLoad& load) {
    for (std::string_view line : s.lines) {
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            load.messages.push_back(W("Configuração da prosódia: chave errada: ") +
                                    std::string(line));
            return false;
        }
        if (config.keywords.size() >= ProsodyConfig::kMaxKeywords) continue;
        config.keywords.push_back(
            {Upper(Trim(line.substr(0, eq))), Upper(Trim(line.substr(eq + 1))).substr(0, 2)});
    }
    std::stable_sort(config.keywords.begin(), config.keywords.end(),
                     [](const Keyword& a, const Keyword& b) { return a.key < b.key; });
    return true;
}

// "TABHERTZ=" sets all ten levels from its first ten comma-separated integers; what
// follows the tenth (a trailing comma, a remark) is ignored. Fewer than ten, or one that
// is not an integer, changes nothing.
void ParseTabHertz(std::string_view values, ProsodyConfig& config) {
    std::array<int, 10> levels{};
    std::size_t start = 0;
    for (std::size_t n = 0; n < levels.size(); ++n) {
        if (start > values.size()) return;
        std::size_t comma = values.find(',', start);
        std::optional<int> v = ParseInt(values.substr(start, comma - start));
        if (!v) return;
        levels[n] = *v;
        start = comma == std::string_view::npos ? values.size() + 1 : comma + 1;
    }
    config.tabHertz = levels;
}

std::string Field(std::string_view text, std::size_t& start) {
    if (start > text.size()) return {};
    std::size_t bar = text.find('|', start);
    std::string_view part = text.substr(start, bar == std::string_view::npos ? bar : bar - start);
    start = bar == std::string_view::npos ? text.size() + 1 : bar + 1;
    return std::string(part.substr(0, 3));
}

// A code of other than three characters is cut, or padded with the neutral level 5.
std::string FixCode(std::string code) {
    code.resize(3, '5');
    return code;
}

bool ParseIntonation(const Section& s, ProsodyConfig& config, ProsodyLoad& load) {
    for (std::string_view raw : s.lines) {
        std::string line = Upper(raw);
        std::string_view view(line);
        if (view.rfind("HERTZ=", 0) == 0) {
            if (std::optional<int> hz = ParseInt(view.substr(6))) config.hertz = *hz;
            continue;
        }
        if (view.rfind("TABHERTZ=", 0) == 0) {
            ParseTabHertz(view.substr(9), config);
            continue;
        }
        std::size_t eq = view.find('=');
        if (eq == std::string_view::npos) {
            load.messages.push_back(W("Configuração da prosódia: chave errada: ") +
                                    std::string(raw));
            return false;
        }
        if (config.intonation.size() >= ProsodyConfig::kMaxIntonation) continue;
        std::string patterns = Trim(view.substr(0, eq));
        std::size_t at = 0;
        IntonationRule rule;
        rule.previous = Field(patterns, at);
        rule.current = Field(patterns, at);
        rule.next = Field(patterns, at);
        rule.code = FixCode(Trim(view.substr(eq + 1)));
        config.intonation.push_back(std::move(rule));
    }
    return true;
}

}  // namespace

std::optional<int> ParseInt(std::string_view text) {
    std::string t = Trim(text);
    std::string_view v(t);
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    int value = 0;
    auto [end, err] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (v.empty() || err != std::errc() || end != v.data() + v.size()) return std::nullopt;
    return value;
}

int ProsodyConfig::DurationOf(std::string_view phoneme) const {
    for (const Duration& d : durations) {
        if (d.phoneme == phoneme) return d.ms;
    }
    return kDefaultDuration;
}

std::string ProsodyConfig::CategoryOf(std::string_view upperWord) const {
    auto it = std::lower_bound(
        keywords.begin(), keywords.end(), upperWord,
        [](const Keyword& k, std::string_view word) { return std::string_view(k.key) < word; });
    if (it != keywords.end() && it->key == upperWord) return it->category;
    return "XX";
}

ProsodyLoad ParseProsody(std::optional<std::string_view> bytes, ProsodyConfig& config) {
    ProsodyLoad load;
    config.durations.clear();
    config.keywords.clear();
    config.intonation.clear();
    config.hertz = ProsodyConfig::kDefaultHertz;
    if (!bytes) {
        load.messages.push_back(W("Configuração da prosódia não foi achada"));
        return load;
    }
    const std::vector<std::string_view> lines = FileLines(*bytes);
    Section durations = ReadSection(lines, W("[DURAÇÃO]"));
    if (!durations.found) {
        load.messages.push_back(W("Duração dos difones errada ou ausente"));
        return load;
    }
    if (!ParseDurations(durations, config, load)) return load;
    Section keywords = ReadSection(lines, "[CHAVES]");
    if (!keywords.found) {
        load.messages.push_back(W("Prosódia: palavras chaves ausentes"));
        return load;
    }
    if (!ParseKeywords(keywords, config, load)) return load;
    Section intonation = ReadSection(lines, W("[PROSÓDIA]"));
    if (!intonation.found) {
        load.messages.push_back(W("Prosódia: especificações ausentes"));
        return load;
    }
    load.ok = ParseIntonation(intonation, config, load);
    return load;
}

bool LoadProsody(std::optional<std::string_view> bytes, ProsodyConfig& config) {
    ProsodyLoad load = ParseProsody(bytes, config);
    for (const std::string& message : load.messages) {
        win::MessageBoxA(nullptr, message.c_str(), "Tavena", win::MB_OK);
    }
    return load.ok;
}

}  // namespace sonara
