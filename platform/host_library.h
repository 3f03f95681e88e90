// Shared objects of the host opened as libraries: what LoadLibraryA, GetProcAddress and
// FreeLibrary do for a library file that exists on the host (our phoneme-line
// synthesizer). Used by the Linux back end and, on request, by a simulated machine that
// runs with the host's files.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/wintypes.h"

namespace win {

class HostLibraries {
  public:
    HostLibraries() = default;
    ~HostLibraries();  // closes what is still open
    HostLibraries(const HostLibraries&) = delete;
    HostLibraries& operator=(const HostLibraries&) = delete;

    // dlopen with RTLD_NOW | RTLD_LOCAL, so every symbol resolves at once and none leaks
    // into the program. Null when the file is missing or is not a loadable shared object.
    HMODULE Load(const std::string& hostPath);
    bool Owns(HMODULE module) const;
    // dlsym; null for an unknown module or name.
    FARPROC Proc(HMODULE module, const char* name) const;
    // dlclose once per Load; FALSE for a module this table did not open.
    BOOL Free(HMODULE module);
    // Why the last Load failed (dlerror's text), for diagnostics.
    std::string LastError() const;

  private:
    mutable std::mutex mutex_;
    std::map<void*, int> open_;  // handle -> loads not yet freed
    std::string lastError_;
};

}  // namespace win
