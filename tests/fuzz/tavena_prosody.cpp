// Prosody loader over arbitrary bytes; the tables it built then drive tagging, intonation
// and phoneme lines over part of the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tavena/DiphoneList.h"
#include "tavena/Intonation.h"
#include "tavena/PhonemeLines.h"
#include "tavena/Prosody.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sonara::ProsodyConfig config;
    sonara::ParseProsody(bytes, config);
    // Section headers in front make the parser reach every section's line handling.
    std::string framed = "[DURA\xC7\xC3O]\n" + std::string(bytes) + "\n[CHAVES]\n" +
                         std::string(bytes) +
                         "\n[PROS\xD3"
                         "DIA]\n" +
                         std::string(bytes);
    sonara::ParseProsody(framed, config);
    std::string_view text = bytes.substr(0, 120);
    sonara::Lines tagged = sonara::TagWords(text, config);
    sonara::Lines codes = sonara::AssignIntonation(tagged, true, config);
    // Intonation lines read as phoneme entries: headers, marks and pauses of any shape.
    sonara::Lines entries = codes;
    for (const auto& line : tagged) entries.push_back(line.substr(line.size() > 4 ? 4 : 0));
    sonara::DiphoneList diphones;
    diphones.Load(text);
    sonara::PhonemeLineBuilder builder;
    builder.BuildPhonemeLines(entries, 1.5, 0.8, config, diphones);
    return 0;
}
