// Portuguese number words (Windows-1252): cardinals below 10^15 and ordinals.
#pragma once

#include <cstdint>
#include <string>

namespace sonara {

enum class Gender { kMasculine, kFeminine };

// "zero" ... "nove".
std::string UnitsWord(int digit);
// 0 <= value < 10^15. Group names keep their trailing blank ("dois mil ").
std::string Cardinal(std::uint64_t value);
// Ordinal words below 2000; the cardinal from 2000 on.
std::string Ordinal(std::uint64_t value, Gender gender);

}  // namespace sonara
