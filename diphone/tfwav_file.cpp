// tfwav: WAV files played in pieces from the read buffer. The format chunk must follow
// the RIFF header; other chunks before "data" are passed over (read, or skipped by
// seeking when they do not fit the buffer).
#include <algorithm>
#include <cstring>
#include <string>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/api.h"
#include "platform/riff_bytes.h"

namespace sonara {

namespace {

constexpr char kFastDir[] = "rapido\\";

bool IsFile(const std::string& path) {
    win::DWORD a = win::GetFileAttributesA(path.c_str());
    return a != win::INVALID_FILE_ATTRIBUTES && (a & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The file and the module's read buffer.
class WavReader {
  public:
    WavReader(win::HANDLE file, std::uint8_t* buffer) : file_(file), buffer_(buffer) {}
    // Reads up to n (at most the buffer) bytes to the buffer's start; returns the count.
    std::size_t Read(std::size_t n) {
        win::DWORD got = 0;
        n = std::min(n, Tfwav::kReadBufferBytes);
        if (!win::ReadFile(file_, buffer_, static_cast<win::DWORD>(n), &got, nullptr)) return 0;
        return got;
    }
    bool ReadExactly(std::size_t n) { return Read(n) == n; }
    // Passes over a body: read whole when it fits the buffer, else its first buffer's
    // worth is read and the rest skipped by seeking. False when the file ends first.
    bool Pass(std::uint32_t size) {
        std::size_t first = std::min<std::size_t>(size, Tfwav::kReadBufferBytes);
        if (!ReadExactly(first)) return false;
        std::uint64_t rest = size - first;
        if (rest == 0) return true;
        win::LONG high = static_cast<win::LONG>(rest >> 32);
        win::DWORD low = win::SetFilePointer(file_, static_cast<win::LONG>(rest & 0xFFFFFFFFu),
                                             &high, win::FILE_CURRENT);
        return low != win::INVALID_SET_FILE_POINTER;
    }

  private:
    win::HANDLE file_;
    std::uint8_t* buffer_;
};

}  // namespace

int Tfwav::PlayWavFile(std::string_view path) {
    if (stop_on_key_ && KeyPressed()) {
        StopPlayback();
        return 0;
    }
    std::string name(path);
    if (fast_speech_) {
        std::size_t slash = name.find_last_of("\\/");
        std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
        std::string fast = name.substr(0, cut) + kFastDir + name.substr(cut);
        if (IsFile(fast)) {
            fast_speech_ = false;
            int r = PlayWavFile(fast);
            fast_speech_ = true;
            return r;
        }
    }
    win::HANDLE file =
        win::CreateFileA(name.c_str(), win::GENERIC_READ,
                         win::FILE_SHARE_READ | win::FILE_SHARE_WRITE | win::FILE_SHARE_DELETE,
                         nullptr, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == win::INVALID_HANDLE_VALUE) return -1;

    std::uint8_t* buffer = read_buffer_.get();
    WavReader reader(file, buffer);
    int result = -1;
    std::uint32_t rate = 0, bits = 0, channels = 0;
    bool ready = false;
    if (reader.ReadExactly(12) && win::SameChunkId(buffer, "RIFF") && reader.ReadExactly(8) &&
        win::SameChunkId(buffer, "fmt ")) {
        std::uint32_t size = win::Le32(buffer + 4);
        // A format body shorter than PCM's 16 bytes holds no rate, bits or channels.
        if (size >= 16 && reader.Pass(size)) {
            rate = win::Le32(buffer + 4);
            bits = win::Le16(buffer + 14);
            channels = win::Le16(buffer + 2);
            ready = true;
        }
    }
    while (ready) {
        if (!reader.ReadExactly(8)) break;
        if (!win::SameChunkId(buffer, "data")) {
            if (!reader.Pass(win::Le32(buffer + 4))) break;
            continue;
        }
        // The size is signed, as the format's own readers take it: 2 GiB and more is
        // no data at all.
        auto remaining =
            static_cast<std::int64_t>(static_cast<std::int32_t>(win::Le32(buffer + 4)));
        result = 0;
        while (remaining > 0) {
            std::int64_t piece = remaining > 8192 && remaining < 8448
                                     ? 7936
                                     : std::min<std::int64_t>(remaining, 8192);
            remaining -= piece;
            std::size_t got = reader.Read(static_cast<std::size_t>(piece));
            if (got == 0) {
                result = -1;
                break;
            }
            result = PlayPcm(buffer, got, rate, bits, channels);
            if (result != 0) break;
            if (stop_on_key_ && KeyPressed()) break;
        }
        break;
    }
    win::CloseHandle(file);
    while (IsPlaying()) win::WaitMessage();
    return result;
}

int PlayWavFile(std::string_view path) {
    return Tfwav::Current()->PlayWavFile(path);
}

}  // namespace sonara
