// The platform services that are the same on every back end, built on its primitives:
// profile strings, registry reads, the window procedure slot, process exit, OEM text.
#include "platform/api.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/paths.h"
#include "platform/profile.h"

namespace win {

namespace {

constexpr LONG kErrorInvalidParameter = 87;

// Code page 850 to Windows-1252 for bytes 0x80..0xFF. Box drawing and shades, which
// Windows-1252 lacks, become the nearest ASCII shape.
constexpr unsigned char kOem850To1252[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7,  // 80
    0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,  // 88
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9,  // 90
    0xFF, 0xD6, 0xDC, 0xF8, 0xA3, 0xD8, 0xD7, 0x83,  // 98
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA,  // A0
    0xBF, 0xAE, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,  // A8
    0x5F, 0x5F, 0x5F, 0x7C, 0x2B, 0xC1, 0xC2, 0xC0,  // B0
    0xA9, 0x2B, 0x7C, 0x2B, 0x2B, 0xA2, 0xA5, 0x2B,  // B8
    0x2B, 0x2B, 0x2B, 0x2B, 0x2D, 0x2B, 0xE3, 0xC3,  // C0
    0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2D, 0x2B, 0xA4,  // C8
    0xF0, 0xD0, 0xCA, 0xCB, 0xC8, 0x69, 0xCD, 0xCE,  // D0
    0xCF, 0x2B, 0x2B, 0x5F, 0x5F, 0xA6, 0xCC, 0x5F,  // D8
    0xD3, 0xDF, 0xD4, 0xD2, 0xF5, 0xD5, 0xB5, 0xFE,  // E0
    0xDE, 0xDA, 0xDB, 0xD9, 0xFD, 0xDD, 0xAF, 0xB4,  // E8
    0xAD, 0xB1, 0x3D, 0xBE, 0xB6, 0xA7, 0xF7, 0xB8,  // F0
    0xB0, 0xA8, 0xB7, 0xB9, 0xB3, 0xB2, 0x6F, 0xA0,  // F8
};

// Writes text into a caller's buffer of `size` bytes, cut to size - 1 characters.
DWORD CopyCut(std::string_view text, char* buffer, DWORD size) {
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

// A list of names, each ended by a zero, the list by a second zero; names that do not fit
// are cut, and the result returns size - 2 when cut, as Windows does.
DWORD CopyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
    std::string all;
    for (const std::string& name : names) {
        all += name;
        all.push_back('\0');
    }
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        return static_cast<DWORD>(all.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

std::string WindowsDirectory() {
    char dir[MAX_PATH + 1] = {};
    UINT n = CurrentBackend().GetWindowsDirectoryA(dir, sizeof dir);
    return n < sizeof dir ? std::string(dir, n) : std::string("c:\\windows");
}

// An open registry key: the root and the path under it.
struct OpenKey {
    HKEY root = nullptr;
    std::string path;
};

bool IsRoot(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

// Keys opened with RegOpenKeyExA, by handle value: a handle that was never opened, or is
// closed already, is found in no table and is refused, never dereferenced.
struct OpenKeys {
    std::mutex mutex;
    std::map<std::uintptr_t, OpenKey> keys;
    std::uintptr_t next = 0x1000;
};
OpenKeys& Keys() {
    static OpenKeys keys;
    return keys;
}

std::optional<OpenKey> Resolve(HKEY key) {
    if (key == nullptr) return std::nullopt;
    if (IsRoot(key)) return OpenKey{key, {}};
    OpenKeys& k = Keys();
    std::lock_guard<std::mutex> lock(k.mutex);
    auto it = k.keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == k.keys.end()) return std::nullopt;
    return it->second;
}

}  // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
    if (buffer == nullptr || size == 0) return 0;
    std::string file = fileName != nullptr ? fileName : "win.ini";
    if (IsBareFileName(file)) file = JoinPath(WindowsDirectory(), file);
    std::optional<std::string> bytes = CurrentBackend().ReadFileBytes(file);
    std::string_view text = bytes ? std::string_view(*bytes) : std::string_view();

    if (section == nullptr) return CopyList(ProfileSections(text), buffer, size);
    if (key == nullptr) return CopyList(ProfileKeys(text, section), buffer, size);

    std::optional<std::string> value = FindProfileValue(text, section, key);
    if (value) return CopyCut(*value, buffer, size);
    // The default loses its trailing blanks, as on Windows.
    std::string_view def = defaultValue != nullptr ? defaultValue : "";
    while (!def.empty() && (def.back() == ' ' || def.back() == '\t')) def.remove_suffix(1);
    return CopyCut(def, buffer, size);
}

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD, DWORD, HKEY* result) {
    if (result == nullptr) return kErrorInvalidParameter;
    *result = nullptr;
    const std::optional<OpenKey> base = Resolve(root);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = base->path;
    if (subKey != nullptr && *subKey != '\0') path = path.empty() ? subKey : path + "\\" + subKey;
    if (!CurrentBackend().RegistryKeyExists(base->root, path)) return ERROR_FILE_NOT_FOUND;
    OpenKeys& k = Keys();
    std::lock_guard<std::mutex> lock(k.mutex);
    const std::uintptr_t handle = k.next;
    k.next += 4;
    k.keys[handle] = OpenKey{base->root, path};
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                      DWORD* size) {
    const std::optional<OpenKey> open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    auto value = CurrentBackend().RegistryQuery(open->root, open->path,
                                                valueName != nullptr ? valueName : "");
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    auto length = static_cast<DWORD>(value->data.size());
    if (data == nullptr) {
        if (size != nullptr) *size = length;
        return ERROR_SUCCESS;
    }
    if (*size < length) {
        *size = length;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, value->data.data(), length);
    *size = length;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (IsRoot(key)) return ERROR_SUCCESS;
    OpenKeys& k = Keys();
    std::lock_guard<std::mutex> lock(k.mutex);
    return k.keys.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS
                                                                    : ERROR_INVALID_HANDLE;
}

std::intptr_t SetWindowLongPtrA(HWND hwnd, int index, std::intptr_t value) {
    if (index != GWLP_WNDPROC) return 0;
    WNDPROC old = CurrentBackend().SetWindowProc(hwnd, reinterpret_cast<WNDPROC>(value));
    return reinterpret_cast<std::intptr_t>(old);
}

void ExitProcess(UINT code) {
    throw ProcessExit{code};
}

BOOL OemToCharA(const char* src, char* dst) {
    if (src == nullptr || dst == nullptr) return FALSE;
    for (;; ++src, ++dst) {
        auto c = static_cast<unsigned char>(*src);
        *dst = static_cast<char>(c < 0x80 ? c : kOem850To1252[c - 0x80]);
        if (c == 0) break;
    }
    return TRUE;
}

HANDLE CreateFileA(const char* path, DWORD access, DWORD /*shareMode*/, void* /*security*/,
                   DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (path == nullptr || *path == '\0') return INVALID_HANDLE_VALUE;
    if ((access & ~(GENERIC_READ | GENERIC_WRITE)) != 0) return INVALID_HANDLE_VALUE;
    Backend& backend = CurrentBackend();
    if ((access & GENERIC_WRITE) != 0) {
        if (disposition != CREATE_ALWAYS && disposition != OPEN_EXISTING &&
            disposition != OPEN_ALWAYS)
            return INVALID_HANDLE_VALUE;
        return backend.FileHandles().Add(backend.OpenFileForWriting(path, disposition));
    }
    if (disposition != OPEN_EXISTING) return INVALID_HANDLE_VALUE;
    return backend.FileHandles().Add(backend.OpenFileForReading(path));
}

}  // namespace win
