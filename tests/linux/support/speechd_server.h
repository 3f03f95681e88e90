// For the tests of the speech-server objects against the private speech-dispatcher that
// the test command starts (its address in SONARA_TEST_SPEECHD_ADDRESS): the client
// address for the test's duration, the server's log, and a message loop with a hang guard.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace sonara_test {

// The private server's address, or empty when the test command started none.
std::string PrivateSpeechdAddress();

// SPEECHD_ADDRESS set to an address for the object's lifetime (the previous value back after).
class ScopedSpeechdAddress {
  public:
    explicit ScopedSpeechdAddress(const std::string& address);
    ~ScopedSpeechdAddress();
    ScopedSpeechdAddress(const ScopedSpeechdAddress&) = delete;
    ScopedSpeechdAddress& operator=(const ScopedSpeechdAddress&) = delete;

  private:
    std::optional<std::string> previous_;
};

// The log of a server started by scripts/speechd-private.sh (DIR/log/speech-dispatcher.log
// beside DIR/run/speech-dispatcher/speechd.sock), read from a mark on.
class SpeechdLog {
  public:
    explicit SpeechdLog(const std::string& address);
    bool Exists() const;
    // Only what the server writes from now on is read.
    void Mark();
    std::string SinceMark() const;
    // Whether the lines since the mark contain each pattern, in this order (plain substrings).
    bool ShowsInOrder(const std::vector<std::string>& patterns) const;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    long long mark_ = 0;
};

// A speech-dispatcher of the test's own (espeak-ng, audio to the null device), for tests
// that stop it under their clients' feet. Killed at the latest by the destructor.
class ThrowawaySpeechd {
  public:
    ThrowawaySpeechd();
    ~ThrowawaySpeechd();
    ThrowawaySpeechd(const ThrowawaySpeechd&) = delete;
    ThrowawaySpeechd& operator=(const ThrowawaySpeechd&) = delete;
    // Its client address once it listens, else empty (not installed, did not start).
    const std::string& address() const { return address_; }
    // SIGTERM (it then reaps its output module); waits for it.
    void Kill();

  private:
    std::string dir_;
    std::string address_;
    int pid_ = -1;
};

// Dispatches the back end's messages until done() or the guard time; true when done.
// Blocks in WaitMessage: a thread posts WM_NULL at the guard time so the wait ends even when
// nothing else comes.
bool PumpUntil(win::Backend& backend, const std::function<bool()>& done,
               std::chrono::seconds guard = std::chrono::seconds(30));

}  // namespace sonara_test
