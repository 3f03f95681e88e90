#include "tavena/Abbreviations.h"

#include "tavena/Charset.h"

namespace sonara {

void AbbreviationTable::Clear() {
    entries_.clear();
    dropped_ = 0;
}

void AbbreviationTable::Load(std::string_view bytes) {
    Clear();
    for (std::string_view raw : FileLines(bytes)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (entries_.size() >= kCapacity) {
            ++dropped_;
            continue;
        }
        std::string expansion = std::string(line.substr(eq + 1, kMaxExpansion));
        entries_.push_back({Upper(Trim(line.substr(0, eq))), Trim(expansion)});
    }
}

bool AbbreviationTable::LoadFile(std::optional<std::string_view> bytes) {
    Clear();
    if (!bytes) return false;
    Load(*bytes);
    return true;
}

std::string AbbreviationTable::FindAbbreviation(std::string_view word) const {
    std::string key = Upper(word);
    for (const Entry& e : entries_) {
        if (e.key == key) return e.expansion;
    }
    return {};
}

}  // namespace sonara
