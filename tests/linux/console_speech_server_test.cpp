// The SAPI back ends (server types 4, 5 and 54) through the facade's dispatch on the Linux
// back end, against the private speech-dispatcher of the test command
// (SONARA_TEST_SPEECHD_ADDRESS): start finds a voice, speak returns while the server still
// speaks, busy turns false once the speech ended, stop silences, end releases the
// connection; without a server every start is false. Speech is proved by the server's
// notifications and, when its log is there, by what the output module got. Waits are
// bounded only as hang guards; the stop time is printed, not asserted.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/SpeechdClient.h"
#include "process/Process.h"
#include "speech/tfsapglb.h"
#include "tests/linux/support/speechd_server.h"

namespace {

using sonara_test::ScopedSpeechdAddress;
using sonara_test::SpeechdLog;
using Clock = std::chrono::steady_clock;

constexpr auto kGuard = std::chrono::seconds(30);

// Minutes of speech, in Windows-1252.
std::string LongText() {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "O menino pipoco pulou a janela e viu a lua cheia. ";
    return text;
}

// The facade's own wait: busy, then WaitMessage, until the server is quiet. A thread
// posts WM_NULL at the guard time so that a server that never ends cannot hang the test.
bool WaitWhileBusy(win::LinuxBackend& backend) {
    const auto deadline = Clock::now() + kGuard;
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;
    std::thread guard([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!cv.wait_until(lock, deadline, [&] { return finished; }))
            backend.PostMessageA(nullptr, win::WM_NULL, 0, 0);
    });
    bool busy = true;
    while ((busy = sonara::ServerBusy(false)) && Clock::now() < deadline) win::WaitMessage();
    {
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
    }
    cv.notify_all();
    guard.join();
    return !busy;
}

class ServerBackends : public testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        win::SetBackend(&backend_);
        process_ = std::make_unique<sonara::Process>();
    }
    void TearDown() override { process_.reset(); }
    win::LinuxBackend backend_{true};
    std::unique_ptr<sonara::Process> process_;
};

TEST_P(ServerBackends, WithoutAServerStartIsFalse) {
    ScopedSpeechdAddress nowhere("unix_socket:" + testing::TempDir() + "no-speechd.sock");
    EXPECT_FALSE(sonara::ServerStart(1, 0, 0, GetParam(), ""));
    EXPECT_FALSE(sonara::ServerBusy(false));
}

TEST_P(ServerBackends, SpeakReturnsAtOnceBusyEndsWithTheSpeechStopSilencesEndReleases) {
    const std::string address = sonara_test::PrivateSpeechdAddress();
    if (address.empty())
        GTEST_SKIP() << "no private speech-dispatcher (scripts/test.sh starts one and sets "
                        "SONARA_TEST_SPEECHD_ADDRESS)";
    ScopedSpeechdAddress scoped(address);
    SpeechdLog log(address);
    const int type = GetParam();

    // Voice 1 is the server's first Portuguese voice; speed and pitch in each engine's units.
    ASSERT_TRUE(sonara::ServerStart(1, type == 4 ? 200 : -2, type == 4 ? 120 : 0, type, ""));
    EXPECT_FALSE(sonara::ServerBusy(false));

    // A short text: busy until the server reports its end.
    log.Mark();
    sonara::ServerSpeak("Ol\xE1, menino pipoco.");
    ASSERT_TRUE(WaitWhileBusy(backend_));
    if (log.Exists()) {
        EXPECT_TRUE(log.ShowsInOrder({"synthesis_voice=Portuguese (Brazil)",
                                      "Command sent to output module: |<speak>Olá, menino pipoco.",
                                      "samples to audio", "702 END"}))
            << log.path();
        EXPECT_TRUE(log.ShowsInOrder({type == 4 ? "rate=11" : "rate=-20", "language=pt-br"}));
    }

    // Minutes of speech: speak has returned and the server is still speaking.
    sonara::ServerSpeak(LongText());
    EXPECT_TRUE(sonara::ServerBusy(false));
    EXPECT_TRUE(sonara::ServerBusy(false));
    // Stop: quiet at once, as the server tells (its cancel, not an end: see
    // speech_server_test).
    const auto stopAt = Clock::now();
    sonara::ServerStop();
    ASSERT_TRUE(WaitWhileBusy(backend_));
    std::printf("type %d: stop to not busy %.1f ms\n", type,
                std::chrono::duration<double, std::milli>(Clock::now() - stopAt).count());
    // The next text speaks after the stop; end closes the connection.
    log.Mark();
    sonara::ServerSpeak("Tr\xEAs.");
    ASSERT_TRUE(WaitWhileBusy(backend_));
    if (log.Exists()) {
        EXPECT_TRUE(log.ShowsInOrder({"|<speak>Três.", "702 END"}));
    }
    EXPECT_EQ(win::SpeechdClient::OpenConnections(), 1);
    sonara::ServerEnd();
    EXPECT_EQ(win::SpeechdClient::OpenConnections(), 0);
    EXPECT_FALSE(sonara::ServerBusy(false));
}

INSTANTIATE_TEST_SUITE_P(Types, ServerBackends, testing::Values(4, 5, 54),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Sapi" + std::to_string(info.param);
                         });

}  // namespace
