// The phoneme pairs the voice database can join, as sorted "first-second" keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonara {

class DiphoneList {
  public:
    // Replaces the list with the pairs of the file's bytes. Each line (trimmed; empty
    // lines and lines starting with "!", "*" or ";" skipped) gives its first two names,
    // names made of 2, @, letters and _.
    void Load(std::string_view bytes);
    // The same for a file that may be missing (nullopt): the list is emptied, false.
    bool LoadFile(std::optional<std::string_view> bytes);
    void Clear() { keys_.clear(); }

    // Whether "first-second" is in the list, without regard to letter case.
    bool Contains(std::string_view key) const;
    const std::vector<std::string>& Keys() const { return keys_; }

  private:
    std::vector<std::string> keys_;  // sorted without regard to case
};

}  // namespace sonara
