// The clip and cue players: the MCI commands, the paths, the wait and the notification.
#include <gtest/gtest.h>

#include <memory>

#include "console/TfCrt.h"
#include "platform/api.h"
#include "process/Process.h"
#include "support/GameHarness.h"

using game_test::GameHarness;

namespace {

std::vector<std::string> Commands(const GameHarness& h) {
    std::vector<std::string> out;
    for (const auto& c : h.machine.MciCommands()) out.push_back(c.command);
    return out;
}

TEST(ClipPlayer, OpenSendsTheCommandsInOrder) {
    GameHarness h;
    std::uintptr_t window = 0;
    h.Run([&](sonara::LetterGame& g) {
        window = reinterpret_cast<std::uintptr_t>(sonara::ConsoleWindow());
        g.Player().PlayClip("A");
    });
    std::vector<std::string> expected = {
        "close pipoco",
        "open \"c:\\tecfal\\som\\LETRALUME\\A.mp4\" type mpegVideo alias pipoco",
        "where pipoco source",
        "window pipoco handle " + std::to_string(window),
        "put pipoco window at 0 0 1032 795",
        "play pipoco notify",
    };
    EXPECT_EQ(Commands(h), expected);
    EXPECT_EQ(h.machine.Now(), game_test::kClipMs);
}

TEST(ClipPlayer, PathRules) {
    struct Case {
        const char* file;
        const char* opened;  // empty: nothing sent
    } cases[] = {
        {"  A.mp4\t", "\"c:\\tecfal\\som\\LETRALUME\\A.mp4\""},
        {"sub\\B.mp4", "\"sub\\B.mp4\""},
        {"d:\\clips\\C.mp4", "\"d:\\clips\\C.mp4\""},
        {" \r\n", ""},
    };
    for (const Case& c : cases) {
        GameHarness h;
        h.Run([&](sonara::LetterGame& g) { g.Player().OpenClip(c.file); });
        auto cmds = Commands(h);
        if (!*c.opened) {
            EXPECT_TRUE(cmds.empty()) << c.file;
            continue;
        }
        ASSERT_FALSE(cmds.empty()) << c.file;
        EXPECT_EQ(cmds[0], std::string("open ") + c.opened + " type mpegVideo alias pipoco");
    }
}

TEST(ClipPlayer, RootDirectoryGetsNoSecondBackslash) {
    GameHarness h;
    h.Run([&](sonara::LetterGame& g) {
        win::SetCurrentDirectoryA("c:\\");
        g.Player().OpenClip("E.mp4");
    });
    auto cmds = Commands(h);
    ASSERT_FALSE(cmds.empty());
    EXPECT_EQ(cmds[0], "open \"c:\\E.mp4\" type mpegVideo alias pipoco");
}

TEST(ClipPlayer, NotificationStateAndHook) {
    GameHarness h;
    h.machine.MarkMediaMissing("gone");
    h.Run([&](sonara::LetterGame& g) {
        sonara::MediaPlayer& p = g.Player();
        p.OpenClip("gone.mp4");
        EXPECT_FALSE(p.ClipPlaying());
        EXPECT_FALSE(sonara::MciNotifyHook().enabled);
        p.OpenClip("A.mp4");
        EXPECT_TRUE(p.ClipPlaying());
        EXPECT_TRUE(sonara::MciNotifyHook().enabled);
        // An empty name leaves the state as it was.
        p.OpenClip("");
        EXPECT_TRUE(p.ClipPlaying());
        // Any notification code ends the clip.
        sonara::MediaPlayer::OnClipNotify(sonara::ConsoleWindow(), win::MCI_NOTIFY_ABORTED, 0);
        EXPECT_FALSE(p.ClipPlaying());
        EXPECT_TRUE(sonara::MciNotifyHook().enabled);
        p.CloseClip();
        EXPECT_FALSE(sonara::MciNotifyHook().enabled);
    });
    EXPECT_EQ(Commands(h).back(), "close pipoco");
}

TEST(ClipPlayer, MissingClipTakesNoTime) {
    GameHarness h;
    h.machine.MarkMediaMissing("A");
    std::uint32_t before = 0;
    h.Run([&](sonara::LetterGame& g) {
        before = h.machine.Now();
        g.Player().PlayClip("A");
        EXPECT_EQ(h.machine.Now(), before);
    });
    EXPECT_EQ(h.Lines().back(), "clip-missing A");
}

TEST(CuePlayer, PathsAndFlags) {
    GameHarness h;
    h.Run([&](sonara::LetterGame& g) {
        g.Player().PlayCue("plin");
        g.Player().PlayCueAsync("aeiou");
        EXPECT_EQ(g.Player().CuePath(std::string(200, 'n')).size(),
                  std::string("c:\\tecfal\\som\\LETRALUME\\").size() + 144);
    });
    const auto& sounds = h.machine.Sounds();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].name, "c:\\tecfal\\som\\LETRALUME\\plin.wav");
    EXPECT_EQ(sounds[0].flags, win::SND_SYNC);
    EXPECT_EQ(sounds[1].name, "c:\\tecfal\\som\\LETRALUME\\aeiou.wav");
    EXPECT_EQ(sounds[1].flags, win::SND_ASYNC);
}

