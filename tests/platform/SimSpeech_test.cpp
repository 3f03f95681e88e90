// The simulated machine's speech server: objects by class, the time texts take, SAPI 4
// notifications only when the thread dispatches, the speak-complete event, and objects
// that outlive the machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

// Counts what its engine tells it.
class CountingSink final : public win::ITTSBufNotifySink {
  public:
    win::HRESULT QueryInterface(const win::IID& iid, void** out) override {
        if (iid != win::IID_ITTSBufNotifySink && iid != win::IID_IUnknown) {
            *out = nullptr;
            return win::E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<win::ITTSBufNotifySink*>(this);
        return win::S_OK;
    }
    win::ULONG AddRef() override { return ++refs; }
    win::ULONG Release() override { return --refs; }  // lives on the test's stack
    win::HRESULT TextDataDone(win::QWORD, win::DWORD) override {
        ++done;
        return win::S_OK;
    }
    win::HRESULT TextDataStarted(win::QWORD) override {
        ++started;
        return win::S_OK;
    }
    win::HRESULT BookMark(win::QWORD, win::DWORD) override { return win::S_OK; }
    win::HRESULT WordPosition(win::QWORD, win::DWORD) override { return win::S_OK; }
    int refs = 1, started = 0, done = 0;
};

void Dispatch() {
    win::MSG msg;
    while (win::PeekMessageA(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageA(&msg);
}

class SimSpeechTest : public ::testing::Test {
  protected:
    SimSpeechTest() { win::SetBackend(&machine); }
    ~SimSpeechTest() override { win::SetBackend(nullptr); }

    template <class I>
    I* Create(const win::CLSID& clsid, const win::IID& iid) {
        void* p = nullptr;
        EXPECT_EQ(win::CoCreateInstance(clsid, nullptr, 7, iid, &p), win::S_OK);
        return static_cast<I*>(p);
    }
    win::ITTSCentralA* Engine(win::IUnknown* audio) {
        auto* e = Create<win::ITTSEnumA>(win::CLSID_TTSEnumerator, win::IID_ITTSEnumA);
        win::TTSModeInfoA mode{};
        win::ULONG fetched = 0;
        EXPECT_EQ(e->Next(1, &mode, &fetched), win::S_OK);
        win::ITTSCentralA* engine = nullptr;
        EXPECT_EQ(e->Select(mode.modeId, &engine, audio), win::S_OK);
        e->Release();
        return engine;
    }

    sim::SimMachine machine;
};

TEST_F(SimSpeechTest, ClassesAreMadeByIdentifierWithoutAggregation) {
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(win::CoCreateInstance(win::IID_ITTSEnumA, nullptr, 7, win::IID_ITTSEnumA, &p),
              win::REGDB_E_CLASSNOTREG);
    EXPECT_EQ(p, nullptr);
    auto* outer = Create<win::IUnknown>(win::CLSID_MMAudioDest, win::IID_IUnknown);
    EXPECT_EQ(win::CoCreateInstance(win::CLSID_SpVoice, outer, 5, win::IID_ISpeechVoice, &p),
              win::CLASS_E_NOAGGREGATION);
    // An interface the class does not have.
    EXPECT_EQ(win::CoCreateInstance(win::CLSID_SpVoice, nullptr, 5, win::IID_ITTSEnumA, &p),
              win::E_NOINTERFACE);
    EXPECT_EQ(machine.LiveSpeechObjects(), 1);
    outer->Release();
    EXPECT_EQ(machine.LiveSpeechObjects(), 0);
}

TEST_F(SimSpeechTest, Sapi4TextsQueueOneAfterTheOtherAndNotifyOnlyWhenDispatched) {
    auto* audio = Create<win::IAudioMultiMediaDevice>(win::CLSID_MMAudioDest,
                                                      win::IID_IAudioMultiMediaDevice);
    win::ITTSCentralA* engine = Engine(audio);
    audio->Release();
    CountingSink sink;
    const char first[] = "ola";   // 180 ms
    const char second[] = "o a";  // blanks take no time: 120 ms
    ASSERT_EQ(
        engine->TextData(0, 0, win::SData{first, sizeof first}, &sink, win::IID_ITTSBufNotifySink),
        win::S_OK);
    ASSERT_EQ(engine->TextData(0, 0, win::SData{second, sizeof second}, &sink,
                               win::IID_ITTSBufNotifySink),
              win::S_OK);
    EXPECT_EQ(sink.started, 0);
    Dispatch();
    EXPECT_EQ(sink.started, 2);
    win::Sleep(179);
    Dispatch();
    EXPECT_EQ(sink.done, 0);
    win::Sleep(1);
    Dispatch();
    EXPECT_EQ(sink.done, 1);
    EXPECT_TRUE(machine.SpeechSounding());
    win::WaitMessage();  // advances to the end of the second text
    EXPECT_EQ(machine.Now(), 300u);
    Dispatch();
    EXPECT_EQ(sink.done, 2);
    EXPECT_FALSE(machine.SpeechSounding());
    EXPECT_EQ(sink.refs, 1);  // the engine gave back every reference it took
    engine->Release();
    EXPECT_EQ(machine.LiveSpeechObjects(), 0);
}

TEST_F(SimSpeechTest, TheSpeakCompleteEventIsSignalledWhileTheVoiceIsSilent) {
    auto* voice = Create<win::ISpeechVoice>(win::CLSID_SpVoice, win::IID_ISpeechVoice);
    win::HANDLE event = nullptr;
    ASSERT_EQ(voice->get_SpeakCompleteEvent(&event), win::S_OK);
    EXPECT_EQ(win::WaitForSingleObject(event, 20), win::WAIT_OBJECT_0);
    EXPECT_EQ(machine.Now(), 0u);
    ASSERT_EQ(voice->Speak(u"abc", win::SVSFlagsAsync, nullptr), win::S_OK);  // 180 ms
    EXPECT_EQ(win::WaitForSingleObject(event, 100), win::WAIT_TIMEOUT);
    EXPECT_EQ(machine.Now(), 100u);
    EXPECT_EQ(win::WaitForSingleObject(event, 100), win::WAIT_OBJECT_0);
    EXPECT_EQ(machine.Now(), 180u);
    // Synchronous speech returns at its end; a purge ends it at once.
    ASSERT_EQ(voice->Speak(u"ab", 0, nullptr), win::S_OK);
    EXPECT_EQ(machine.Now(), 300u);
    voice->Speak(u"abcdef", win::SVSFlagsAsync, nullptr);
    voice->Speak(u" ", win::SVSFPurgeBeforeSpeak, nullptr);
    EXPECT_FALSE(machine.SpeechSounding());
    EXPECT_EQ(win::WaitForSingleObject(event, win::INFINITE), win::WAIT_OBJECT_0);
    voice->Speak(u"abc", win::SVSFlagsAsync, nullptr);
    voice->Release();
    EXPECT_EQ(win::WaitForSingleObject(event, 20), win::WAIT_FAILED);  // the voice is gone
    EXPECT_EQ(win::WaitForSingleObject(nullptr, 20), win::WAIT_FAILED);
}

TEST(SimSpeechLife, ObjectsReleasedAfterTheMachineIsGoneReachNothing) {
    win::ITTSCentralA* engine = nullptr;
    CountingSink sink;
    {
        sim::SimMachine machine;
        win::SetBackend(&machine);
        void* p = nullptr;
        ASSERT_EQ(
            win::CoCreateInstance(win::CLSID_TTSEnumerator, nullptr, 7, win::IID_ITTSEnumA, &p),
            win::S_OK);
        auto* e = static_cast<win::ITTSEnumA*>(p);
        win::TTSModeInfoA mode{};
        e->Next(1, &mode, nullptr);
        ASSERT_EQ(e->Select(mode.modeId, &engine, e), win::S_OK);
        e->Release();
        const char text[] = "ola";
        engine->TextData(0, 0, win::SData{text, sizeof text}, &sink, win::IID_ITTSBufNotifySink);
        win::SetBackend(nullptr);
    }
    // The notifications waiting for dispatch gave their references back with the machine.
    engine->AudioReset();
    engine->Release();
    EXPECT_EQ(sink.refs, 1);
}

}  // namespace
