#include "tools/sonara/host_sim.h"

#include "platform/file_handles.h"

namespace sonara_tool {

namespace {

void Put16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

}  // namespace

std::string HostFileSim::WaveFile() const {
    win::WAVEFORMATEX f = first_format_.value_or(win::WAVEFORMATEX{});
    std::string out = "RIFF";
    Put32(out, static_cast<std::uint32_t>(36 + data_.size()));
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, f.wFormatTag);
    Put16(out, f.nChannels);
    Put32(out, f.nSamplesPerSec);
    Put32(out, f.nAvgBytesPerSec);
    Put16(out, f.nBlockAlign);
    Put16(out, f.wBitsPerSample);
    out += "data";
    Put32(out, static_cast<std::uint32_t>(data_.size()));
    return out + data_;
}

win::DWORD HostFileSim::GetCurrentDirectoryA(win::DWORD size, char* buffer) {
    return files_.GetCurrentDirectoryA(size, buffer);
}
win::BOOL HostFileSim::SetCurrentDirectoryA(const char* path) {
    return files_.SetCurrentDirectoryA(path);
}
win::DWORD HostFileSim::GetModuleFileNameA(win::HMODULE module, char* buffer, win::DWORD size) {
    return files_.GetModuleFileNameA(module, buffer, size);
}
win::UINT HostFileSim::GetWindowsDirectoryA(char* buffer, win::UINT size) {
    return files_.GetWindowsDirectoryA(buffer, size);
}
win::DWORD HostFileSim::GetFileAttributesA(const char* path) {
    return files_.GetFileAttributesA(path);
}
std::optional<std::string> HostFileSim::ReadFileBytes(std::string_view path) {
    return files_.ReadFileBytes(path);
}
std::unique_ptr<win::FileSource> HostFileSim::OpenFileForReading(std::string_view path) {
    return win::HostFileSource(files_.HostPath(path));
}
std::unique_ptr<win::FileSource> HostFileSim::OpenFileForWriting(std::string_view path,
                                                                 win::DWORD disposition) {
    return win::HostWritableFile(files_.HostPath(path), disposition);
}
bool HostFileSim::RegistryKeyExists(win::HKEY root, std::string_view keyPath) {
    return files_.RegistryKeyExists(root, keyPath);
}
std::optional<win::Backend::RegistryValue> HostFileSim::RegistryQuery(win::HKEY root,
                                                                      std::string_view keyPath,
                                                                      std::string_view valueName) {
    return files_.RegistryQuery(root, keyPath, valueName);
}

win::MMRESULT HostFileSim::waveOutOpen(win::HWAVEOUT* out, win::UINT device,
                                       const win::WAVEFORMATEX* format, std::uintptr_t callback,
                                       std::uintptr_t instance, win::DWORD flags) {
    win::MMRESULT r = SimMachine::waveOutOpen(out, device, format, callback, instance, flags);
    if (r == win::MMSYSERR_NOERROR && !first_format_) first_format_ = *format;
    return r;
}

win::MMRESULT HostFileSim::waveOutWrite(win::HWAVEOUT wo, win::WAVEHDR* hdr, win::UINT size) {
    win::MMRESULT r = SimMachine::waveOutWrite(wo, hdr, size);
    if (r == win::MMSYSERR_NOERROR) {
        data_.append(hdr->lpData, hdr->dwBufferLength);
        ++blocks_;
    }
    return r;
}

win::HMODULE HostFileSim::LoadLibraryA(const char* name) {
    win::HMODULE fake = SimMachine::LoadLibraryA(name);
    if (fake != nullptr || !loadHostLibraries_ || name == nullptr || *name == '\0') return fake;
    return hostLibraries_.Load(files_.HostPath(name));
}

win::FARPROC HostFileSim::GetProcAddress(win::HMODULE module, const char* name) {
    if (hostLibraries_.Owns(module)) return hostLibraries_.Proc(module, name);
    return SimMachine::GetProcAddress(module, name);
}

win::BOOL HostFileSim::FreeLibrary(win::HMODULE module) {
    if (hostLibraries_.Owns(module)) return hostLibraries_.Free(module);
    return SimMachine::FreeLibrary(module);
}

std::string HostFileSim::LibraryFileName(std::string_view path) {
    return files_.HostPath(path);
}

}  // namespace sonara_tool
