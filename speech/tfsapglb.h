// tfsapglb: the dispatch to a speech server. Every operation goes to the back end chosen
// by the dispatch type of the last ServerStart: 3 the Tavena engine, 4 SAPI 4, 54 SAPI 5
// with the second type library, any other SAPI 5.
//
// Type 3 reaches the Tavena engine's glue; the SAPI back ends (tfsapi4, tfSapi5,
// TFSAPI54) install themselves at their module start. A type without a back end reports a
// failed start, which leaves the facade on its built-in path. Tests install their own
// back ends.
#pragma once

#include <string>
#include <string_view>

namespace sonara {

// What the facade relies on from a speech server back end.
class ServerBackend {
  public:
    virtual ~ServerBackend() = default;
    // True when the server is ready; it then is idle or waits by itself.
    virtual bool Start(int voice, int speed, int pitch, std::string_view outputFile) = 0;
    // Returns without waiting for the end of speech.
    virtual void Speak(std::string_view text) = 0;
    // Cheap enough to poll. onlyQueued (SAPI 4 only): only text not yet spoken counts.
    virtual bool Busy(bool onlyQueued) = 0;
    virtual void Stop() = 0;
    // Waits for the end of speech, stops and releases the server.
    virtual void End() = 0;
};

class Tfsapglb {
  public:
    static constexpr int kTavena = 3;
    static constexpr int kSapi4 = 4;
    static constexpr int kSapi54 = 54;
    static constexpr int kSapi5 = 5;

    Tfsapglb();  // module start: dispatch type 5
    ~Tfsapglb();
    Tfsapglb(const Tfsapglb&) = delete;
    Tfsapglb& operator=(const Tfsapglb&) = delete;

    static Tfsapglb* Current();

    int DispatchType() const { return type_; }
    // The back end of a dispatch type (3, 4, 54, or any other value for SAPI 5).
    ServerBackend& BackendFor(int type);
    // Replaces the back end of a dispatch type; null puts the unavailable one back (for
    // type 3 too).
    void SetBackendFor(int type, ServerBackend* backend);

    bool ServerStart(int voice, int speed, int pitch, int type, std::string_view outputFile);
    void ServerSpeak(std::string_view text);
    bool ServerBusy(bool onlyQueued);
    void ServerStop();
    void ServerEnd();

  private:
    ServerBackend*& Slot(int type);

    int type_ = kSapi5;
    ServerBackend* tavena_;
    ServerBackend* sapi4_;
    ServerBackend* sapi54_;
    ServerBackend* sapi5_;
};

// The current instance's operations.
bool ServerStart(int voice, int speed, int pitch, int type, std::string_view outputFile);
void ServerSpeak(std::string_view text);
bool ServerBusy(bool onlyQueued);
void ServerStop();
void ServerEnd();

}  // namespace sonara
