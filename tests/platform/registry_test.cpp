// Registry reads over the simulated machine's registry.
#include <gtest/gtest.h>

#include "platform/api.h"
#include "platform/sim/SimMachine.h"

namespace {

struct Registry : ::testing::Test {
    sim::SimMachine m;
    void SetUp() override {
        win::SetBackend(&m);
        m.SetRegistryString(win::HKEY_CURRENT_USER,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            "AppData", "c:\\users\\ana\\appdata");
    }
};

TEST_F(Registry, OpenQueryClose) {
    win::HKEY key = nullptr;
    ASSERT_EQ(win::RegOpenKeyExA(win::HKEY_CURRENT_USER,
                                 "software\\microsoft\\windows\\currentversion\\explorer\\shell "
                                 "folders",
                                 0, win::KEY_READ, &key),
              win::ERROR_SUCCESS);
    win::DWORD type = 0, size = 0;
    ASSERT_EQ(win::RegQueryValueExA(key, "APPDATA", nullptr, &type, nullptr, &size),
              win::ERROR_SUCCESS);
    EXPECT_EQ(type, win::REG_SZ);
    EXPECT_EQ(size, 21u);  // with its terminating zero

    win::BYTE small[8];
    win::DWORD smallSize = sizeof small;
    EXPECT_EQ(win::RegQueryValueExA(key, "AppData", nullptr, nullptr, small, &smallSize),
              win::ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, 21u);

    win::BYTE data[64];
    win::DWORD dataSize = sizeof data;
    ASSERT_EQ(win::RegQueryValueExA(key, "AppData", nullptr, nullptr, data, &dataSize),
              win::ERROR_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(data), "c:\\users\\ana\\appdata");
    EXPECT_EQ(win::RegQueryValueExA(key, "Missing", nullptr, nullptr, data, &dataSize),
              win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_SUCCESS);
    // A closed key, and a handle that was never opened, are refused.
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_INVALID_HANDLE);
    EXPECT_EQ(win::RegQueryValueExA(key, "AppData", nullptr, nullptr, data, &dataSize),
              win::ERROR_INVALID_HANDLE);
    win::HKEY made = reinterpret_cast<win::HKEY>(std::uintptr_t{0x12345678});
    win::HKEY out = nullptr;
    EXPECT_EQ(win::RegOpenKeyExA(made, "x", 0, win::KEY_READ, &out), win::ERROR_INVALID_HANDLE);
    EXPECT_EQ(win::RegCloseKey(made), win::ERROR_INVALID_HANDLE);
}

TEST_F(Registry, ParentKeysExistAndMissingKeysDoNot) {
    win::HKEY parent = nullptr;
    ASSERT_EQ(win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\Microsoft", 0, win::KEY_READ,
                                 &parent),
              win::ERROR_SUCCESS);
    win::HKEY child = nullptr;
    EXPECT_EQ(win::RegOpenKeyExA(parent, "Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                                 win::KEY_READ, &child),
              win::ERROR_SUCCESS);
    win::RegCloseKey(child);
    win::RegCloseKey(parent);
    win::HKEY none = nullptr;
    EXPECT_EQ(
        win::RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, "Software\\Microsoft", 0, win::KEY_READ, &none),
        win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(
        win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\Micro", 0, win::KEY_READ, &none),
        win::ERROR_FILE_NOT_FOUND);
}

}  // namespace
