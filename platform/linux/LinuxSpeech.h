// The speech-server objects of platform/speech_objects.h on Linux, over speech-dispatcher
// (SpeechdClient): what CoCreateInstance and WaitForSingleObject answer on the Linux back end.
//
// Classes: the SAPI 4 multimedia audio destination, the SAPI 4 engine enumerator (its
// modes are the server's voices, Portuguese first; its engine speaks through the server)
// and the SAPI 5 voice (both class identifiers). Output to a file (the SAPI 4 audio file
// destination, the SAPI 5 file stream) is not offered: those classes are not registered.
// Creating the enumerator or a voice connects to the server: no server, a refused
// connection or a server without voices fails the creation.
//
// Threads: every object is used on the program's thread. The server's notifications come
// on libspeechd's thread; for a SAPI 4 engine they are posted as kSpeechMessage, whose
// dispatch (OnSpeechMessage, on the program's thread) calls the engine's sinks. A SAPI 5
// voice's speak-complete event is a real blocking wait on the client's counters.
#pragma once

#include <functional>
#include <memory>

#include "platform/speech_objects.h"
#include "platform/wintypes.h"

namespace win {

class SpeechHub;

class LinuxSpeech {
  public:
    using PostFn = std::function<void(HWND, UINT, WPARAM, LPARAM)>;
    // Posted with wParam = the engine's number and lParam = an event (LinuxSpeechObjects.h).
    static constexpr UINT kSpeechMessage = 0x7F3D;

    // post: the back end's thread-safe PostMessageA.
    explicit LinuxSpeech(PostFn post);
    // Objects still alive keep working but post nothing any more.
    ~LinuxSpeech();
    LinuxSpeech(const LinuxSpeech&) = delete;
    LinuxSpeech& operator=(const LinuxSpeech&) = delete;

    HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid,
                             void** out);
    // A voice's speak-complete event: WAIT_OBJECT_0 once the voice has nothing to speak,
    // WAIT_TIMEOUT after ms; WAIT_FAILED for a handle that is no such event.
    DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
    // The dispatch of kSpeechMessage (program's thread).
    void OnSpeechMessage(WPARAM wParam, LPARAM lParam);

  private:
    std::shared_ptr<SpeechHub> hub_;
};

}  // namespace win
