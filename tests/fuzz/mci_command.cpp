// The MCI command parser on arbitrary text: it must return an error code or a command,
// never crash.
#include "platform/mci_command.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const win::MciParse p = win::ParseMciCommand(text);
    if (p.error == 0 && (p.command.device.empty() || p.command.device.size() > size)) std::abort();
    return 0;
}
