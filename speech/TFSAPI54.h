// TFSAPI54: the SAPI 5 voice back end over the second type library (SpeechLib54_TLB),
// installed as server type 54. The code is tfSapi5's; only the class identifiers differ.
#pragma once

#include "speech/tfSapi5.h"

namespace sonara {

class TFSAPI54 final : public SapiVoiceServer {
  public:
    TFSAPI54();  // module start: installed as server type 54
};

}  // namespace sonara
