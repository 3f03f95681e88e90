#include "tavena/Pipeline.h"

#include "tavena/Normalise.h"
#include "tavena/Transcribe.h"

namespace sonara {

std::string TextPipeline::Normalised(std::string_view text) const {
    return Normalise(text, data_.abbreviations);
}

Lines TextPipeline::Tagged(std::string_view text) const {
    return TagWords(Normalised(text), data_.prosody);
}

Lines TextPipeline::Intonation(std::string_view text) const {
    return AssignIntonation(Tagged(text), true, data_.prosody);
}

Lines TextPipeline::Transcribed(std::string_view text) const {
    return Transcribe(Intonation(text), data_.rules);
}

Lines TextPipeline::PhonemeLines(std::string_view text, double pitchFactor, double durationFactor) {
    return builder_.BuildPhonemeLines(Transcribed(text), pitchFactor, durationFactor, data_.prosody,
                                      data_.diphones);
}

}  // namespace sonara
