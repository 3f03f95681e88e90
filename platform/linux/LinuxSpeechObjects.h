// Inside the Linux speech-server objects: the reference-counting base, the hub the objects
// share with LinuxSpeech, and the constructors of the SAPI 4 and SAPI 5 objects.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/linux/SpeechdClient.h"
#include "platform/speech_objects.h"
#include "platform/wintypes.h"

namespace win {

// The client name the server shows for our connections.
inline constexpr const char* kSpeechdClientName = "sonara";

// A COM-shaped object: one reference count for all its interfaces; deleted by the last
// Release.
template <class... Interfaces>
class ComObject : public Interfaces... {
  public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    virtual ~ComObject() = default;

  private:
    std::atomic<ULONG> refs_{1};
};

// Whoever receives the posted notifications of one engine (program's thread).
class SpeechEventTarget {
  public:
    virtual void OnSpeechEvent(LPARAM event) = 0;

  protected:
    ~SpeechEventTarget() = default;
};

// Events posted as lParam: the kind in the low 3 bits, the server's message number above.
enum SpeechEventKind : LPARAM {
    kEventKick = 0,
    kEventEnd = 2,
    kEventCancel = 3,
    kEventGone = 4,  // the server hung up
};
constexpr LPARAM SpeechEvent(SpeechEventKind kind, std::uint64_t message) {
    return static_cast<LPARAM>((message << 3) | static_cast<std::uint64_t>(kind));
}
constexpr SpeechEventKind SpeechEventKindOf(LPARAM event) {
    return static_cast<SpeechEventKind>(event & 7);
}
constexpr std::uint64_t SpeechEventMessage(LPARAM event) {
    return static_cast<std::uint64_t>(event) >> 3;
}

class SpeechHub {
  public:
    using PostFn = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
    explicit SpeechHub(PostFn post) : post_(std::move(post)) {}

    // Any thread. Dropped once the back end has gone.
    void Post(std::uint32_t target, LPARAM event);
    void Detach();

    // Program's thread.
    std::uint32_t AddTarget(SpeechEventTarget* target);
    void RemoveTarget(std::uint32_t id);
    SpeechEventTarget* FindTarget(std::uint32_t id);
    void AddEvent(HANDLE handle, std::weak_ptr<SpeechdClient> client);
    void RemoveEvent(HANDLE handle);
    std::shared_ptr<SpeechdClient> FindEvent(HANDLE handle);

  private:
    std::mutex mutex_;
    PostFn post_;
    std::uint32_t nextTarget_ = 1;
    std::map<std::uint32_t, SpeechEventTarget*> targets_;
    std::map<HANDLE, std::weak_ptr<SpeechdClient>> events_;
};

// The SAPI 4 multimedia audio destination and engine enumerator; the SAPI 5 voice.
HRESULT CreateSapi4AudioDestination(const IID& iid, void** out);
HRESULT CreateSapi4Enumerator(std::shared_ptr<SpeechHub> hub, const IID& iid, void** out);
HRESULT CreateSapi5Voice(std::shared_ptr<SpeechHub> hub, const IID& iid, void** out);

// Helpers of both: the interface asked for when the object has it, else E_NOINTERFACE.
template <class Interface>
HRESULT Offer(Interface* object, void** out) {
    object->AddRef();
    *out = object;
    return S_OK;
}

}  // namespace win
