#include "speech/minireg.h"

#include <vector>

#include "platform/api.h"

namespace sonara {

bool ReadRegString(win::HKEY root, std::string_view path, std::string& value) {
    std::size_t split = path.rfind('\\');
    if (split == std::string_view::npos) return false;
    std::string keyPath(path.substr(0, split));
    std::string valueName(path.substr(split + 1));

    win::HKEY key = nullptr;
    if (win::RegOpenKeyExA(root, keyPath.c_str(), 0, win::KEY_READ, &key) != win::ERROR_SUCCESS)
        return false;
    bool ok = false;
    win::DWORD type = 0;
    win::DWORD size = 0;
    if (win::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) ==
            win::ERROR_SUCCESS &&
        type == win::REG_SZ) {
        std::vector<win::BYTE> data(size);
        if (win::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &size) ==
                win::ERROR_SUCCESS &&
            type == win::REG_SZ) {
            // The data ends with its terminating zero; an empty buffer has none to drop.
            std::size_t length = size > 0 ? size - 1 : 0;
            value.assign(reinterpret_cast<const char*>(data.data()), length);
            ok = true;
        }
    }
    win::RegCloseKey(key);
    return ok;
}

}  // namespace sonara
