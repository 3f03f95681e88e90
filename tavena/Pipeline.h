// The text stages of the engine in order, over the five loaded data tables.
#pragma once

#include <string>
#include <string_view>

#include "diphone/tfTradut_tavena.h"
#include "tavena/Abbreviations.h"
#include "tavena/DiphoneList.h"
#include "tavena/Intonation.h"
#include "tavena/PhonemeLines.h"
#include "tavena/Prosody.h"

namespace sonara {

struct TavenaData {
    TavenaTradut rules;  // rules and exceptions
    AbbreviationTable abbreviations;
    ProsodyConfig prosody;
    DiphoneList diphones;
};

// Normalise, TagWords, AssignIntonation, Transcribe and BuildPhonemeLines. The phoneme
// line builder keeps its current phoneme from one text to the next.
class TextPipeline {
  public:
    explicit TextPipeline(const TavenaData& data) : data_(data) {}

    std::string Normalised(std::string_view text) const;
    Lines Tagged(std::string_view text) const;
    Lines Intonation(std::string_view text) const;
    Lines Transcribed(std::string_view text) const;
    Lines PhonemeLines(std::string_view text, double pitchFactor, double durationFactor);

  private:
    const TavenaData& data_;
    PhonemeLineBuilder builder_;
};

}  // namespace sonara
