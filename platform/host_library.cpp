#include "platform/host_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace win {

HostLibraries::~HostLibraries() {
    for (auto& [handle, count] : open_) {
        while (count-- > 0) dlclose(handle);
    }
}

HMODULE HostLibraries::Load(const std::string& hostPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Only regular files: dlopen of a bare name would search the system's library path.
    struct stat info {};
    if (hostPath.empty() || hostPath.find('/') == std::string::npos ||
        stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        lastError_ = "no such file: " + hostPath;
        return nullptr;
    }
    void* handle = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        lastError_ = why != nullptr ? why : "dlopen failed";
        return nullptr;
    }
    ++open_[handle];
    return static_cast<HMODULE>(handle);
}

bool HostLibraries::Owns(HMODULE module) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_.count(static_cast<void*>(module)) != 0;
}

FARPROC HostLibraries::Proc(HMODULE module, const char* name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (name == nullptr || open_.count(static_cast<void*>(module)) == 0) return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(static_cast<void*>(module), name));
}

BOOL HostLibraries::Free(HMODULE module) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = open_.find(static_cast<void*>(module));
    if (it == open_.end()) return FALSE;
    dlclose(it->first);
    if (--it->second == 0) open_.erase(it);
    return TRUE;
}

std::string HostLibraries::LastError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

}  // namespace win
