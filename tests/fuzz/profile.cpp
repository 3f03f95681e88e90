// The profile parser on arbitrary bytes with an arbitrary section and key, directly and
// through GetPrivateProfileStringA with small buffers: results stay inside their buffers.
#include "platform/profile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const std::size_t sectionLength = data[0] % 16, keyLength = data[1] % 16;
    const win::DWORD bufferSize = data[2] % 40;
    std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    std::string section = rest.substr(0, sectionLength);
    std::string key = rest.substr(std::min(rest.size(), sectionLength), keyLength);
    std::string file = rest.substr(std::min(rest.size(), sectionLength + keyLength));

    auto value = win::FindProfileValue(file, section, key);
    if (value && value->size() > file.size()) std::abort();
    (void)win::ProfileSections(file);
    (void)win::ProfileKeys(file, section);

    sim::SimMachine m;
    win::SetBackend(&m);
    m.AddFile("c:\\windows\\fuzz.ini", file);
    // Zero bytes end the C strings early, as they would for a caller.
    std::string sectionC = section.c_str(), keyC = key.c_str();
    char buffer[48];
    std::memset(buffer, 'Z', sizeof buffer);
    for (int mode = 0; mode < 3; ++mode) {
        const char* s = mode == 2 ? nullptr : sectionC.c_str();
        const char* k = mode >= 1 ? nullptr : keyC.c_str();
        win::DWORD n =
            win::GetPrivateProfileStringA(s, k, "default", buffer, bufferSize, "fuzz.ini");
        if (bufferSize == 0) {
            if (n != 0) std::abort();
            continue;
        }
        if (n >= bufferSize || buffer[n] != '\0') std::abort();
        if (buffer[bufferSize] != 'Z') std::abort();  // nothing written past the end
    }
    win::SetBackend(nullptr);
    return 0;
}
