// The speech facade. So far: its configuration state and the Sonara.ini lookup that
// every module uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonara {

// The speech facade module. Its start step switches the legacy second lookup on; the
// speech start-up may set it again from "LEGADO".
class Tfsapi {
  public:
    Tfsapi();
    ~Tfsapi();
    Tfsapi(const Tfsapi&) = delete;
    Tfsapi& operator=(const Tfsapi&) = delete;

    bool LegacyLookup() const { return legacy_lookup_; }
    void SetLegacyLookup(bool on) { legacy_lookup_ = on; }

    // The started facade of this process, or null before it started (ReadIni then
    // works with the legacy lookup off).
    static Tfsapi* Current();

  private:
    bool legacy_lookup_ = true;
};

// Directory holding Sonara.ini, without trailing backslash; recomputed on every call.
std::string IniDirectory();

// A value of Sonara.ini with the "@" substitutions and the legacy second lookup; empty
// when the key is found nowhere.
std::string ReadIni(std::string_view section, std::string_view key);

// The directory of the program file, without trailing backslash.
std::string ProgramDir();

// Converts a value like a decimal literal: leading blanks, an optional sign, "$" or
// "0x" for hexadecimal. Fails on an empty value and on any other character.
std::optional<long> IniToInt(std::string_view value);
inline bool ReadIniInt(std::string_view value, long& out) {
    auto v = IniToInt(value);
    if (v) out = *v;
    return v.has_value();
}

// A flag is on when the value is not empty and does not begin with N or n.
bool IniFlagOn(std::string_view value);

}  // namespace sonara
