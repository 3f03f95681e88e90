#include "platform/paths.h"

#include <vector>

namespace win {

namespace {

bool IsSep(char c) {
    return c == '\\' || c == '/';
}

bool HasDrive(std::string_view p) {
    return p.size() >= 2 && p[1] == ':' &&
           ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z'));
}

}  // namespace

std::string NormaliseSeparators(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (IsSep(c)) {
            if (out.empty() || out.back() != '\\') out.push_back('\\');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

PathParts SplitPath(std::string_view path) {
    PathParts parts;
    if (HasDrive(path)) {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    std::size_t last = path.find_last_of("\\/");
    if (last == std::string_view::npos) {
        parts.name = std::string(path);
    } else {
        parts.dir = std::string(path.substr(0, last + 1));
        parts.name = std::string(path.substr(last + 1));
    }
    return parts;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && !IsSep(out.back()) && out.back() != ':') out.push_back('\\');
    out.append(name);
    return out;
}

bool IsBareFileName(std::string_view path) {
    return path.find_first_of("\\/:") == std::string_view::npos;
}

std::string AbsolutePath(std::string_view cwd, std::string_view path) {
    std::string full;
    if (HasDrive(path)) {
        full = std::string(path.substr(0, 2)) + "\\" + std::string(path.substr(2));
        // "c:name" is taken from the root of c: (one current directory per drive is not
        // kept).
    } else if (!path.empty() && IsSep(path[0])) {
        full = (HasDrive(cwd) ? std::string(cwd.substr(0, 2)) : std::string()) + std::string(path);
    } else {
        full = JoinPath(cwd, path);
    }
    full = NormaliseSeparators(full);

    std::string prefix;
    std::string_view rest = full;
    if (HasDrive(rest)) {
        prefix = std::string(rest.substr(0, 2));
        rest.remove_prefix(2);
    }
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        std::size_t sep = rest.find('\\');
        std::string_view part = rest.substr(0, sep);
        rest = sep == std::string_view::npos ? std::string_view() : rest.substr(sep + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out = prefix + "\\";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.push_back('\\');
        out.append(parts[i]);
    }
    return out;
}

char FoldChar(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
    if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 16);
    if (u == 0x9F) return static_cast<char>(0xFF);
    return c;
}

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = FoldChar(c);
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldChar(a[i]) != FoldChar(b[i])) return false;
    return true;
}

std::string BaseName(std::string_view path) {
    std::string name = SplitPath(path).name;
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string Extension(std::string_view path) {
    std::string name = SplitPath(path).name;
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return FoldCase(name.substr(dot));
}

}  // namespace win
