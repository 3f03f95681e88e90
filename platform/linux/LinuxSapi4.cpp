// The SAPI 4 objects over speech-dispatcher.
//
// The enumerator's modes are the server's voices, Portuguese first (mode n is voice n);
// Select gives an engine speaking with that voice. TextData sends Windows-1252 text as
// UTF-8 and returns at once. The sinks hear, while the program's thread dispatches:
// TextDataStarted for every text at the first dispatch after TextData; AudioStart then too,
// as soon as the server holds a text of ours (its sound follows within milliseconds, and
// the back end's stop resets only while audio is on); TextDataDone when the server ended
// or cancelled the text (in the order the texts were given); AudioStop when no text is left.
// AudioReset cancels at the server and finishes every text at the next dispatch; late
// notifications of those texts are ignored. When the server hangs up, every text is done.
//
// Units of ITTSAttributesA (see SpeechdClient.h): speed in words per minute, pitch in hertz.
// The wave-out device number of the audio destination is accepted and not used: the
// server speaks on its own audio output.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/cp1252.h"
#include "platform/linux/LinuxSpeechObjects.h"

namespace win {

namespace {

QWORD Now() {
    return static_cast<QWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count());
}

// Mode identifiers: data1 is the voice's number (from 1).
constexpr GUID kModeBase{0, 0x5350, 0x4444, {0x53, 0x6F, 0x6E, 0x61, 0x72, 0x61, 0x34, 0x00}};
constexpr GUID kEngineId{
    0x53504444, 0x5350, 0x4444, {0x53, 0x6F, 0x6E, 0x61, 0x72, 0x61, 0x34, 0x01}};

GUID ModeId(std::size_t number) {
    GUID id = kModeBase;
    id.data1 = static_cast<std::uint32_t>(number);
    return id;
}

// 0 when the identifier is not one of ours.
std::size_t ModeNumber(const GUID& id) {
    GUID base = id;
    base.data1 = 0;
    return base == kModeBase ? id.data1 : 0;
}

WORD LanguageId(const std::string& language) {
    std::string l;
    for (char c : language) l += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (l.rfind("pt-br", 0) == 0) return 0x0416;
    if (l == "pt" || l.rfind("pt-", 0) == 0) return 0x0816;
    if (l.rfind("es", 0) == 0) return 0x0C0A;
    if (l.rfind("en-gb", 0) == 0) return 0x0809;
    if (l.rfind("en", 0) == 0) return 0x0409;
    return 0;
}

void CopyName(char* field, std::size_t size, const std::string& utf8) {
    const std::string text = Utf8ToCp1252(utf8);
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

TTSModeInfoA ModeRecord(const SpeechdVoice& voice, std::size_t number) {
    TTSModeInfoA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.engineId = kEngineId;
    CopyName(mode.makerName, sizeof mode.makerName, "speech-dispatcher");
    CopyName(mode.productName, sizeof mode.productName, "speech-dispatcher");
    mode.modeId = ModeId(number);
    CopyName(mode.modeName, sizeof mode.modeName, voice.name);
    mode.language.languageId = LanguageId(voice.language);
    CopyName(mode.language.dialect, sizeof mode.language.dialect, voice.language);
    CopyName(mode.speaker, sizeof mode.speaker, voice.variant);
    return mode;
}

class AudioDestination final : public ComObject<IAudioMultiMediaDevice> {
  public:
    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IAudioMultiMediaDevice) return Offer(this, out);
        return E_NOINTERFACE;
    }
    HRESULT DeviceNumSet(DWORD device) override {
        device_ = device;
        return S_OK;
    }

  private:
    DWORD device_ = 0;
};

