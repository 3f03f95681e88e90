// The stressed letter of words (the stress command's reading of the transcription) with
// arbitrary rules, exceptions and words: the first two bytes choose where the input
// splits into the rule file, the exception file and the words, one a line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tavena/StressPosition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    std::size_t first = bytes.size() * data[0] / 255;
    std::size_t second = first + (bytes.size() - first) * data[1] / 255;
    sonara::TavenaTradut rules;
    rules.LoadRulesText(bytes.substr(0, first));
    rules.LoadExceptionsText(bytes.substr(first, second - first));
    for (std::string_view word : sonara::SplitLines(bytes.substr(second))) {
        if (sonara::StressedLetter(word, rules) > word.size()) std::abort();
    }
    return 0;
}
