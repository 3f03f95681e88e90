#include "platform/backend.h"

#include <cstdio>
#include <cstdlib>

namespace win {

namespace {
Backend* current_backend = nullptr;
}

void SetBackend(Backend* backend) {
    current_backend = backend;
}

Backend& CurrentBackend() {
    if (current_backend == nullptr) {
        // A program that calls the platform before choosing a back end is a programming
        // error, not a runtime condition.
        std::fputs("platform: no back end selected\n", stderr);
        std::abort();
    }
    return *current_backend;
}

}  // namespace win
