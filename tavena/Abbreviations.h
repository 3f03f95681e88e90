// The abbreviations table: upper-case keys and their expansions, in file order.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonara {

class AbbreviationTable {
  public:
    static constexpr std::size_t kCapacity = 2000;
    static constexpr std::size_t kMaxExpansion = 999;

    // Replaces the table with the entries of the file's bytes. Lines are "key = expansion";
    // empty lines, lines starting with ";" and lines without "=" are skipped. Entries past
    // the 2000th are not stored (counted in Dropped()).
    void Load(std::string_view bytes);
    // The same for a file that may be missing (nullopt): then the table is emptied and
    // the result is false.
    bool LoadFile(std::optional<std::string_view> bytes);
    void Clear();

    // The expansion of the first key equal to the upper-cased word; empty when none.
    std::string FindAbbreviation(std::string_view word) const;

    std::size_t Count() const { return entries_.size(); }
    std::size_t Dropped() const { return dropped_; }

  private:
    struct Entry {
        std::string key;
        std::string expansion;
    };
    std::vector<Entry> entries_;
    std::size_t dropped_ = 0;
};

}  // namespace sonara
