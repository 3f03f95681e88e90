// The simulated machine's speech server: the SAPI 4 enumerator, engine, attributes and
// audio destinations, and the SAPI 5 voice, voices list and file stream, over a few fake
// voices. Texts take virtual time; every call is recorded; failures can be injected.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <optional>

#include "platform/sim/SimMachine.h"
#include "platform/speech_objects.h"

namespace sim {

namespace {

using win::HRESULT;
using win::IID;
using win::ULONG;

constexpr std::uintptr_t kEventHandleBase = 0x5E000;

std::uint32_t SpeakingTime(std::string_view text) {
    auto spoken = std::count_if(text.begin(), text.end(), [](char c) {
        return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0';
    });
    return static_cast<std::uint32_t>(spoken) * SimMachine::kSpeechMsPerChar;
}

std::string ClassName(const win::CLSID& clsid) {
    if (clsid == win::CLSID_MMAudioDest) return "MMAudioDest";
    if (clsid == win::CLSID_AudioDestFile) return "AudioDestFile";
    if (clsid == win::CLSID_TTSEnumerator) return "TTSEnumerator";
    if (clsid == win::CLSID_SpVoice) return "SpVoice";
    if (clsid == win::CLSID_SpFileStream) return "SpFileStream";
    if (clsid == win::CLSID_SpVoice54) return "SpVoice54";
    if (clsid == win::CLSID_SpFileStream54) return "SpFileStream54";
    return win::GuidText(clsid);
}

// The mode identifier of voice i: a fixed pattern with the voice's number in it.
win::GUID ModeId(std::size_t i) {
    return win::GUID{0x51A00000u + static_cast<std::uint32_t>(i),
                     0x5A91,
                     0x4D0E,
                     {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(i)}};
}

}  // namespace

class Speaker;

// The server's state, shared by the machine and every object it made: objects may be
// released after the machine is gone, and then reach nothing.
class SimSpeech {
  public:
    SimMachine* machine = nullptr;
    std::vector<SimMachine::SpeechVoice> voices{
        {"Clara", 0x0416}, {"Tiago", 0x0416}, {"Mary", 0x0409}};
    SimMachine::SpeechFaults faults;
    std::vector<std::string> calls;
    int live = 0;
    std::map<int, Speaker*> speakers;
    int nextSpeaker = 1;
    // A notification waiting for the program to dispatch its message.
    struct Note {
        enum Kind { kStarted, kDone, kAudioStart, kAudioStop } kind;
        win::IUnknown* sink;  // an ITTSBufNotifySink or ITTSNotifySinkA, with a reference
    };
    std::map<std::uint64_t, Note> notes;
    std::uint64_t nextNote = 1;
    win::UINT notifyMessage = 0;

    void Call(const char* kind, std::string detail) {
        calls.push_back(std::string(kind) + " " + detail);
        if (machine != nullptr) machine->Record(kind, std::move(detail));
    }
    std::uint32_t Now() const { return machine != nullptr ? machine->Now() : 0; }

    // The end of a speaker's text on the clock.
    void ScheduleDone(int speaker, std::uint64_t serial, std::uint32_t at) {
        if (machine == nullptr) return;
        SimMachine::Happening h{SimMachine::Happening::Kind::kSpeechDone};
        h.device = speaker;
        h.wp = static_cast<win::WPARAM>(serial);
        machine->Schedule(at, h);
    }
    void CancelDone(int speaker) {
        if (machine == nullptr) return;
        machine->CancelHappenings([speaker](const SimMachine::Happening& h) {
            return h.kind == SimMachine::Happening::Kind::kSpeechDone && h.device == speaker;
        });
    }
    // Lets the clock run to its next happening; false when nothing is scheduled.
    bool RunClock() { return machine != nullptr && machine->AdvanceToNextHappening(); }

