// The letter game on the Linux back end, started from the bundled Sonara.ini: its sound
// directory, the current directory and the clip path lead to the generated pack's file in
// the build's data root, and the first clip opens from there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/TfCrt.h"
#include "game/LetterGame.h"
#include "platform/api.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/LinuxFiles.h"
#include "process/Process.h"

namespace {

namespace fs = std::filesystem;

// The real back end, recording every clip command; once the first clip plays, it closes
// the console, which ends the game from its clip wait.
class RecordingBackend : public win::LinuxBackend {
  public:
    struct Sent {
        std::string command;
        win::MCIERROR result;
    };
    std::vector<Sent> sent;

    win::MCIERROR mciSendStringA(const char* command, char* reply, win::UINT replyLength,
                                 win::HWND callback) override {
        const win::MCIERROR result =
            LinuxBackend::mciSendStringA(command, reply, replyLength, callback);
        sent.push_back({command ? command : "", result});
        if (sent.back().command.rfind("play ", 0) == 0)
            PostMessageA(sonara::ConsoleWindow(), win::WM_CLOSE, 0, 0);
        return result;
    }
};

TEST(GameOnLinux, StartsFromTheBundledIniAndOpensItsFirstClipFromTheDataRoot) {
    if (!SONARA_MEDIA_ON) GTEST_SKIP() << "SONARA_MEDIA is off: the media pack is not built";
    const fs::path root = SONARA_DATA_ROOT;
    ASSERT_TRUE(fs::is_regular_file(root / "windows" / "Sonara.ini"));
    // Without its voice the game would stop at the speech start-up's message and wait
    // for an Enter nobody types.
    ASSERT_TRUE(fs::is_regular_file(root / "tecfal" / "som" / "difones" / "DIFONES2.IND"))
        << "build the voice target";
    ASSERT_TRUE(fs::is_directory(root / "tecfal" / "som" / "letras")) << "build the voice target";
    // Drive c: is the build's data root and no user file hides the bundled one.
    const fs::path home = fs::temp_directory_path() / ("sonara-game-" + std::to_string(getpid()));
    fs::create_directories(home);
    setenv("SONARA_DRIVE_C", root.c_str(), 1);
    setenv("SONARA_WINDIR", (root / "windows").c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);

    RecordingBackend backend;
    win::SetBackend(&backend);
    const int code = sonara::RunProgram([] {
        sonara::GameOptions options;
        options.seed = 1;
        sonara::LetterGame game(options);
        game.Run();
    });
    win::SetBackend(nullptr);
    fs::remove_all(home);

    EXPECT_EQ(code, 0);
    // Each clip starts by closing the one before.
    auto first = std::find_if(backend.sent.begin(), backend.sent.end(),
                              [](const auto& s) { return s.command.rfind("open ", 0) == 0; });
    ASSERT_NE(first, backend.sent.end()) << "the game opened no clip";
    const std::string& open = first->command;
    EXPECT_EQ(first->result, 0u) << open;
    // open "<DIRLETRALUME>\bookcase-intro.mp4" type mpegVideo alias pipoco
    const std::size_t q1 = open.find('"'), q2 = open.find('"', q1 + 1);
    ASSERT_NE(q2, std::string::npos) << open;
    const std::string clip = open.substr(q1 + 1, q2 - q1 - 1);
    EXPECT_EQ(clip, "c:\\tecfal\\som\\LETRALUME\\bookcase-intro.mp4");
    const std::string host = win::LinuxFiles().HostPath(clip);
    EXPECT_EQ(fs::path(host), root / "tecfal" / "som" / "LETRALUME" / "bookcase-intro.mp4");
    EXPECT_TRUE(fs::is_regular_file(host));
    bool played = false;
    for (const auto& s : backend.sent) played |= s.command.rfind("play ", 0) == 0 && s.result == 0;
    EXPECT_TRUE(played);
}

}  // namespace
