// sonara ini SECTION KEY: prints ReadIni's value; sonara ini-dir: prints IniDirectory as
// a host path.
// Both run as a program of the family (the facade started, so the legacy lookup is on).
#include <cstdio>
#include <memory>
#include <string>

#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/LinuxFiles.h"
#include "process/Process.h"
#include "speech/tfsapi.h"
#include "tools/sonara/command.h"
#include "tools/sonara/encoding.h"

namespace {

int RunOnLinux(const std::function<void()>& body) {
    std::unique_ptr<win::Backend> backend = win::MakeLinuxBackend();
    win::SetBackend(backend.get());
    int code = sonara::RunProgram(body);
    win::SetBackend(nullptr);
    return code;
}

int Ini(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: sonara ini SECTION KEY\n");
        return 2;
    }
    return RunOnLinux([&] {
        std::string value =
            sonara::ReadIni(sonara_tool::Utf8ToCp1252(args[0]), sonara_tool::Utf8ToCp1252(args[1]));
        std::printf("%s\n", sonara_tool::Cp1252ToUtf8(value).c_str());
    });
}

int IniDir(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: sonara ini-dir\n");
        return 2;
    }
    // For a person at a shell: the host directory the Windows-style path names, written
    // with the host's separators, ready to paste.
    return RunOnLinux(
        [] { std::printf("%s\n", win::LinuxFiles().HostPath(sonara::IniDirectory()).c_str()); });
}

sonara_tool::Registrar ini({"ini", "ini SECTION KEY      the value of a Sonara.ini key", &Ini});
sonara_tool::Registrar iniDir({"ini-dir", "ini-dir              the directory of Sonara.ini",
                               &IniDir});

}  // namespace
