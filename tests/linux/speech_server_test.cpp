// The speech-server objects of the Linux back end over speech-dispatcher: the voice order
// and unit mappings, failure without a server, and, against the private server of the
// test command (SONARA_TEST_SPEECHD_ADDRESS), the client's notifications, the SAPI 5
// voice of both class identifiers and the SAPI 4 engine with its sinks. Speech is proved
// by the server: its notifications and, when its log is there, the text the output module
// got and the audio that followed. Waits are bounded only as hang guards.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/LinuxBackend.h"
#include "platform/linux/SpeechdClient.h"
#include "platform/linux/SpeechdVoiceList.h"
#include "platform/speech_objects.h"
#include "tests/linux/support/speechd_server.h"

namespace {

using namespace win;
using sonara_test::PumpUntil;
using sonara_test::ScopedSpeechdAddress;
using sonara_test::SpeechdLog;

constexpr DWORD kContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
constexpr DWORD kGuardMs = 30000;

// Minutes of speech: still speaking whenever the test looks.
std::string LongText() {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "O menino pipoco pulou a janela e viu a lua cheia. ";
    return text;
}

std::vector<std::string> Languages(const std::vector<SpeechdVoice>& voices) {
    std::vector<std::string> out;
    for (const SpeechdVoice& v : voices) out.push_back(v.name + "/" + v.language);
    return out;
}

TEST(SpeechdVoiceOrder, PortugueseFirstBrazilBeforePortugalEachInTheServersOrder) {
    std::vector<SpeechdVoice> voices = {
        {"a", "en-US", "none"}, {"b", "pt", "none"},    {"c", "pt-BR", "none"},
        {"d", "ptx", "none"},   {"e", "pt_br", "none"}, {"f", "PT-PT", "none"},
        {"g", "es", "none"},    {"h", "pt-BR", "Iven"}, {"i", "", "none"}};
    OrderPortugueseFirst(voices);
    EXPECT_EQ(Languages(voices),
              (std::vector<std::string>{"c/pt-BR", "e/pt_br", "h/pt-BR", "b/pt", "f/PT-PT",
                                        "a/en-US", "d/ptx", "g/es", "i/"}));
}

TEST(SpeechdVoiceList, ReadsTheVoicesInAnyPiecesUntilTheEnd) {
    const std::string answer =
        "249-Portuguese (Brazil)\tpt-BR\tnone\r\n249-Portuguese (Brazil)+Iven\tpt-BR\tIven\r\n"
        "249-Nameless\r\n249-\tpt\tnone\r\nnot a reply\r\n249-Ol\xC3\xA1\ten\tnone\n"
        "249 OK VOICE LIST SENT\r\n249-after\tpt\tnone\r\n";
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, answer.size()}) {
        SCOPED_TRACE(piece);
        SpeechdVoiceListReader reader;
        for (std::size_t at = 0; at < answer.size(); at += piece)
            if (!reader.Feed(std::string_view(answer).substr(at, piece))) break;
        EXPECT_TRUE(reader.Complete());
        EXPECT_FALSE(reader.Broken());
        EXPECT_EQ(
            Languages(reader.voices()),
            (std::vector<std::string>{"Portuguese (Brazil)/pt-BR", "Portuguese (Brazil)+Iven/pt-BR",
                                      "Nameless/", "Ol\xC3\xA1/en"}));
        EXPECT_EQ(reader.voices()[1].variant, "Iven");
    }
}

TEST(SpeechdVoiceList, ARefusalOrAnEndlessLineIsBroken) {
    SpeechdVoiceListReader refused;
    EXPECT_FALSE(refused.Feed("249-a\tpt\tnone\r\n300 ERR NO OUTPUT MODULE\r\n"));
    EXPECT_TRUE(refused.Broken());
    EXPECT_FALSE(refused.Complete());
    SpeechdVoiceListReader endless;
    const std::string line(SpeechdVoiceListReader::kLongestLine, 'x');
    EXPECT_TRUE(endless.Feed("249-" + line.substr(8)));
    EXPECT_FALSE(endless.Feed(line));
    EXPECT_TRUE(endless.Broken());
    EXPECT_TRUE(endless.voices().empty());
}