class Engine final : public ComObject<ITTSCentralA, ITTSAttributesA>, public SpeechEventTarget {
  public:
    Engine(std::shared_ptr<SpeechHub> hub, std::shared_ptr<SpeechdClient> client)
        : hub_(std::move(hub)), client_(std::move(client)) {
        id_ = hub_->AddTarget(this);
        // The begin of a text changes nothing here: audio is on since the text was sent.
        client_->SetListener(
            [hub = hub_, id = id_](SpeechdClient::Event event, std::uint64_t message) {
                if (event == SpeechdClient::Event::Begin) return;
                SpeechEventKind kind = kEventGone;
                if (event == SpeechdClient::Event::End) kind = kEventEnd;
                if (event == SpeechdClient::Event::Cancel) kind = kEventCancel;
                hub->Post(id, SpeechEvent(kind, message));
            });
    }
    ~Engine() override {
        hub_->RemoveTarget(id_);
        client_->SetListener(nullptr);
        client_.reset();  // closes the connection: no notification comes after this
        for (Text& t : texts_)
            if (t.sink) t.sink->Release();
        for (auto& [key, sink] : sinks_) sink->Release();
    }

    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) return Offer(static_cast<ITTSCentralA*>(this), out);
        if (iid == IID_ITTSAttributesA) return Offer(static_cast<ITTSAttributesA*>(this), out);
        return E_NOINTERFACE;
    }

    // ITTSCentralA
    HRESULT TextData(DWORD charset, DWORD /*flags*/, SData text, IUnknown* sink,
                     const IID& iidSink) override {
        if (charset != kCharsetText) return E_INVALIDARG;
        if (text.data == nullptr && text.size != 0) return E_POINTER;
        const char* bytes = static_cast<const char*>(text.data);
        std::string_view cp1252(bytes != nullptr ? bytes : "", text.size);
        cp1252 = cp1252.substr(0, cp1252.find('\0'));
        const std::string utf8 = Cp1252ToUtf8(cp1252);
        const bool blank = utf8.find_first_not_of(" \t\r\n") == std::string::npos;
        std::uint64_t message = 0;
        if (!blank && (message = client_->Speak(utf8)) == 0) return E_FAIL;
        ITTSBufNotifySink* buffer = nullptr;
        if (sink != nullptr &&
            FAILED(sink->QueryInterface(iidSink, reinterpret_cast<void**>(&buffer))))
            buffer = nullptr;
        // A text of blanks has nothing to say: it is done as soon as it started.
        texts_.push_back({message, buffer, false, blank});
        hub_->Post(id_, SpeechEvent(kEventKick, 0));
        return S_OK;
    }
    HRESULT AudioReset() override {
        const bool cancelled = client_->Cancel();
        for (Text& t : texts_) t.done = true;
        hub_->Post(id_, SpeechEvent(kEventKick, 0));
        return cancelled ? S_OK : E_FAIL;
    }
    HRESULT Register(IUnknown* sink, const IID& iidSink, DWORD* key) override {
        if (sink == nullptr || key == nullptr) return E_POINTER;
        ITTSNotifySinkA* notify = nullptr;
        const HRESULT hr = sink->QueryInterface(iidSink, reinterpret_cast<void**>(&notify));
        if (FAILED(hr) || notify == nullptr) return FAILED(hr) ? hr : E_NOINTERFACE;
        *key = nextKey_++;
        sinks_[*key] = notify;
        return S_OK;
    }
    HRESULT UnRegister(DWORD key) override {
        auto it = sinks_.find(key);
        if (it == sinks_.end()) return E_INVALIDARG;
        it->second->Release();
        sinks_.erase(it);
        return S_OK;
    }

    // ITTSAttributesA
    HRESULT PitchSet(WORD pitch) override {
        return client_->SetPitch(SpeechdPitchFromSapi4(pitch)) ? S_OK : E_FAIL;
    }
    HRESULT SpeedSet(DWORD speed) override {
        return client_->SetRate(SpeechdRateFromSapi4Speed(speed)) ? S_OK : E_FAIL;
    }

    // The notifications, on the program's thread.
    void OnSpeechEvent(LPARAM event) override {
        AddRef();  // a sink may release the last reference
        const SpeechEventKind kind = SpeechEventKindOf(event);
        const std::uint64_t message = SpeechEventMessage(event);
        for (Text& t : texts_) {
            if (t.started) continue;
            t.started = true;
            if (t.sink) t.sink->TextDataStarted(Now());
        }
        if (kind == kEventEnd || kind == kEventCancel || kind == kEventGone) {
            for (Text& t : texts_)
                if (t.message == message || kind == kEventGone) t.done = true;
        }
        // Audio is on from the moment the server holds one of our texts: its sound follows
        // within milliseconds, and a stop must silence it even before its first sample.
        const bool speaking = std::any_of(texts_.begin(), texts_.end(),
                                          [](const Text& t) { return t.message != 0 && !t.done; });
        if (speaking && !audioOn_) {
            audioOn_ = true;
            for (auto& [key, sink] : Sinks()) sink->AudioStart(Now());
        }
        // Done in the order given: a text ended early waits for those before it.
        while (!texts_.empty() && texts_.front().done) {
            Text t = texts_.front();
            texts_.pop_front();
            if (t.sink) {
                t.sink->TextDataDone(Now(), 0);
                t.sink->Release();
            }
        }
        if (texts_.empty() && audioOn_) {
            audioOn_ = false;
            for (auto& [key, sink] : Sinks()) sink->AudioStop(Now());
        }
        Release();
    }

  private:
    struct Text {
        std::uint64_t message;  // 0: never sent
        ITTSBufNotifySink* sink;
        bool started;
        bool done;
    };

    // A copy: a sink may unregister while it is called.
    std::vector<std::pair<DWORD, ITTSNotifySinkA*>> Sinks() {
        return {sinks_.begin(), sinks_.end()};
    }

    std::shared_ptr<SpeechHub> hub_;
    std::shared_ptr<SpeechdClient> client_;
    std::uint32_t id_ = 0;
    std::deque<Text> texts_;
    std::map<DWORD, ITTSNotifySinkA*> sinks_;
    DWORD nextKey_ = 1;
    bool audioOn_ = false;
};

