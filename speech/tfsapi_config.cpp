// The Sonara.ini lookup: where the file is, and how one key is read from it.
#include <cstdint>
#include <string>

#include "platform/api.h"
#include "speech/minireg.h"
#include "speech/tfsapi.h"

namespace sonara {

namespace {

Tfsapi* current_facade = nullptr;

constexpr char kAppDataPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\AppData";

bool IsFile(const std::string& path) {
    win::DWORD attributes = win::GetFileAttributesA(path.c_str());
    return attributes != win::INVALID_FILE_ATTRIBUTES &&
           (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ProfileString(const char* section, const char* key, const char* file) {
    char buffer[255];
    win::DWORD n = win::GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, file);
    return std::string(buffer, n);
}

// The directory "@\" stands for. PGMSONARA is read without expanding its own "@\", so
// a value that refers to itself cannot expand without end.
std::string ProgramRoot();

std::string Lookup(std::string_view section, std::string_view key, bool expandRoot) {
    std::string sectionZ(section);
    std::string keyZ(key);
    std::string file = IniDirectory() + "\\Sonara.ini";
    std::string v = ProfileString(sectionZ.c_str(), keyZ.c_str(), file.c_str());
    const Tfsapi* facade = Tfsapi::Current();
    if (v.empty() && facade != nullptr && facade->LegacyLookup())
        v = ProfileString(sectionZ.c_str(), keyZ.c_str(), "Sonara.ini");

    if (v == "@") return ProgramDir();
    // One pass from left to right: every "@@\" becomes the configuration directory and
    // every other "@\" the program root. Inserted text is never scanned again, so a
    // directory name holding "@\" cannot make the expansion loop.
    std::string out;
    std::string iniDir;
    std::string root;
    for (std::size_t i = 0; i < v.size();) {
        if (v.compare(i, 3, "@@\\") == 0) {
            if (iniDir.empty()) iniDir = IniDirectory();
            out += iniDir;
            out += '\\';
            i += 3;
        } else if (expandRoot && v.compare(i, 2, "@\\") == 0) {
            if (root.empty()) root = ProgramRoot();
            out += root;
            out += '\\';
            i += 2;
        } else {
            out += v[i++];
        }
    }
    return out;
}

std::string ProgramRoot() {
    std::string r = Lookup("SONARA", "PGMSONARA", false);
    if (r.empty() || r[0] == '@') r = ProgramDir();
    return r;
}

}  // namespace

Tfsapi::Tfsapi() {
    current_facade = this;
    StartModule();
}

Tfsapi::~Tfsapi() {
    EndModule();
    if (current_facade == this) current_facade = nullptr;
}

Tfsapi* Tfsapi::Current() {
    return current_facade;
}

std::string IniDirectory() {
    std::string appData;
    ReadRegString(win::HKEY_CURRENT_USER, kAppDataPath, appData);
    std::string d = appData + "\\Sonara";
    if (!IsFile(d + "\\Sonara.ini")) {
        char windows[255];
        win::UINT n = win::GetWindowsDirectoryA(windows, sizeof windows);
        std::string w(windows, n < sizeof windows ? n : 0);
        if (IsFile(w + "\\Sonara.ini")) d = w;
    }
    return d;
}

std::string ProgramDir() {
    char buffer[255];
    win::DWORD n = win::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, n < sizeof buffer ? n : 0);
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ReadIni(std::string_view section, std::string_view key) {
    return Lookup(section, key, true);
}

std::optional<long> IniToInt(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    int base = 10;
    if (i < value.size() && value[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < value.size() && value[i] == '0' &&
               (value[i + 1] == 'x' || value[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= value.size()) return std::nullopt;
    long long result = 0;
    for (; i < value.size(); ++i) {
        char c = value[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : 99;
        if (digit >= base) return std::nullopt;
        result = result * base + digit;
        // A 32-bit value is all any key holds; beyond that the text is not a number.
        if (result > 0xFFFFFFFFLL) return std::nullopt;
    }
    if (base == 10 && result > 0x7FFFFFFFLL + (negative ? 1 : 0)) return std::nullopt;
    if (negative) result = -result;
    // Hexadecimal wraps to 32 bits, its sign included: "$FFFFFFFF" is -1, "-$80000000"
    // is -2147483648.
    if (base == 16) result = static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
    return static_cast<long>(result);
}

bool IniFlagOn(std::string_view value) {
    return !value.empty() && value[0] != 'N' && value[0] != 'n';
}

}  // namespace sonara
