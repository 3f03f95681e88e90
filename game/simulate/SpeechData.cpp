#include "game/simulate/SpeechData.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/cp1252.h"
#include "platform/sim/SimMachine.h"

namespace sonara {

namespace {

void CopyTree(sim::SimMachine& machine, const std::filesystem::path& from, const std::string& to) {
    std::error_code ec;
    if (!std::filesystem::is_directory(from, ec)) return;
    machine.AddDirectory(to);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(from, ec)) {
        std::string relative = entry.path().lexically_relative(from).generic_string();
        for (char& c : relative) {
            if (c == '/') c = '\\';
        }
        std::string target = to + "\\" + win::Utf8ToCp1252(relative);
        if (entry.is_directory(ec)) {
            machine.AddDirectory(target);
        } else if (entry.is_regular_file(ec)) {
            std::ifstream in(entry.path(), std::ios::binary);
            machine.AddFile(target, std::string(std::istreambuf_iterator<char>(in),
                                                std::istreambuf_iterator<char>()));
        }
    }
}

}  // namespace

void AddSpeechData(sim::SimMachine& machine, const std::string& hostRoot) {
    const std::filesystem::path som = std::filesystem::path(hostRoot) / "tecfal" / "som";
    CopyTree(machine, som / "difones", "c:\\tecfal\\som\\difones");
    CopyTree(machine, som / "letras", "c:\\tecfal\\som\\letras");
}

}  // namespace sonara
