#include "SynthLibrary.h"

#include <dlfcn.h>

namespace synthtest {

namespace {

template <typename F>
bool Resolve(void* handle, const char* name, F& target, std::string& error) {
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        error = std::string("missing entry point ") + name;
        return false;
    }
    target = reinterpret_cast<F>(symbol);
    return true;
}

}  // namespace

bool SynthLibrary::Open(std::string& error) {
    handle = dlopen(SONARA_MBROLA_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = dlerror();
        return false;
    }
#define SYNTH_RESOLVE(name) \
    if (!Resolve(handle, #name, name, error)) return false;
    SYNTH_RESOLVE(init_MBR)
    SYNTH_RESOLVE(init_rename_MBR)
    SYNTH_RESOLVE(write_MBR)
    SYNTH_RESOLVE(flush_MBR)
    SYNTH_RESOLVE(read_MBR)
    SYNTH_RESOLVE(readtype_MBR)
    SYNTH_RESOLVE(close_MBR)
    SYNTH_RESOLVE(reset_MBR)
    SYNTH_RESOLVE(lastError_MBR)
    SYNTH_RESOLVE(lastErrorStr_MBR)
    SYNTH_RESOLVE(setNoError_MBR)
    SYNTH_RESOLVE(getNoError_MBR)
    SYNTH_RESOLVE(setFreq_MBR)
    SYNTH_RESOLVE(getFreq_MBR)
    SYNTH_RESOLVE(setVolumeRatio_MBR)
    SYNTH_RESOLVE(getVolumeRatio_MBR)
    SYNTH_RESOLVE(getVersion_MBR)
    SYNTH_RESOLVE(getDatabaseInfo_MBR)
    SYNTH_RESOLVE(setParser_MBR)
    SYNTH_RESOLVE(init_Phone)
    SYNTH_RESOLVE(reset_Phone)
    SYNTH_RESOLVE(close_Phone)
    SYNTH_RESOLVE(appendf0_Phone)
#undef SYNTH_RESOLVE
    return true;
}

void SynthLibrary::Close() {
    if (handle == nullptr) return;
    if (close_MBR != nullptr) close_MBR();
    dlclose(handle);
    handle = nullptr;
}

std::vector<short> SynthLibrary::ReadAll(int chunk) {
    std::vector<short> all;
    std::vector<short> buffer(chunk);
    for (;;) {
        const int n = read_MBR(buffer.data(), chunk);
        if (n <= 0) break;
        all.insert(all.end(), buffer.begin(), buffer.begin() + n);
    }
    return all;
}

std::string SynthLibrary::LastErrorText() {
    char text[256] = {};
    lastErrorStr_MBR(text, sizeof text);
    return text;
}

}  // namespace synthtest
