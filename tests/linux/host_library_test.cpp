// LoadLibraryA on Linux opens a host file, found through the path rules from a Windows
// path, as a shared object; GetProcAddress resolves its symbols; FreeLibrary closes it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/LinuxBackend.h"

namespace {

namespace fs = std::filesystem;

class HostLibrary : public ::testing::Test {
  protected:
    HostLibrary() {
        root = fs::temp_directory_path() / ("sonara-library-" + std::to_string(getpid()));
        fs::create_directories(root / "tecfal" / "TavenaTTS");
        fs::copy_file(SONARA_TINY_LIBRARY, root / "tecfal" / "TavenaTTS" / "Tiny.DLL");
        std::ofstream(root / "tecfal" / "texto.dll") << "not a shared object\n";
        const char* saved = std::getenv("SONARA_DRIVE_C");
        previous = saved != nullptr ? saved : "";
        had = saved != nullptr;
        setenv("SONARA_DRIVE_C", root.c_str(), 1);
        backend = std::make_unique<win::LinuxBackend>(true);
    }
    ~HostLibrary() override {
        backend.reset();
        had ? setenv("SONARA_DRIVE_C", previous.c_str(), 1) : unsetenv("SONARA_DRIVE_C");
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
    std::string previous;
    bool had = false;
    std::unique_ptr<win::LinuxBackend> backend;
};

using Answer = int (*)();
using Twice = int (*)(int);

TEST_F(HostLibrary, AWindowsPathOpensTheFileAndItsSymbolsResolve) {
    // Drive c: is the root; names match without regard to case.
    win::HMODULE m = backend->LoadLibraryA("c:\\TECFAL\\tavenatts\\tiny.dll");
    ASSERT_NE(m, nullptr);
    auto answer = reinterpret_cast<Answer>(backend->GetProcAddress(m, "tiny_answer"));
    auto twice = reinterpret_cast<Twice>(backend->GetProcAddress(m, "tiny_twice"));
    ASSERT_NE(answer, nullptr);
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(twice(21), 42);
    EXPECT_EQ(backend->GetProcAddress(m, "tiny_missing"), nullptr);
    EXPECT_EQ(backend->GetProcAddress(m, nullptr), nullptr);

    // Loaded twice, freed twice; then the handle is refused.
    win::HMODULE again = backend->LoadLibraryA("c:\\tecfal\\tavenatts\\TINY.DLL");
    EXPECT_EQ(again, m);
    EXPECT_TRUE(backend->FreeLibrary(again));
    EXPECT_NE(backend->GetProcAddress(m, "tiny_answer"), nullptr);
    EXPECT_TRUE(backend->FreeLibrary(m));
    EXPECT_EQ(backend->GetProcAddress(m, "tiny_answer"), nullptr);
    EXPECT_FALSE(backend->FreeLibrary(m));
}

TEST_F(HostLibrary, AHostDirectoryWithAWindowsSeparatorLoadsAsTheProgramDirectoryDoes) {
    // The engine joins the program's directory (a host path on Linux) and "\mbrola.dll".
    const std::string path = (root / "tecfal" / "TavenaTTS").string() + "\\tiny.dll";
    win::HMODULE m = backend->LoadLibraryA(path.c_str());
    ASSERT_NE(m, nullptr);
    EXPECT_NE(backend->GetProcAddress(m, "tiny_answer"), nullptr);
    EXPECT_TRUE(backend->FreeLibrary(m));

    // The program's own name is a host path whose directory is where it lies.
    char name[1024];
    win::DWORD n = backend->GetModuleFileNameA(nullptr, name, sizeof name);
    ASSERT_GT(n, 0u);
    EXPECT_TRUE(fs::is_regular_file(std::string(name, n)));
}

TEST_F(HostLibrary, MissingFilesAndFilesThatAreNoLibraryGiveNull) {
    EXPECT_EQ(backend->LoadLibraryA("c:\\tecfal\\nada.dll"), nullptr);
    EXPECT_EQ(backend->LoadLibraryA("c:\\tecfal\\texto.dll"), nullptr);
    EXPECT_EQ(backend->LoadLibraryA("c:\\tecfal"), nullptr);  // a directory
    EXPECT_EQ(backend->LoadLibraryA(""), nullptr);
    EXPECT_EQ(backend->LoadLibraryA(nullptr), nullptr);
    EXPECT_FALSE(backend->FreeLibrary(nullptr));
}

}  // namespace
