// Pure helpers for Windows-style paths, shared by the back ends. Names are Windows-1252
// bytes; both '\' and '/' separate, and names compare without regard to letter case.
#pragma once

#include <string>
#include <string_view>

namespace win {

// Every '/' becomes '\' and runs of separators collapse to one.
std::string NormaliseSeparators(std::string_view path);

struct PathParts {
    std::string drive;  // "c:" or ""
    std::string dir;    // "\sonara\" (with its separators) or ""
    std::string name;   // "sonara.exe" or ""
};
PathParts SplitPath(std::string_view path);

// dir + '\' + name, with no second separator when dir already ends in one.
std::string JoinPath(std::string_view dir, std::string_view name);

// A name without any directory: no '\', '/' or ':'.
bool IsBareFileName(std::string_view path);

// The absolute form of path seen from the current directory `cwd` (itself absolute, such
// as "c:\sonara"): separators normalised, "." and ".." resolved (never above the root).
// A path without a drive takes cwd's drive.
std::string AbsolutePath(std::string_view cwd, std::string_view path);

// Windows-1252 lower case (A-Z, À-Þ except ×, Š Œ Ž Ÿ); other bytes unchanged.
char FoldChar(char c);
std::string FoldCase(std::string_view text);
bool SameName(std::string_view a, std::string_view b);

// The name without its last extension: "c:\x\A.wav" -> "A".
std::string BaseName(std::string_view path);
// The last extension with its dot, folded: "c:\x\A.WAV" -> ".wav".
std::string Extension(std::string_view path);

}  // namespace win