class Enumerator final : public ComObject<ITTSEnumA> {
  public:
    Enumerator(std::shared_ptr<SpeechHub> hub, std::shared_ptr<SpeechdClient> client,
               std::vector<SpeechdVoice> voices)
        : hub_(std::move(hub)), client_(std::move(client)), voices_(std::move(voices)) {}

    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_ITTSEnumA) return Offer(this, out);
        return E_NOINTERFACE;
    }
    HRESULT Next(ULONG count, TTSModeInfoA* modes, ULONG* fetched) override {
        if (modes == nullptr && count > 0) return E_POINTER;
        ULONG n = 0;
        for (; n < count && next_ < voices_.size(); ++n, ++next_)
            modes[n] = ModeRecord(voices_[next_], next_ + 1);
        if (fetched != nullptr) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT Select(const GUID& modeId, ITTSCentralA** central, IUnknown* /*audio*/) override {
        if (central == nullptr) return E_POINTER;
        *central = nullptr;
        const std::size_t number = ModeNumber(modeId);
        if (number == 0 || number > voices_.size()) return E_INVALIDARG;
        // Each engine has a connection of its own: the first takes the enumerator's.
        std::shared_ptr<SpeechdClient> client = std::move(client_);
        if (!client) client = SpeechdClient::Connect(kSpeechdClientName);
        if (!client) return E_FAIL;
        if (!client->SelectVoice(voices_[number - 1])) return E_FAIL;
        *central = new Engine(hub_, std::move(client));
        return S_OK;
    }

  private:
    std::shared_ptr<SpeechHub> hub_;
    std::shared_ptr<SpeechdClient> client_;
    std::vector<SpeechdVoice> voices_;
    std::size_t next_ = 0;
};

}  // namespace

HRESULT CreateSapi4AudioDestination(const IID& iid, void** out) {
    auto* destination = new AudioDestination();
    const HRESULT hr = destination->QueryInterface(iid, out);
    destination->Release();
    return hr;
}

HRESULT CreateSapi4Enumerator(std::shared_ptr<SpeechHub> hub, const IID& iid, void** out) {
    std::shared_ptr<SpeechdClient> client = SpeechdClient::Connect(kSpeechdClientName);
    if (!client) return E_FAIL;
    std::vector<SpeechdVoice> voices = client->Voices();
    if (voices.empty()) return E_FAIL;
    auto* enumerator = new Enumerator(std::move(hub), std::move(client), std::move(voices));
    const HRESULT hr = enumerator->QueryInterface(iid, out);
    enumerator->Release();
    return hr;
}

}  // namespace win
