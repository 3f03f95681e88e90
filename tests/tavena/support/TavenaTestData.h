// Small data files for the Tavena stage tests, written here (UTF-8 in the source,
// Windows-1252 bytes as the loaders see them).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tavena/Pipeline.h"

namespace tavena_test {

// Windows-1252 bytes of a UTF-8 literal, and back for readable failure messages.
std::string W(std::string_view utf8);
std::string U(std::string_view cp1252);

// Blanks collapsed to one and trimmed: "menos  cinco " -> "menos cinco".
std::string Squeeze(std::string_view text);
std::string Join(const std::vector<std::string>& lines, std::string_view separator = "\n");

std::string RulesFile();
std::string ExceptionsFile();
std::string AbbreviationsFile();
std::string ProsodyFile();
std::string DiphonesFile();

// All five loaded.
void LoadAll(sonara::TavenaData& data);

}  // namespace tavena_test
