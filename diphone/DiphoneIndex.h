// The diphone database's index: 15-byte entries (name length, 8 name bytes, 16-bit
// sample count, 32-bit offset into the data file), sorted by name as length-prefixed
// strings and searched by halving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sonara {

struct DiphoneEntry {
    std::uint8_t nameLength = 0;  // 0 to 8
    char name[8] = {};
    std::uint16_t length = 0;  // bytes (= samples) in the data file
    std::int32_t offset = 0;   // from the start of the data file

    std::string_view Name() const { return {name, nameLength}; }
};

// Byte-by-byte order with a shorter name before a longer one that it begins.
int CompareDiphoneNames(std::string_view a, std::string_view b);

class DiphoneIndex {
  public:
    static constexpr std::size_t kEntryBytes = 15;
    static constexpr std::size_t kMaxName = 8;

    // What loading made of the file.
    struct LoadReport {
        std::size_t entries = 0;   // size div 15
        std::size_t dropped = 0;   // entries refused (see Load)
        std::size_t trailing = 0;  // bytes after the last whole entry, ignored
        bool sorted = true;        // false when the file's order had to be mended
    };

    // Replaces the entries with those of an index file's bytes (count = size div 15).
    // An entry whose name length is over 8, or whose samples do not lie wholly inside
    // a data file of `dataSize` bytes, is dropped: its name then counts as missing and
    // falls back like any gap in the database. An index out of order is sorted (stably),
    // so the search by halving finds every entry; a sorted index is left as it is.
    LoadReport Load(std::string_view bytes, std::uint64_t dataSize);
    void Clear() { entries_.clear(); }

    // The entry of `name` after upper-casing a-z, or null.
    const DiphoneEntry* Find(std::string_view name) const;

    std::size_t Count() const { return entries_.size(); }
    const std::vector<DiphoneEntry>& Entries() const { return entries_; }

  private:
    std::vector<DiphoneEntry> entries_;
};

// The bytes FetchDiphone takes from an entry of `length` samples for a name of
// `nameLength` characters: unstressed names (stress mode below 2) of 3 or more
// characters lose `cut` bytes from their end, but not below `minimum` (nor above their
// length); the factor then shortens the result further. Never negative, never more
// than `length`.
std::size_t DiphoneFetchBytes(std::size_t length, std::size_t nameLength, int stressMode,
                              double factor, long cut, long minimum);

}  // namespace sonara
