// The SAPI 5 voice over speech-dispatcher: its voices list is the server's voices,
// Portuguese first; Rate -10..10 is the server's rate times 10; Speak is asynchronous
// (or waits, without SVSFlagsAsync), always as plain text; the speak-complete event is
// signalled while no message of the voice is outstanding at the server.
#include <chrono>
#include <vector>

#include "platform/cp1252.h"
#include "platform/linux/LinuxSpeechObjects.h"

namespace win {

namespace {

using Voices = std::shared_ptr<const std::vector<SpeechdVoice>>;

class VoiceToken final : public ComObject<ISpeechObjectToken> {
  public:
    explicit VoiceToken(SpeechdVoice voice) : voice_(std::move(voice)) {}
    const SpeechdVoice& voice() const { return voice_; }

    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) return Offer(this, out);
        return E_NOINTERFACE;
    }
    HRESULT GetDescription(LONG /*locale*/, std::u16string* description) override {
        if (description == nullptr) return E_POINTER;
        // The server's names are UTF-8; through Windows-1252 they keep their accents.
        *description = Cp1252ToWide(Utf8ToCp1252(voice_.name));
        return S_OK;
    }

  private:
    SpeechdVoice voice_;
};

class VoiceTokens final : public ComObject<ISpeechObjectTokens> {
  public:
    explicit VoiceTokens(Voices voices) : voices_(std::move(voices)) {}

    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) return Offer(this, out);
        return E_NOINTERFACE;
    }
    HRESULT get_Count(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        *count = static_cast<LONG>(voices_->size());
        return S_OK;
    }
    HRESULT Item(LONG index, ISpeechObjectToken** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= voices_->size()) return E_INVALIDARG;
        *out = new VoiceToken((*voices_)[static_cast<std::size_t>(index)]);
        return S_OK;
    }

  private:
    Voices voices_;
};

class Sapi5Voice final : public ComObject<ISpeechVoice> {
  public:
    Sapi5Voice(std::shared_ptr<SpeechHub> hub, std::shared_ptr<SpeechdClient> client)
        : hub_(std::move(hub)), client_(std::move(client)) {
        hub_->AddEvent(EventHandle(), client_);
    }
    ~Sapi5Voice() override { hub_->RemoveEvent(EventHandle()); }

    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_ISpeechVoice) return Offer(this, out);
        return E_NOINTERFACE;
    }
    // The server always reports begin, end and cancel; nobody receives other events.
    HRESULT put_EventInterests(LONG) override { return S_OK; }
    HRESULT GetVoices(LPCWSTR /*required*/, LPCWSTR /*optional*/,
                      ISpeechObjectTokens** out) override {
        if (out == nullptr) return E_POINTER;
        if (!voices_)
            voices_ = std::make_shared<const std::vector<SpeechdVoice>>(client_->Voices());
        *out = new VoiceTokens(voices_);
        return S_OK;
    }
    HRESULT putref_Voice(ISpeechObjectToken* voice) override {
        auto* token = dynamic_cast<VoiceToken*>(voice);
        if (token == nullptr) return E_INVALIDARG;
        return client_->SelectVoice(token->voice()) ? S_OK : E_FAIL;
    }
    HRESULT put_Rate(LONG rate) override {
        if (rate < -10 || rate > 10) return E_INVALIDARG;
        return client_->SetRate(SpeechdRateFromSapi5(rate)) ? S_OK : E_FAIL;
    }
    HRESULT Speak(LPCWSTR text, LONG flags, LONG* streamNumber) override {
        if (flags & SVSFPurgeBeforeSpeak) client_->Cancel();
        const std::u16string_view wide = text != nullptr ? std::u16string_view(text) : u"";
        const std::string utf8 = WideToUtf8(wide);
        const bool blank = utf8.find_first_not_of(" \t\r\n") == std::string::npos;
        if (!blank && client_->Speak(utf8) == 0) return E_FAIL;
        if (streamNumber != nullptr) *streamNumber = ++streams_;
        if (!(flags & SVSFlagsAsync)) {
            while (!client_->WaitIdle(std::chrono::hours(1))) {
            }
        }
        return S_OK;
    }
    HRESULT get_SpeakCompleteEvent(HANDLE* event) override {
        if (event == nullptr) return E_POINTER;
        *event = EventHandle();
        return S_OK;
    }
    HRESULT putref_AudioOutputStream(ISpeechBaseStream*) override { return E_NOTIMPL; }

  private:
    HANDLE EventHandle() { return static_cast<HANDLE>(client_.get()); }

    std::shared_ptr<SpeechHub> hub_;
    std::shared_ptr<SpeechdClient> client_;
    Voices voices_;
    LONG streams_ = 0;
};

}  // namespace

HRESULT CreateSapi5Voice(std::shared_ptr<SpeechHub> hub, const IID& iid, void** out) {
    std::shared_ptr<SpeechdClient> client = SpeechdClient::Connect(kSpeechdClientName);
    if (!client) return E_FAIL;
    auto* voice = new Sapi5Voice(std::move(hub), std::move(client));
    const HRESULT hr = voice->QueryInterface(iid, out);
    voice->Release();
    return hr;
}

}  // namespace win
