// SpeechLib54_TLB: the wrapper components of the SAPI 5 automation objects, second type
// library: the same components as SpeechLib_TLB with that library's class identifiers.
#pragma once

#include "speech/SpeechLib_TLB.h"

namespace sonara::SpeechLib54_TLB {

inline constexpr SpeechLibrary kLibrary{win::CLSID_SpVoice54, win::CLSID_SpFileStream54};

class TSpVoice : public SpVoiceComponent {
  public:
    TSpVoice() : SpVoiceComponent(kLibrary.voiceClass) {}
};

class TSpFileStream : public SpFileStreamComponent {
  public:
    TSpFileStream() : SpFileStreamComponent(kLibrary.fileStreamClass) {}
};

}  // namespace sonara::SpeechLib54_TLB