TEST(SpeechdUnits, Sapi5RateIsTimesTenAndClamped) {
    EXPECT_EQ(SpeechdRateFromSapi5(0), 0);
    EXPECT_EQ(SpeechdRateFromSapi5(-5), -50);
    EXPECT_EQ(SpeechdRateFromSapi5(10), 100);
    EXPECT_EQ(SpeechdRateFromSapi5(-10), -100);
    EXPECT_EQ(SpeechdRateFromSapi5(15), 100);
    EXPECT_EQ(SpeechdRateFromSapi5(-99), -100);
}

TEST(SpeechdUnits, Sapi4SpeedIsWordsPerMinuteAroundTheNormalSpeed) {
    EXPECT_EQ(SpeechdRateFromSapi4Speed(170), 0);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(80), -100);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(125), -50);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(449), 100);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(309), 50);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(200), 11);
    // Below and above the range, and a negative speed passed on as a DWORD: the ends.
    EXPECT_EQ(SpeechdRateFromSapi4Speed(15), -100);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(0), -100);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(1000), 100);
    EXPECT_EQ(SpeechdRateFromSapi4Speed(static_cast<std::uint32_t>(-5)), -100);
}

TEST(SpeechdUnits, Sapi4PitchIsHertzAroundAHundred) {
    EXPECT_EQ(SpeechdPitchFromSapi4(100), 0);
    EXPECT_EQ(SpeechdPitchFromSapi4(50), -100);
    EXPECT_EQ(SpeechdPitchFromSapi4(75), -50);
    EXPECT_EQ(SpeechdPitchFromSapi4(150), 50);
    EXPECT_EQ(SpeechdPitchFromSapi4(200), 100);
    EXPECT_EQ(SpeechdPitchFromSapi4(0), -100);
    EXPECT_EQ(SpeechdPitchFromSapi4(65535), 100);
}

TEST(SpeechServerObjects, WithoutAServerNoEnumeratorNoVoiceAndNoAutospawn) {
    const std::string dir = testing::TempDir() + "no-speechd";
    for (const std::string& address :
         {"unix_socket:" + dir + "/speechd.sock", std::string("inet_socket:127.0.0.1:1"),
          std::string("no address at all")}) {
        SCOPED_TRACE(address);
        ScopedSpeechdAddress scoped(address);
        std::string why;
        EXPECT_EQ(SpeechdClient::Connect("test", &why), nullptr);
        EXPECT_FALSE(why.empty());
        LinuxBackend backend(true);
        void* out = &backend;
        EXPECT_TRUE(FAILED(
            backend.CoCreateInstance(CLSID_TTSEnumerator, nullptr, kContext, IID_ITTSEnumA, &out)));
        EXPECT_EQ(out, nullptr);
        out = &backend;
        EXPECT_TRUE(FAILED(
            backend.CoCreateInstance(CLSID_SpVoice, nullptr, kContext, IID_ISpeechVoice, &out)));
        EXPECT_EQ(out, nullptr);
        EXPECT_TRUE(FAILED(
            backend.CoCreateInstance(CLSID_SpVoice54, nullptr, kContext, IID_ISpeechVoice, &out)));
    }
    // Nothing was started in the server's place.
    EXPECT_FALSE(std::filesystem::exists(dir + "/speechd.sock"));
}

