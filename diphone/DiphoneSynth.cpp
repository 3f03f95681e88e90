#include "diphone/DiphoneSynth.h"

#include <algorithm>
#include <cstring>

#include "diphone/LetterWave.h"
#include "platform/api.h"
#include "speech/tfsapi.h"
#include "speech/tfsapi_wave.h"

namespace sonara {

namespace {

DiphoneSynth* g_current = nullptr;

constexpr std::uint8_t kSilence = 128;
constexpr win::DWORD kShareAll = win::FILE_SHARE_READ | win::FILE_SHARE_WRITE;
constexpr win::DWORD kMaxDirectory = 80;

// A "TRADUTOR" value of Sonara.ini read directly (no "@" substitution, no second
// lookup), cut to 80 characters; empty or missing gives the fallback.
std::string TradutorValue(const char* key, const char* fallback) {
    char value[kMaxDirectory + 1] = {};
    const std::string file = IniDirectory() + "\\Sonara.ini";
    win::GetPrivateProfileStringA("TRADUTOR", key, "", value, sizeof value, file.c_str());
    return value[0] == '\0' ? std::string(fallback) : std::string(value);
}

bool EndsInSeparator(const std::string& dir) {
    return !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
}

std::string CurrentDirectory() {
    char dir[win::MAX_PATH + 1] = {};
    const win::DWORD n = win::GetCurrentDirectoryA(sizeof dir, dir);
    return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}

win::HANDLE OpenForReading(const char* path) {
    return win::CreateFileA(path, win::GENERIC_READ, kShareAll, nullptr, win::OPEN_EXISTING,
                            win::FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Valid(win::HANDLE h) {
    return h != win::INVALID_HANDLE_VALUE && h != nullptr;
}

std::uint64_t FileSize(win::HANDLE h) {
    win::DWORD high = 0;
    const win::DWORD low = win::GetFileSize(h, &high);
    if (low == win::INVALID_FILE_SIZE && high == 0) return 0;
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

std::uint64_t FilePosition(win::HANDLE h) {
    win::LONG high = 0;
    const win::DWORD low = win::SetFilePointer(h, 0, &high, win::FILE_CURRENT);
    if (low == win::INVALID_SET_FILE_POINTER && high == 0) return 0;
    return (static_cast<std::uint64_t>(static_cast<win::DWORD>(high)) << 32) | low;
}

bool SeekTo(win::HANDLE h, std::uint64_t pos) {
    win::LONG high = static_cast<win::LONG>(pos >> 32);
    const win::DWORD low =
        win::SetFilePointer(h, static_cast<win::LONG>(pos & 0xFFFFFFFFu), &high, win::FILE_BEGIN);
    return low != win::INVALID_SET_FILE_POINTER || pos == win::INVALID_SET_FILE_POINTER;
}

// A character recording read through the platform's file service.
class LetterFileSource : public ByteSource {
  public:
    explicit LetterFileSource(win::HANDLE h) : h_(h), size_(FileSize(h)) {}
    std::size_t Read(void* dst, std::size_t n) override {
        win::DWORD read = 0;
        if (!win::ReadFile(h_, dst, static_cast<win::DWORD>(n), &read, nullptr)) return 0;
        return read;
    }
    bool Skip(std::uint32_t n) override {
        if (n > Remaining()) return false;
        return SeekTo(h_, FilePosition(h_) + n);
    }
    std::uint64_t Remaining() override {
        const std::uint64_t pos = FilePosition(h_);
        return pos < size_ ? size_ - pos : 0;
    }

  private:
    win::HANDLE h_;
    std::uint64_t size_;
};

}  // namespace

DiphoneSynth::DiphoneSynth() {
    g_current = this;
}

DiphoneSynth::~DiphoneSynth() {
    FreeDiphoneSynth();
    if (g_current == this) g_current = nullptr;
}

DiphoneSynth* DiphoneSynth::Current() {
    return g_current;
}

std::string& DiphoneSynth::DiphoneBaseName() {
    return base_name_;
}
const std::string& DiphoneSynth::LettersDir() const {
    return letters_dir_;
}
const TfTradut& DiphoneSynth::Rules() const {
    return rules_;
}
void DiphoneSynth::SetPlayer(SpeechPlayer* player) {
    player_ = player;
}

void DiphoneSynth::SetSpeechTiming(int cut, int minimum, int wordPause) {
    cut_ = cut;
    minimum_ = minimum;
    pauses_.word = wordPause;
}

int DiphoneSynth::InitDiphoneSynth() {
    base_name_ = "DIFONES2";
    index_.Clear();
    index_report_ = {};
    // The letters directory defaults like the facade's, so a Sonara.ini without the key
    // still starts.
    const std::string letters = TradutorValue("dirLetras", "c:\\tecfal\\som\\letras");
    const std::string savedCurrent = CurrentDirectory();
    win::SetCurrentDirectoryA(letters.substr(0, 2).c_str());  // the drive; may fail
    const std::string savedDrive = CurrentDirectory();
    int result = 0;
    if (!win::SetCurrentDirectoryA(letters.c_str())) {
        result = 1;
    } else {
        letters_dir_ = letters;
        if (!EndsInSeparator(letters_dir_)) letters_dir_ += '\\';
        result = OpenDatabase();
    }
    if (!savedDrive.empty()) win::SetCurrentDirectoryA(savedDrive.c_str());
    if (!savedCurrent.empty()) win::SetCurrentDirectoryA(savedCurrent.c_str());
    if (result != 0) return result;
    if (!rules_.LoadRules(diphone_dir_ + "regras.rgr") ||
        !rules_.LoadExceptions(diphone_dir_ + "portug.exc")) {
        return 2;
    }
    buffer_.assign(kBufferBytes, 0);
    write_pos_ = kHeaderBytes;
    return 0;
}

int DiphoneSynth::OpenDatabase() {
    const std::string dir = TradutorValue("DIRDIFONES", "c:\\tecfal\\som\\difones");
    if (!win::SetCurrentDirectoryA(dir.c_str())) return 1;
    diphone_dir_ = dir;
    if (!EndsInSeparator(diphone_dir_)) diphone_dir_ += '\\';
    const std::string stem = diphone_dir_ + base_name_;
    win::HANDLE index = OpenForReading((stem + ".IND").c_str());
    if (!Valid(index)) return 1;
    std::string bytes(static_cast<std::size_t>(FileSize(index)), '\0');
    win::DWORD read = 0;
    if (!bytes.empty() && !win::ReadFile(index, bytes.data(), static_cast<win::DWORD>(bytes.size()),
                                         &read, nullptr)) {
        read = 0;
    }
    bytes.resize(read);
    win::CloseHandle(index);
    if (Valid(data_file_)) win::CloseHandle(data_file_);
    data_file_ = OpenForReading((stem + ".DIF").c_str());
    if (!Valid(data_file_)) {
        data_file_ = win::INVALID_HANDLE_VALUE;
        return 1;
    }
    index_report_ = index_.Load(bytes, FileSize(data_file_));
    return 0;
}

void DiphoneSynth::FreeDiphoneSynth() {
    std::vector<std::uint8_t>().swap(buffer_);
    write_pos_ = kHeaderBytes;
    rules_.FreeRules();
    if (Valid(data_file_)) win::CloseHandle(data_file_);
    data_file_ = win::INVALID_HANDLE_VALUE;
    index_.Clear();
}

void DiphoneSynth::SpeakPhonemes(std::string_view phonemes, bool noPunctuationPauses) {
    if (buffer_.size() != kBufferBytes) return;
    write_pos_ = kHeaderBytes;
    planner_.Plan(phonemes, noPunctuationPauses, pauses_);
    FlushBuffer();
}

bool DiphoneSynth::FetchDiphone(std::string_view name, int stressMode, double factor) {
    const DiphoneEntry* entry = index_.Find(name);
    if (entry == nullptr) return false;
    const std::size_t bytes =
        std::min(DiphoneFetchBytes(entry->length, name.size(), stressMode, factor, cut_, minimum_),
                 kMaxPiece);
    if (!SeekTo(data_file_, static_cast<std::uint64_t>(entry->offset))) return true;
    EnsureRoom(bytes);
    ReadIntoBuffer(data_file_, bytes);
    return true;
}

bool DiphoneSynth::PlayLetterFile(std::string_view name) {
    // Build the file name in place: no allocation while speaking.
    const std::size_t dirLength = letters_dir_.size();
    if (dirLength + name.size() + 5 > sizeof path_) return false;
    std::memcpy(path_, letters_dir_.data(), dirLength);
    std::memcpy(path_ + dirLength, name.data(), name.size());
    std::memcpy(path_ + dirLength + name.size(), ".wav", 5);
    win::HANDLE file = OpenForReading(path_);
    if (!Valid(file)) return false;
    LetterFileSource source(file);
    const std::uint32_t size = FindLetterData(source);
    if (size == 0) {
        win::CloseHandle(file);
        return false;
    }
    // A recording cut short gives what it holds; one too long for an empty buffer is cut.
    const std::size_t bytes =
        static_cast<std::size_t>(std::min<std::uint64_t>({size, source.Remaining(), kMaxPiece}));
    EnsureRoom(bytes);
    ReadIntoBuffer(file, bytes);
    win::CloseHandle(file);
    return true;
}

std::size_t DiphoneSynth::ReadIntoBuffer(win::HANDLE file, std::size_t n) {
    n = std::min(n, kBufferBytes - write_pos_);
    win::DWORD read = 0;
    if (n == 0 || !win::ReadFile(file, buffer_.data() + write_pos_, static_cast<win::DWORD>(n),
                                 &read, nullptr)) {
        return 0;
    }
    write_pos_ += read;
    return read;
}

void DiphoneSynth::EnsureRoom(std::size_t n) {
    if (write_pos_ + n < kBufferBytes) return;
    FlushBuffer();
    while (player_ != nullptr && player_->IsSpeaking()) win::WaitMessage();
}

void DiphoneSynth::FlushBuffer() {
    if (write_pos_ == kHeaderBytes) return;
    BuildWaveHeader(buffer_.data(), static_cast<std::uint32_t>(write_pos_ - kHeaderBytes),
                    kSampleRate, 8, 1);
    if (player_ != nullptr) player_->PlayImageAndWait(buffer_.data());
    write_pos_ = kHeaderBytes;
}

void DiphoneSynth::AppendSilence(int samples) {
    for (int i = 0; i < samples / 100; ++i) {
        EnsureRoom(100);
        std::memset(buffer_.data() + write_pos_, kSilence, 100);
        write_pos_ += 100;
    }
}

void DiphoneSynth::AppendNoise() {
    EnsureRoom(kNoiseBytes);
    for (std::size_t i = 0; i < kNoiseBytes; ++i) {
        // xorshift32: values 88 to 167.
        noise_state_ ^= noise_state_ << 13;
        noise_state_ ^= noise_state_ >> 17;
        noise_state_ ^= noise_state_ << 5;
        buffer_[write_pos_++] = static_cast<std::uint8_t>(88 + noise_state_ % 80);
    }
}

}  // namespace sonara
