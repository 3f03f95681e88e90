#include "tavena/TavenaEngine.h"

#include <algorithm>
#include <cstring>

#include "diphone/tfwav.h"
#include "platform/api.h"
#include "speech/minireg.h"
#include "tavena/Prosody.h"

namespace sonara {

namespace {

TavenaEngine* current_engine = nullptr;

constexpr char kDatabaseKey[] = "SOFTWARE\\TCTS\\Mbrola\\databases\\";
constexpr char kDefaultDatabase[] = "c:\\tecfal\\tavenatts\\br4";
constexpr char kTraceSeparator[] = ";---------------------------------------";

// Windows-1252 texts of the set-up errors.
constexpr char kRulesError[] = "Erro na base de dados de portugu\xEAs";
constexpr char kAbbreviationsError[] = "Erro no arquivo de abreviaturas";
constexpr char kProsodyError[] =
    "Erro no arquivo de pros\xF3"
    "dia";
constexpr char kOutputError[] =
    "Arquivo de sa\xED"
    "da n\xE3o pode ser criado";

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

std::string_view OrDefault(std::string_view given, std::string_view fallback) {
    return given.empty() ? fallback : given;
}

bool WriteAll(win::HANDLE file, const void* data, std::size_t n) {
    win::DWORD written = 0;
    return win::WriteFile(file, data, static_cast<win::DWORD>(n), &written, nullptr) != 0 &&
           written == n;
}

// Blanks and control characters (codes up to 32) only.
bool Blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

}  // namespace

void MakeWaveHeader(std::uint8_t* h, std::uint32_t sampleRate, std::uint16_t bitsPerSample,
                    std::uint16_t channels, std::uint32_t dataSize) {
    const auto blockAlign = static_cast<std::uint16_t>((bitsPerSample / 8) * channels);
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, dataSize + 36);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, channels);
    Put32(h + 24, sampleRate);
    Put32(h + 28, blockAlign * sampleRate);
    Put16(h + 32, blockAlign);
    Put16(h + 34, bitsPerSample);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataSize);
}

TavenaEngine::TavenaEngine()
    : staging_(new std::int16_t[kBufferBytes / 2]()),
      image_(new std::uint8_t[kHeaderBytes + kBufferBytes]()) {
    current_engine = this;
}

TavenaEngine::~TavenaEngine() {
    // A program that ends without EngineClose still leaves a complete WAV file and a
    // released database.
    FinishOutputFile();
    if (binding_.Loaded()) binding_.Calls().close_MBR();
    if (current_engine == this) current_engine = nullptr;
}

TavenaEngine* TavenaEngine::Current() {
    return current_engine;
}

void TavenaEngine::EngineSetFactors(double pitchFactor, double durationFactor) {
    pitchFactor_ = pitchFactor;
    durationFactor_ = durationFactor;
}

void TavenaEngine::CloseOutputFile() {
    if (output_ != nullptr) win::CloseHandle(output_);
    output_ = nullptr;
}

