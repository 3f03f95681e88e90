// Read-only file handles: on the simulated machine's files, and on host files.
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

TEST_F(FileHandles, MissingFilesWritesAndClosedHandlesAreRefused) {
    EXPECT_EQ(OpenRead("c:\\dados\\nada.bin"), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenRead("c:\\dados"), win::INVALID_HANDLE_VALUE);  // a directory
    EXPECT_EQ(OpenRead(""), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::CreateFileA("c:\\dados\\letras.bin", win::GENERIC_READ | 0x40000000u, 0, nullptr,
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
