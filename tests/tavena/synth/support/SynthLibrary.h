// The built synthesizer library, opened the way the engine opens it: by its file path, with
// every entry point resolved by name.
#pragma once

#include <string>
#include <vector>

namespace synthtest {

struct SynthLibrary {
    int (*init_MBR)(const char*) = nullptr;
    int (*init_rename_MBR)(const char*, const char*, const char*) = nullptr;
    int (*write_MBR)(const char*) = nullptr;
    int (*flush_MBR)() = nullptr;
    int (*read_MBR)(short*, int) = nullptr;
    int (*readtype_MBR)(void*, int, int) = nullptr;
    int (*close_MBR)() = nullptr;
    int (*reset_MBR)() = nullptr;
    int (*lastError_MBR)() = nullptr;
    int (*lastErrorStr_MBR)(char*, int) = nullptr;
    int (*setNoError_MBR)(int) = nullptr;
    int (*getNoError_MBR)() = nullptr;
    int (*setFreq_MBR)(int) = nullptr;
    int (*getFreq_MBR)() = nullptr;
    int (*setVolumeRatio_MBR)(float) = nullptr;
    int (*getVolumeRatio_MBR)() = nullptr;
    int (*getVersion_MBR)(char*, int) = nullptr;
    int (*getDatabaseInfo_MBR)(char*, int, int) = nullptr;
    int (*setParser_MBR)(void*) = nullptr;
    int (*init_Phone)(const char*, float) = nullptr;
    int (*reset_Phone)(int, const char*, float) = nullptr;
    int (*close_Phone)(int) = nullptr;
    int (*appendf0_Phone)(int, float, float) = nullptr;

    // Opens the library; false (with `error`) when the file or any name is missing.
    bool Open(std::string& error);
    void Close();
    ~SynthLibrary() { Close(); }

    // Everything readable now, in reads of `chunk` samples.
    std::vector<short> ReadAll(int chunk = 64000);
    std::string LastErrorText();

    void* handle = nullptr;
};

}  // namespace synthtest