    // Queues the message that delivers a notification; the sink's reference goes with it.
    void Notify(Note::Kind kind, win::IUnknown* sink) {
        if (machine == nullptr) {
            sink->Release();
            return;
        }
        if (notifyMessage == 0) notifyMessage = machine->RegisterWindowMessageA("SimSpeechNotify");
        std::uint64_t id = nextNote++;
        notes.emplace(id, Note{kind, sink});
        machine->queue_.push_back(SimMachine::Queued{win::MSG{SimMachine::kSpeechNotifyWindow,
                                                              notifyMessage,
                                                              static_cast<win::WPARAM>(id),
                                                              0,
                                                              machine->Now(),
                                                              {}},
                                                     0});
    }
};

namespace {

// Reference counting and QueryInterface for an object of one interface.
template <class I>
class Object : public I {
  public:
    Object(std::shared_ptr<SimSpeech> server, const IID& iid)
        : server_(std::move(server)), iid_(iid) {
        ++server_->live;
    }
    virtual ~Object() { --server_->live; }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    HRESULT QueryInterface(const IID& iid, void** out) override {
        if (out == nullptr) return win::E_POINTER;
        *out = nullptr;
        if (iid == win::IID_IUnknown || (iid_ != win::GUID_NULL && iid == iid_)) {
            AddRef();
            *out = static_cast<I*>(this);
            return win::S_OK;
        }
        return OtherInterface(iid, out);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

  protected:
    virtual HRESULT OtherInterface(const IID&, void**) { return win::E_NOINTERFACE; }
    SimSpeech& Server() { return *server_; }
    std::shared_ptr<SimSpeech> server_;

  private:
    IID iid_;
    ULONG refs_ = 1;
};

template <class I>
HRESULT Query(win::IUnknown* object, const IID& iid, I** out) {
    void* p = nullptr;
    HRESULT hr = object != nullptr ? object->QueryInterface(iid, &p) : win::E_POINTER;
    *out = win::SUCCEEDED(hr) ? static_cast<I*>(p) : nullptr;
    return win::SUCCEEDED(hr) && p == nullptr ? win::E_NOINTERFACE : hr;
}

}  // namespace

// Something that speaks texts one after the other on the virtual clock.
class Speaker {
  public:
    struct Utterance {
        std::uint64_t serial;
        std::uint32_t end;
        win::ITTSBufNotifySink* sink;  // SAPI 4 only, with a reference
    };

    explicit Speaker(SimSpeech& server) : speech_(server), id_(server.nextSpeaker++) {
        speech_.speakers[id_] = this;
    }
    virtual ~Speaker() {
        Purge();
        speech_.speakers.erase(id_);
    }
    Speaker(const Speaker&) = delete;
    Speaker& operator=(const Speaker&) = delete;

    int Id() const { return id_; }
    bool Speaking() const { return !queue_.empty(); }

    void Queue(std::string_view text, win::ITTSBufNotifySink* sink) {
        std::uint32_t start = std::max(speech_.Now(), queue_.empty() ? 0 : queue_.back().end);
        Utterance u{nextSerial_++, start + SpeakingTime(text), sink};
        bool wasIdle = queue_.empty();
        queue_.push_back(u);
        speech_.ScheduleDone(id_, u.serial, u.end);
        Started(u, wasIdle);
    }

    // A text came to its end on the clock.
    void Finish(std::uint64_t serial) {
        if (queue_.empty() || queue_.front().serial != serial) return;
        Utterance u = queue_.front();
        queue_.pop_front();
        Ended(u, queue_.empty());
    }

    // Drops every text at once, each ending unheard.
    void Purge() {
        if (queue_.empty()) return;
        speech_.CancelDone(id_);
        while (!queue_.empty()) {
            Utterance u = queue_.front();
            queue_.pop_front();
            Ended(u, queue_.empty());
        }
    }

  protected:
    virtual void Started(const Utterance&, bool /*wasIdle*/) {}
    virtual void Ended(const Utterance& u, bool /*nowIdle*/) {
        if (u.sink != nullptr) u.sink->Release();
    }
    SimSpeech& speech_;

  private:
    int id_;
    std::uint64_t nextSerial_ = 1;
    std::deque<Utterance> queue_;
};

namespace {

// ---- SAPI 4 ----

class AudioDevice final : public Object<win::IAudioMultiMediaDevice> {
  public:
    explicit AudioDevice(std::shared_ptr<SimSpeech> s)
        : Object(std::move(s), win::IID_IAudioMultiMediaDevice) {}
    HRESULT DeviceNumSet(win::DWORD device) override {
        Server().Call("sapi4", "DeviceNumSet " + std::to_string(device));
        return win::S_OK;
    }
};

class AudioFile final : public Object<win::IAudioFile> {
  public:
    explicit AudioFile(std::shared_ptr<SimSpeech> s) : Object(std::move(s), win::IID_IAudioFile) {}
    HRESULT Set(win::LPCWSTR fileName, win::DWORD flags) override {
        std::u16string name = fileName != nullptr ? std::u16string(fileName) : u"";
        Server().Call("sapi4", "Set " + win::WideToCp1252(name) + " " + std::to_string(flags));
        return Server().faults.fileSetFails || name.empty() ? win::E_FAIL : win::S_OK;
    }
    HRESULT Flush() override {
        Server().Call("sapi4", "Flush");
        return win::S_OK;
    }
};

class Engine;

class Attributes final : public Object<win::ITTSAttributesA> {
  public:
    Attributes(std::shared_ptr<SimSpeech> s, win::IUnknown* engine)
        : Object(std::move(s), win::IID_ITTSAttributesA), engine_(engine) {
        engine_->AddRef();
    }
    ~Attributes() override { engine_->Release(); }
    HRESULT PitchSet(win::WORD pitch) override {
        Server().Call("sapi4", "PitchSet " + std::to_string(pitch));
        return win::S_OK;
    }
    HRESULT SpeedSet(win::DWORD speed) override {
        Server().Call("sapi4", "SpeedSet " + std::to_string(speed));
        return win::S_OK;
    }

