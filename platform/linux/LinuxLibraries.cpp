// LoadLibrary on Linux: the libraries the platform provides itself, then host files
// opened as shared objects.
#include <cstdint>
#include <string_view>

#include "platform/fsbrldspapi.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/LinuxBraille.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/paths.h"

namespace win {

namespace {

const HMODULE kBrailleModule = reinterpret_cast<HMODULE>(std::uintptr_t{0xB7A1});

}  // namespace

HMODULE LinuxBackend::LoadLibraryA(const char* name) {
    if (name == nullptr || *name == '\0') return nullptr;
    std::string_view path = name;
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    if (!SameName(path, fsbrl::kLibraryName)) return hostLibraries_.Load(files_->HostPath(name));
    if (!brailleLibrary_) {
        brailleLibrary_ = std::make_unique<BrlapiDisplayLibrary>(
            [this](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
                return PostMessageA(hwnd, msg, wp, lp);
            });
    }
    ++brailleLibraryRefs_;
    return kBrailleModule;
}

FARPROC LinuxBackend::GetProcAddress(HMODULE module, const char* name) {
    if (hostLibraries_.Owns(module)) return hostLibraries_.Proc(module, name);
    if (module != kBrailleModule || !brailleLibrary_) return nullptr;
    return BrlapiDisplayLibrary::Proc(name);
}

BOOL LinuxBackend::FreeLibrary(HMODULE module) {
    if (hostLibraries_.Owns(module)) return hostLibraries_.Free(module);
    if (module != kBrailleModule || !brailleLibrary_) return FALSE;
    if (--brailleLibraryRefs_ == 0) brailleLibrary_.reset();
    return TRUE;
}

std::string LinuxBackend::LibraryFileName(std::string_view path) {
    return files_->HostPath(path);
}

}  // namespace win
