// The simulated machine's in-memory file system, registry and system directories.
#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

// Copies text to a caller's buffer Windows-style: returns the length copied, or the size
// needed (with its terminator) when the buffer is too small.
win::DWORD CopyOut(const std::string& text, char* buffer, win::DWORD size) {
    if (buffer == nullptr || size <= text.size()) return static_cast<win::DWORD>(text.size() + 1);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<win::DWORD>(text.size());
}

std::string RegistryKeyName(win::HKEY root, std::string_view keyPath) {
    std::string path = win::FoldCase(win::NormaliseSeparators(keyPath));
    while (!path.empty() && path.front() == '\\') path.erase(path.begin());
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return std::to_string(reinterpret_cast<std::uintptr_t>(root)) + "|" + path;
}

}  // namespace

// An in-memory file open for writing: reads and writes go to the machine's copy, so the
// file's bytes are visible at once, as on a disk.
class SimWritableFile final : public win::FileSource {
  public:
    SimWritableFile(SimMachine& machine, std::string key)
        : machine_(machine), key_(std::move(key)) {}
    std::uint64_t Size() const override {
        auto it = machine_.files_.find(key_);
        return it == machine_.files_.end() ? 0 : it->second.size();
    }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
        auto it = machine_.files_.find(key_);
        if (it == machine_.files_.end() || offset >= it->second.size()) return 0;
        std::size_t count = std::min<std::uint64_t>(n, it->second.size() - offset);
        std::memcpy(buffer, it->second.data() + offset, count);
        return count;
    }
    std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
        auto it = machine_.files_.find(key_);
        if (it == machine_.files_.end()) return 0;
        std::uint64_t limit = UINT32_MAX;
        auto cap = machine_.fileLimits_.find(key_);
        if (cap != machine_.fileLimits_.end()) limit = cap->second;
        if (offset >= limit) return 0;
        std::size_t count = std::min<std::uint64_t>(n, limit - offset);
        std::string& bytes = it->second;
        if (bytes.size() < offset + count) bytes.resize(offset + count, '\0');
        std::memcpy(bytes.data() + offset, data, count);
        return count;
    }

  private:
    SimMachine& machine_;
    std::string key_;
};

std::string SimMachine::FileKey(std::string_view path) const {
    return win::FoldCase(win::AbsolutePath(currentDir_, path));
}

bool SimMachine::IsDirectory(const std::string& key) const {
    return dirs_.count(key) != 0;
}

void SimMachine::AddDirectory(std::string_view path) {
    std::string full = win::AbsolutePath(currentDir_, path);
    // Every ancestor exists too.
    for (std::size_t i = 0; i <= full.size(); ++i) {
        if (i == full.size() || full[i] == '\\') {
            std::string prefix = full.substr(0, i == 2 ? 3 : i);  // "c:" is the root "c:\"
            if (prefix.empty()) prefix = "\\";
            dirs_.emplace(win::FoldCase(prefix), prefix);
        }
    }
}

void SimMachine::AddFile(std::string_view path, std::string bytes) {
    std::string full = win::AbsolutePath(currentDir_, path);
    win::PathParts parts = win::SplitPath(full);
    AddDirectory(parts.drive + parts.dir);
    std::string key = win::FoldCase(full);
    files_[key] = std::move(bytes);
    fileNames_[key] = full;
}

void SimMachine::RemoveFile(std::string_view path) {
    std::string key = FileKey(path);
    files_.erase(key);
    fileNames_.erase(key);
    sources_.erase(key);
}

void SimMachine::AddFileSource(std::string_view path,
                               std::function<std::optional<std::string>()> read) {
    std::string full = win::AbsolutePath(currentDir_, path);
    win::PathParts parts = win::SplitPath(full);
    AddDirectory(parts.drive + parts.dir);
    sources_[win::FoldCase(full)] = FileSource{full, std::move(read)};
}

bool SimMachine::MediaAssumed(std::string_view path) const {
    std::string base = win::FoldCase(win::BaseName(path));
    if (std::find(missingMedia_.begin(), missingMedia_.end(), base) != missingMedia_.end())
        return false;
    if (sources_.count(FileKey(path)) != 0) return true;
    if (!assumeMedia_) return false;
    std::string ext = win::Extension(path);
    return ext == ".mp4" || ext == ".wav";
}

win::DWORD SimMachine::GetCurrentDirectoryA(win::DWORD size, char* buffer) {
    return CopyOut(currentDir_, buffer, size);
}

