// The speech-server objects the SAPI back ends create: COM-shaped plain C++ interfaces
// with the identifiers of the platform's speech interfaces, reference counted through
// QueryInterface / AddRef / Release. Objects are made by CoCreateInstance (platform/api.h),
// which the current back end answers: the simulated machine with its fake engine, Linux
// over the speech server, later Win32 with the real objects.
//
// Threading contract for every back end: all methods are called on the program's thread.
// The SAPI 4 notification sinks are called on that thread too, and only while it
// dispatches messages (inside DispatchMessageA of a message the back end queued, so a
// waiting WaitMessage returns for them). The SAPI 5 voice never calls back: the end of
// speech is seen through its speak-complete event and WaitForSingleObject.
//
// Strings: wide strings are zero-terminated UTF-16 (char16_t). SAPI 4 text (TextData with
// character set 0) is Windows-1252 bytes. Mode names are Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace win {

// ---- COM basics ----

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using QWORD = std::uint64_t;
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

// Class contexts of CoCreateInstance.
constexpr DWORD CLSCTX_INPROC_SERVER = 1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 4;

// WaitForSingleObject.
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD INFINITE = 0xFFFFFFFFu;

struct GUID {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};
constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i]) return false;
    return true;
}
constexpr bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}
using IID = GUID;
using CLSID = GUID;
constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// "CB96B400-C743-11CD-80E5-00AA003E4B50", upper-case hexadecimal.
std::string GuidText(const GUID& guid);

// Windows-1252 <-> UTF-16 for the wide strings of the interfaces.
std::u16string Cp1252ToWide(std::string_view text);
std::string WideToCp1252(std::u16string_view text, char replacement = '?');
std::string WideToUtf8(std::u16string_view text);