TEST(SpeechServerObjects, FileOutputAggregationAndForeignHandlesAreRefused) {
    LinuxBackend backend(true);
    void* out = nullptr;
    for (const CLSID& clsid : {CLSID_AudioDestFile, CLSID_SpFileStream, CLSID_SpFileStream54}) {
        EXPECT_EQ(backend.CoCreateInstance(clsid, nullptr, kContext, IID_IUnknown, &out),
                  REGDB_E_CLASSNOTREG);
        EXPECT_EQ(out, nullptr);
    }
    // The multimedia destination needs no server; it takes any device number.
    IAudioMultiMediaDevice* device = nullptr;
    ASSERT_EQ(
        backend.CoCreateInstance(CLSID_MMAudioDest, nullptr, kContext, IID_IAudioMultiMediaDevice,
                                 reinterpret_cast<void**>(&device)),
        S_OK);
    EXPECT_EQ(device->DeviceNumSet(3), S_OK);
    void* other = &backend;
    EXPECT_EQ(device->QueryInterface(IID_ITTSEnumA, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(device->Release(), 0u);
    auto* outer = reinterpret_cast<IUnknown*>(&backend);
    EXPECT_EQ(backend.CoCreateInstance(CLSID_MMAudioDest, outer, kContext, IID_IUnknown, &out),
              CLASS_E_NOAGGREGATION);
    int notAnEvent = 0;
    EXPECT_EQ(backend.WaitForSingleObject(&notAnEvent, 0), WAIT_FAILED);
    EXPECT_EQ(backend.WaitForSingleObject(nullptr, 10), WAIT_FAILED);
}

// ---- Against the private server ----

class RealSpeechd : public testing::Test {
  protected:
    void SetUp() override {
        address_ = sonara_test::PrivateSpeechdAddress();
        if (address_.empty())
            GTEST_SKIP() << "no private speech-dispatcher (scripts/test.sh starts one and sets "
                            "SONARA_TEST_SPEECHD_ADDRESS)";
        scoped_ = std::make_unique<ScopedSpeechdAddress>(address_);
        log_ = std::make_unique<SpeechdLog>(address_);
    }
    // The log shows the text reaching the output module, audio, then its end.
    void ExpectHeard(const std::string& utf8) {
        if (!log_->Exists()) return;  // another server layout: the notifications prove it
        EXPECT_TRUE(log_->ShowsInOrder(
            {"Command sent to output module: |<speak>" + utf8, "samples to audio", "702 END"}))
            << "in " << log_->path();
    }
    std::string address_;
    std::unique_ptr<ScopedSpeechdAddress> scoped_;
    std::unique_ptr<SpeechdLog> log_;
};

struct Events {
    std::mutex mutex;
    std::vector<std::pair<SpeechdClient::Event, std::uint64_t>> list;
    bool Has(SpeechdClient::Event e, std::uint64_t message) {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto& [event, m] : list)
            if (event == e && m == message) return true;
        return false;
    }
};

TEST_F(RealSpeechd, ClientHearsBeginAndEndOfATextAndTheCancelOfAnInterruptedOne) {
    std::unique_ptr<SpeechdClient> client = SpeechdClient::Connect("test");
    ASSERT_NE(client, nullptr);
    Events events;
    client->SetListener([&](SpeechdClient::Event e, std::uint64_t message) {
        std::lock_guard<std::mutex> lock(events.mutex);
        events.list.emplace_back(e, message);
    });
    EXPECT_FALSE(client->Busy());
    EXPECT_EQ(client->Speak(""), 0u);  // libspeechd would never return from it
    EXPECT_EQ(client->Speak(" \t\n"), 0u);
    EXPECT_FALSE(client->Busy());

    log_->Mark();
    const std::uint64_t first = client->Speak("Um, dois, três.");
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(client->WaitIdle(std::chrono::milliseconds(kGuardMs)));
    EXPECT_TRUE(events.Has(SpeechdClient::Event::Begin, first));
    EXPECT_TRUE(events.Has(SpeechdClient::Event::End, first));
    EXPECT_FALSE(events.Has(SpeechdClient::Event::Cancel, first));
    ExpectHeard("Um, dois, três.");

    // Two texts queue behind each other; a cancel ends both at once.
    const std::uint64_t longOne = client->Speak(LongText());
    const std::uint64_t queued = client->Speak("Quatro.");
    ASSERT_NE(longOne, 0u);
    ASSERT_NE(queued, 0u);
    EXPECT_TRUE(client->Busy());
    const auto cancelAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(client->Cancel());
    ASSERT_TRUE(client->WaitIdle(std::chrono::milliseconds(kGuardMs)));
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - cancelAt)
            .count();
    std::printf("cancel to the last cancel notification: %.1f ms\n", ms);
    EXPECT_TRUE(events.Has(SpeechdClient::Event::Cancel, longOne));
    EXPECT_FALSE(events.Has(SpeechdClient::Event::End, longOne));
    EXPECT_FALSE(events.Has(SpeechdClient::Event::End, queued));
    EXPECT_FALSE(client->Busy());
}