win::BOOL SimMachine::SetCurrentDirectoryA(const char* path) {
    if (path == nullptr || *path == '\0') return win::FALSE;
    std::string full = win::AbsolutePath(currentDir_, path);
    if (!IsDirectory(win::FoldCase(full))) return win::FALSE;
    currentDir_ = full;
    return win::TRUE;
}

win::DWORD SimMachine::GetModuleFileNameA(win::HMODULE, char* buffer, win::DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    // Too small: cut to size - 1 characters and return size, as Windows does.
    std::size_t n = std::min<std::size_t>(moduleFileName_.size(), size - 1);
    std::memcpy(buffer, moduleFileName_.data(), n);
    buffer[n] = '\0';
    return n < moduleFileName_.size() ? size : static_cast<win::DWORD>(n);
}

win::UINT SimMachine::GetWindowsDirectoryA(char* buffer, win::UINT size) {
    return CopyOut(windowsDir_, buffer, size);
}

win::DWORD SimMachine::GetFileAttributesA(const char* path) {
    if (path == nullptr || *path == '\0') return win::INVALID_FILE_ATTRIBUTES;
    std::string key = FileKey(path);
    if (files_.count(key) != 0) return win::FILE_ATTRIBUTE_NORMAL;
    if (IsDirectory(key)) return win::FILE_ATTRIBUTE_DIRECTORY;
    if (MediaAssumed(path)) return win::FILE_ATTRIBUTE_NORMAL;
    return win::INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> SimMachine::ReadFileBytes(std::string_view path) {
    if (path.empty()) return std::nullopt;
    std::string key = FileKey(path);
    auto it = files_.find(key);
    if (it == files_.end()) {
        auto source = sources_.find(key);
        std::optional<std::string> bytes;
        if (source != sources_.end() && MediaAssumed(path)) bytes = source->second.read();
        if (!bytes) {
            Record("file", "missing " + win::AbsolutePath(currentDir_, path));
            return std::nullopt;
        }
        filesOpened_.push_back(source->second.name);
        Record("file", source->second.name);
        return bytes;
    }
    filesOpened_.push_back(fileNames_[key]);
    Record("file", fileNames_[key]);
    return it->second;
}

std::unique_ptr<win::FileSource> SimMachine::OpenFileForWriting(std::string_view path,
                                                                win::DWORD disposition) {
    if (path.empty()) return nullptr;
    std::string full = win::AbsolutePath(currentDir_, path);
    std::string key = win::FoldCase(full);
    win::PathParts parts = win::SplitPath(full);
    std::string dir = parts.drive + parts.dir;
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();  // "c:\x\" names "c:\x"
    if (parts.name.empty() || !IsDirectory(win::FoldCase(dir)) || IsDirectory(key)) return nullptr;
    const bool exists = files_.count(key) != 0;
    if (disposition == win::OPEN_EXISTING && !exists) return nullptr;
    if (disposition == win::CREATE_ALWAYS || !exists) {
        files_[key].clear();
        fileNames_.try_emplace(key, full);
    }
    Record("file", "write " + full);
    return std::make_unique<SimWritableFile>(*this, key);
}

void SimMachine::LimitFileSize(std::string_view path, std::size_t maxBytes) {
    fileLimits_[FileKey(path)] = maxBytes;
}

std::unique_ptr<win::FileSource> SimMachine::OpenFileForReading(std::string_view path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return nullptr;
    return win::MemoryFileSource(std::move(*bytes));
}

void SimMachine::SetRegistryString(win::HKEY root, std::string keyPath, std::string valueName,
                                   std::string value) {
    RegistryValue v;
    v.type = win::REG_SZ;
    v.data = std::move(value);
    v.data.push_back('\0');
    registry_[RegistryKeyName(root, keyPath)][win::FoldCase(valueName)] = std::move(v);
}

bool SimMachine::RegistryKeyExists(win::HKEY root, std::string_view keyPath) {
    std::string name = RegistryKeyName(root, keyPath);
    if (name.back() == '|') return true;  // a root key
    // A key exists when it holds values or is the parent of one that does.
    for (const auto& entry : registry_) {
        if (entry.first == name) return true;
        if (entry.first.size() > name.size() && entry.first.compare(0, name.size(), name) == 0 &&
            entry.first[name.size()] == '\\')
            return true;
    }
    return false;
}

std::optional<win::Backend::RegistryValue> SimMachine::RegistryQuery(win::HKEY root,
                                                                     std::string_view keyPath,
                                                                     std::string_view valueName) {
    auto key = registry_.find(RegistryKeyName(root, keyPath));
    if (key == registry_.end()) return std::nullopt;
    auto value = key->second.find(win::FoldCase(valueName));
    if (value == key->second.end()) return std::nullopt;
    return value->second;
}

}  // namespace sim
