// Last text stage: phoneme entries to synthesizer phoneme lines with durations, pitch
// points and fillers for phoneme pairs the voice database lacks.
#pragma once

#include <string>

#include "tavena/DiphoneList.h"
#include "tavena/Intonation.h"
#include "tavena/Prosody.h"

namespace sonara {

class PhonemeLineBuilder {
  public:
    // Lines of the form "phoneme ms [position Hz]", ";" + token comments, empty lines, and
    // "_ 50" / "y 50" fillers before a phoneme whose pair with the one before it is
    // missing from the diphone list.
    Lines BuildPhonemeLines(const Lines& phonemes, double pitchFactor, double durationFactor,
                            const ProsodyConfig& prosody, const DiphoneList& diphones);

    // The phoneme last compared with the diphone list; carried into the next text.
    const std::string& CurrentPhoneme() const { return current_; }

  private:
    std::string current_;
};

}  // namespace sonara