class RealSapi5 : public RealSpeechd, public testing::WithParamInterface<CLSID> {};

TEST_P(RealSapi5, VoiceListsPortugueseFirstSpeaksAtOnceSignalsTheEndAndPurges) {
    LinuxBackend backend(true);
    ISpeechVoice* voice = nullptr;
    ASSERT_EQ(backend.CoCreateInstance(GetParam(), nullptr, kContext, IID_ISpeechVoice,
                                       reinterpret_cast<void**>(&voice)),
              S_OK);
    EXPECT_EQ(voice->put_EventInterests(33790), S_OK);
    ISpeechObjectTokens* tokens = nullptr;
    ASSERT_EQ(voice->GetVoices(u"", u"", &tokens), S_OK);
    LONG count = 0;
    ASSERT_EQ(tokens->get_Count(&count), S_OK);
    ASSERT_GT(count, 1);
    ISpeechObjectToken* first = nullptr;
    ASSERT_EQ(tokens->Item(0, &first), S_OK);
    std::u16string name;
    ASSERT_EQ(first->GetDescription(0, &name), S_OK);
    EXPECT_EQ(WideToUtf8(name).rfind("Portuguese (Brazil)", 0), 0u) << WideToUtf8(name);
    ISpeechObjectToken* none = first;
    EXPECT_EQ(tokens->Item(count, &none), E_INVALIDARG);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(voice->putref_Voice(first), S_OK);
    EXPECT_EQ(voice->put_Rate(-5), S_OK);
    EXPECT_EQ(voice->put_Rate(11), E_INVALIDARG);
    EXPECT_EQ(voice->put_Rate(0), S_OK);
    HANDLE done = nullptr;
    ASSERT_EQ(voice->get_SpeakCompleteEvent(&done), S_OK);
    EXPECT_EQ(backend.WaitForSingleObject(done, 0), WAIT_OBJECT_0);

    log_->Mark();
    LONG stream = 0;
    ASSERT_EQ(voice->Speak(u"Olá, menino.", SVSFlagsAsync | SVSFIsNotXML, &stream), S_OK);
    EXPECT_EQ(stream, 1);
    ASSERT_EQ(backend.WaitForSingleObject(done, kGuardMs), WAIT_OBJECT_0);
    ExpectHeard("Olá, menino.");

    // Speak returns while minutes of speech lie ahead; the purge silences them.
    const std::u16string longText = Cp1252ToWide(LongText());
    ASSERT_EQ(voice->Speak(longText.c_str(), SVSFlagsAsync | SVSFIsNotXML, &stream), S_OK);
    EXPECT_EQ(backend.WaitForSingleObject(done, 20), WAIT_TIMEOUT);
    const auto purgeAt = std::chrono::steady_clock::now();
    ASSERT_EQ(voice->Speak(u" ", SVSFPurgeBeforeSpeak, nullptr), S_OK);
    ASSERT_EQ(backend.WaitForSingleObject(done, kGuardMs), WAIT_OBJECT_0);
    std::printf(
        "purge to the speak-complete event: %.1f ms\n",
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - purgeAt)
            .count());
    // A voice token of another kind is refused.
    EXPECT_EQ(voice->putref_Voice(nullptr), E_INVALIDARG);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(tokens->Release(), 0u);
    EXPECT_EQ(voice->Release(), 0u);
    EXPECT_EQ(backend.WaitForSingleObject(done, 0), WAIT_FAILED);  // gone with its voice
}

INSTANTIATE_TEST_SUITE_P(BothTypeLibraries, RealSapi5,
                         testing::Values(CLSID_SpVoice, CLSID_SpVoice54),
                         [](const testing::TestParamInfo<CLSID>& info) {
                             return info.param == CLSID_SpVoice ? "Sapi5" : "Sapi54";
                         });

