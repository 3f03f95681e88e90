// File handles: on the simulated machine's files, and on host files.
#include "platform/file_handles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

struct FileHandles : ::testing::Test {
    sim::SimMachine m;
    void SetUp() override {
        win::SetBackend(&m);
        m.AddFile("c:\\dados\\Letras.BIN", "0123456789");
    }
    static win::HANDLE OpenRead(const char* path) {
        return win::CreateFileA(path, win::GENERIC_READ, win::FILE_SHARE_READ, nullptr,
                                win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

TEST_F(FileHandles, ReadsSeeksAndSizesAFileFoundWithoutRegardToCase) {
    win::HANDLE file = OpenRead("C:\\DADOS\\letras.bin");
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetFileSize(file, nullptr), 10u);

    char buffer[8] = {};
    win::DWORD read = 99;
    ASSERT_TRUE(win::ReadFile(file, buffer, 4, &read, nullptr));
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");

    EXPECT_EQ(win::SetFilePointer(file, 2, nullptr, win::FILE_CURRENT), 6u);
    ASSERT_TRUE(win::ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "6789");  // a short read at the end is no failure
    ASSERT_TRUE(win::ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 0u);

    EXPECT_EQ(win::SetFilePointer(file, -3, nullptr, win::FILE_END), 7u);
    EXPECT_EQ(win::SetFilePointer(file, 100, nullptr, win::FILE_BEGIN), 100u);
    ASSERT_TRUE(win::ReadFile(file, buffer, 8, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(win::CloseHandle(file));
}

TEST_F(FileHandles, APositionBeforeTheStartFailsAndKeepsThePosition) {
    win::HANDLE file = OpenRead("c:\\dados\\letras.bin");
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    win::SetFilePointer(file, 5, nullptr, win::FILE_BEGIN);
    EXPECT_EQ(win::SetFilePointer(file, -6, nullptr, win::FILE_CURRENT),
              win::INVALID_SET_FILE_POINTER);
    win::LONG high = -1;  // with the high half: -1:-1 is minus one
    EXPECT_EQ(win::SetFilePointer(file, -1, &high, win::FILE_BEGIN), win::INVALID_SET_FILE_POINTER);
    char c = 0;
    win::DWORD read = 0;
    ASSERT_TRUE(win::ReadFile(file, &c, 1, &read, nullptr));
    EXPECT_EQ(c, '5');
    win::CloseHandle(file);
}

TEST_F(FileHandles, MissingFilesOddAccessAndClosedHandlesAreRefused) {
    EXPECT_EQ(OpenRead("c:\\dados\\nada.bin"), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenRead("c:\\dados"), win::INVALID_HANDLE_VALUE);  // a directory
    EXPECT_EQ(OpenRead(""), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::CreateFileA("c:\\dados\\letras.bin", win::GENERIC_READ | 0x20000000u, 0, nullptr,
                               win::OPEN_EXISTING, 0, nullptr),
              win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(
        win::CreateFileA("c:\\dados\\letras.bin", win::GENERIC_READ, 0, nullptr, 2, 0, nullptr),
        win::INVALID_HANDLE_VALUE);

    win::HANDLE file = OpenRead("c:\\dados\\letras.bin");
    ASSERT_TRUE(win::CloseHandle(file));
    char c = 0;
    win::DWORD read = 7;
    EXPECT_FALSE(win::ReadFile(file, &c, 1, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_FALSE(win::CloseHandle(file));
    EXPECT_EQ(win::GetFileSize(file, nullptr), win::INVALID_FILE_SIZE);
    EXPECT_FALSE(win::CloseHandle(reinterpret_cast<win::HANDLE>(std::uintptr_t{0xdead})));
    EXPECT_EQ(m.FileHandles().OpenCount(), 0u);
}

TEST_F(FileHandles, WritableFilesAreCreatedKeptOrTruncatedAsAsked) {
    auto open = [](const char* path, win::DWORD disposition) {
        return win::CreateFileA(path, win::GENERIC_READ | win::GENERIC_WRITE, 0, nullptr,
                                disposition, 0, nullptr);
    };
    // OPEN_EXISTING needs the file; a missing folder or a folder's own name never opens.
    EXPECT_EQ(open("c:\\dados\\novo.wav", win::OPEN_EXISTING), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(open("c:\\nada\\novo.wav", win::CREATE_ALWAYS), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(open("c:\\dados", win::CREATE_ALWAYS), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(open("c:\\dados\\x.wav", 5), win::INVALID_HANDLE_VALUE);

    win::HANDLE file = open("c:\\dados\\novo.wav", win::CREATE_ALWAYS);
    ASSERT_NE(file, win::INVALID_HANDLE_VALUE);
    win::DWORD done = 0;
    EXPECT_TRUE(win::WriteFile(file, "abcdef", 6, &done, nullptr));
    EXPECT_EQ(done, 6u);
    // Seen at once, as on a disk; a write past the end fills the gap with zeros.
    EXPECT_EQ(win::ReadWholeFile("c:\\dados\\novo.wav"), "abcdef");
    win::SetFilePointer(file, 8, nullptr, win::FILE_BEGIN);
    EXPECT_TRUE(win::WriteFile(file, "Z", 1, &done, nullptr));
    win::SetFilePointer(file, 1, nullptr, win::FILE_BEGIN);
    EXPECT_TRUE(win::WriteFile(file, "B", 1, &done, nullptr));
    EXPECT_EQ(win::GetFileSize(file, nullptr), 9u);
    char back[3] = {};
    win::SetFilePointer(file, 0, nullptr, win::FILE_BEGIN);
    EXPECT_TRUE(win::ReadFile(file, back, 3, &done, nullptr));
    EXPECT_EQ(std::string(back, 3), "aBc");
    EXPECT_TRUE(win::CloseHandle(file));
    EXPECT_EQ(win::ReadWholeFile("c:\\dados\\novo.wav"), std::string("aBcdef\0\0Z", 9));

    // OPEN_ALWAYS keeps the bytes; CREATE_ALWAYS empties the file.
    file = open("c:\\dados\\novo.wav", win::OPEN_ALWAYS);
    EXPECT_EQ(win::GetFileSize(file, nullptr), 9u);
    win::CloseHandle(file);
    file = open("c:\\dados\\novo.wav", win::CREATE_ALWAYS);
    EXPECT_EQ(win::GetFileSize(file, nullptr), 0u);

    // A full disk: the bytes that fit are written and the call fails.
    m.LimitFileSize("c:\\dados\\novo.wav", 4);
    EXPECT_FALSE(win::WriteFile(file, "123456", 6, &done, nullptr));
    EXPECT_EQ(done, 4u);
    EXPECT_FALSE(win::WriteFile(file, "7", 1, &done, nullptr));
    EXPECT_EQ(done, 0u);
    win::CloseHandle(file);

    // A handle opened for reading writes nothing.
    file = OpenRead("c:\\dados\\letras.bin");
    EXPECT_FALSE(win::WriteFile(file, "x", 1, &done, nullptr));
    win::CloseHandle(file);
    EXPECT_EQ(win::ReadWholeFile("c:\\dados\\letras.bin"), "0123456789");
    EXPECT_EQ(m.FileHandles().OpenCount(), 0u);
}

TEST(HostWritableFile, CreatesKeepsAndTruncatesHostFiles) {
    auto dir = std::filesystem::temp_directory_path() /
               ("file-writes-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "out.wav").string();
    EXPECT_EQ(win::HostWritableFile(path, win::OPEN_EXISTING), nullptr);
    {
        auto file = win::HostWritableFile(path, win::OPEN_ALWAYS);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->WriteAt(0, "hello", 5), 5u);
        EXPECT_EQ(file->WriteAt(1, "E", 1), 1u);
        EXPECT_EQ(file->Size(), 5u);
    }
    {
        auto file = win::HostWritableFile(path, win::OPEN_EXISTING);
        ASSERT_NE(file, nullptr);
        char buffer[5] = {};
        EXPECT_EQ(file->ReadAt(0, buffer, 5), 5u);
        EXPECT_EQ(std::string(buffer, 5), "hEllo");
    }
    EXPECT_EQ(win::HostWritableFile(path, win::CREATE_ALWAYS)->Size(), 0u);
    EXPECT_EQ(win::HostWritableFile(dir.string(), win::OPEN_EXISTING), nullptr);
    EXPECT_EQ(win::HostWritableFile((dir / "no" / "x").string(), win::CREATE_ALWAYS), nullptr);
    std::filesystem::remove_all(dir);
}

TEST(HostFileSource, ReadsARegularFileAtAnyOffsetAndRefusesDirectories) {
    auto dir =
        std::filesystem::temp_directory_path() /
        ("file-handles-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    auto path = dir / "data.dif";
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs("abcdefgh", out);
        std::fclose(out);
    }
    auto source = win::HostFileSource(path.string());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Size(), 8u);
    char buffer[4] = {};
    EXPECT_EQ(source->ReadAt(6, buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "gh");
    EXPECT_EQ(source->ReadAt(8, buffer, 4), 0u);
    EXPECT_EQ(win::HostFileSource(dir.string()), nullptr);
    EXPECT_EQ(win::HostFileSource((dir / "absent").string()), nullptr);
    std::filesystem::remove_all(dir);
}

}  // namespace
