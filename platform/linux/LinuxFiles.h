// Files, paths and the registry on Linux, for the Linux back end. Windows-style paths
// work: drive letters map onto host directories (c: is the bundled data root unless
// SONARA_DRIVE_C names another; SONARA_DRIVE_D and so on add more), either separator is
// accepted, a name that does not exist as written is looked up without regard to case,
// and host absolute paths (/...) pass unchanged. Paths arrive in Windows-1252 and are
// UTF-8 on the host.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/backend.h"
#include "platform/wintypes.h"

namespace win {

class LinuxFiles {
  public:
    struct Settings {
        std::string exePath;                 // host path of the running program
        std::map<char, std::string> drives;  // lower-case letter -> host directory
        std::string windowsDir;              // host directory; the configuration directory
        std::string appData;                 // host directory of the AppData shell folder
        std::string currentDir;              // host directory
    };

    // From the environment: /proc/self/exe, SONARA_DRIVE_<X>, SONARA_WINDIR,
    // XDG_CONFIG_HOME (default ~/.config) and the process's working directory. The data
    // root defaults to <directory of the program>/../root, the configuration directory
    // to <data root>/windows.
    LinuxFiles();
    explicit LinuxFiles(Settings settings);
    static Settings FromEnvironment();

    // The host path (UTF-8) of a Windows-style path (Windows-1252).
    std::string HostPath(std::string_view path) const;
    // A host path written as a Windows-style path when it lies on a mapped drive.
    std::string WindowsForm(const std::string& hostPath) const;

    DWORD GetCurrentDirectoryA(DWORD size, char* buffer);
    BOOL SetCurrentDirectoryA(const char* path);
    DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
    UINT GetWindowsDirectoryA(char* buffer, UINT size);
    DWORD GetFileAttributesA(const char* path);
    std::optional<std::string> ReadFileBytes(std::string_view path);

    // The AppData shell folder comes from the settings; every other value from the
    // plain-text registry file "registry.ini" of the configuration directory, whose
    // sections are full key paths ("[HKEY_LOCAL_MACHINE\SOFTWARE\X]") and whose
    // lines are name=value strings; "@" names a key's default value.
    bool RegistryKeyExists(HKEY root, std::string_view keyPath);
    std::optional<Backend::RegistryValue> RegistryQuery(HKEY root, std::string_view keyPath,
                                                        std::string_view valueName);

  private:
    // floor (a host directory, or "" for /) followed by below with "." and ".." applied,
    // never climbing above floor.
    std::string Resolve(const std::string& floor, std::string_view below) const;
    std::optional<std::string> RegistrySection(HKEY root, std::string_view keyPath,
                                               std::string_view valueName, bool anyValue);

    Settings settings_;
};

}  // namespace win