// Records what the engine tells its sinks, in order.
class Sinks final : public ITTSNotifySinkA, public ITTSBufNotifySink {
  public:
    std::vector<std::string> heard;
    int Count(const std::string& what) const {
        int n = 0;
        for (const std::string& h : heard) n += h == what;
        return n;
    }
    HRESULT QueryInterface(const IID& iid, void** out) override {
        *out = nullptr;
        if (iid == IID_ITTSNotifySinkA) *out = static_cast<ITTSNotifySinkA*>(this);
        if (iid == IID_ITTSBufNotifySink) *out = static_cast<ITTSBufNotifySink*>(this);
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT AttribChanged(DWORD) override { return S_OK; }
    HRESULT AudioStart(QWORD) override { return Hear("audio start"); }
    HRESULT AudioStop(QWORD) override { return Hear("audio stop"); }
    HRESULT Visual(QWORD, char, char, DWORD, const TTSMouth*) override { return S_OK; }
    HRESULT TextDataDone(QWORD, DWORD) override { return Hear("done"); }
    HRESULT TextDataStarted(QWORD) override { return Hear("started"); }
    HRESULT BookMark(QWORD, DWORD) override { return S_OK; }
    HRESULT WordPosition(QWORD, DWORD) override { return S_OK; }
    ULONG refs = 1;

  private:
    HRESULT Hear(const char* what) {
        heard.push_back(what);
        return S_OK;
    }
};

class RealSapi4 : public RealSpeechd {
  protected:
    void SetUp() override {
        RealSpeechd::SetUp();
        if (IsSkipped()) return;
        backend_ = std::make_unique<LinuxBackend>(true);
        ASSERT_EQ(backend_->CoCreateInstance(CLSID_MMAudioDest, nullptr, kContext,
                                             IID_IAudioMultiMediaDevice,
                                             reinterpret_cast<void**>(&audio_)),
                  S_OK);
        ASSERT_EQ(backend_->CoCreateInstance(CLSID_TTSEnumerator, nullptr, kContext, IID_ITTSEnumA,
                                             reinterpret_cast<void**>(&modes_)),
                  S_OK);
    }
    void TearDown() override {
        if (engine_ != nullptr) {
            if (key_ != 0) {
                EXPECT_EQ(engine_->UnRegister(key_), S_OK);
            }
            EXPECT_EQ(engine_->Release(), 0u);
        }
        if (modes_ != nullptr) {
            EXPECT_EQ(modes_->Release(), 0u);
        }
        if (audio_ != nullptr) {
            EXPECT_EQ(audio_->Release(), 0u);
        }
        EXPECT_EQ(sinks_.refs, 1u);  // every reference the engine took is back
    }
    void SelectFirstMode() {
        TTSModeInfoA mode;
        ASSERT_EQ(modes_->Reset(), S_OK);
        ASSERT_EQ(modes_->Next(1, &mode, nullptr), S_OK);
        ASSERT_EQ(modes_->Select(mode.modeId, &engine_, audio_), S_OK);
        ASSERT_EQ(
            engine_->Register(static_cast<ITTSNotifySinkA*>(&sinks_), IID_ITTSNotifySinkA, &key_),
            S_OK);
    }
    HRESULT Say(const std::string& cp1252) {
        return engine_->TextData(kCharsetText, 0,
                                 {cp1252.c_str(), static_cast<DWORD>(cp1252.size() + 1)},
                                 static_cast<ITTSBufNotifySink*>(&sinks_), IID_ITTSBufNotifySink);
    }
    std::unique_ptr<LinuxBackend> backend_;
    IAudioMultiMediaDevice* audio_ = nullptr;
    ITTSEnumA* modes_ = nullptr;
    ITTSCentralA* engine_ = nullptr;
    DWORD key_ = 0;
    Sinks sinks_;
};

TEST_F(RealSapi4, ModesAreTheServersVoicesPortugueseFirst) {
    TTSModeInfoA modes[3];
    ULONG fetched = 0;
    ASSERT_EQ(modes_->Next(3, modes, &fetched), S_OK);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(modes[0].language.languageId, 0x0416);
    EXPECT_STREQ(modes[0].language.dialect, "pt-BR");
    EXPECT_STREQ(modes[0].modeName, "Portuguese (Brazil)");
    EXPECT_NE(modes[0].modeId, modes[1].modeId);
    EXPECT_NE(modes[1].modeId, modes[2].modeId);
    // Reset starts again; the third mode can be selected.
    TTSModeInfoA again;
    ASSERT_EQ(modes_->Reset(), S_OK);
    ASSERT_EQ(modes_->Next(1, &again, nullptr), S_OK);
    EXPECT_EQ(again.modeId, modes[0].modeId);
    ASSERT_EQ(modes_->Select(modes[2].modeId, &engine_, audio_), S_OK);
    // An identifier the enumerator never gave selects nothing.
    ITTSCentralA* other = engine_;
    EXPECT_EQ(modes_->Select(CLSID_SpVoice, &other, audio_), E_INVALIDARG);
    EXPECT_EQ(other, nullptr);
    // The enumerator counts up to its end and then says so.
    std::vector<TTSModeInfoA> some(1000);
    HRESULT hr = S_OK;
    ULONG total = 1;
    while (hr == S_OK) {
        hr = modes_->Next(static_cast<ULONG>(some.size()), some.data(), &fetched);
        total += fetched;
    }
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_GT(total, 3u);
    EXPECT_EQ(modes_->Next(1, some.data(), &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST_F(RealSapi4, TextIsNotifiedWhileTheThreadDispatchesInTheOrderOfSpeech) {
    SelectFirstMode();
    ITTSAttributesA* attributes = nullptr;
    ASSERT_EQ(engine_->QueryInterface(IID_ITTSAttributesA, reinterpret_cast<void**>(&attributes)),
              S_OK);
    EXPECT_EQ(attributes->SpeedSet(200), S_OK);
    EXPECT_EQ(attributes->PitchSet(120), S_OK);
    EXPECT_EQ(attributes->Release(), 1u);

    log_->Mark();
    ASSERT_EQ(Say("Ol\xE1, menino pipoco."), S_OK);
    EXPECT_TRUE(sinks_.heard.empty());  // only while the thread dispatches
    ASSERT_TRUE(PumpUntil(*backend_, [&] { return sinks_.Count("audio stop") == 1; }));
    EXPECT_EQ(sinks_.heard,
              (std::vector<std::string>{"started", "audio start", "done", "audio stop"}));
    ExpectHeard("Olá, menino pipoco.");
    // 200 words per minute and 120 Hz, with the first voice, reached the output module.
    if (log_->Exists()) {
        EXPECT_TRUE(log_->ShowsInOrder({"pitch=20", "rate=11", "language=pt-br",
                                        "synthesis_voice=Portuguese (Brazil)",
                                        "|<speak>Olá, menino pipoco."}));
    }

    // Blanks are started and done without the server; other character sets are refused.
    sinks_.heard.clear();
    ASSERT_EQ(Say("  "), S_OK);
    ASSERT_TRUE(PumpUntil(*backend_, [&] { return sinks_.Count("done") == 1; }));
    EXPECT_EQ(sinks_.heard, (std::vector<std::string>{"started", "done"}));
    EXPECT_EQ(engine_->TextData(1, 0, {"x", 2}, nullptr, IID_ITTSBufNotifySink), E_INVALIDARG);
}

TEST_F(RealSapi4, AudioResetSilencesAtOnceAndFinishesEveryText) {
    SelectFirstMode();
    ASSERT_EQ(Say(LongText()), S_OK);
    ASSERT_EQ(Say("Depois."), S_OK);
    ASSERT_TRUE(PumpUntil(*backend_, [&] { return sinks_.Count("audio start") == 1; }));
    EXPECT_EQ(sinks_.heard, (std::vector<std::string>{"started", "started", "audio start"}));
    ASSERT_EQ(engine_->AudioReset(), S_OK);
    ASSERT_TRUE(PumpUntil(*backend_, [&] { return sinks_.Count("audio stop") == 1; }));
    EXPECT_EQ(sinks_.heard, (std::vector<std::string>{"started", "started", "audio start", "done",
                                                      "done", "audio stop"}));
    // The late cancel notifications of those texts change nothing; a new text speaks.
    sinks_.heard.clear();
    ASSERT_EQ(Say("Tr\xEAs."), S_OK);
    ASSERT_TRUE(PumpUntil(*backend_, [&] { return sinks_.Count("audio stop") == 1; }));
    EXPECT_EQ(sinks_.heard,
              (std::vector<std::string>{"started", "audio start", "done", "audio stop"}));
}

TEST_F(RealSapi4, ReleasingTheEngineWhileItSpeaksReturnsTheSinks) {
    SelectFirstMode();
    ASSERT_EQ(Say(LongText()), S_OK);
    ASSERT_TRUE(PumpUntil(*backend_, [&] { return sinks_.Count("audio start") == 1; }));
    EXPECT_EQ(engine_->UnRegister(key_), S_OK);
    EXPECT_EQ(engine_->UnRegister(key_), E_INVALIDARG);
    key_ = 0;
    EXPECT_EQ(engine_->Release(), 0u);
    engine_ = nullptr;
    // The notifications still queued for it go nowhere.
    MSG msg;
    while (backend_->PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) backend_->DispatchMessageA(&msg);
    EXPECT_EQ(sinks_.heard, (std::vector<std::string>{"started", "audio start"}));
}

// The server dies with texts outstanding: nothing waits for it any more.
TEST(DyingSpeechd, ItsClientsAndEnginesStopWaitingWhenItHangsUp) {
    sonara_test::ThrowawaySpeechd server;
    if (server.address().empty())
        GTEST_SKIP() << "speech-dispatcher with espeak-ng could not start";
    ScopedSpeechdAddress scoped(server.address());
    LinuxBackend backend(true);
    std::unique_ptr<SpeechdClient> client = SpeechdClient::Connect("test");
    ASSERT_NE(client, nullptr);
    Events events;
    client->SetListener([&](SpeechdClient::Event e, std::uint64_t message) {
        std::lock_guard<std::mutex> lock(events.mutex);
        events.list.emplace_back(e, message);
    });
    ITTSEnumA* modes = nullptr;
    ASSERT_EQ(backend.CoCreateInstance(CLSID_TTSEnumerator, nullptr, kContext, IID_ITTSEnumA,
                                       reinterpret_cast<void**>(&modes)),
              S_OK);
    TTSModeInfoA mode;
    ASSERT_EQ(modes->Next(1, &mode, nullptr), S_OK);
    ITTSCentralA* engine = nullptr;
    ASSERT_EQ(modes->Select(mode.modeId, &engine, nullptr), S_OK);
    Sinks sinks;
    DWORD key = 0;
    ASSERT_EQ(engine->Register(static_cast<ITTSNotifySinkA*>(&sinks), IID_ITTSNotifySinkA, &key),
              S_OK);
    const std::string text = LongText();
    ASSERT_EQ(engine->TextData(kCharsetText, 0, {text.c_str(), static_cast<DWORD>(text.size() + 1)},
                               static_cast<ITTSBufNotifySink*>(&sinks), IID_ITTSBufNotifySink),
              S_OK);
    ASSERT_NE(client->Speak(text), 0u);
    ASSERT_TRUE(PumpUntil(backend, [&] { return sinks.Count("audio start") == 1; }));
    EXPECT_TRUE(client->Busy());

    server.Kill();
    EXPECT_TRUE(client->WaitIdle(std::chrono::milliseconds(kGuardMs)));
    EXPECT_TRUE(events.Has(SpeechdClient::Event::Gone, 0));
    EXPECT_FALSE(client->Busy());
    EXPECT_EQ(client->Speak("Ainda?"), 0u);
    ASSERT_TRUE(PumpUntil(backend, [&] { return sinks.Count("audio stop") == 1; }));
    EXPECT_EQ(sinks.heard,
              (std::vector<std::string>{"started", "audio start", "done", "audio stop"}));
    EXPECT_EQ(engine->UnRegister(key), S_OK);
    EXPECT_EQ(engine->Release(), 0u);
    EXPECT_EQ(modes->Release(), 0u);
    EXPECT_EQ(sinks.refs, 1u);
}

}  // namespace