  private:
    win::IUnknown* engine_;
};

class Engine final : public Object<win::ITTSCentralA>, public Speaker {
  public:
    Engine(std::shared_ptr<SimSpeech> s, win::IUnknown* audio)
        : Object(s, win::GUID_NULL), Speaker(*s), audio_(audio) {
        if (audio_ != nullptr) audio_->AddRef();
    }
    ~Engine() override {
        Purge();
        for (auto& [key, sink] : sinks_) sink->Release();
        if (audio_ != nullptr) audio_->Release();
    }

    HRESULT TextData(win::DWORD charset, win::DWORD flags, win::SData text, win::IUnknown* sink,
                     const IID& iidSink) override {
        std::string bytes;
        if (text.data != nullptr) {
            const char* p = static_cast<const char*>(text.data);
            bytes.assign(p, strnlen(p, text.size));
        }
        Server().Call("sapi4", "TextData " + bytes);
        if (Server().faults.textDataFails || text.data == nullptr || charset != 0 || flags != 0)
            return win::E_FAIL;
        win::ITTSBufNotifySink* buf = nullptr;
        if (sink != nullptr) {
            HRESULT hr = Query(sink, iidSink, &buf);
            if (win::FAILED(hr)) return hr;
        }
        Queue(bytes, buf);
        return win::S_OK;
    }
    HRESULT AudioReset() override {
        Server().Call("sapi4", "AudioReset");
        Purge();
        return win::S_OK;
    }
    HRESULT Register(win::IUnknown* sink, const IID& iidSink, win::DWORD* key) override {
        Server().Call("sapi4", "Register");
        if (Server().faults.registerFails) return win::E_FAIL;
        if (key == nullptr) return win::E_POINTER;
        win::ITTSNotifySinkA* notify = nullptr;
        HRESULT hr = Query(sink, iidSink, &notify);
        if (win::FAILED(hr)) return hr;
        *key = nextKey_++;
        sinks_[*key] = notify;
        return win::S_OK;
    }
    HRESULT UnRegister(win::DWORD key) override {
        Server().Call("sapi4", "UnRegister");
        auto it = sinks_.find(key);
        if (it == sinks_.end()) return win::E_INVALIDARG;
        it->second->Release();
        sinks_.erase(it);
        return win::S_OK;
    }

  protected:
    HRESULT OtherInterface(const IID& iid, void** out) override {
        if (iid != win::IID_ITTSAttributesA || Server().faults.attributesRefused)
            return win::E_NOINTERFACE;
        *out = static_cast<win::ITTSAttributesA*>(
            new Attributes(server_, static_cast<win::ITTSCentralA*>(this)));
        return win::S_OK;
    }
    void Started(const Utterance& u, bool wasIdle) override {
        if (u.sink != nullptr) {
            u.sink->AddRef();
            Server().Notify(SimSpeech::Note::kStarted, u.sink);
        }
        if (wasIdle) NotifyAll(SimSpeech::Note::kAudioStart);
    }
    void Ended(const Utterance& u, bool nowIdle) override {
        // The text's reference goes with its last notification.
        if (u.sink != nullptr) Server().Notify(SimSpeech::Note::kDone, u.sink);
        if (nowIdle) NotifyAll(SimSpeech::Note::kAudioStop);
    }

  private:
    void NotifyAll(SimSpeech::Note::Kind kind) {
        for (auto& [key, sink] : sinks_) {
            sink->AddRef();
            Server().Notify(kind, sink);
        }
    }

