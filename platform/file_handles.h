// File handles as the modules use them (CreateFileA, ReadFile, WriteFile, SetFilePointer,
// GetFileSize, CloseHandle), over whatever a back end can open: host files on Linux,
// in-memory files on the simulated machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/wintypes.h"

namespace win {

// The bytes of one opened file, read at any offset.
class FileSource {
  public:
    virtual ~FileSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to n bytes at offset; returns how many were read (0 at or past the end).
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
    // Writes n bytes at offset (a gap before it fills with zeros); returns how many were
    // written. Sources opened for reading only write nothing.
    virtual std::size_t WriteAt(std::uint64_t /*offset*/, const void* /*data*/, std::size_t /*n*/) {
        return 0;
    }
};

std::unique_ptr<FileSource> MemoryFileSource(std::string bytes);
// A host file kept open for reading; null when it is not a regular file or cannot be
// opened.
std::unique_ptr<FileSource> HostFileSource(const std::string& hostPath);
// A host file opened for reading and writing with CreateFileA's disposition
// (CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS). Null when it cannot be opened.
std::unique_ptr<FileSource> HostWritableFile(const std::string& hostPath, DWORD disposition);

// Handles of one back end: each handle owns its source and a file position. Handles are
// small numbers, never addresses, so a closed or made-up handle is refused, not followed.
class FileHandleTable {
  public:
    HANDLE Add(std::unique_ptr<FileSource> source);
    BOOL Read(HANDLE file, void* buffer, DWORD toRead, DWORD* read);
    // FALSE when not all bytes could be written (a file opened for reading, a full disk).
    BOOL Write(HANDLE file, const void* data, DWORD toWrite, DWORD* written);
    // Moves the position (Windows rules: a position before the start fails and leaves it
    // as it was; past the end is allowed). Returns the low 32 bits of the new position,
    // the high ones in *high when it is given, or INVALID_SET_FILE_POINTER.
    DWORD Seek(HANDLE file, LONG distance, LONG* high, DWORD method);
    DWORD Size(HANDLE file, DWORD* high);
    BOOL Close(HANDLE file);
    std::size_t OpenCount() const { return open_.size(); }

  private:
    struct Open {
        std::unique_ptr<FileSource> source;
        std::uint64_t position = 0;
    };
    Open* Find(HANDLE file);
    std::map<std::uintptr_t, Open> open_;
    std::uintptr_t next_ = 1;
};

}  // namespace win
