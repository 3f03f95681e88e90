// The Tavena engine proper: set-up with the synthesizer library and the five data files,
// and speaking a text through the five text stages into the library, whose 16000 Hz
// samples are played through the wave output in pieces or written to a WAV file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/wintypes.h"
#include "tavena/MbrolaBinding.h"
#include "tavena/Pipeline.h"

namespace sonara {

// The canonical 44-byte RIFF WAVE header of PCM data: block align = (bits / 8) x channels
// and byte rate = block align x sample rate.
void MakeWaveHeader(std::uint8_t* header, std::uint32_t sampleRate, std::uint16_t bitsPerSample,
                    std::uint16_t channels, std::uint32_t dataSize);

class TavenaEngine {
  public:
    static constexpr std::uint32_t kSampleRate = 16000;
    static constexpr std::size_t kHeaderBytes = 44;
    static constexpr std::size_t kBufferBytes = 128000;  // staging buffer and play image data
    static constexpr int kReadSamples = 64000;
    static constexpr std::size_t kPieceBytes = 64000;  // a played piece stays below this
    static constexpr std::size_t kMinimumBytes = 256;  // the end of a text is at least this
    static constexpr int kNoErrorBeforeText = -63;

    TavenaEngine();  // allocates both buffers
    ~TavenaEngine();
    TavenaEngine(const TavenaEngine&) = delete;
    TavenaEngine& operator=(const TavenaEngine&) = delete;

    static TavenaEngine* Current();

    // Empty file names take "portug.nrl" and so on, without a directory.
    bool EngineInit(std::string_view database, std::string_view rules, std::string_view exceptions,
                    std::string_view abbreviations, std::string_view prosody,
                    std::string_view diphones);
    void EngineSetOutput(std::string_view fileName) { outputName_ = fileName; }
    void EngineSetFactors(double pitchFactor, double durationFactor);
    // True when every library write and read and every file write succeeded.
    bool EngineSpeak(std::string_view text);
    // EngineSpeak from the phoneme lines on: the trace, the library and the sound.
    bool SpeakLines(const Lines& lines);
    void EngineStop();
    bool EngineIsPlaying();
    // Completes the output file's header, frees the tables, closes and unloads the library.
    void EngineClose();
    const std::string& EngineError() const { return error_; }

    // When set, every speak appends its phoneme lines to this text file (no
    // configuration key: hosts set it, the command line through --trace).
    void SetTraceFile(std::string path) { traceFile_ = std::move(path); }

    const std::string& DatabasePath() const { return databasePath_; }
    bool WritingToFile() const { return writingToFile_; }
    double PitchFactor() const { return pitchFactor_; }
    double DurationFactor() const { return durationFactor_; }
    bool LibraryLoaded() const { return binding_.Loaded(); }
    const TavenaData& Data() const { return data_; }

  private:
    bool Ready() const { return binding_.Loaded() && ready_; }
    // After a failed write or read: close, unload, load and initialise again. When the
    // library cannot be loaded or initialised again it stays unloaded and every later
    // library call is skipped.
    void Recover();
    // Bytes read into the staging buffer (0 on nothing, a failure or a fault).
    std::size_t ReadSamples(bool& result);
    void WriteTrace(const Lines& lines);
    void PlayPiece(std::size_t bytes);
    void CloseOutputFile();
    // Closes the output file and writes its header with the true data size.
    void FinishOutputFile();

    MbrolaBinding binding_;
    bool ready_ = false;  // init_MBR succeeded on the loaded library
    TavenaData data_;
    TextPipeline pipeline_{data_};
    std::string databasePath_;
    std::string outputName_;
    bool writingToFile_ = false;
    win::HANDLE output_ = nullptr;
    double pitchFactor_ = 1.0;
    double durationFactor_ = 1.0;
    std::string traceFile_;
    std::string error_;
    std::unique_ptr<std::int16_t[]> staging_;  // kBufferBytes
    std::unique_ptr<std::uint8_t[]> image_;    // header + kBufferBytes
};

// The current instance's operations.
bool EngineInit(std::string_view database, std::string_view rules, std::string_view exceptions,
                std::string_view abbreviations, std::string_view prosody,
                std::string_view diphones);
void EngineSetOutput(std::string_view fileName);
void EngineSetFactors(double pitchFactor, double durationFactor);
bool EngineSpeak(std::string_view text);
void EngineStop();
bool EngineIsPlaying();
void EngineClose();
std::string EngineError();

}  // namespace sonara