bool TavenaEngine::EngineInit(std::string_view database, std::string_view rules,
                              std::string_view exceptions, std::string_view abbreviations,
                              std::string_view prosody, std::string_view diphones) {
    ready_ = false;
    if (!binding_.LoadMbrola()) return false;
    const std::string rulesFile(OrDefault(rules, "portug.nrl"));
    const std::string exceptionsFile(OrDefault(exceptions, "portug.exc"));
    const std::string abbreviationsFile(OrDefault(abbreviations, "portug.abr"));
    const std::string prosodyFile(OrDefault(prosody, "portug.pro"));
    const std::string diphonesFile(OrDefault(diphones, "portug.dfn"));

    std::string path;
    if (!ReadRegString(win::HKEY_LOCAL_MACHINE,
                       std::string(kDatabaseKey) + std::string(database) + "\\", path))
        path = kDefaultDatabase;
    databasePath_ = path;
    // The library opens the database with its own file functions, so it gets the name as
    // the platform's libraries see it.
    if (binding_.Calls().init_MBR(win::LibraryFileName(databasePath_).c_str()) < 0) {
        binding_.UnloadMbrola();
        return false;
    }
    ready_ = true;

    data_.rules.FreeRules();
    data_.diphones.Clear();
    if (!data_.rules.LoadRules(rulesFile) || !data_.rules.LoadExceptions(exceptionsFile)) {
        error_ = kRulesError;
        return false;
    }
    if (!data_.abbreviations.LoadFile(win::ReadWholeFile(abbreviationsFile))) {
        error_ = kAbbreviationsError;
        return false;
    }
    std::optional<std::string> prosodyBytes = win::ReadWholeFile(prosodyFile);
    if (!LoadProsody(prosodyBytes, data_.prosody) ||
        !data_.diphones.LoadFile(win::ReadWholeFile(diphonesFile))) {
        error_ = kProsodyError;
        return false;
    }

    // A file left open by an earlier set-up is closed before a new one is made.
    CloseOutputFile();
    writingToFile_ = false;
    if (!outputName_.empty()) {
        win::HANDLE file = win::CreateFileA(outputName_.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                            win::CREATE_ALWAYS, 0, nullptr);
        if (file == win::INVALID_HANDLE_VALUE) return false;
        std::uint8_t header[kHeaderBytes];
        MakeWaveHeader(header, kSampleRate, 16, 1, 0);
        if (!WriteAll(file, header, sizeof header)) {
            error_ = kOutputError;
            win::CloseHandle(file);
            return false;
        }
        output_ = file;
        writingToFile_ = true;
        return true;
    }
    writingToFile_ = false;
    binding_.Calls().setNoError_MBR(0);
    return true;
}

void TavenaEngine::Recover() {
    if (binding_.Loaded()) binding_.Calls().close_MBR();
    binding_.UnloadMbrola();
    ready_ = false;
    if (!binding_.LoadMbrola()) return;
    if (binding_.Calls().init_MBR(win::LibraryFileName(databasePath_).c_str()) < 0) {
        binding_.UnloadMbrola();
        return;
    }
    ready_ = true;
}

std::size_t TavenaEngine::ReadSamples(bool& result) {
    if (!Ready()) return 0;
    int got = 0;
    try {
        got = binding_.Calls().read_MBR(staging_.get(), kReadSamples);
    } catch (...) {
        return 0;
    }
    if (got < 0) {
        Recover();
        result = false;
        return 0;
    }
    // Never more than the buffer holds, whatever the library answers.
    return 2 * static_cast<std::size_t>(std::min(got, kReadSamples));
}

void TavenaEngine::WriteTrace(const Lines& lines) {
    win::HANDLE file = win::CreateFileA(traceFile_.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                        win::OPEN_ALWAYS, 0, nullptr);
    if (file == win::INVALID_HANDLE_VALUE) return;
    win::SetFilePointer(file, 0, nullptr, win::FILE_END);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    text += kTraceSeparator;
    text += "\r\n";
    WriteAll(file, text.data(), text.size());
    win::CloseHandle(file);
}

void TavenaEngine::PlayPiece(std::size_t bytes) {
    MakeWaveHeader(image_.get(), kSampleRate, 16, 1, static_cast<std::uint32_t>(bytes));
    if (Tfwav* wav = Tfwav::Current()) wav->PlayWavImage(image_.get(), kHeaderBytes + bytes);
}

bool TavenaEngine::EngineSpeak(std::string_view text) {
    if (Blank(text)) return true;
    // Without a library (never set up, or lost in a recovery) there is nothing to speak.
    if (!Ready()) return false;

    return SpeakLines(pipeline_.PhonemeLines(text, pitchFactor_, durationFactor_));
}