    win::IUnknown* audio_;
    std::map<win::DWORD, win::ITTSNotifySinkA*> sinks_;
    win::DWORD nextKey_ = 1;
};

class Enumerator final : public Object<win::ITTSEnumA> {
  public:
    explicit Enumerator(std::shared_ptr<SimSpeech> s) : Object(std::move(s), win::IID_ITTSEnumA) {}

    HRESULT Next(ULONG count, win::TTSModeInfoA* modes, ULONG* fetched) override {
        Server().Call("sapi4", "Next " + std::to_string(count));
        if (modes == nullptr) return win::E_POINTER;
        ULONG n = 0;
        const auto& voices = Server().voices;
        while (n < count && next_ < voices.size()) {
            win::TTSModeInfoA& m = modes[n];
            std::memset(&m, 0, sizeof m);
            m.engineId = ModeId(0xFF);
            std::strncpy(m.makerName, "Sonara", sizeof m.makerName - 1);
            std::strncpy(m.productName, "Motor simulado", sizeof m.productName - 1);
            m.modeId = ModeId(next_);
            std::strncpy(m.modeName, voices[next_].name.c_str(), sizeof m.modeName - 1);
            std::strncpy(m.speaker, voices[next_].name.c_str(), sizeof m.speaker - 1);
            m.language.languageId = voices[next_].language;
            ++n;
            ++next_;
        }
        if (fetched != nullptr) *fetched = n;
        return n == count ? win::S_OK : win::S_FALSE;
    }
    HRESULT Reset() override {
        Server().Call("sapi4", "Reset");
        next_ = 0;
        return win::S_OK;
    }
    HRESULT Select(const win::GUID& modeId, win::ITTSCentralA** central,
                   win::IUnknown* audio) override {
        if (central == nullptr) return win::E_POINTER;
        *central = nullptr;
        const auto& voices = Server().voices;
        std::size_t i = 0;
        while (i < voices.size() && ModeId(i) != modeId) ++i;
        Server().Call("sapi4", "Select " + (i < voices.size() ? voices[i].name : "?"));
        if (Server().faults.selectFails || i == voices.size()) return win::E_INVALIDARG;
        if (audio == nullptr) return win::E_INVALIDARG;
        *central = new Engine(server_, audio);
        return win::S_OK;
    }

  private:
    std::size_t next_ = 0;
};

// ---- SAPI 5 ----

class Token final : public Object<win::ISpeechObjectToken> {
  public:
    Token(std::shared_ptr<SimSpeech> s, std::size_t index)
        : Object(std::move(s), win::GUID_NULL), index_(index) {}
    HRESULT GetDescription(win::LONG, std::u16string* description) override {
        if (description == nullptr) return win::E_POINTER;
        *description = win::Cp1252ToWide(Name());
        return win::S_OK;
    }
    std::string Name() const {
        return index_ < server_->voices.size() ? server_->voices[index_].name : "?";
    }

  private:
    std::size_t index_;
};

class Tokens final : public Object<win::ISpeechObjectTokens> {
  public:
    explicit Tokens(std::shared_ptr<SimSpeech> s)
        : Object(std::move(s), win::GUID_NULL), count_(server_->voices.size()) {}
    HRESULT get_Count(win::LONG* count) override {
        if (count == nullptr) return win::E_POINTER;
        *count = static_cast<win::LONG>(count_);
        return win::S_OK;
    }
    HRESULT Item(win::LONG index, win::ISpeechObjectToken** out) override {
        if (out == nullptr) return win::E_POINTER;
        *out = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= count_) return win::E_INVALIDARG;
        *out = new Token(server_, static_cast<std::size_t>(index));
        return win::S_OK;
    }

  private:
    std::size_t count_;
};

class FileStream final : public Object<win::ISpeechFileStream> {
  public:
    explicit FileStream(std::shared_ptr<SimSpeech> s)
        : Object(std::move(s), win::IID_ISpeechFileStream) {}
    HRESULT Open(win::LPCWSTR fileName, win::LONG mode, bool doEvents) override {
        std::u16string name = fileName != nullptr ? std::u16string(fileName) : u"";
        Server().Call("sapi5", "Open " + win::WideToCp1252(name) + " " + std::to_string(mode) +
                                   (doEvents ? " events" : ""));
        return name.empty() ? win::E_INVALIDARG : win::S_OK;
    }
    HRESULT Close() override {
        Server().Call("sapi5", "Close");
        return win::S_OK;
    }
};

class Voice final : public Object<win::ISpeechVoice>, public Speaker {
  public:
    explicit Voice(std::shared_ptr<SimSpeech> s) : Object(s, win::IID_ISpeechVoice), Speaker(*s) {}
    ~Voice() override {
        Purge();
        if (stream_ != nullptr) stream_->Release();
    }

