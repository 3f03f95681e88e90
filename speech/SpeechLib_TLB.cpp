// The wrapper components of the SAPI 5 automation objects.
#include "speech/SpeechLib_TLB.h"

#include <string>

namespace sonara {

namespace {

constexpr win::DWORD kServerContext = win::CLSCTX_INPROC_SERVER | win::CLSCTX_LOCAL_SERVER;

// Creates the object of a component once; a failed creation is remembered and answered.
template <class I>
I* Made(I*& object, win::HRESULT& failure, const win::CLSID& clsid, const win::IID& iid) {
    if (object != nullptr || win::FAILED(failure)) return object;
    void* p = nullptr;
    win::HRESULT hr = win::CoCreateInstance(clsid, nullptr, kServerContext, iid, &p);
    if (win::FAILED(hr) || p == nullptr) {
        failure = win::FAILED(hr) ? hr : win::E_NOINTERFACE;
        return nullptr;
    }
    object = static_cast<I*>(p);
    return object;
}

std::u16string Terminated(std::u16string_view text) {
    return std::u16string(text);
}

}  // namespace

SpVoiceComponent::~SpVoiceComponent() {
    if (voice_ != nullptr) voice_->Release();
}

win::ISpeechVoice* SpVoiceComponent::DefaultInterface() {
    return Made(voice_, failure_, class_, win::IID_ISpeechVoice);
}

win::HRESULT SpVoiceComponent::SetEventInterests(win::LONG interests) {
    win::ISpeechVoice* v = DefaultInterface();
    return v != nullptr ? v->put_EventInterests(interests) : failure_;
}

win::HRESULT SpVoiceComponent::GetVoices(std::u16string_view required, std::u16string_view optional,
                                         win::ISpeechObjectTokens** out) {
    win::ISpeechVoice* v = DefaultInterface();
    if (v == nullptr) return failure_;
    return v->GetVoices(Terminated(required).c_str(), Terminated(optional).c_str(), out);
}

win::HRESULT SpVoiceComponent::SetVoice(win::ISpeechObjectToken* voice) {
    win::ISpeechVoice* v = DefaultInterface();
    return v != nullptr ? v->putref_Voice(voice) : failure_;
}

win::HRESULT SpVoiceComponent::SetRate(win::LONG rate) {
    win::ISpeechVoice* v = DefaultInterface();
    return v != nullptr ? v->put_Rate(rate) : failure_;
}

win::HRESULT SpVoiceComponent::Speak(std::u16string_view text, win::LONG flags) {
    win::ISpeechVoice* v = DefaultInterface();
    if (v == nullptr) return failure_;
    win::LONG stream = 0;
    return v->Speak(Terminated(text).c_str(), flags, &stream);
}

win::HRESULT SpVoiceComponent::SpeakCompleteEvent(win::HANDLE* event) {
    win::ISpeechVoice* v = DefaultInterface();
    return v != nullptr ? v->get_SpeakCompleteEvent(event) : failure_;
}

win::HRESULT SpVoiceComponent::SetAudioOutputStream(SpFileStreamComponent& stream) {
    win::ISpeechVoice* v = DefaultInterface();
    if (v == nullptr) return failure_;
    win::ISpeechFileStream* s = stream.DefaultInterface();
    if (s == nullptr) return win::E_POINTER;
    return v->putref_AudioOutputStream(s);
}

SpFileStreamComponent::~SpFileStreamComponent() {
    if (stream_ != nullptr) stream_->Release();
}

win::ISpeechFileStream* SpFileStreamComponent::DefaultInterface() {
    return Made(stream_, failure_, class_, win::IID_ISpeechFileStream);
}

win::HRESULT SpFileStreamComponent::Open(std::u16string_view fileName, win::LONG mode,
                                         bool doEvents) {
    win::ISpeechFileStream* s = DefaultInterface();
    return s != nullptr ? s->Open(Terminated(fileName).c_str(), mode, doEvents) : failure_;
}

win::HRESULT SpFileStreamComponent::Close() {
    win::ISpeechFileStream* s = DefaultInterface();
    return s != nullptr ? s->Close() : failure_;
}

}  // namespace sonara
