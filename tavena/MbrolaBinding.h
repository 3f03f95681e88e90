// The phoneme-line synthesizer library "mbrola.dll", loaded at run time: found in three
// places, its 23 entry points resolved by name, and unloaded.
#pragma once

#include <array>

#include "platform/wintypes.h"
#include "tavena/synth/EntryPoints.h"

namespace sonara {

// The entry points of one loaded library; all set or all null.
struct MbrolaCalls {
    decltype(&::init_MBR) init_MBR = nullptr;
    decltype(&::init_rename_MBR) init_rename_MBR = nullptr;
    decltype(&::write_MBR) write_MBR = nullptr;
    decltype(&::flush_MBR) flush_MBR = nullptr;
    decltype(&::read_MBR) read_MBR = nullptr;
    decltype(&::readtype_MBR) readtype_MBR = nullptr;
    decltype(&::close_MBR) close_MBR = nullptr;
    decltype(&::reset_MBR) reset_MBR = nullptr;
    decltype(&::lastError_MBR) lastError_MBR = nullptr;
    decltype(&::lastErrorStr_MBR) lastErrorStr_MBR = nullptr;
    decltype(&::setNoError_MBR) setNoError_MBR = nullptr;
    decltype(&::getNoError_MBR) getNoError_MBR = nullptr;
    decltype(&::setFreq_MBR) setFreq_MBR = nullptr;
    decltype(&::getFreq_MBR) getFreq_MBR = nullptr;
    decltype(&::setVolumeRatio_MBR) setVolumeRatio_MBR = nullptr;
    decltype(&::getVolumeRatio_MBR) getVolumeRatio_MBR = nullptr;
    decltype(&::getVersion_MBR) getVersion_MBR = nullptr;
    decltype(&::getDatabaseInfo_MBR) getDatabaseInfo_MBR = nullptr;
    decltype(&::setParser_MBR) setParser_MBR = nullptr;
    decltype(&::init_Phone) init_Phone = nullptr;
    decltype(&::reset_Phone) reset_Phone = nullptr;
    decltype(&::close_Phone) close_Phone = nullptr;
    decltype(&::appendf0_Phone) appendf0_Phone = nullptr;
};

class MbrolaBinding {
  public:
    static constexpr const char* kLibraryName = "mbrola.dll";
    // Where the library is looked for after the program's own directory.
    static constexpr std::array<const char*, 2> kFixedPlaces = {
        "c:\\tecfal\\mbrola.dll", "c:\\tecfal\\tavenatts\\mbrola.dll"};
    // The names resolved, in the order they are looked up.
    static constexpr std::array<const char*, 23> kEntryPoints = {
        "init_MBR",       "init_rename_MBR",     "write_MBR",          "flush_MBR",
        "read_MBR",       "readtype_MBR",        "close_MBR",          "reset_MBR",
        "lastError_MBR",  "lastErrorStr_MBR",    "setNoError_MBR",     "getNoError_MBR",
        "setFreq_MBR",    "getFreq_MBR",         "setVolumeRatio_MBR", "getVolumeRatio_MBR",
        "getVersion_MBR", "getDatabaseInfo_MBR", "setParser_MBR",      "init_Phone",
        "reset_Phone",    "close_Phone",         "appendf0_Phone"};

    MbrolaBinding() = default;
    ~MbrolaBinding() { UnloadMbrola(); }
    MbrolaBinding(const MbrolaBinding&) = delete;
    MbrolaBinding& operator=(const MbrolaBinding&) = delete;

    // Loads the first of: the program's directory + "\mbrola.dll", then the fixed places,
    // and resolves all 23 names. A library missing a name is freed and the next place is
    // not tried. A library loaded before is released either way: replaced by the new one
    // (its handle freed, so loading again leaves no reference behind) or, when the load
    // fails, unloaded with the handle cleared.
    bool LoadMbrola();
    void UnloadMbrola();

    bool Loaded() const { return library_ != nullptr; }
    const MbrolaCalls& Calls() const { return calls_; }

  private:
    win::HMODULE library_ = nullptr;
    MbrolaCalls calls_;
};

}  // namespace sonara
