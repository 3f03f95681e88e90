// A connection to the desktop's speech server (speech-dispatcher) through libspeechd.
//
// The address is libspeechd's: SPEECHD_ADDRESS (unix_socket:PATH or inet_socket:HOST:PORT)
// or the session's default socket. The server is never started on demand: no server or a
// refused connection fails at once.
//
// Notifications (a message began, ended or was cancelled) arrive on libspeechd's own
// thread; a watcher thread of ours notices when the server hangs up. The client counts them
// (thread-safe, for Busy and WaitIdle) and hands them to the listener, which must only post them
// elsewhere: it runs on that thread and must not call back into the client.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/linux/SpeechdVoiceList.h"

namespace win {

// The server's voices in the order the back ends number them: Brazilian Portuguese first,
// then the other Portuguese ones, then the rest, each group in the server's order.
void OrderPortugueseFirst(std::vector<SpeechdVoice>& voices);

// Engine units onto the server's rate and pitch (-100..100, 0 the voice's default).
// SAPI 5 rate -10..10: times 10.
int SpeechdRateFromSapi5(long rate);
// SAPI 4 speed in words per minute, as espeak-ng counts them: 80 wpm is -100, 170 wpm
// (espeak-ng's normal speed) 0, 449 wpm 100, linear in between (rounded), clamped outside. The
// value is read as signed, so a negative speed is the slowest.
int SpeechdRateFromSapi4Speed(std::uint32_t wordsPerMinute);
// SAPI 4 pitch in hertz: 50 Hz is -100, 100 Hz 0, 200 Hz 100, linear in between (rounded),
// clamped.
int SpeechdPitchFromSapi4(std::uint16_t hertz);

class SpeechdClient {
  public:
    // Gone: the server hung up (message 0); every outstanding message is over.
    enum class Event { Begin, End, Cancel, Gone };
    // Runs on libspeechd's thread.
    using Listener = std::function<void(Event event, std::uint64_t message)>;

    // Connects (no autospawn); null with the reason in *error when there is no server.
    static std::unique_ptr<SpeechdClient> Connect(const char* clientName,
                                                  std::string* error = nullptr);
    // Cancels what still speaks and closes the connection; the listener is not called any
    // more once it returns.
    ~SpeechdClient();
    SpeechdClient(const SpeechdClient&) = delete;
    SpeechdClient& operator=(const SpeechdClient&) = delete;

    // Set before speaking; replaces the previous one.
    void SetListener(Listener listener);

    // The synthesis voices of the server's default output module, Portuguese first; read on
    // a connection of its own (see SpeechdVoiceList.h), else through libspeechd.
    std::vector<SpeechdVoice> Voices();
    bool SelectVoice(const SpeechdVoice& voice);
    bool SetRate(int rate);    // -100..100
    bool SetPitch(int pitch);  // -100..100

    // Queues UTF-8 text behind what this client already queued; the message number, or
    // 0 when the server refused it. A text of blanks only is not sent (nothing to hear):
    // it returns 0 too, see Speak's callers.
    std::uint64_t Speak(std::string_view utf8);
    // Silences this client's speech and drops its queue; the messages end with Cancel.
    bool Cancel();

    // Messages sent and not yet ended or cancelled (none once the server has gone away).
    bool Busy();
    // Blocks until no message is outstanding or the timeout passed; true when idle.
    bool WaitIdle(std::chrono::milliseconds timeout);

    // Connections open in this process (for tests: an end leaves none behind).
    static int OpenConnections();

    // For libspeechd's callbacks: counts the event and hands it to the listener.
    void Deliver(Event event, std::uint64_t message);

  private:
    explicit SpeechdClient(void* connection);
    bool ServerGone();
    void ForgetOutstanding();
    // The watcher thread: blocks until the server hangs up or the client closes.
    void Watch();

    void* connection_;             // libspeechd's SPDConnection (an unnamed struct: not declarable)
    int stopWatch_[2] = {-1, -1};  // a pipe that ends the watcher
    std::thread watcher_;
    std::size_t clientId_ = 0;
    std::mutex mutex_;  // guards the counters and the listener; never held in libspeechd calls
    std::condition_variable idle_;
    std::uint64_t sent_ = 0;
    std::uint64_t finished_ = 0;
    Listener listener_;
};

}  // namespace win
