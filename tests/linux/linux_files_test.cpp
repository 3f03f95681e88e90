// Windows-style paths on the host: drive letters, separators, case, the configuration
// directory and the registry file, in a private temporary tree.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/LinuxFiles.h"

namespace win {
namespace {

namespace fs = std::filesystem;

class LinuxFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("sonara-files-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "c" / "Tecfal" / "Som" / "LetraLume");
        fs::create_directories(root / "c" / "windows");
        fs::create_directories(root / "d");
        fs::create_directories(root / "home" / ".config");
        Write(root / "c" / "Tecfal" / "Som" / "LetraLume" / "A.mp4", "clip");
        Write(root / "c" / "Tecfal" / "Som" / "ação.wav", "cue");
        LinuxFiles::Settings s;
        s.exePath = (root / "bin" / "pipoco").string();
        s.drives['c'] = (root / "c").string() + "/";
        s.drives['d'] = (root / "d").string();
        s.windowsDir = (root / "c" / "windows").string();
        s.appData = (root / "home" / ".config").string();
        s.currentDir = (root / "c").string();
        files.emplace(s);
    }
    void TearDown() override { fs::remove_all(root); }
    static void Write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    std::string Host(const char* rel) { return (root / rel).string(); }

    fs::path root;
    std::optional<LinuxFiles> files;
};

TEST_F(LinuxFilesTest, DrivePathsFindNamesWithoutRegardToCaseAndEitherSeparator) {
    EXPECT_EQ(files->HostPath("c:\\tecfal\\som\\letralume\\a.MP4"),
              Host("c/Tecfal/Som/LetraLume/A.mp4"));
    EXPECT_EQ(files->HostPath("C:/TECFAL/som/LETRALUME/A.mp4"),
              Host("c/Tecfal/Som/LetraLume/A.mp4"));
    // Windows-1252 names map onto UTF-8 host names, case folded across accents.
    EXPECT_EQ(files->HostPath("c:\\tecfal\\som\\A\xc7\xc3O.wav"), Host("c/Tecfal/Som/ação.wav"));
    EXPECT_EQ(*files->ReadFileBytes("c:\\tecfal\\som\\letralume\\a.mp4"), "clip");
    EXPECT_FALSE(files->ReadFileBytes("c:\\tecfal\\som\\nada.mp4").has_value());
    // A missing name keeps its spelling; an unmapped drive never exists.
    EXPECT_EQ(files->HostPath("c:\\tecfal\\Novo\\x"), Host("c/Tecfal/Novo/x"));
    EXPECT_EQ(files->GetFileAttributesA("q:\\x"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LinuxFilesTest, RelativeDotsAndHostAbsolutePaths) {
    EXPECT_EQ(files->HostPath("tecfal\\som\\..\\som\\.\\letralume"),
              Host("c/Tecfal/Som/LetraLume"));
    EXPECT_EQ(files->HostPath("c:\\..\\..\\windows"), Host("c/windows"));
    // A root-relative Windows path stays on the current drive, even where the host has
    // a directory of that name.
    EXPECT_EQ(files->HostPath("\\..\\..\\etc\\passwd"), Host("c/etc/passwd"));
    EXPECT_EQ(files->HostPath("\\tmp"), Host("c/tmp"));
    EXPECT_FALSE(files->ReadFileBytes("\\..\\etc\\passwd").has_value());
    EXPECT_EQ(files->HostPath(Host("d").c_str()), Host("d"));
    std::string mixed = Host("c") + "\\windows";
    EXPECT_EQ(files->HostPath(mixed), Host("c/windows"));
}

TEST_F(LinuxFilesTest, CurrentDirectoryIsReportedInWindowsForm) {
    char buffer[260];
    EXPECT_EQ(files->GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_STREQ(buffer, "c:\\");
    EXPECT_TRUE(files->SetCurrentDirectoryA("c:\\TECFAL\\som\\letralume"));
    files->GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_STREQ(buffer, "c:\\Tecfal\\Som\\LetraLume");
    EXPECT_EQ(*files->ReadFileBytes("a.mp4"), "clip");
    EXPECT_FALSE(files->SetCurrentDirectoryA("c:\\nada"));
    EXPECT_FALSE(files->SetCurrentDirectoryA("c:\\tecfal\\som\\letralume\\a.mp4"));
    files->GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_STREQ(buffer, "c:\\Tecfal\\Som\\LetraLume");
    // Too small a buffer: the size needed, nothing written.
    char tiny[4] = "xyz";
    EXPECT_EQ(files->GetCurrentDirectoryA(sizeof tiny, tiny), 24u);
    EXPECT_STREQ(tiny, "xyz");
}

TEST_F(LinuxFilesTest, WindowsDirectoryModuleNameAndAttributes) {
    char buffer[260];
    files->GetWindowsDirectoryA(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "c:\\windows");
    EXPECT_EQ(files->GetFileAttributesA("c:\\windows"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(files->GetFileAttributesA("c:\\tecfal\\som\\letralume\\a.mp4"),
              FILE_ATTRIBUTE_NORMAL);
    std::string exe = Host("bin/pipoco");
    EXPECT_EQ(files->GetModuleFileNameA(nullptr, buffer, sizeof buffer), exe.size());
    EXPECT_EQ(std::string(buffer), exe);
    EXPECT_EQ(files->GetModuleFileNameA(nullptr, buffer, 5), 5u);  // truncated, as Windows
    EXPECT_EQ(std::string(buffer), exe.substr(0, 4));
}

TEST_F(LinuxFilesTest, RegistryGivesAppDataAndValuesOfTheRegistryFile) {
    const char shell[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    auto appData = files->RegistryQuery(HKEY_CURRENT_USER, shell, "appdata");
    ASSERT_TRUE(appData.has_value());
    EXPECT_EQ(appData->type, REG_SZ);
    EXPECT_EQ(appData->data, Host("home/.config") + std::string(1, '\0'));
    EXPECT_FALSE(files->RegistryQuery(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", "db").has_value());

    Write(root / "c" / "windows" / "registry.ini",
          "; values\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Bases]\r\nvoz = c:\\vozes\\pt1 \r\n"
          "[broken\n=novalue\n\x01\x02\xff garbage\n");
    EXPECT_TRUE(files->RegistryKeyExists(HKEY_LOCAL_MACHINE, "software\\x\\bases"));
    EXPECT_FALSE(files->RegistryKeyExists(HKEY_CURRENT_USER, "software\\x\\bases"));
    auto voice = files->RegistryQuery(HKEY_LOCAL_MACHINE, "SOFTWARE\\X\\Bases", "VOZ");
    ASSERT_TRUE(voice.has_value());
    EXPECT_EQ(voice->data, std::string("c:\\vozes\\pt1") + '\0');
    EXPECT_FALSE(files->RegistryQuery(HKEY_LOCAL_MACHINE, "SOFTWARE\\X\\Bases", "").has_value());

    // "@" is a key's default value, which the empty value name reads.
    Write(root / "c" / "windows" / "registry.ini",
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TCTS\\Mbrola\\databases\\BR4]\r\n"
          "@=c:\\tecfal\\tavenatts\\br4\r\n");
    auto database =
        files->RegistryQuery(HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\br4", "");
    ASSERT_TRUE(database.has_value());
    EXPECT_EQ(database->data, std::string("c:\\tecfal\\tavenatts\\br4") + '\0');
}

}  // namespace
}  // namespace win
