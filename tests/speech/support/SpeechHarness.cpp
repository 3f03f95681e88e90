#include "SpeechHarness.h"

#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "speech/tflenum.h"

namespace speechtest {

namespace {

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string Recording(std::size_t samples, char value) {
    std::string s = "RIFF";
    Put32(s, static_cast<std::uint32_t>(36 + samples));
    s += "WAVEfmt ";
    Put32(s, 16);
    s += std::string("\x01\x00\x01\x00", 4);
    Put32(s, 11025);
    Put32(s, 11025);
    s += std::string("\x01\x00\x08\x00", 4);
    s += "data";
    Put32(s, static_cast<std::uint32_t>(samples));
    return s + std::string(samples, value);
}

SpeechHarness::SpeechHarness(const std::string& ini, bool withData) {
    win::SetBackend(&machine);
    machine.AddFile("c:\\windows\\Sonara.ini",
                    "[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\n" + ini);
    if (withData) {
        machine.AddDirectory("c:\\letras");
        machine.AddDirectory("c:\\som");
        for (const char* name : {"DIFONES2.IND", "DIFONES2.DIF", "regras.rgr", "portug.exc"})
            machine.AddFile(std::string("c:\\difones\\") + name, "");
    }
    process = std::make_unique<sonara::Process>();
}

SpeechHarness::~SpeechHarness() {
    process.reset();
    win::SetBackend(nullptr);
}

void SpeechHarness::AddRecordings() {
    for (int c = 32; c < 127; ++c)
        machine.AddFile(std::string(kLetters) + "_" + std::to_string(c) + ".wav", Recording());
    for (const char* name : {"_unknown", "_zero", "_MENOS", "_FON9"})
        machine.AddFile(std::string(kLetters) + name + ".wav", Recording());
    for (std::uint32_t n = 1; n <= 20; ++n) {
        for (const std::string& word :
             sonara::NumberWordRecordings(sonara::NumberToWords(n), false))
            machine.AddFile(std::string(kLetters) + word + ".wav", Recording());
    }
}

void SpeechHarness::Key(std::string_view name, std::uint32_t at) {
    auto key = sim::ParseKeySpec(name);
    ASSERT_TRUE(key.has_value()) << name;
    machine.PressKey(*key, at);
}

std::vector<std::string> SpeechHarness::Opened() const {
    std::vector<std::string> out;
    for (const auto& e : machine.Events()) {
        if (e.kind != "file" || e.detail.rfind("missing ", 0) == 0) continue;
        if (e.detail.size() < 4 || e.detail.compare(e.detail.size() - 4, 4, ".wav") != 0) continue;
        std::string name = e.detail.substr(e.detail.find_last_of('\\') + 1);
        out.push_back(name.substr(0, name.size() - 4));
    }
    return out;
}

std::vector<std::uint32_t> SpeechHarness::OpenTimes() const {
    std::vector<std::uint32_t> out;
    for (const auto& e : machine.Events()) {
        if (e.kind == "file" && e.detail.rfind("missing ", 0) != 0 && e.detail.size() > 4 &&
            e.detail.compare(e.detail.size() - 4, 4, ".wav") == 0)
            out.push_back(e.time);
    }
    return out;
}

std::vector<std::string> SpeechHarness::WaveLines() const {
    std::vector<std::string> out;
    for (const auto& e : machine.Events()) {
        if (e.kind == "wave") out.push_back(e.detail);
    }
    return out;
}

int SpeechHarness::EventIndex(std::string_view kind, std::size_t from) const {
    const auto& events = machine.Events();
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].kind == kind) return static_cast<int>(i);
    }
    return -1;
}

bool TestServer::Start(int voice, int speed, int pitch, std::string_view) {
    starts.insert(starts.end(), {voice, speed, pitch});
    return startResult;
}

void TestServer::Speak(std::string_view text) {
    spoken.emplace_back(text);
    busy_until_ = machine_.Now() + busy_ms_;
}

bool TestServer::Busy(bool) {
    if (machine_.Now() >= busy_until_) return false;
    // A busy check takes a moment and wakes the waiting loop, as the engines do.
    win::Sleep(10);
    win::PostMessageA(sonara::ConsoleWindow(), 2980, 0, 0);
    return true;
}

void TestServer::Stop() {
    ++stops;
    busy_until_ = 0;
}

}  // namespace speechtest
