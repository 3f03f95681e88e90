// tfSapi5: the SAPI 5 voice back end, shared by server types 5 and 54.
#include "speech/tfSapi5.h"

#include "console/TfCrt.h"
#include "platform/api.h"

namespace sonara {

namespace {

constexpr std::uint16_t kAfterPurgeMs = 50;
constexpr std::uint16_t kEndPollMs = 300;

}  // namespace

SapiVoiceServer::SapiVoiceServer(int type, VoiceMaker makeVoice, FileStreamMaker makeFileStream)
    : type_(type), make_voice_(std::move(makeVoice)), make_file_stream_(std::move(makeFileStream)) {
    if (Tfsapglb* dispatch = Tfsapglb::Current()) dispatch->SetBackendFor(type_, this);
}

SapiVoiceServer::~SapiVoiceServer() {
    FreeComponents();
    Tfsapglb* dispatch = Tfsapglb::Current();
    if (dispatch != nullptr && &dispatch->BackendFor(type_) == this)
        dispatch->SetBackendFor(type_, nullptr);
}

void SapiVoiceServer::FreeComponents() {
    file_stream_.reset();
    voice_.reset();
    speak_complete_ = nullptr;
}

bool SapiVoiceServer::Start(int voice, int speed, int /*pitch*/, std::string_view outputFile) {
    FreeComponents();  // a second start begins afresh
    voice_count_ = 0;
    voice_ = make_voice_();
    if (voice_ == nullptr) return false;
    if (win::FAILED(voice_->SetEventInterests(kAllVoiceEvents))) return false;

    win::ISpeechObjectTokens* voices = nullptr;
    win::LONG n = 0;
    if (win::FAILED(voice_->GetVoices(u"", u"", &voices)) || voices == nullptr) return false;
    if (win::FAILED(voices->get_Count(&n))) n = 0;
    voice_count_ = n;
    // No voice: the voice component stays until the program ends (or the next start).
    if (n <= 0) {
        voices->Release();
        return false;
    }
    if (voice < 1 || voice > n) {
        voice = 1;
        speed = 0;
    }
    win::ISpeechObjectToken* token = nullptr;
    win::HRESULT hr = voices->Item(voice - 1, &token);
    voices->Release();
    if (win::FAILED(hr) || token == nullptr) return false;
    hr = voice_->SetVoice(token);
    token->Release();
    if (win::FAILED(hr)) return false;

    voice_->SetRate(speed);  // an unsupported rate is ignored
    if (win::FAILED(voice_->SpeakCompleteEvent(&speak_complete_))) speak_complete_ = nullptr;

    if (!outputFile.empty()) {
        file_stream_ = make_file_stream_();
        if (file_stream_ == nullptr ||
            win::FAILED(
                file_stream_->Open(win::Cp1252ToWide(outputFile), win::SSFMCreateForWrite, true)) ||
            win::FAILED(voice_->SetAudioOutputStream(*file_stream_))) {
            file_stream_.reset();
            return false;
        }
    }
    voice_number_ = voice;
    return true;
}

void SapiVoiceServer::Speak(std::string_view text) {
    if (voice_ == nullptr) return;
    std::u16string wide = win::Cp1252ToWide(text.empty() ? std::string_view(" ") : text);
    if (win::FAILED(voice_->Speak(wide, kSpeakFlags))) win::MessageBeep(0);
}

bool SapiVoiceServer::Busy(bool /*onlyQueued*/) {
    if (voice_ == nullptr || speak_complete_ == nullptr) return false;
    if (win::WaitForSingleObject(speak_complete_, kBusyWaitMs) != win::WAIT_TIMEOUT) return false;
    win::PostMessageA(ConsoleWindow(), kBusyWakeUp, 0, 0);
    return true;
}

void SapiVoiceServer::Stop() {
    if (voice_ != nullptr) voice_->Speak(u" ", win::SVSFPurgeBeforeSpeak);  // errors swallowed
    Delay(kAfterPurgeMs);
}

void SapiVoiceServer::End() {
    while (Busy(false)) Delay(kEndPollMs);
    if (file_stream_ != nullptr) file_stream_->Close();
    FreeComponents();
}

std::vector<std::string> SapiVoiceServer::VoiceNames() {
    std::vector<std::string> names;
    std::unique_ptr<SpVoiceComponent> voice = make_voice_();
    win::ISpeechObjectTokens* voices = nullptr;
    if (voice == nullptr || win::FAILED(voice->GetVoices(u"", u"", &voices)) || voices == nullptr)
        return names;
    win::LONG n = 0;
    if (win::FAILED(voices->get_Count(&n))) n = 0;
    for (win::LONG i = 0; i < n; ++i) {
        win::ISpeechObjectToken* token = nullptr;
        std::u16string description;
        if (win::SUCCEEDED(voices->Item(i, &token)) && token != nullptr) {
            token->GetDescription(0, &description);
            token->Release();
        }
        names.push_back(win::WideToUtf8(description));
    }
    voices->Release();
    return names;
}

TfSapi5::TfSapi5()
    : SapiVoiceServer(
          Tfsapglb::kSapi5, [] { return std::make_unique<SpeechLib_TLB::TSpVoice>(); },
          [] { return std::make_unique<SpeechLib_TLB::TSpFileStream>(); }) {}

}  // namespace sonara
