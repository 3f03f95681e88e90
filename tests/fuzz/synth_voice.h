// A tiny voice for the synthesizer's fuzzers: phonemes _ a s, every pair, 10 ms units.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

inline std::string TinyVoice() {
    std::string out = "SNRVOICE";
    const auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
    };
    const int units = 9, length = 160, marksPerUnit = 2;
    put(1, 4);
    put(16000, 4);
    put(3, 4);
    put(units, 4);
    put(units * marksPerUnit, 4);
    put(units * length, 4);
    for (const char* name : {"_", "a", "s"}) {
        std::string n = name;
        n.resize(8, '\0');
        out += n;
    }
    for (int u = 0; u < units; ++u) {
        put(u / 3, 2);
        put(u % 3, 2);
        put(u * length, 4);
        put(length, 4);
        put(length / 2, 4);
        put(u * marksPerUnit, 4);
        put(marksPerUnit, 4);
    }
    for (int u = 0; u < units; ++u) {
        for (int m = 0; m < marksPerUnit; ++m) {
            const bool voiced = (m == 0 ? u / 3 : u % 3) == 1;
            put((40 + 80 * m) | (voiced ? 0x80000000u : 0), 4);
        }
    }
    for (int u = 0; u < units; ++u) {
        for (int i = 0; i < length; ++i) {
            put(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.3))), 2);
        }
    }
    return out;
}
