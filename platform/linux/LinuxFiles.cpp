#include "platform/linux/LinuxFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace win {

namespace fs = std::filesystem;

namespace {

constexpr char kShellFolders[] =
    "software\\microsoft\\windows\\currentversion\\explorer\\shell folders";

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

// A directory named in the environment, absolute: drive roots are compared with the
// current directory, which is always absolute.
std::string EnvDirectory(const char* name) {
    std::string dir = Env(name);
    if (dir.empty()) return dir;
    std::error_code ec;
    fs::path absolute = fs::absolute(dir, ec);
    return ec ? dir : absolute.lexically_normal().string();
}

DWORD CopyOut(const std::string& text, char* buffer, DWORD size) {
    // Windows' convention: the length copied, or the size needed when it does not fit.
    if (buffer == nullptr || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<DWORD>(text.size());
}

std::string RootName(HKEY root) {
    if (root == HKEY_CURRENT_USER) return "hkey_current_user";
    if (root == HKEY_LOCAL_MACHINE) return "hkey_local_machine";
    if (root == HKEY_CLASSES_ROOT) return "hkey_classes_root";
    return {};
}

}  // namespace

LinuxFiles::Settings LinuxFiles::FromEnvironment() {
    Settings s;
    std::error_code ec;
    s.exePath = fs::read_symlink("/proc/self/exe", ec).string();
    fs::path exeDir = fs::path(s.exePath).parent_path();
    std::string driveC = EnvDirectory("SONARA_DRIVE_C");
    s.drives['c'] = !driveC.empty() ? driveC : (exeDir / ".." / "root").lexically_normal().string();
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        if (letter == 'c') continue;
        std::string name = std::string("SONARA_DRIVE_") + static_cast<char>(letter - 32);
        std::string dir = EnvDirectory(name.c_str());
        if (!dir.empty()) s.drives[letter] = dir;
    }
    std::string windir = EnvDirectory("SONARA_WINDIR");
    s.windowsDir = !windir.empty() ? windir : (fs::path(s.drives['c']) / "windows").string();
    std::string config = Env("XDG_CONFIG_HOME");
    s.appData = !config.empty() ? config : Env("HOME") + "/.config";
    s.currentDir = fs::current_path(ec).string();
    return s;
}

LinuxFiles::LinuxFiles() : LinuxFiles(FromEnvironment()) {}

LinuxFiles::LinuxFiles(Settings settings) : settings_(std::move(settings)) {
    for (auto& [letter, dir] : settings_.drives) {
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    }
}

std::string LinuxFiles::HostPath(std::string_view path) const {
    // "\x" is root-relative on the current drive; only "/x" may name a host path.
    const bool rootRelative = !path.empty() && path[0] == '\\';
    std::string p = Cp1252ToUtf8(path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    // The drive whose root a path may not climb above, and the path below that root.
    std::string floor;
    std::string rest;
    // The mapped drive root a host path lies on, or "".
    auto driveRoot = [&](const std::string& host) -> std::string {
        for (const auto& [letter, dir] : settings_.drives) {
            if (host == dir || host.rfind(dir + "/", 0) == 0) return dir;
        }
        return {};
    };
    std::string currentDrive = driveRoot(settings_.currentDir);
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
        char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(p[0])));
        auto drive = settings_.drives.find(letter);
        // An unmapped drive is a directory that does not exist, so reads fail cleanly.
        floor = drive != settings_.drives.end() ? drive->second
                                                : std::string("/nonexistent-drive-") + letter;
        rest = p.substr(2);
    } else if (rootRelative) {
        // Off every drive the current drive is c:, where the shipped data lives.
        auto c = settings_.drives.find('c');
        floor = !currentDrive.empty()         ? currentDrive
                : c != settings_.drives.end() ? c->second
                                              : std::string("/nonexistent-drive-c");
        rest = p;
    } else if (!p.empty() && p[0] == '/') {
        // A host absolute path, unless it names nothing on the host and the current
        // directory is on a drive: then it is root-relative on that drive.
        std::error_code ec;
        if (!currentDrive.empty() && !fs::exists(fs::path(p), ec)) floor = currentDrive;
        rest = p;
    } else if (!currentDrive.empty()) {
        floor = currentDrive;
        rest = settings_.currentDir.substr(currentDrive.size()) + "/" + p;
    } else {
        rest = settings_.currentDir + "/" + p;
    }
    return Resolve(floor, rest);
}