    win::HANDLE Event() const {
        return reinterpret_cast<win::HANDLE>(kEventHandleBase + static_cast<std::uintptr_t>(Id()));
    }

    HRESULT put_EventInterests(win::LONG interests) override {
        Server().Call("sapi5", "EventInterests " + std::to_string(interests));
        return win::S_OK;
    }
    HRESULT GetVoices(win::LPCWSTR required, win::LPCWSTR optional,
                      win::ISpeechObjectTokens** out) override {
        Server().Call("sapi5", "GetVoices \"" + Text(required) + "\" \"" + Text(optional) + "\"");
        if (out == nullptr) return win::E_POINTER;
        *out = new Tokens(server_);
        return win::S_OK;
    }
    HRESULT putref_Voice(win::ISpeechObjectToken* voice) override {
        auto* token = dynamic_cast<Token*>(voice);
        Server().Call("sapi5", "Voice " + (token != nullptr ? token->Name() : "?"));
        return token != nullptr ? win::S_OK : win::E_INVALIDARG;
    }
    HRESULT put_Rate(win::LONG rate) override {
        Server().Call("sapi5", "Rate " + std::to_string(rate));
        return rate >= -10 && rate <= 10 ? win::S_OK : win::E_INVALIDARG;
    }
    HRESULT Speak(win::LPCWSTR text, win::LONG flags, win::LONG* streamNumber) override {
        const std::string bytes = Text(text);
        Server().Call("sapi5", "Speak " + std::to_string(flags) + " " + bytes);
        if (Server().faults.speakFails) return win::E_FAIL;
        if (flags & win::SVSFPurgeBeforeSpeak) Purge();
        if (streamNumber != nullptr) *streamNumber = ++streams_;
        if (SpeakingTime(bytes) > 0) Queue(bytes, nullptr);
        if (!(flags & win::SVSFlagsAsync)) {
            while (Speaking() && Server().RunClock()) {
            }
        }
        return win::S_OK;
    }
    HRESULT get_SpeakCompleteEvent(win::HANDLE* event) override {
        Server().Call("sapi5", "SpeakCompleteEvent");
        if (event == nullptr) return win::E_POINTER;
        *event = Event();
        return win::S_OK;
    }
    HRESULT putref_AudioOutputStream(win::ISpeechBaseStream* stream) override {
        Server().Call("sapi5", "AudioOutputStream");
        if (stream != nullptr) stream->AddRef();
        if (stream_ != nullptr) stream_->Release();
        stream_ = stream;
        return win::S_OK;
    }

