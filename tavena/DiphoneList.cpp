#include "tavena/DiphoneList.h"

#include <algorithm>

#include "tavena/Charset.h"

namespace sonara {

namespace {

bool IsNameChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 32);
    return u == '2' || u == '@' || u == '_' || (u >= 'A' && u <= 'Z');
}

std::string_view TakeName(std::string_view line, std::size_t& i) {
    std::size_t start = i;
    while (i < line.size() && IsNameChar(line[i])) ++i;
    return line.substr(start, i - start);
}

int CompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = UpperChar(static_cast<unsigned char>(a[i]));
        unsigned char y = UpperChar(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

void DiphoneList::Load(std::string_view bytes) {
    keys_.clear();
    for (std::string_view raw : FileLines(bytes)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '!' || line[0] == '*' || line[0] == ';') continue;
        std::size_t i = 0;
        std::string key(TakeName(line, i));
        while (i < line.size() && !IsNameChar(line[i])) ++i;
        key += "-";
        key += TakeName(line, i);
        keys_.push_back(std::move(key));
    }
    std::sort(keys_.begin(), keys_.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
}

bool DiphoneList::LoadFile(std::optional<std::string_view> bytes) {
    keys_.clear();
    if (!bytes) return false;
    Load(*bytes);
    return true;
}

bool DiphoneList::Contains(std::string_view key) const {
    auto it = std::lower_bound(
        keys_.begin(), keys_.end(), key,
        [](const std::string& k, std::string_view want) { return CompareNoCase(k, want) < 0; });
    return it != keys_.end() && CompareNoCase(*it, key) == 0;
}

}  // namespace sonara
