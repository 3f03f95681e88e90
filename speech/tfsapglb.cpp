#include "speech/tfsapglb.h"

#include "console/TfCrt.h"
#include "tavena/TavenaGlue.h"

namespace sonara {

namespace {

Tfsapglb* current_dispatch = nullptr;

// A server this build cannot reach: it never starts, so the facade never uses it.
class UnavailableServer : public ServerBackend {
  public:
    bool Start(int, int, int, std::string_view) override { return false; }
    void Speak(std::string_view) override {}
    bool Busy(bool) override { return false; }
    void Stop() override {}
    void End() override {}
};

UnavailableServer& Unavailable() {
    static UnavailableServer server;
    return server;
}

constexpr std::uint16_t kStartPollMs = 50;

}  // namespace

Tfsapglb::Tfsapglb()
    : tavena_(&TavenaServer()),
      sapi4_(&Unavailable()),
      sapi54_(&Unavailable()),
      sapi5_(&Unavailable()) {
    current_dispatch = this;
}

Tfsapglb::~Tfsapglb() {
    if (current_dispatch == this) current_dispatch = nullptr;
}

Tfsapglb* Tfsapglb::Current() {
    return current_dispatch;
}

ServerBackend*& Tfsapglb::Slot(int type) {
    switch (type) {
        case kTavena:
            return tavena_;
        case kSapi4:
            return sapi4_;
        case kSapi54:
            return sapi54_;
        default:
            return sapi5_;
    }
}

ServerBackend& Tfsapglb::BackendFor(int type) {
    return *Slot(type);
}

void Tfsapglb::SetBackendFor(int type, ServerBackend* backend) {
    Slot(type) = backend != nullptr ? backend : &Unavailable();
}

bool Tfsapglb::ServerStart(int voice, int speed, int pitch, int type, std::string_view outputFile) {
    type_ = type;
    bool started = BackendFor(type_).Start(voice, speed, pitch, outputFile);
    if (started) {
        while (ServerBusy(true)) Delay(kStartPollMs);
    }
    return started;
}

void Tfsapglb::ServerSpeak(std::string_view text) {
    BackendFor(type_).Speak(text);
}

bool Tfsapglb::ServerBusy(bool onlyQueued) {
    PumpMessages();
    // Only SAPI 4 tells queued text from playing audio.
    return BackendFor(type_).Busy(type_ == kSapi4 ? onlyQueued : false);
}

void Tfsapglb::ServerStop() {
    BackendFor(type_).Stop();
}

void Tfsapglb::ServerEnd() {
    BackendFor(type_).End();
}

bool ServerStart(int voice, int speed, int pitch, int type, std::string_view outputFile) {
    return Tfsapglb::Current()->ServerStart(voice, speed, pitch, type, outputFile);
}
void ServerSpeak(std::string_view text) {
    Tfsapglb::Current()->ServerSpeak(text);
}
bool ServerBusy(bool onlyQueued) {
    return Tfsapglb::Current()->ServerBusy(onlyQueued);
}
void ServerStop() {
    Tfsapglb::Current()->ServerStop();
}
void ServerEnd() {
    Tfsapglb::Current()->ServerEnd();
}

}  // namespace sonara
