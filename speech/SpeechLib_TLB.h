// SpeechLib_TLB: the wrapper components of the SAPI 5 automation objects, first type
// library. A component creates its object the first time it is used and releases it when
// it is freed. TSpVoice wraps the voice, TSpFileStream the file stream.
#pragma once

#include <string_view>

#include "platform/api.h"
#include "platform/speech_objects.h"

namespace sonara {

// The class identifiers of one type library.
struct SpeechLibrary {
    win::CLSID voiceClass;
    win::CLSID fileStreamClass;
};

class SpFileStreamComponent;

// The voice object behind a component. Every call creates the object first when it does
// not exist yet and returns the creation's failure when it cannot.
class SpVoiceComponent {
  public:
    explicit SpVoiceComponent(const win::CLSID& voiceClass) : class_(voiceClass) {}
    ~SpVoiceComponent();
    SpVoiceComponent(const SpVoiceComponent&) = delete;
    SpVoiceComponent& operator=(const SpVoiceComponent&) = delete;

    // The object, made on first use; null when it cannot be made.
    win::ISpeechVoice* DefaultInterface();

    win::HRESULT SetEventInterests(win::LONG interests);
    // The voices list; *out gets a reference.
    win::HRESULT GetVoices(std::u16string_view required, std::u16string_view optional,
                           win::ISpeechObjectTokens** out);
    win::HRESULT SetVoice(win::ISpeechObjectToken* voice);
    win::HRESULT SetRate(win::LONG rate);
    win::HRESULT Speak(std::u16string_view text, win::LONG flags);
    win::HRESULT SpeakCompleteEvent(win::HANDLE* event);
    win::HRESULT SetAudioOutputStream(SpFileStreamComponent& stream);

  private:
    win::CLSID class_;
    win::ISpeechVoice* voice_ = nullptr;
    win::HRESULT failure_ = win::S_OK;  // of the creation, once it failed
};

class SpFileStreamComponent {
  public:
    explicit SpFileStreamComponent(const win::CLSID& fileStreamClass) : class_(fileStreamClass) {}
    ~SpFileStreamComponent();
    SpFileStreamComponent(const SpFileStreamComponent&) = delete;
    SpFileStreamComponent& operator=(const SpFileStreamComponent&) = delete;

    win::ISpeechFileStream* DefaultInterface();
    win::HRESULT Open(std::u16string_view fileName, win::LONG mode, bool doEvents);
    win::HRESULT Close();

  private:
    win::CLSID class_;
    win::ISpeechFileStream* stream_ = nullptr;
    win::HRESULT failure_ = win::S_OK;
};

namespace SpeechLib_TLB {

inline constexpr SpeechLibrary kLibrary{win::CLSID_SpVoice, win::CLSID_SpFileStream};

class TSpVoice : public SpVoiceComponent {
  public:
    TSpVoice() : SpVoiceComponent(kLibrary.voiceClass) {}
};

class TSpFileStream : public SpFileStreamComponent {
  public:
    TSpFileStream() : SpFileStreamComponent(kLibrary.fileStreamClass) {}
};

}  // namespace SpeechLib_TLB

}  // namespace sonara
