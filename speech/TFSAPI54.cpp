#include "speech/TFSAPI54.h"

#include "speech/SpeechLib54_TLB.h"

namespace sonara {

TFSAPI54::TFSAPI54()
    : SapiVoiceServer(
          Tfsapglb::kSapi54, [] { return std::make_unique<SpeechLib54_TLB::TSpVoice>(); },
          [] { return std::make_unique<SpeechLib54_TLB::TSpFileStream>(); }) {}

}  // namespace sonara
