// The parser under GetPrivateProfileStringA: finds values in the bytes of a profile file
// with Windows semantics. Pure: bytes in, text out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// The value of `key` in the first section named `section` (both without regard to case),
// trimmed of blanks and of one pair of enclosing quotes; the first matching key wins.
// Lines end with LF, CR LF or CR; lines starting with ';' are comments.
std::optional<std::string> FindProfileValue(std::string_view file, std::string_view section,
                                            std::string_view key);

// Section names in file order (each once), and the key names of the first section named
// `section`: what a null key or section asks GetPrivateProfileStringA for.
std::vector<std::string> ProfileSections(std::string_view file);
std::vector<std::string> ProfileKeys(std::string_view file, std::string_view section);

// Trims blanks, then one pair of matching enclosing quotes (" or ').
std::string_view TrimProfileValue(std::string_view value);

}  // namespace win
