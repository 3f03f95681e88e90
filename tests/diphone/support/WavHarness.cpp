#include "WavHarness.h"

#include <gtest/gtest.h>

#include "diphone/tfwav.h"
#include "platform/api.h"

namespace wavtest {

void Put16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Chunk(std::string_view id, const std::string& body,
                  std::optional<std::uint32_t> claimed) {
    std::string s(id);
    Put32(s, claimed ? *claimed : static_cast<std::uint32_t>(body.size()));
    return s + body;
}

std::string FormatBody(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels) {
    std::string s;
    Put16(s, 1);
    Put16(s, channels);
    Put32(s, rate);
    Put32(s, rate * channels * (bits / 8u));
    Put16(s, static_cast<std::uint16_t>(channels * (bits / 8u)));
    Put16(s, bits);
    return s;
}

std::string Riff(const std::string& chunks, std::optional<std::uint32_t> claimed) {
    std::string s = "RIFF";
    Put32(s, claimed ? *claimed : static_cast<std::uint32_t>(4 + chunks.size()));
    return s + "WAVE" + chunks;
}

std::string Wav(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels,
                const std::string& data) {
    return Riff(Chunk("fmt ", FormatBody(rate, bits, channels)) + Chunk("data", data));
}

std::string Ramp(std::size_t n, std::uint8_t first) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(first + i);
    return s;
}

WavHarness::WavHarness(const std::string& ini) {
    win::SetBackend(&machine);
    if (!ini.empty()) machine.AddFile("c:\\windows\\Sonara.ini", ini);
    process = std::make_unique<sonara::Process>();
}

WavHarness::~WavHarness() {
    process.reset();
    win::SetBackend(nullptr);
}

void WavHarness::Key(std::string_view name, std::uint32_t at) {
    auto key = sim::ParseKeySpec(name);
    ASSERT_TRUE(key.has_value()) << name;
    machine.PressKey(*key, at);
}

std::vector<std::string> WavHarness::Blocks() const {
    std::vector<std::string> out;
    for (const auto& w : machine.WaveWrites()) out.push_back(w.bytes);
    return out;
}

std::vector<std::string> WavHarness::WaveLines() const {
    std::vector<std::string> out;
    for (const auto& e : machine.Events()) {
        if (e.kind == "wave") out.push_back(e.detail);
    }
    return out;
}

int WavHarness::EventIndex(std::string_view kind, std::size_t from) const {
    const auto& events = machine.Events();
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].kind == kind) return static_cast<int>(i);
    }
    return -1;
}

void WavHarness::Drain() {
    while (sonara::IsPlaying()) win::WaitMessage();
}

}  // namespace wavtest
