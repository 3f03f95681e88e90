// The generated media pack holds every clip and cue the game plays, and the narration
// sources cover exactly the game's clips.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "game/MediaNames.h"

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

}  // namespace
