// The braille display library of the Linux back end: loading it by name, its entry
// points, BrlAPI key codes as display key events, and no display without BRLTTY.
#define BRLAPI_NO_DEPRECATED
#define BRLAPI_NO_SINGLE_SESSION
#include <brlapi.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/fsbrldspapi.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/LinuxBraille.h"

namespace {

std::string Events(std::uint64_t code) {
    win::DisplayKeyEvent e[2];
    const int n = win::BrlapiKeyEvents(code, e);
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? " " : "") + std::to_string(e[i].kind) + "/" + std::to_string(e[i].data);
    return s;
}

TEST(BrlapiKeys, DotsAreChordsThatEndAtOnce) {
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 3), "1/768 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOT7), "1/16384 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOT7 | BRLAPI_DOT8),
              "1/49152 1/3");
    // The space bar, alone, with dots, and a blank cell.
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC), "1/8388608 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC | 1),
              "1/8388864 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS), "1/8388608 1/3");
    // Modifier flags above the code change nothing.
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 3 | BRLAPI_KEY_FLG_SHIFT),
              "1/768 1/3");
}

TEST(BrlapiKeys, NavigationRoutingAndKeyboardKeys) {
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP), "3/16");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNDN), "3/32");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_TOP), "1/65536 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_BOT), "1/131072 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE | 7), "2/7");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_LINEFEED), "1/32768 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_BACKSPACE), "1/16384 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_ESCAPE), "1/49152 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_HOME), "1/65536 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_END), "1/131072 1/3");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UP), "1/261");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_DOWN), "1/2309");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | ' '), "1/8388608 1/3");
    // The screen reader's own commands and other keys: no event.
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_HOME), "");
    EXPECT_EQ(Events(BRLAPI_KEY_TYPE_SYM | 'a'), "");
    EXPECT_EQ(Events(0xE0000000u), "");  // an unknown key type
}

TEST(BrailleLibrary, LoadedByNameWithItsEightEntryPointsAndFreed) {
    win::LinuxBackend backend;
    EXPECT_EQ(backend.LoadLibraryA("mbrola.dll"), nullptr);
    win::HMODULE m = backend.LoadLibraryA("C:\\Windows\\System32\\FSBRLDSPAPI.DLL");
    ASSERT_NE(m, nullptr);
    for (const char* name :
         {fsbrl::kOpen, fsbrl::kGetCellCount, fsbrl::kWrite, fsbrl::kConfigure,
          fsbrl::kGetDisplayName, fsbrl::kGetFirmwareVersion, fsbrl::kClose, fsbrl::kBeep})
        EXPECT_NE(backend.GetProcAddress(m, name), nullptr) << name;
    EXPECT_EQ(backend.GetProcAddress(m, "_fbOpen@8"), nullptr);
    EXPECT_EQ(backend.GetProcAddress(m, nullptr), nullptr);
    EXPECT_TRUE(backend.FreeLibrary(m));
    EXPECT_EQ(backend.GetProcAddress(m, fsbrl::kOpen), nullptr);
    EXPECT_FALSE(backend.FreeLibrary(m));
}

TEST(BrailleLibrary, WithoutBrlttyOpenFailsSilentlyAndTheOtherCallsIgnoreItsHandle) {
    // A BrlAPI host number nobody serves.
    const char* saved = std::getenv("BRLAPI_HOST");
    const std::string previous = saved ? saved : "";
    setenv("BRLAPI_HOST", ":31999", 1);
    win::LinuxBackend backend;
    win::HMODULE m = backend.LoadLibraryA("fsbrldspapi.dll");
    ASSERT_NE(m, nullptr);
    auto open = reinterpret_cast<fsbrl::OpenProc>(backend.GetProcAddress(m, fsbrl::kOpen));
    auto count =
        reinterpret_cast<fsbrl::GetCellCountProc>(backend.GetProcAddress(m, fsbrl::kGetCellCount));
    auto write = reinterpret_cast<fsbrl::WriteProc>(backend.GetProcAddress(m, fsbrl::kWrite));
    auto name =
        reinterpret_cast<fsbrl::GetTextProc>(backend.GetProcAddress(m, fsbrl::kGetDisplayName));
    testing::internal::CaptureStderr();
    EXPECT_EQ(open("USB", nullptr, 0xC000), 0u);
    EXPECT_EQ(count(0), 0);
    EXPECT_EQ(count(1), 0);
    const std::uint8_t dots[4] = {1, 2, 3, 4};
    write(1, 0, 4, dots);
    char text[8] = "unset";
    name(1, text, sizeof text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_STREQ(text, "unset");
    if (saved)
        setenv("BRLAPI_HOST", previous.c_str(), 1);
    else
        unsetenv("BRLAPI_HOST");
}

}  // namespace
