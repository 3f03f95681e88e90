// The generated media pack holds every clip and cue the game plays, and the narration
// sources cover exactly the game's clips.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/MediaNames.h"
#include "support/GameHarness.h"

namespace fs = std::filesystem;

namespace {

void ExpectNonEmptyFile(const fs::path& path) {
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    EXPECT_FALSE(ec) << path << " is missing";
    if (!ec) {
        EXPECT_GT(size, 1000u) << path << " is too small to be a clip or cue";
    }
}

TEST(MediaPack, NarrationCoversExactlyTheGameClips) {
    std::set<std::string> narrated;
    for (const auto& entry : fs::directory_iterator(SONARA_NARRATION_DIR)) {
        if (entry.path().extension() == ".txt") narrated.insert(entry.path().stem().string());
    }
    auto clips = sonara::GameClipNames();
    std::set<std::string> expected(clips.begin(), clips.end());
    EXPECT_EQ(narrated, expected);
    EXPECT_EQ(expected.size(), 27u + 26u + 10u);
}

TEST(MediaPack, EveryClipAndCueWasGenerated) {
    if (!SONARA_MEDIA_ON) GTEST_SKIP() << "SONARA_MEDIA is off: the media pack is not built";
    const fs::path dir = SONARA_MEDIA_DIR;
    ASSERT_TRUE(fs::is_directory(dir)) << dir << " does not exist: build the media target";
    for (const auto& name : sonara::GameClipNames()) ExpectNonEmptyFile(dir / (name + ".mp4"));
    for (const auto& name : sonara::GameCueNames()) ExpectNonEmptyFile(dir / (name + ".wav"));
}

// Whole games of random keys on a machine holding the generated pack: every clip and cue
// they play is found there, and together they play exactly the names of the pack's list.
TEST(MediaPack, TheGamePlaysExactlyThePacksClipsAndCuesAndFindsThemAll) {
    if (!SONARA_MEDIA_ON) GTEST_SKIP() << "SONARA_MEDIA is off: the media pack is not built";
    const std::string pool = "abcdefghijklmnopqrstuvwxyz0123456789aeiouaeiou*** ,.";
    std::set<std::string> clips, cues, missing;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed);
        std::string script = "clip-ms 50\ncue-ms 10\n";
        for (int i = 0; i < 90; ++i) {
            const char c = pool[random() % pool.size()];
            // Now and then the same key again, to tire the game; now and then a long pause.
            const int times = random() % 6 == 0 ? 4 : 1;
            for (int t = 0; t < times; ++t) {
                script += "wait " + std::to_string(300 + random() % 2500) + "\nkey ";
                script += c == ' ' ? std::string("space") : std::string(1, c);
                script += "\n";
            }
            if (random() % 15 == 0) script += "wait 9000\n";
        }
        script += "wait 3000\nkey esc\nwait 3000\nkey esc\nwait 3000\nkey x\nwait 3000\n";
        game_test::GameHarness h;
        h.Script(script);
        sonara::GameOptions options;
        options.seed = seed;
        h.RunWholeGame(options);
        for (const std::string& line : h.Lines()) {
            if (line.rfind("clip ", 0) == 0) clips.insert(line.substr(5));
            if (line.rfind("cue ", 0) == 0) cues.insert(line.substr(4));
            if (line.rfind("cue-async ", 0) == 0) cues.insert(line.substr(10));
            if (line.rfind("clip-missing ", 0) == 0 || line == "cue default") missing.insert(line);
        }
    }
    EXPECT_TRUE(missing.empty()) << "not in the pack: " << *missing.begin();
    auto clipList = sonara::GameClipNames();
    auto cueList = sonara::GameCueNames();
    EXPECT_EQ(clips, std::set<std::string>(clipList.begin(), clipList.end()));
    EXPECT_EQ(cues, std::set<std::string>(cueList.begin(), cueList.end()));
}

}  // namespace
