// tfsapi4: the SAPI 4 voice back end. It selects the voice-th mode of the engine
// enumerator, speaks on the wave output's device, queues texts with the engine and tells
// busy from the two notification sinks' counters. Installed as server type 4.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "speech/Speech.h"
#include "speech/tfsapglb.h"

namespace sonara {

class Tfsapi4;

// A reference-counted object implementing one platform interface I; it is deleted at its
// last Release.
template <class I>
class InterfacedObject : public I {
  public:
    InterfacedObject() = default;
    virtual ~InterfacedObject() = default;
    InterfacedObject(const InterfacedObject&) = delete;
    InterfacedObject& operator=(const InterfacedObject&) = delete;

    win::HRESULT QueryInterface(const win::IID& iid, void** out) override {
        if (out == nullptr) return win::E_POINTER;
        if (iid == win::IID_IUnknown || iid == Iid()) {
            AddRef();
            *out = static_cast<I*>(this);
            return win::S_OK;
        }
        *out = nullptr;
        return win::E_NOINTERFACE;
    }
    win::ULONG AddRef() override { return ++refs_; }
    win::ULONG Release() override {
        win::ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

  protected:
    virtual const win::IID& Iid() const = 0;

  private:
    win::ULONG refs_ = 1;
};

// The engine's notifications: audio on between AudioStart and AudioStop.
class TTSNotifySink final : public InterfacedObject<win::ITTSNotifySinkA> {
  public:
    explicit TTSNotifySink(Tfsapi4* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }
    win::HRESULT AttribChanged(win::DWORD attribute) override;
    win::HRESULT AudioStart(win::QWORD timeStamp) override;
    win::HRESULT AudioStop(win::QWORD timeStamp) override;
    win::HRESULT Visual(win::QWORD timeStamp, char ipa, char engine, win::DWORD flags,
                        const win::TTSMouth* mouth) override;

  protected:
    const win::IID& Iid() const override { return win::IID_ITTSNotifySinkA; }

  private:
    Tfsapi4* owner_;
};

// The notifications of each text: queued texts counts started minus done.
class TTSBufNotifySink final : public InterfacedObject<win::ITTSBufNotifySink> {
  public:
    explicit TTSBufNotifySink(Tfsapi4* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }
    win::HRESULT TextDataDone(win::QWORD timeStamp, win::DWORD flags) override;
    win::HRESULT TextDataStarted(win::QWORD timeStamp) override;
    win::HRESULT BookMark(win::QWORD timeStamp, win::DWORD mark) override;
    win::HRESULT WordPosition(win::QWORD timeStamp, win::DWORD byteOffset) override;

  protected:
    const win::IID& Iid() const override { return win::IID_ITTSBufNotifySink; }

  private:
    Tfsapi4* owner_;
};

class Tfsapi4 final : public ServerBackend {
  public:
    // The text buffer: the longest text plus its terminating zero. Longer texts are cut.
    static constexpr std::size_t kTextBufferSize = 64001;
    static constexpr std::size_t kLongestText = kTextBufferSize - 1;
    static constexpr win::DWORD kContext =
        win::CLSCTX_INPROC_SERVER | win::CLSCTX_INPROC_HANDLER | win::CLSCTX_LOCAL_SERVER;

    Tfsapi4();  // module start: the text buffer; installed as server type 4
    ~Tfsapi4() override;
    Tfsapi4(const Tfsapi4&) = delete;
    Tfsapi4& operator=(const Tfsapi4&) = delete;

    // A voice below 1 is taken as 1; a voice above the number of modes keeps the last one.
    // False, with everything made released, when any object cannot be made, the output
    // file cannot be set, no mode exists, the mode cannot be selected, the engine sink
    // cannot be registered or the engine has no attributes.
    bool Start(int voice, int speed, int pitch, std::string_view outputFile) override;
    void Speak(std::string_view text) override;
    bool Busy(bool onlyQueued) override;
    void Stop() override;
    void End() override;

    int QueuedTexts() const { return queued_texts_; }
    bool AudioOn() const { return audio_on_; }
    int VoiceNumber() const { return voice_number_; }
    win::DWORD LastWordPosition() const { return word_position_; }
    const win::TTSModeInfoA& ModeRecord() const { return mode_; }

    // The mode names the enumerator gives, in order (voice 1 first), as UTF-8; empty when
    // there is no engine enumerator.
    static std::vector<std::string> VoiceNames();

  private:
    friend class TTSNotifySink;
    friend class TTSBufNotifySink;

    void ReleaseAll();

    win::IAudioMultiMediaDevice* audio_device_ = nullptr;
    win::IAudioFile* audio_file_ = nullptr;
    bool output_to_file_ = false;
    std::string output_file_;
    win::ITTSEnumA* enumerator_ = nullptr;  // with the extra reference of the start
    win::TTSModeInfoA mode_{};
    win::ITTSCentralA* engine_ = nullptr;
    TTSNotifySink* engine_sink_ = nullptr;
    bool registered_ = false;
    win::DWORD registration_key_ = 0;
    TTSBufNotifySink* buffer_sink_ = nullptr;
    int queued_texts_ = 0;
    bool audio_on_ = false;
    win::DWORD word_position_ = 0;
    int voice_number_ = 0;
    std::vector<char> text_buffer_;  // kTextBufferSize bytes, made once
};

}  // namespace sonara
