#include "process/Process.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/api.h"

namespace sonara {

namespace {
Process* current_process = nullptr;
Process::StepObserver& Observer() {
    static Process::StepObserver observer;
    return observer;
}
}  // namespace

Process::Process() {
    current_process = this;
}

Process::~Process() {
    if (current_process == this) current_process = nullptr;
}

void Process::SetStepObserver(StepObserver observer) {
    Observer() = std::move(observer);
}

void Process::Note(const char* what, const char* name) {
    if (!Observer()) return;
    std::string step = std::string(what) + " " + name;
    Observer()(step);
}

Process& CurrentProcess() {
    if (current_process == nullptr) {
        std::fputs("process: no process started\n", stderr);
        std::abort();
    }
    return *current_process;
}

int RunProgram(const std::function<void()>& programMain) {
    auto process = std::make_unique<Process>();
    int code = 0;
    try {
        programMain();
    } catch (const win::ProcessExit& exit) {
        code = static_cast<int>(exit.code);
    }
    // Any other exception unwinds `process`, running the shutdown steps, on its way out.
    process.reset();
    return code;
}

}  // namespace sonara
