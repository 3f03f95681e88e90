// tflenum's playing half: the recordings of a number's words joined into sound images.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "diphone/DiphoneSynth.h"
#include "platform/api.h"
#include "speech/tflenum.h"
#include "speech/tfsapi_wave.h"

namespace sonara {

namespace {

constexpr std::uint32_t kWordRate = 11025;

bool Valid(win::HANDLE h) {
    return h != win::INVALID_HANDLE_VALUE && h != nullptr;
}

void PlayAndWait(std::vector<std::uint8_t>& image, std::size_t total, SpeechPlayer& player) {
    BuildWaveHeader(image.data(), static_cast<std::uint32_t>(total), kWordRate, 8, 1);
    player.PlayImageAndWait(image.data());
    while (player.IsSpeaking()) win::WaitMessage();
}

}  // namespace

void SpeakNumberWords(std::string_view words, bool feminine) {
    DiphoneSynth* synth = DiphoneSynth::Current();
    if (synth == nullptr || synth->Player() == nullptr) return;
    SpeakNumberWords(words, feminine, synth->LettersDir(), *synth->Player());
}

void SpeakNumberWords(std::string_view words, bool feminine, std::string_view lettersDir,
                      SpeechPlayer& player) {
    // Every recording is opened once; a missing one counts as empty and is skipped.
    const std::vector<std::string> names = NumberWordRecordings(words, feminine);
    std::vector<win::HANDLE> files;
    std::vector<std::size_t> sizes;
    for (const std::string& name : names) {
        const std::string path = std::string(lettersDir) + name + ".wav";
        win::HANDLE h =
            win::CreateFileA(path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ, nullptr,
                             win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr);
        std::size_t bytes = 0;
        if (Valid(h)) {
            win::DWORD high = 0;
            const win::DWORD low = win::GetFileSize(h, &high);
            bytes = RecordingSampleBytes((static_cast<std::uint64_t>(high) << 32) | low);
        } else {
            h = win::INVALID_HANDLE_VALUE;
        }
        files.push_back(h);
        sizes.push_back(bytes);
    }
    std::vector<std::uint8_t> image(kRecordingHeaderBytes + kWordBufferSamples, 0);
    for (const std::vector<WordPiece>& pieces : PlanWordImages(sizes)) {
        std::size_t total = 0;
        for (const WordPiece& piece : pieces) {
            win::HANDLE h = files[piece.recording];
            const std::uint64_t at = kRecordingHeaderBytes + piece.offset;
            win::LONG high = static_cast<win::LONG>(at >> 32);
            win::SetFilePointer(h, static_cast<win::LONG>(at & 0xFFFFFFFFu), &high,
                                win::FILE_BEGIN);
            win::DWORD read = 0;
            if (!win::ReadFile(h, image.data() + kRecordingHeaderBytes + total,
                               static_cast<win::DWORD>(piece.length), &read, nullptr)) {
                read = 0;
            }
            // A file that shrank since it was measured gives what it still holds.
            total += std::min<std::size_t>(read, piece.length);
        }
        if (total > 0) PlayAndWait(image, total, player);
    }
    for (win::HANDLE h : files) {
        if (Valid(h)) win::CloseHandle(h);
    }
}

}  // namespace sonara