class IUnknown {
  public:
    // out receives the interface with a reference added, or null with E_NOINTERFACE.
    virtual HRESULT QueryInterface(const IID& iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;  // objects go through Release
};

constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// ---- SAPI 4 ----

constexpr CLSID CLSID_MMAudioDest{
    0xCB96B400, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr CLSID CLSID_AudioDestFile{
    0xD4623720, 0xE4B9, 0x11CF, {0x8D, 0x56, 0x00, 0xA0, 0xC9, 0x03, 0x4A, 0x7E}};
constexpr CLSID CLSID_TTSEnumerator{
    0xD67C0280, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr IID IID_IAudioMultiMediaDevice{
    0xB68AD320, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr IID IID_IAudioFile{
    0xFD7C2320, 0x3D6D, 0x11B9, {0xC0, 0x00, 0xFE, 0xD6, 0xCB, 0xA3, 0xB1, 0xA9}};
constexpr IID IID_ITTSEnumA{
    0x05EB6C6D, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
constexpr IID IID_ITTSNotifySinkA{
    0x05EB6C6F, 0xDBAB, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};
constexpr IID IID_ITTSBufNotifySink{
    0xE4963D40, 0xC743, 0x11CD, {0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50}};
constexpr IID IID_ITTSAttributesA{
    0x0FD6E2A1, 0xE77D, 0x11CD, {0xB3, 0xCA, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};

constexpr std::size_t kTtsNameLength = 262;
constexpr std::size_t kTtsDialectLength = 64;

struct TTSLanguageA {
    WORD languageId;  // 0x0416 Portuguese (Brazil)
    char dialect[kTtsDialectLength];
};

// The mode record of one voice of an engine, 1424 bytes. Texts are zero-terminated.
struct TTSModeInfoA {
    GUID engineId;
    char makerName[kTtsNameLength];
    char productName[kTtsNameLength];
    GUID modeId;  // what ITTSEnumA::Select takes
    char modeName[kTtsNameLength];
    TTSLanguageA language;
    char speaker[kTtsNameLength];
    char style[kTtsNameLength];
    WORD gender;
    WORD age;
    DWORD features;
    DWORD interfaces;
    DWORD engineFeatures;
};
static_assert(sizeof(TTSModeInfoA) == 1424, "the platform's mode record is 1424 bytes");

struct TTSMouth {
    BYTE height, width, upturn, jawOpen, teethUpperVisible, teethLowerVisible, tonguePosition,
        lipTension;
};

// A block of text for TextData.
struct SData {
    const void* data;
    DWORD size;
};

constexpr DWORD kCharsetText = 0;  // TextData: plain text

class IAudioMultiMediaDevice : public IUnknown {
  public:
    // The wave-out device index the engine speaks on.
    virtual HRESULT DeviceNumSet(DWORD device) = 0;
};

class IAudioFile : public IUnknown {
  public:
    // Speech goes to this file from now on; flags 1: a new file.
    virtual HRESULT Set(LPCWSTR fileName, DWORD flags) = 0;
    virtual HRESULT Flush() = 0;
};

class ITTSNotifySinkA : public IUnknown {
  public:
    virtual HRESULT AttribChanged(DWORD attribute) = 0;
    virtual HRESULT AudioStart(QWORD timeStamp) = 0;
    virtual HRESULT AudioStop(QWORD timeStamp) = 0;
    virtual HRESULT Visual(QWORD timeStamp, char ipa, char engine, DWORD flags,
                           const TTSMouth* mouth) = 0;
};

class ITTSBufNotifySink : public IUnknown {
  public:
    virtual HRESULT TextDataDone(QWORD timeStamp, DWORD flags) = 0;
    virtual HRESULT TextDataStarted(QWORD timeStamp) = 0;
    virtual HRESULT BookMark(QWORD timeStamp, DWORD mark) = 0;
    virtual HRESULT WordPosition(QWORD timeStamp, DWORD byteOffset) = 0;
};

class ITTSAttributesA : public IUnknown {
  public:
    virtual HRESULT PitchSet(WORD pitch) = 0;
    virtual HRESULT SpeedSet(DWORD speed) = 0;
};

class ITTSCentralA : public IUnknown {
  public:
    // Queues text. sink is queried for iidSink (ITTSBufNotifySink) and kept until the
    // text is done; its TextDataStarted and TextDataDone bracket the text.
    virtual HRESULT TextData(DWORD charset, DWORD flags, SData text, IUnknown* sink,
                             const IID& iidSink) = 0;
    // Stops speaking at once and drops all queued text.
    virtual HRESULT AudioReset() = 0;
    // sink is queried for iidSink (ITTSNotifySinkA); key identifies the registration.
    virtual HRESULT Register(IUnknown* sink, const IID& iidSink, DWORD* key) = 0;
    virtual HRESULT UnRegister(DWORD key) = 0;
};

class ITTSEnumA : public IUnknown {
  public:
    // Copies up to count mode records; S_FALSE when fewer than count were left (the
    // records beyond *fetched are untouched). fetched may be null.
    virtual HRESULT Next(ULONG count, TTSModeInfoA* modes, ULONG* fetched) = 0;
    virtual HRESULT Reset() = 0;
    // The engine of a mode, speaking to audio (an audio destination object).
    virtual HRESULT Select(const GUID& modeId, ITTSCentralA** central, IUnknown* audio) = 0;
};

// ---- SAPI 5 automation ----

constexpr CLSID CLSID_SpVoice{
    0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr CLSID CLSID_SpFileStream{
    0x947812B3, 0x2AE1, 0x4644, {0xBA, 0x86, 0x9E, 0x90, 0xDE, 0xD7, 0xEC, 0x91}};
constexpr CLSID CLSID_SpVoice54{
    0xD941651C, 0x44E6, 0x4C17, {0xBA, 0xDF, 0xC3, 0x68, 0x26, 0xFC, 0x34, 0x24}};
constexpr CLSID CLSID_SpFileStream54{
    0x3346EF73, 0x0E05, 0x4907, {0x81, 0xAC, 0x1F, 0x35, 0x47, 0xDA, 0x6F, 0xFE}};
constexpr IID IID_ISpeechVoice{
    0x269316D8, 0x57BD, 0x11D2, {0x9E, 0xEE, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
constexpr IID IID_ISpeechVoiceEvents{
    0xA372ACD1, 0x3BEF, 0x4BBD, {0x8F, 0xFB, 0xCB, 0x3E, 0x2B, 0x41, 0x6A, 0xF8}};
constexpr IID IID_ISpeechFileStream{
    0xAF67F125, 0xAB39, 0x4E93, {0xB4, 0xA2, 0xCC, 0x2E, 0x66, 0xE1, 0x82, 0xA7}};

// ISpeechVoice::Speak flags.
constexpr LONG SVSFlagsAsync = 1;
constexpr LONG SVSFPurgeBeforeSpeak = 2;
constexpr LONG SVSFIsNotXML = 16;
// ISpeechFileStream::Open mode: create for writing.
constexpr LONG SSFMCreateForWrite = 3;

class ISpeechObjectToken : public IUnknown {
  public:
    // The voice's name as people read it.
    virtual HRESULT GetDescription(LONG locale, std::u16string* description) = 0;
};

class ISpeechObjectTokens : public IUnknown {
  public:
    virtual HRESULT get_Count(LONG* count) = 0;
    // index from 0; out gets a reference.
    virtual HRESULT Item(LONG index, ISpeechObjectToken** out) = 0;
};

class ISpeechBaseStream : public IUnknown {};

class ISpeechFileStream : public ISpeechBaseStream {
  public:
    virtual HRESULT Open(LPCWSTR fileName, LONG mode, bool doEvents) = 0;
    virtual HRESULT Close() = 0;
};

class ISpeechVoice : public IUnknown {
  public:
    virtual HRESULT put_EventInterests(LONG interests) = 0;
    // The installed voices matching the attribute strings (empty: all).
    virtual HRESULT GetVoices(LPCWSTR required, LPCWSTR optional, ISpeechObjectTokens** out) = 0;
    virtual HRESULT putref_Voice(ISpeechObjectToken* voice) = 0;
    // -10..10; values outside are refused with E_INVALIDARG.
    virtual HRESULT put_Rate(LONG rate) = 0;
    // With SVSFlagsAsync returns at once; SVSFPurgeBeforeSpeak drops what is queued first.
    virtual HRESULT Speak(LPCWSTR text, LONG flags, LONG* streamNumber) = 0;
    // Signalled while the voice has nothing to speak; for WaitForSingleObject. Owned by
    // the voice: valid until its last Release.
    virtual HRESULT get_SpeakCompleteEvent(HANDLE* event) = 0;
    virtual HRESULT putref_AudioOutputStream(ISpeechBaseStream* stream) = 0;
};

}  // namespace win
