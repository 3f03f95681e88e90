#include "diphone/DiphoneIndex.h"

#include <algorithm>
#include <cstring>

namespace sonara {

int CompareDiphoneNames(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

DiphoneIndex::LoadReport DiphoneIndex::Load(std::string_view bytes, std::uint64_t dataSize) {
    LoadReport report;
    report.entries = bytes.size() / kEntryBytes;
    report.trailing = bytes.size() % kEntryBytes;
    entries_.clear();
    entries_.reserve(report.entries);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < report.entries; ++i, p += kEntryBytes) {
        DiphoneEntry e;
        e.nameLength = p[0];
        std::memcpy(e.name, p + 1, kMaxName);
        e.length = static_cast<std::uint16_t>(p[9] | (p[10] << 8));
        e.offset = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(p[11]) | (static_cast<std::uint32_t>(p[12]) << 8) |
            (static_cast<std::uint32_t>(p[13]) << 16) | (static_cast<std::uint32_t>(p[14]) << 24));
        const bool inside =
            e.offset >= 0 && static_cast<std::uint64_t>(e.offset) + e.length <= dataSize;
        if (e.nameLength > kMaxName || !inside) {
            ++report.dropped;
            continue;
        }
        entries_.push_back(e);
    }
    auto less = [](const DiphoneEntry& a, const DiphoneEntry& b) {
        return CompareDiphoneNames(a.Name(), b.Name()) < 0;
    };
    if (!std::is_sorted(entries_.begin(), entries_.end(), less)) {
        report.sorted = false;
        std::stable_sort(entries_.begin(), entries_.end(), less);
    }
    return report;
}

const DiphoneEntry* DiphoneIndex::Find(std::string_view name) const {
    if (name.size() > kMaxName || entries_.empty()) return nullptr;
    char upper[kMaxName];
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    const std::string_view key(upper, name.size());
    std::size_t low = 0;
    std::size_t high = entries_.size();  // one past the range still open
    while (low < high) {
        const std::size_t mid = low + (high - low - 1) / 2;
        const int order = CompareDiphoneNames(key, entries_[mid].Name());
        if (order == 0) return &entries_[mid];
        if (order > 0) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return nullptr;
}

std::size_t DiphoneFetchBytes(std::size_t length, std::size_t nameLength, int stressMode,
                              double factor, long cut, long minimum) {
    const auto full = static_cast<long long>(length);
    long long n = full;
    if (stressMode < 2 && nameLength >= 3) {
        n = full - static_cast<long long>(cut);
        if (n < minimum) n = std::min(full, static_cast<long long>(minimum));
    }
    const double scaled = static_cast<double>(n) * factor;
    if (!(scaled > 0)) return 0;  // also refuses NaN
    const auto bytes = static_cast<long long>(std::min(scaled, static_cast<double>(full)));
    return static_cast<std::size_t>(std::min(bytes, full));
}

}  // namespace sonara
