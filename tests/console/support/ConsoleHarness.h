// A fresh process on a fresh simulated machine, for console tests: Sonara.ini in the
// Windows directory holds the given text; the console window is created by Open().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"
#include "process/Process.h"

namespace console_test {

class ConsoleHarness {
  public:
    explicit ConsoleHarness(const std::string& ini = "", const std::string& moduleName = "");
    ~ConsoleHarness();

    sim::SimMachine machine;
    sonara::TfCrt& crt() { return process_->crt.module; }
    sonara::Process& process() { return *process_; }

    // Creates the window, gives it the focus and clears the records.
    void Open();
    // Schedules the script lines now, lets them fall due and dispatches them.
    void Script(const std::string& text);
    // Every queued byte, read out.
    std::vector<int> Drain();
    // Each key as it entered the queue, with the virtual time.
    struct QueuedKey {
        std::uint32_t time;
        std::vector<int> bytes;
    };
    const std::vector<QueuedKey>& Keys() const { return keys_; }
    // Runs f, which must end the process; returns the exit code or -1 if it returned.
    template <class F>
    int ExitCodeOf(F&& f) {
        try {
            f();
        } catch (const win::ProcessExit& e) {
            return static_cast<int>(e.code);
        }
        return -1;
    }

  private:
    std::unique_ptr<sonara::Process> process_;
    std::vector<QueuedKey> keys_;
};

// Queue contents as text ("0 59 13"), for readable failures.
std::string Bytes(const std::vector<int>& bytes);

}  // namespace console_test
