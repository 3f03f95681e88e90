#include "tavena/MbrolaBinding.h"

#include <string>

#include "platform/api.h"

namespace sonara {

namespace {

// The program's directory + "\mbrola.dll"; empty when the module name has no directory.
std::string ProgramPlace() {
    char buffer[1024];
    win::DWORD n = win::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return {};
    std::string path(buffer, n);
    // Both separators: on Linux the program's name is a host path.
    std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    return path.substr(0, slash) + "\\" + MbrolaBinding::kLibraryName;
}

template <class Fn>
bool Resolve(win::HMODULE library, const char* name, Fn& slot) {
    win::FARPROC proc = win::GetProcAddress(library, name);
    slot = reinterpret_cast<Fn>(proc);
    return proc != nullptr;
}

// All 23, in the order of kEntryPoints; stops at the first one missing.
bool ResolveAll(win::HMODULE lib, MbrolaCalls& c) {
    const auto& n = MbrolaBinding::kEntryPoints;
    return Resolve(lib, n[0], c.init_MBR) && Resolve(lib, n[1], c.init_rename_MBR) &&
           Resolve(lib, n[2], c.write_MBR) && Resolve(lib, n[3], c.flush_MBR) &&
           Resolve(lib, n[4], c.read_MBR) && Resolve(lib, n[5], c.readtype_MBR) &&
           Resolve(lib, n[6], c.close_MBR) && Resolve(lib, n[7], c.reset_MBR) &&
           Resolve(lib, n[8], c.lastError_MBR) && Resolve(lib, n[9], c.lastErrorStr_MBR) &&
           Resolve(lib, n[10], c.setNoError_MBR) && Resolve(lib, n[11], c.getNoError_MBR) &&
           Resolve(lib, n[12], c.setFreq_MBR) && Resolve(lib, n[13], c.getFreq_MBR) &&
           Resolve(lib, n[14], c.setVolumeRatio_MBR) && Resolve(lib, n[15], c.getVolumeRatio_MBR) &&
           Resolve(lib, n[16], c.getVersion_MBR) && Resolve(lib, n[17], c.getDatabaseInfo_MBR) &&
           Resolve(lib, n[18], c.setParser_MBR) && Resolve(lib, n[19], c.init_Phone) &&
           Resolve(lib, n[20], c.reset_Phone) && Resolve(lib, n[21], c.close_Phone) &&
           Resolve(lib, n[22], c.appendf0_Phone);
}

}  // namespace

bool MbrolaBinding::LoadMbrola() {
    win::HMODULE library = nullptr;
    const std::string own = ProgramPlace();
    if (!own.empty()) library = win::LoadLibraryA(own.c_str());
    for (const char* place : kFixedPlaces) {
        if (library != nullptr) break;
        library = win::LoadLibraryA(place);
    }
    MbrolaCalls calls;
    if (library != nullptr && !ResolveAll(library, calls)) {
        win::FreeLibrary(library);
        library = nullptr;
    }
    if (library == nullptr) {
        UnloadMbrola();
        return false;
    }
    if (library_ != nullptr) win::FreeLibrary(library_);
    library_ = library;
    calls_ = calls;
    return true;
}

void MbrolaBinding::UnloadMbrola() {
    if (library_ == nullptr) return;
    win::FreeLibrary(library_);
    library_ = nullptr;
    calls_ = MbrolaCalls{};
}

}  // namespace sonara
