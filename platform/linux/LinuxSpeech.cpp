#include "platform/linux/LinuxSpeech.h"

#include <chrono>

#include "platform/linux/LinuxSpeechObjects.h"

namespace win {

void SpeechHub::Post(std::uint32_t target, LPARAM event) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (post_) post_(nullptr, LinuxSpeech::kSpeechMessage, target, event);
}

void SpeechHub::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    post_ = nullptr;
    targets_.clear();
    events_.clear();
}

std::uint32_t SpeechHub::AddTarget(SpeechEventTarget* target) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uint32_t id = nextTarget_++;
    targets_[id] = target;
    return id;
}

void SpeechHub::RemoveTarget(std::uint32_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    targets_.erase(id);
}

SpeechEventTarget* SpeechHub::FindTarget(std::uint32_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = targets_.find(id);
    return it == targets_.end() ? nullptr : it->second;
}

void SpeechHub::AddEvent(HANDLE handle, std::weak_ptr<SpeechdClient> client) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_[handle] = std::move(client);
}

void SpeechHub::RemoveEvent(HANDLE handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.erase(handle);
}

std::shared_ptr<SpeechdClient> SpeechHub::FindEvent(HANDLE handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = events_.find(handle);
    return it == events_.end() ? nullptr : it->second.lock();
}

LinuxSpeech::LinuxSpeech(PostFn post) : hub_(std::make_shared<SpeechHub>(std::move(post))) {}

LinuxSpeech::~LinuxSpeech() {
    hub_->Detach();
}

HRESULT LinuxSpeech::CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD /*context*/,
                                      const IID& iid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (clsid == CLSID_MMAudioDest) return CreateSapi4AudioDestination(iid, out);
    if (clsid == CLSID_TTSEnumerator) return CreateSapi4Enumerator(hub_, iid, out);
    if (clsid == CLSID_SpVoice || clsid == CLSID_SpVoice54) return CreateSapi5Voice(hub_, iid, out);
    return REGDB_E_CLASSNOTREG;
}

DWORD LinuxSpeech::WaitForSingleObject(HANDLE handle, DWORD ms) {
    std::shared_ptr<SpeechdClient> client = hub_->FindEvent(handle);
    if (!client) return WAIT_FAILED;
    if (ms == INFINITE) {
        while (!client->WaitIdle(std::chrono::hours(1))) {
        }
        return WAIT_OBJECT_0;
    }
    return client->WaitIdle(std::chrono::milliseconds(ms)) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

void LinuxSpeech::OnSpeechMessage(WPARAM wParam, LPARAM lParam) {
    if (SpeechEventTarget* target = hub_->FindTarget(static_cast<std::uint32_t>(wParam)))
        target->OnSpeechEvent(lParam);
}

}  // namespace win