bool TavenaEngine::SpeakLines(const Lines& lines) {
    bool result = true;
    if (!Ready()) return false;
    Tfwav* wav = Tfwav::Current();
    const bool highRate = wav != nullptr && wav->HighRate();
    const bool fastSpeech = wav != nullptr && wav->FastSpeech();
    if (wav != nullptr) {
        wav->SetHighRate(false);
        wav->SetFastSpeech(false);
    }
    if (!traceFile_.empty()) WriteTrace(lines);

    binding_.Calls().reset_MBR();
    binding_.Calls().setNoError_MBR(kNoErrorBeforeText);

    std::uint8_t* data = image_.get() + kHeaderBytes;
    const auto* staging = reinterpret_cast<const std::uint8_t*>(staging_.get());
    std::size_t acc = 0;
    std::string line;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        if (lines[i].empty() && !last) continue;
        if (!Ready()) {
            result = false;
            break;
        }
        line.assign(lines[i]).append("\r\n");
        if (binding_.Calls().write_MBR(line.c_str()) < 0) {
            Recover();
            result = false;
        }
        if (last && Ready()) binding_.Calls().flush_MBR();
        std::size_t n = ReadSamples(result);
        while (n > 0) {
            if (writingToFile_) {
                if (!WriteAll(output_, staging, n)) result = false;
            } else {
                // A piece is played before it would reach 64000 bytes; an empty one never.
                if (acc > 0 && acc + n >= kPieceBytes) {
                    PlayPiece(acc);
                    acc = 0;
                }
                std::memcpy(data + acc, staging, n);
                acc += n;
            }
            n = ReadSamples(result);
        }
    }
    if (!writingToFile_ && acc > 0) {
        if (acc < kMinimumBytes) {
            std::memset(data + acc, 0, kMinimumBytes - acc);
            acc = kMinimumBytes;
        }
        PlayPiece(acc);
    }
    if (wav != nullptr) {
        wav->SetHighRate(highRate);
        wav->SetFastSpeech(fastSpeech);
    }
    return result;
}

void TavenaEngine::EngineStop() {
    if (!writingToFile_) StopPlayback();
}

bool TavenaEngine::EngineIsPlaying() {
    return writingToFile_ ? false : IsPlaying();
}

void TavenaEngine::FinishOutputFile() {
    if (!writingToFile_ || output_ == nullptr) return;
    CloseOutputFile();
    win::HANDLE file = win::CreateFileA(outputName_.c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                        0, nullptr, win::OPEN_EXISTING, 0, nullptr);
    if (file == win::INVALID_HANDLE_VALUE) return;
    win::DWORD size = win::GetFileSize(file, nullptr);
    std::uint32_t dataSize =
        size != win::INVALID_FILE_SIZE && size >= kHeaderBytes ? size - kHeaderBytes : 0;
    std::uint8_t header[kHeaderBytes];
    MakeWaveHeader(header, kSampleRate, 16, 1, dataSize);
    win::SetFilePointer(file, 0, nullptr, win::FILE_BEGIN);
    WriteAll(file, header, sizeof header);
    win::CloseHandle(file);
}

void TavenaEngine::EngineClose() {
    FinishOutputFile();
    data_.rules.FreeRules();
    data_.diphones.Clear();
    if (binding_.Loaded()) binding_.Calls().close_MBR();
    binding_.UnloadMbrola();
    ready_ = false;
}

bool EngineInit(std::string_view database, std::string_view rules, std::string_view exceptions,
                std::string_view abbreviations, std::string_view prosody,
                std::string_view diphones) {
    TavenaEngine* e = TavenaEngine::Current();
    return e != nullptr &&
           e->EngineInit(database, rules, exceptions, abbreviations, prosody, diphones);
}
void EngineSetOutput(std::string_view fileName) {
    if (TavenaEngine* e = TavenaEngine::Current()) e->EngineSetOutput(fileName);
}
void EngineSetFactors(double pitchFactor, double durationFactor) {
    if (TavenaEngine* e = TavenaEngine::Current()) e->EngineSetFactors(pitchFactor, durationFactor);
}
bool EngineSpeak(std::string_view text) {
    TavenaEngine* e = TavenaEngine::Current();
    return e != nullptr && e->EngineSpeak(text);
}
void EngineStop() {
    if (TavenaEngine* e = TavenaEngine::Current()) e->EngineStop();
}
bool EngineIsPlaying() {
    TavenaEngine* e = TavenaEngine::Current();
    return e != nullptr && e->EngineIsPlaying();
}
void EngineClose() {
    if (TavenaEngine* e = TavenaEngine::Current()) e->EngineClose();
}
std::string EngineError() {
    TavenaEngine* e = TavenaEngine::Current();
    return e != nullptr ? e->EngineError() : std::string();
}

}  // namespace sonara
