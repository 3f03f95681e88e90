#include "ConsoleHarness.h"

#include <gtest/gtest.h>

#include "platform/api.h"

namespace console_test {

ConsoleHarness::ConsoleHarness(const std::string& ini, const std::string& moduleName) {
    if (!moduleName.empty()) machine.SetModuleFileName(moduleName);
    if (!ini.empty()) machine.AddFile("c:\\windows\\Sonara.ini", ini);
    win::SetBackend(&machine);
    process_ = std::make_unique<sonara::Process>();
    crt().SetKeyObserver([this](const std::uint8_t* bytes, int n) {
        keys_.push_back({machine.Now(), std::vector<int>(bytes, bytes + n)});
    });
}

ConsoleHarness::~ConsoleHarness() {
    try {
        process_.reset();
    } catch (...) {
    }
    win::SetBackend(nullptr);
}

void ConsoleHarness::Open() {
    crt().InitConsole();
    machine.Focus(true, machine.Now());
    crt().Delay(1);
    machine.ClearRecords();
    keys_.clear();
}

void ConsoleHarness::Script(const std::string& text) {
    auto error = machine.LoadScript(text);
    ASSERT_FALSE(error.has_value()) << *error;
    // Long enough for every scheduled line to fall due (typing is 10 ms a character).
    while (machine.InputPending()) crt().Delay(10);
    crt().Delay(10);
}

std::vector<int> ConsoleHarness::Drain() {
    std::vector<int> bytes;
    while (crt().KeyCount() > 0) bytes.push_back(crt().ReadKey());
    return bytes;
}

std::string Bytes(const std::vector<int>& bytes) {
    std::string s;
    for (int b : bytes) s += (s.empty() ? "" : " ") + std::to_string(b);
    return s;
}

}  // namespace console_test
