#include "game/simulate/DataRoot.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/cp1252.h"
#include "platform/sim/SimMachine.h"

namespace sonara {

namespace fs = std::filesystem;

int AddDataRoot(sim::SimMachine& machine, const std::string& root) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) return 0;
    int count = 0;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const fs::path host = it->path();
        std::string relative = fs::relative(host, root, ec).generic_string();
        if (ec) continue;
        for (char& c : relative)
            if (c == '/') c = '\\';
        machine.AddFileSource("c:\\" + win::Utf8ToCp1252(relative),
                              [host]() -> std::optional<std::string> {
                                  std::ifstream in(host, std::ios::binary);
                                  if (!in) return std::nullopt;
                                  return std::string(std::istreambuf_iterator<char>(in), {});
                              });
        ++count;
    }
    return count;
}

std::string DataRootIni(const std::string& root) {
    if (root.empty()) return {};
    std::ifstream in(fs::path(root) / "windows" / "Sonara.ini", std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace sonara
