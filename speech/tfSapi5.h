// tfSapi5: the SAPI 5 voice back end over the wrapper components of SpeechLib_TLB,
// installed as server type 5 (every type but 3, 4 and 54). TFSAPI54 is the same code over
// SpeechLib54_TLB. Speech is asynchronous; busy waits up to 20 ms on the voice's
// speak-complete event and, while the voice still speaks, posts the wake-up message 2980
// so that the caller's WaitMessage returns.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "speech/SpeechLib_TLB.h"
#include "speech/tfsapglb.h"

namespace sonara {

class SapiVoiceServer : public ServerBackend {
  public:
    static constexpr win::LONG kAllVoiceEvents = 33790;                               // 0x83FE
    static constexpr win::LONG kSpeakFlags = win::SVSFlagsAsync | win::SVSFIsNotXML;  // 17
    static constexpr win::DWORD kBusyWaitMs = 20;
    static constexpr win::UINT kBusyWakeUp = 2980;

    using VoiceMaker = std::function<std::unique_ptr<SpVoiceComponent>()>;
    using FileStreamMaker = std::function<std::unique_ptr<SpFileStreamComponent>()>;

    // Installs itself as the back end of dispatch type `type`.
    SapiVoiceServer(int type, VoiceMaker makeVoice, FileStreamMaker makeFileStream);
    ~SapiVoiceServer() override;
    SapiVoiceServer(const SapiVoiceServer&) = delete;
    SapiVoiceServer& operator=(const SapiVoiceServer&) = delete;

    // Pitch is not used. A voice outside 1..number of voices takes voice 1 and rate 0.
    // False when the voice object cannot be made or there is no voice.
    bool Start(int voice, int speed, int pitch, std::string_view outputFile) override;
    void Speak(std::string_view text) override;
    bool Busy(bool onlyQueued) override;
    void Stop() override;
    void End() override;

    int VoiceCount() const { return voice_count_; }
    int VoiceNumber() const { return voice_number_; }

    // The voices' descriptions in the order of the voices list (voice 1 first), as UTF-8;
    // empty when the voice object cannot be made.
    std::vector<std::string> VoiceNames();

  private:
    void FreeComponents();

    int type_;
    VoiceMaker make_voice_;
    FileStreamMaker make_file_stream_;
    std::unique_ptr<SpVoiceComponent> voice_;
    std::unique_ptr<SpFileStreamComponent> file_stream_;
    int voice_count_ = 0;
    int voice_number_ = 0;
    win::HANDLE speak_complete_ = nullptr;
};

class TfSapi5 final : public SapiVoiceServer {
  public:
    TfSapi5();  // module start: installed as server type 5
};

}  // namespace sonara
