#include "platform/profile.h"

#include <functional>

#include "platform/paths.h"

namespace win {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// One line of a profile, classified.
struct ProfileLine {
    enum class Kind { kOther, kSection, kEntry } kind = Kind::kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // entry value, untrimmed
};

ProfileLine Classify(std::string_view line) {
    ProfileLine out;
    line = TrimBlanks(line);
    if (line.empty() || line[0] == ';') return out;
    if (line[0] == '[') {
        std::size_t close = line.find(']');
        out.kind = ProfileLine::Kind::kSection;
        out.name = TrimBlanks(
            line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        return out;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return out;
    out.kind = ProfileLine::Kind::kEntry;
    out.name = TrimBlanks(line.substr(0, eq));
    out.value = line.substr(eq + 1);
    return out;
}

// Calls `visit` for each line until it returns false.
void ForEachLine(std::string_view file, const std::function<bool(const ProfileLine&)>& visit) {
    if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);  // a UTF-8 mark
    while (!file.empty()) {
        std::size_t end = file.find_first_of("\r\n");
        std::string_view line = file.substr(0, end);
        if (end == std::string_view::npos) {
            file = {};
        } else {
            std::size_t next = end + 1;
            if (file[end] == '\r' && next < file.size() && file[next] == '\n') ++next;
            file.remove_prefix(next);
        }
        if (!visit(Classify(line))) return;
    }
}

// Visits the entries of the first section named `section`.
void ForEachEntry(std::string_view file, std::string_view section,
                  const std::function<bool(const ProfileLine&)>& visit) {
    enum { kBefore, kInside, kAfter } state = kBefore;
    ForEachLine(file, [&](const ProfileLine& line) {
        if (line.kind == ProfileLine::Kind::kSection) {
            if (state == kInside) state = kAfter;
            if (state == kBefore && SameName(line.name, section)) state = kInside;
            return state != kAfter;
        }
        if (state == kInside && line.kind == ProfileLine::Kind::kEntry) return visit(line);
        return true;
    });
}

}  // namespace

std::string_view TrimProfileValue(std::string_view value) {
    value = TrimBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> FindProfileValue(std::string_view file, std::string_view section,
                                            std::string_view key) {
    std::optional<std::string> found;
    ForEachEntry(file, section, [&](const ProfileLine& line) {
        if (!SameName(line.name, key)) return true;
        found = std::string(TrimProfileValue(line.value));
        return false;
    });
    return found;
}

std::vector<std::string> ProfileSections(std::string_view file) {
    std::vector<std::string> names;
    ForEachLine(file, [&](const ProfileLine& line) {
        if (line.kind != ProfileLine::Kind::kSection) return true;
        for (const std::string& n : names)
            if (SameName(n, line.name)) return true;
        names.emplace_back(line.name);
        return true;
    });
    return names;
}

std::vector<std::string> ProfileKeys(std::string_view file, std::string_view section) {
    std::vector<std::string> keys;
    ForEachEntry(file, section, [&](const ProfileLine& line) {
        keys.emplace_back(line.name);
        return true;
    });
    return keys;
}

}  // namespace win