  private:
    static std::string Text(win::LPCWSTR text) {
        return text != nullptr ? win::WideToCp1252(text) : std::string();
    }
    win::ISpeechBaseStream* stream_ = nullptr;
    win::LONG streams_ = 0;
};

}  // namespace

// ---- The machine's side ----

SimSpeech& SimMachine::Speech() {
    if (speech_ == nullptr) {
        speech_ = std::make_shared<SimSpeech>();
        speech_->machine = this;
    }
    return *speech_;
}

void SimMachine::DetachSpeech() {
    if (speech_ == nullptr) return;
    for (auto& [id, note] : speech_->notes) note.sink->Release();
    speech_->notes.clear();
    speech_->machine = nullptr;
}

void SimMachine::ClearSpeechCalls() {
    if (speech_ != nullptr) speech_->calls.clear();
}

void SimMachine::SetSpeechVoices(std::vector<SpeechVoice> voices) {
    Speech().voices = std::move(voices);
}

SimMachine::SpeechFaults& SimMachine::SpeechFault() {
    return Speech().faults;
}

const std::vector<std::string>& SimMachine::SpeechCalls() const {
    static const std::vector<std::string> none;
    return speech_ != nullptr ? speech_->calls : none;
}

int SimMachine::LiveSpeechObjects() const {
    return speech_ != nullptr ? speech_->live : 0;
}

bool SimMachine::SpeechSounding() const {
    if (speech_ == nullptr) return false;
    return std::any_of(speech_->speakers.begin(), speech_->speakers.end(),
                       [](const auto& s) { return s.second->Speaking(); });
}

void SimMachine::DeliverSpeechDone(const Happening& h) {
    if (speech_ == nullptr) return;
    auto it = speech_->speakers.find(h.device);
    if (it != speech_->speakers.end()) it->second->Finish(h.wp);
}

win::LRESULT SimMachine::DispatchSpeechNotification(const win::MSG& msg) {
    auto it = speech_->notes.find(msg.wParam);
    if (msg.message != speech_->notifyMessage || it == speech_->notes.end()) return 0;
    SimSpeech::Note note = it->second;
    speech_->notes.erase(it);
    const win::QWORD stamp = now_;
    switch (note.kind) {
        case SimSpeech::Note::kStarted:
            speech_->Call("sapi4", "notify TextDataStarted");
            static_cast<win::ITTSBufNotifySink*>(note.sink)->TextDataStarted(stamp);
            break;
        case SimSpeech::Note::kDone:
            speech_->Call("sapi4", "notify TextDataDone");
            static_cast<win::ITTSBufNotifySink*>(note.sink)->TextDataDone(stamp, 0);
            break;
        case SimSpeech::Note::kAudioStart:
            speech_->Call("sapi4", "notify AudioStart");
            static_cast<win::ITTSNotifySinkA*>(note.sink)->AudioStart(stamp);
            break;
        case SimSpeech::Note::kAudioStop:
            speech_->Call("sapi4", "notify AudioStop");
            static_cast<win::ITTSNotifySinkA*>(note.sink)->AudioStop(stamp);
            break;
    }
    note.sink->Release();
    return 0;
}

win::HRESULT SimMachine::CoInitialize(void*) {
    Speech().Call("com", "CoInitialize");
    return win::S_OK;
}

win::HRESULT SimMachine::CoCreateInstance(const win::CLSID& clsid, win::IUnknown* outer,
                                          win::DWORD context, const win::IID& iid, void** out) {
    SimSpeech& s = Speech();
    s.Call("com", "CoCreateInstance " + ClassName(clsid) + " " + std::to_string(context));
    if (out == nullptr) return win::E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return win::CLASS_E_NOAGGREGATION;
    if (std::find(s.faults.failingClasses.begin(), s.faults.failingClasses.end(), clsid) !=
        s.faults.failingClasses.end())
        return win::REGDB_E_CLASSNOTREG;
    win::IUnknown* object = nullptr;
    if (clsid == win::CLSID_MMAudioDest) {
        object = new AudioDevice(speech_);
    } else if (clsid == win::CLSID_AudioDestFile) {
        object = new AudioFile(speech_);
    } else if (clsid == win::CLSID_TTSEnumerator) {
        object = new Enumerator(speech_);
    } else if (clsid == win::CLSID_SpVoice || clsid == win::CLSID_SpVoice54) {
        object = static_cast<win::ISpeechVoice*>(new Voice(speech_));
    } else if (clsid == win::CLSID_SpFileStream || clsid == win::CLSID_SpFileStream54) {
        object = new FileStream(speech_);
    } else {
        return win::REGDB_E_CLASSNOTREG;
    }
    win::HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

win::DWORD SimMachine::WaitForSingleObject(win::HANDLE handle, win::DWORD ms) {
    OnBlockingCall();
    if (speech_ == nullptr) return win::WAIT_FAILED;
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    const int id = value > kEventHandleBase ? static_cast<int>(value - kEventHandleBase) : 0;
    auto speaking = [this, id]() -> std::optional<bool> {
        auto it = speech_->speakers.find(id);
        if (it == speech_->speakers.end() || dynamic_cast<Voice*>(it->second) == nullptr)
            return std::nullopt;
        return it->second->Speaking();
    };
    if (!speaking()) return win::WAIT_FAILED;
    const std::uint64_t deadline = ms == win::INFINITE ? UINT64_MAX : std::uint64_t{now_} + ms;
    while (*speaking()) {
        if (happenings_.empty() || happenings_.begin()->first.first > deadline) {
            if (ms == win::INFINITE)
                throw SimStopped{
                    "WaitForSingleObject at " + std::to_string(now_) + " ms: the voice never ends",
                    now_};
            AdvanceTo(static_cast<std::uint32_t>(deadline));
            break;
        }
        AdvanceToNextHappening();
        if (!speaking()) return win::WAIT_OBJECT_0;  // the voice went away: nothing to wait for
    }
    return *speaking() ? win::WAIT_TIMEOUT : win::WAIT_OBJECT_0;
}

}  // namespace sim
