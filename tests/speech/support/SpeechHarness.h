// A whole process on a fresh simulated machine with small speech data made here: a
// letters directory of short recordings, an empty diphone database and rules, and
// Sonara.ini. Tests drive the facade and read what was opened and played.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "process/Process.h"
#include "speech/tfsapglb.h"

namespace speechtest {

constexpr char kLetters[] = "c:\\letras\\";
constexpr std::uint32_t kRecordingSamples = 1100;  // 100 ms at 11025 Hz

// A canonical 8-bit mono 11025 Hz file of `samples` bytes of `value`.
std::string Recording(std::size_t samples = kRecordingSamples, char value = '\x90');

class SpeechHarness {
  public:
    // `ini` goes after the [TRADUTOR] lines that name the letters and diphone folders.
    explicit SpeechHarness(const std::string& ini = "", bool withData = true);
    ~SpeechHarness();

    // A recording for each character code 32..126, _unknown, the number words and the
    // named sounds the facade plays.
    void AddRecordings();
    void Key(std::string_view name, std::uint32_t at);
    // The WAV files opened, by base name without ".wav", in order.
    std::vector<std::string> Opened() const;
    // Times at which they were opened.
    std::vector<std::uint32_t> OpenTimes() const;
    std::vector<std::string> WaveLines() const;
    int EventIndex(std::string_view kind, std::size_t from = 0) const;

    sim::SimMachine machine;
    std::unique_ptr<sonara::Process> process;
};

// A server that takes the text and stays busy for `busyMs` of the machine's time from
// each Speak, posting the engines' wake-up message while busy.
class TestServer : public sonara::ServerBackend {
  public:
    explicit TestServer(sim::SimMachine& machine, std::uint32_t busyMs = 300)
        : machine_(machine), busy_ms_(busyMs) {}
    bool Start(int voice, int speed, int pitch, std::string_view file) override;
    void Speak(std::string_view text) override;
    bool Busy(bool onlyQueued) override;
    void Stop() override;
    void End() override { ++ends; }

    bool startResult = true;
    std::vector<int> starts;  // voice, speed, pitch of each Start
    std::vector<std::string> spoken;
    int stops = 0;
    int ends = 0;

  private:
    sim::SimMachine& machine_;
    std::uint32_t busy_ms_;
    std::uint32_t busy_until_ = 0;
};

}  // namespace speechtest
