#include "platform/file_handles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace win {

namespace {

class MemorySource final : public FileSource {
  public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
        if (offset >= bytes_.size()) return 0;
        std::size_t count = std::min<std::uint64_t>(n, bytes_.size() - offset);
        std::memcpy(buffer, bytes_.data() + offset, count);
        return count;
    }

  private:
    std::string bytes_;
};

class HostSource final : public FileSource {
  public:
    HostSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    ~HostSource() override { std::fclose(file_); }
    HostSource(const HostSource&) = delete;
    HostSource& operator=(const HostSource&) = delete;
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
        if (n == 0 || offset >= size_) return 0;
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return 0;
        return std::fread(buffer, 1, n, file_);
    }

  private:
    std::FILE* file_;
    std::uint64_t size_;
};

class HostWritable final : public FileSource {
  public:
    HostWritable(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    ~HostWritable() override { std::fclose(file_); }
    HostWritable(const HostWritable&) = delete;
    HostWritable& operator=(const HostWritable&) = delete;
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
        if (n == 0 || offset >= size_) return 0;
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return 0;
        return std::fread(buffer, 1, n, file_);
    }
    std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t n) override {
        if (n == 0) return 0;
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return 0;
        std::size_t done = std::fwrite(data, 1, n, file_);
        if (std::fflush(file_) != 0) done = 0;
        size_ = std::max<std::uint64_t>(size_, offset + done);
        return done;
    }

  private:
    std::FILE* file_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<FileSource> MemoryFileSource(std::string bytes) {
    return std::make_unique<MemorySource>(std::move(bytes));
}

std::unique_ptr<FileSource> HostFileSource(const std::string& hostPath) {
    std::FILE* file = std::fopen(hostPath.c_str(), "rb");
    if (file == nullptr) return nullptr;
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<HostSource>(file, static_cast<std::uint64_t>(info.st_size));
}

std::unique_ptr<FileSource> HostWritableFile(const std::string& hostPath, DWORD disposition) {
    std::FILE* file = nullptr;
    if (disposition == CREATE_ALWAYS) {
        file = std::fopen(hostPath.c_str(), "w+b");
    } else {
        file = std::fopen(hostPath.c_str(), "r+b");
        if (file == nullptr && disposition == OPEN_ALWAYS)
            file = std::fopen(hostPath.c_str(), "w+b");
    }
    if (file == nullptr) return nullptr;
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return std::make_unique<HostWritable>(file, static_cast<std::uint64_t>(info.st_size));
}

HANDLE FileHandleTable::Add(std::unique_ptr<FileSource> source) {
    if (!source) return INVALID_HANDLE_VALUE;
    std::uintptr_t id = next_++;
    open_[id].source = std::move(source);
    return reinterpret_cast<HANDLE>(id);
}

FileHandleTable::Open* FileHandleTable::Find(HANDLE file) {
    auto it = open_.find(reinterpret_cast<std::uintptr_t>(file));
    return it == open_.end() ? nullptr : &it->second;
}

BOOL FileHandleTable::Read(HANDLE file, void* buffer, DWORD toRead, DWORD* read) {
    if (read != nullptr) *read = 0;
    Open* open = Find(file);
    if (open == nullptr || (buffer == nullptr && toRead > 0)) return FALSE;
    std::size_t got = open->source->ReadAt(open->position, buffer, toRead);
    open->position += got;
    if (read != nullptr) *read = static_cast<DWORD>(got);
    return TRUE;
}

BOOL FileHandleTable::Write(HANDLE file, const void* data, DWORD toWrite, DWORD* written) {
    if (written != nullptr) *written = 0;
    Open* open = Find(file);
    if (open == nullptr || (data == nullptr && toWrite > 0)) return FALSE;
    if (toWrite == 0) return TRUE;
    std::size_t done = open->source->WriteAt(open->position, data, toWrite);
    open->position += done;
    if (written != nullptr) *written = static_cast<DWORD>(done);
    return done == toWrite ? TRUE : FALSE;
}

DWORD FileHandleTable::Seek(HANDLE file, LONG distance, LONG* high, DWORD method) {
    Open* open = Find(file);
    if (open == nullptr) return INVALID_SET_FILE_POINTER;
    std::int64_t move =
        high != nullptr
            ? static_cast<std::int64_t>(
                  (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*high)) << 32) |
                  static_cast<std::uint32_t>(distance))
            : distance;
    std::int64_t base = 0;
    if (method == FILE_CURRENT) {
        base = static_cast<std::int64_t>(open->position);
    } else if (method == FILE_END) {
        base = static_cast<std::int64_t>(open->source->Size());
    } else if (method != FILE_BEGIN) {
        return INVALID_SET_FILE_POINTER;
    }
    // Sums near the ends of the range cannot overflow: both sides are below 2^63 / 2.
    if (move < -(std::int64_t{1} << 62) || move > (std::int64_t{1} << 62)) {
        return INVALID_SET_FILE_POINTER;
    }
    std::int64_t target = base + move;
    if (target < 0) return INVALID_SET_FILE_POINTER;
    open->position = static_cast<std::uint64_t>(target);
    if (high != nullptr) *high = static_cast<LONG>(open->position >> 32);
    return static_cast<DWORD>(open->position);
}

DWORD FileHandleTable::Size(HANDLE file, DWORD* high) {
    Open* open = Find(file);
    if (open == nullptr) return INVALID_FILE_SIZE;
    std::uint64_t size = open->source->Size();
    if (high != nullptr) *high = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL FileHandleTable::Close(HANDLE file) {
    return open_.erase(reinterpret_cast<std::uintptr_t>(file)) != 0 ? TRUE : FALSE;
}

}  // namespace win
