// A simulated machine (virtual time, sound devices and windows) whose files, Sonara.ini
// and registry are the host's, read through the Linux back end's path rules. It keeps
// every block given to the wave-out device, exactly as submitted, and the format the
// device was first opened with. On request it also loads real libraries: a name no fake
// library answers is opened from the host's files as a shared object.
#pragma once

#include <optional>
#include <string>

#include "platform/host_library.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/sim/SimMachine.h"

namespace sonara_tool {

class HostFileSim : public sim::SimMachine {
  public:
    HostFileSim() = default;

    // The RIFF WAVE file of everything written: the first format (11025 Hz, 8 bits, mono
    // when nothing was played) and the blocks in order.
    std::string WaveFile() const;
    std::size_t BlocksWritten() const { return blocks_; }
    // Off by default: LoadLibraryA finds only the fake libraries registered by name.
    void SetLoadHostLibraries(bool on) { loadHostLibraries_ = on; }

    win::DWORD GetCurrentDirectoryA(win::DWORD size, char* buffer) override;
    win::BOOL SetCurrentDirectoryA(const char* path) override;
    win::DWORD GetModuleFileNameA(win::HMODULE module, char* buffer, win::DWORD size) override;
    win::UINT GetWindowsDirectoryA(char* buffer, win::UINT size) override;
    win::DWORD GetFileAttributesA(const char* path) override;
    std::optional<std::string> ReadFileBytes(std::string_view path) override;
    std::unique_ptr<win::FileSource> OpenFileForReading(std::string_view path) override;
    std::unique_ptr<win::FileSource> OpenFileForWriting(std::string_view path,
                                                        win::DWORD disposition) override;
    bool RegistryKeyExists(win::HKEY root, std::string_view keyPath) override;
    std::optional<RegistryValue> RegistryQuery(win::HKEY root, std::string_view keyPath,
                                               std::string_view valueName) override;

    win::MMRESULT waveOutOpen(win::HWAVEOUT* out, win::UINT device, const win::WAVEFORMATEX* format,
                              std::uintptr_t callback, std::uintptr_t instance,
                              win::DWORD flags) override;
    win::MMRESULT waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) override;

    win::HMODULE LoadLibraryA(const char* name) override;
    win::FARPROC GetProcAddress(win::HMODULE module, const char* name) override;
    win::BOOL FreeLibrary(win::HMODULE module) override;
    std::string LibraryFileName(std::string_view path) override;

  private:
    win::LinuxFiles files_;
    std::optional<win::WAVEFORMATEX> first_format_;
    std::string data_;
    std::size_t blocks_ = 0;
    bool loadHostLibraries_ = false;
    win::HostLibraries hostLibraries_;
};

}  // namespace sonara_tool