// Normalises "." and "..", and finds each component that does not exist as written
// without regard to case.
std::string LinuxFiles::Resolve(const std::string& floor, std::string_view below) const {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= below.size()) {
        std::size_t j = below.find('/', i);
        if (j == std::string_view::npos) j = below.size();
        std::string part(below.substr(i, j - i));
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    fs::path current(floor.empty() ? std::string("/") : floor);
    bool resolving = true;
    for (const auto& part : parts) {
        fs::path next = current / part;
        std::error_code ec;
        if (resolving && !fs::exists(next, ec) && fs::is_directory(current, ec)) {
            std::string wanted = Utf8ToCp1252(part);
            bool found = false;
            for (const auto& entry : fs::directory_iterator(current, ec)) {
                if (SameName(Utf8ToCp1252(entry.path().filename().string()), wanted)) {
                    next = entry.path();
                    found = true;
                    break;
                }
            }
            resolving = found;
        }
        current = next;
    }
    return current.string();
}

std::string LinuxFiles::WindowsForm(const std::string& hostPath) const {
    for (const auto& [letter, dir] : settings_.drives) {
        if (hostPath == dir || hostPath.rfind(dir + "/", 0) == 0) {
            std::string rest = hostPath.substr(dir.size());
            for (char& c : rest) {
                if (c == '/') c = '\\';
            }
            if (rest.empty()) rest = "\\";
            return Utf8ToCp1252(std::string(1, letter) + ":" + rest);
        }
    }
    return Utf8ToCp1252(hostPath);
}

DWORD LinuxFiles::GetCurrentDirectoryA(DWORD size, char* buffer) {
    return CopyOut(WindowsForm(settings_.currentDir), buffer, size);
}

BOOL LinuxFiles::SetCurrentDirectoryA(const char* path) {
    if (path == nullptr || *path == '\0') return FALSE;
    std::string host = HostPath(path);
    std::error_code ec;
    if (!fs::is_directory(host, ec)) return FALSE;
    settings_.currentDir = host;
    return TRUE;
}

DWORD LinuxFiles::GetModuleFileNameA(HMODULE, char* buffer, DWORD size) {
    std::string name = Utf8ToCp1252(settings_.exePath);
    if (buffer == nullptr || size == 0) return 0;
    // Windows truncates to size - 1 characters and returns size.
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(name.size(), size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return name.size() >= size ? size : n;
}

UINT LinuxFiles::GetWindowsDirectoryA(char* buffer, UINT size) {
    return CopyOut(WindowsForm(settings_.windowsDir), buffer, size);
}

DWORD LinuxFiles::GetFileAttributesA(const char* path) {
    if (path == nullptr) return INVALID_FILE_ATTRIBUTES;
    std::error_code ec;
    auto status = fs::status(HostPath(path), ec);
    if (ec || !fs::exists(status)) return INVALID_FILE_ATTRIBUTES;
    return fs::is_directory(status) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

std::optional<std::string> LinuxFiles::ReadFileBytes(std::string_view path) {
    std::string host = HostPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(host, ec)) return std::nullopt;
    std::ifstream in(host, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool LinuxFiles::RegistryKeyExists(HKEY root, std::string_view keyPath) {
    if (root == HKEY_CURRENT_USER && SameName(keyPath, kShellFolders)) return true;
    return RegistrySection(root, keyPath, {}, true).has_value();
}

std::optional<Backend::RegistryValue> LinuxFiles::RegistryQuery(HKEY root, std::string_view keyPath,
                                                                std::string_view valueName) {
    std::optional<std::string> value;
    if (root == HKEY_CURRENT_USER && SameName(keyPath, kShellFolders) &&
        SameName(valueName, "AppData")) {
        value = Utf8ToCp1252(settings_.appData);
    } else {
        value = RegistrySection(root, keyPath, valueName, false);
    }
    if (!value) return std::nullopt;
    Backend::RegistryValue result{REG_SZ, *value};
    result.data.push_back('\0');
    return result;
}

// Looks a value up in the registry file; with anyValue, reports whether the key's
// section exists at all.
std::optional<std::string> LinuxFiles::RegistrySection(HKEY root, std::string_view keyPath,
                                                       std::string_view valueName, bool anyValue) {
    std::string rootName = RootName(root);
    if (rootName.empty()) return std::nullopt;
    auto bytes = ReadFileBytes(WindowsForm(settings_.windowsDir) + "\\registry.ini");
    if (!bytes) return std::nullopt;
    std::string section = rootName + "\\" + std::string(keyPath);
    if (anyValue) {
        for (const auto& name : ProfileSections(*bytes)) {
            if (SameName(name, section)) return std::string();
        }
        return std::nullopt;
    }
    // The default (unnamed) value is written "@", as in exported registry files.
    return FindProfileValue(*bytes, section, valueName.empty() ? "@" : valueName);
}

}  // namespace win
