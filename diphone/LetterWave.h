// The chunk walk of a character recording: from the RIFF header, over "fmt " and any
// other chunks, to the "data" chunk whose samples the synthesizer copies as they stand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sonara {

// Sequential reading of a recording, from a file or from bytes in memory.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; returns how many were read.
    virtual std::size_t Read(void* dst, std::size_t n) = 0;
    // Moves n bytes forward; false when the source cannot.
    virtual bool Skip(std::uint32_t n) = 0;
    // Bytes left after the current position.
    virtual std::uint64_t Remaining() = 0;
};

// Reads the 12-byte RIFF header ("RIFF", case ignored), the "fmt " chunk and then chunk
// headers, passing over other chunks' bodies, until the "data" chunk; the source is
// then at its first sample. Returns its size modulo 65536, or 0 when a check fails or
// the file ends first. Format bodies longer than the small read buffer are skipped.
std::uint32_t FindLetterData(ByteSource& source);

// A ByteSource over bytes in memory.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::size_t Read(void* dst, std::size_t n) override;
    bool Skip(std::uint32_t n) override;
    std::uint64_t Remaining() override { return bytes_.size() - pos_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace sonara
