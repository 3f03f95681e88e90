// tfsapi4: the SAPI 4 voice back end.
#include "speech/tfsapi4.h"

#include <algorithm>
#include <cstring>

#include "console/TfCrt.h"
#include "diphone/tfwav.h"
#include "platform/cp1252.h"

namespace sonara {

namespace {

constexpr win::DWORD kFileNew = 1;
constexpr std::uint16_t kQueuedDelayMs = 20;
constexpr std::uint16_t kBeforeResetMs = 50;
constexpr std::uint16_t kAfterResetMs = 150;

// Restores the current directory when it goes out of scope: engines may change it.
class CurrentDirectoryKeeper {
  public:
    CurrentDirectoryKeeper() {
        char dir[win::MAX_PATH + 1] = {};
        win::DWORD n = win::GetCurrentDirectoryA(sizeof dir, dir);
        if (n > 0 && n < sizeof dir) dir_.assign(dir, n);
    }
    ~CurrentDirectoryKeeper() {
        if (!dir_.empty()) win::SetCurrentDirectoryA(dir_.c_str());
    }
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
    CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

  private:
    std::string dir_;
};

template <class I>
void ReleaseAndClear(I*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

template <class I>
win::HRESULT Create(const win::CLSID& clsid, const win::IID& iid, I** out) {
    void* p = nullptr;
    win::HRESULT hr = win::CoCreateInstance(clsid, nullptr, Tfsapi4::kContext, iid, &p);
    *out = win::SUCCEEDED(hr) ? static_cast<I*>(p) : nullptr;
    return *out != nullptr ? hr : (win::FAILED(hr) ? hr : win::E_NOINTERFACE);
}

bool BlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

// ---- Sinks ----

win::HRESULT TTSNotifySink::AttribChanged(win::DWORD) {
    return win::S_OK;
}
win::HRESULT TTSNotifySink::AudioStart(win::QWORD) {
    if (owner_ != nullptr) owner_->audio_on_ = true;
    return win::S_OK;
}
win::HRESULT TTSNotifySink::AudioStop(win::QWORD) {
    if (owner_ != nullptr) owner_->audio_on_ = false;
    return win::S_OK;
}
win::HRESULT TTSNotifySink::Visual(win::QWORD, char, char, win::DWORD, const win::TTSMouth*) {
    return win::S_OK;
}

win::HRESULT TTSBufNotifySink::TextDataDone(win::QWORD, win::DWORD) {
    if (owner_ != nullptr && owner_->queued_texts_ > 0) --owner_->queued_texts_;
    return win::S_OK;
}
win::HRESULT TTSBufNotifySink::TextDataStarted(win::QWORD) {
    if (owner_ != nullptr) ++owner_->queued_texts_;
    return win::S_OK;
}
win::HRESULT TTSBufNotifySink::BookMark(win::QWORD, win::DWORD) {
    return win::S_OK;
}
win::HRESULT TTSBufNotifySink::WordPosition(win::QWORD, win::DWORD byteOffset) {
    if (owner_ != nullptr) owner_->word_position_ = byteOffset;
    return win::S_OK;
}

// ---- The back end ----

Tfsapi4::Tfsapi4() : text_buffer_(kTextBufferSize, '\0') {
    if (Tfsapglb* dispatch = Tfsapglb::Current()) dispatch->SetBackendFor(Tfsapglb::kSapi4, this);
}

Tfsapi4::~Tfsapi4() {
    ReleaseAll();
    Tfsapglb* dispatch = Tfsapglb::Current();
    if (dispatch != nullptr && &dispatch->BackendFor(Tfsapglb::kSapi4) == this)
        dispatch->SetBackendFor(Tfsapglb::kSapi4, nullptr);
}

bool Tfsapi4::Start(int voice, int speed, int pitch, std::string_view outputFile) {
    ReleaseAll();  // a second start begins afresh
    output_file_ = outputFile;
    output_to_file_ = !output_file_.empty();
    if (voice < 1) voice = 1;
    CurrentDirectoryKeeper keepDirectory;

    auto fail = [this] {
        ReleaseAll();
        return false;
    };

    if (output_to_file_) {
        if (win::FAILED(Create(win::CLSID_AudioDestFile, win::IID_IAudioFile, &audio_file_)))
            return fail();
        std::u16string name = win::Cp1252ToWide(output_file_);
        if (audio_file_->Set(name.c_str(), kFileNew) != win::S_OK) return fail();
    } else {
        if (win::FAILED(
                Create(win::CLSID_MMAudioDest, win::IID_IAudioMultiMediaDevice, &audio_device_)))
            return fail();
        const int device = WaveDeviceId();
        if (device != -1) audio_device_->DeviceNumSet(static_cast<win::DWORD>(device));
    }
    win::IUnknown* audio = audio_file_ != nullptr ? static_cast<win::IUnknown*>(audio_file_)
                                                  : static_cast<win::IUnknown*>(audio_device_);

    if (win::FAILED(Create(win::CLSID_TTSEnumerator, win::IID_ITTSEnumA, &enumerator_)))
        return fail();
    enumerator_->AddRef();
    enumerator_->Reset();

    // The voice-th mode is the last one fetched; past the last mode the record keeps it.
    std::memset(&mode_, 0, sizeof mode_);
    for (int i = 0; i < voice; ++i) {
        win::ULONG fetched = 0;
        win::HRESULT hr = enumerator_->Next(1, &mode_, &fetched);
        if (win::FAILED(hr) || (i == 0 && fetched == 0)) return fail();
        if (fetched == 0) break;
    }
    if (win::FAILED(enumerator_->Select(mode_.modeId, &engine_, audio)) || engine_ == nullptr)
        return fail();

    engine_sink_ = new TTSNotifySink(this);
    buffer_sink_ = new TTSBufNotifySink(this);
    if (win::FAILED(engine_->Register(static_cast<win::ITTSNotifySinkA*>(engine_sink_),
                                      win::IID_ITTSNotifySinkA, &registration_key_)))
        return fail();
    registered_ = true;
    voice_number_ = voice;

    void* p = nullptr;
    if (win::FAILED(engine_->QueryInterface(win::IID_ITTSAttributesA, &p)) || p == nullptr)
        return fail();
    auto* attributes = static_cast<win::ITTSAttributesA*>(p);
    // The engine's own units, passed unchanged.
    if (speed != 0) attributes->SpeedSet(static_cast<win::DWORD>(speed));
    if (pitch != 0) attributes->PitchSet(static_cast<win::WORD>(pitch));
    attributes->Release();
    return true;
}

void Tfsapi4::Speak(std::string_view text) {
    while (!text.empty() && BlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && BlankOrControl(text.back())) text.remove_suffix(1);
    if (text.empty()) return;
    const bool oneDigit = text.size() == 1 && text[0] >= '0' && text[0] <= '9';
    if (engine_ == nullptr) return;
    Tfwav* wav = Tfwav::Current();
    if (wav != nullptr && wav->StopOnKey() && KeyPressed()) return;

    std::size_t n = std::min(text.size(), kLongestText);
    std::memcpy(text_buffer_.data(), text.data(), n);
    if (oneDigit) text_buffer_[n++] = '.';
    text_buffer_[n] = '\0';
    // A zero inside the text ends it for the engine.
    n = std::strlen(text_buffer_.data());

    if (queued_texts_ > 0) Delay(kQueuedDelayMs);
    if (engine_ == nullptr) return;  // released while the delay dispatched messages
    win::SData data{text_buffer_.data(), static_cast<win::DWORD>(n + 1)};
    if (win::FAILED(engine_->TextData(win::kCharsetText, 0, data,
                                      static_cast<win::ITTSBufNotifySink*>(buffer_sink_),
                                      win::IID_ITTSBufNotifySink)))
        Stop();
}

bool Tfsapi4::Busy(bool onlyQueued) {
    if (onlyQueued) return queued_texts_ > 0;
    return queued_texts_ > 0 || audio_on_;
}

void Tfsapi4::Stop() {
    if (audio_on_ && engine_ != nullptr) {
        Delay(kBeforeResetMs);
        if (engine_ != nullptr) engine_->AudioReset();
        Delay(kAfterResetMs);
    }
    audio_on_ = false;
    queued_texts_ = 0;
}

void Tfsapi4::End() {
    if (output_to_file_ && audio_file_ != nullptr) audio_file_->Flush();
    ReleaseAll();
}

void Tfsapi4::ReleaseAll() {
    ReleaseAndClear(audio_file_);
    ReleaseAndClear(audio_device_);
    if (enumerator_ != nullptr) {
        enumerator_->Release();  // the extra reference
        ReleaseAndClear(enumerator_);
    }
    if (buffer_sink_ != nullptr) {
        buffer_sink_->Detach();
        ReleaseAndClear(buffer_sink_);
    }
    if (engine_sink_ != nullptr) {
        if (registered_ && engine_ != nullptr) engine_->UnRegister(registration_key_);
        engine_sink_->Detach();
        ReleaseAndClear(engine_sink_);
    }
    registered_ = false;
    ReleaseAndClear(engine_);
    queued_texts_ = 0;
    audio_on_ = false;
}

std::vector<std::string> Tfsapi4::VoiceNames() {
    std::vector<std::string> names;
    win::ITTSEnumA* enumerator = nullptr;
    if (win::FAILED(Create(win::CLSID_TTSEnumerator, win::IID_ITTSEnumA, &enumerator)))
        return names;
    enumerator->Reset();
    win::TTSModeInfoA mode{};
    win::ULONG fetched = 0;
    while (win::SUCCEEDED(enumerator->Next(1, &mode, &fetched)) && fetched == 1) {
        names.push_back(win::Cp1252ToUtf8(
            std::string_view(mode.modeName, strnlen(mode.modeName, sizeof mode.modeName))));
        fetched = 0;
    }
    enumerator->Release();
    return names;
}

}  // namespace sonara