TEST(GameStartUp, SoundDirectoryFromTheConfigurationOrTheFallback) {
    {
        GameHarness h;
        h.machine.AddDirectory("c:\\jogo");
        h.machine.AddFile("c:\\windows\\Sonara.ini", "[LETRALUME]\r\nDIRLETRALUME=c:\\jogo\r\n");
        h.Run([](sonara::LetterGame& g) {
            EXPECT_EQ(g.SoundDirectory(), "c:\\jogo");
            g.Player().PlayClip("A");
        });
        EXPECT_EQ(h.machine.MciCommands()[1].command,
                  "open \"c:\\jogo\\A.mp4\" type mpegVideo alias pipoco");
    }
    for (const char* ini : {"[LETRALUME]\r\nDIRLETRALUME=c:\\nada\r\n", ""}) {
        GameHarness h;
        h.machine.AddFile("c:\\windows\\Sonara.ini", ini);
        h.Run([](sonara::LetterGame& g) {
            EXPECT_EQ(g.SoundDirectory(), "c:\\tecfal\\som\\LETRALUME");
        });
    }
}

TEST(GameStartUp, SeedFixesTheFirstChallenge) {
    int first[2] = {-1, -1};
    for (int run = 0; run < 2; ++run) {
        GameHarness h;
        sonara::GameOptions options;
        options.seed = 42;
        h.Run([&](sonara::LetterGame& g) { first[run] = g.ChallengeIndex(); }, options);
    }
    EXPECT_EQ(first[0], first[1]);
    EXPECT_GE(first[0], 0);
    EXPECT_LT(first[0], 5);
    // The seed is what decides: among a few others one gives another first vowel.
    bool differs = false;
    for (std::uint32_t seed = 1; seed <= 8 && !differs; ++seed) {
        GameHarness h;
        sonara::GameOptions options;
        options.seed = seed;
        int index = -1;
        h.Run([&](sonara::LetterGame& g) { index = g.ChallengeIndex(); }, options);
        differs = index != first[0];
    }
    EXPECT_TRUE(differs);
}

TEST(ClipPlayer, APlayerOutlivingTheConsoleIsDestroyedQuietly) {
    auto player = std::make_unique<sonara::MediaPlayer>();
    player.reset();  // no console, no hook to clear
    EXPECT_EQ(sonara::MediaPlayer::Current(), nullptr);
}

}  // namespace

namespace {

// A player that opens clips but cannot play them: no end notification ever comes.
class PlayFailsMachine : public sim::SimMachine {
  public:
    win::MCIERROR mciSendStringA(const char* command, char* reply, win::UINT length,
                                 win::HWND callback) override {
        if (std::string_view(command).rfind("play ", 0) == 0) return win::MCIERR_HARDWARE;
        return sim::SimMachine::mciSendStringA(command, reply, length, callback);
    }
};

TEST(ClipPlayer, ClipThatOpensButDoesNotPlayDoesNotHang) {
    PlayFailsMachine machine;
    machine.SetAssumeMediaExists(true);
    win::SetBackend(&machine);
    bool playing = true;
    int code = sonara::RunProgram([&] {
        sonara::ClearScreen();
        sonara::MediaPlayer player;
        player.PlayClip("A");
        playing = player.ClipPlaying();
    });
    win::SetBackend(nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(playing);
}

}  // namespace
