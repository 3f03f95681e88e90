// What the game's window shows over a whole run on the simulated machine: from the first
// clip on, a clip or the last frame of the clip before it, never an empty console, until
// the credits are written to be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/GameHarness.h"

using game_test::GameHarness;
using game_test::Keys;

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The time of the first transcript line equal to `text`.
std::uint32_t TimeOf(const GameHarness& h, const std::string& text) {
    for (const auto& l : h.Timed())
        if (l.text == text) return l.time;
    ADD_FAILURE() << "no line " << text;
    return 0;
}

TEST(GamePicture, EveryWaitShowsTheLastClipsFrameAndTheCreditsShowTheConsole) {
    GameHarness h;
    // Through the intro and the box, two letters, then Esc to the ending and the credits.
    h.Script(Keys({"x", "a", "b", "c", "esc"}));
    h.RunWholeGame();
    ASSERT_TRUE(h.Stopped());  // at the credits' key wait
    const auto& changes = h.machine.PictureChanges();
    ASSERT_FALSE(changes.empty());
    const win::HWND window = changes.front().window;
    for (const auto& c : changes) EXPECT_EQ(c.window, window);  // all in the console window

    // Each clip plays in the window from its open on.
    int clips = 0;
    for (const auto& l : h.Timed()) {
        if (l.text.rfind("clip ", 0) != 0) continue;
        ++clips;
        const sim::PictureChange shown = h.machine.PictureAt(window, l.time);
        EXPECT_EQ(shown.picture, sim::Picture::kClipPlaying) << l.text << " at " << l.time;
        EXPECT_TRUE(EndsWith(shown.clip, l.text.substr(5) + ".mp4")) << shown.clip;
    }
    EXPECT_GT(clips, 8);

    // While the game waits for the key that opens the box, the prompt's last frame stays.
    const std::uint32_t prompt = TimeOf(h, "clip aperte-para-abrir");
    const std::uint32_t opened = TimeOf(h, "clip abre-caixa");
    ASSERT_GT(opened, prompt + game_test::kClipMs);
    for (std::uint32_t t = prompt + game_test::kClipMs; t < opened; ++t) {
        const sim::PictureChange shown = h.machine.PictureAt(window, t);
        ASSERT_EQ(shown.picture, sim::Picture::kClipLastFrame) << t;
        ASSERT_TRUE(EndsWith(shown.clip, "aperte-para-abrir.mp4")) << t;
    }

    // From the first clip to the end of the last, the window is never an empty console.
    const std::uint32_t first = changes.front().time;
    const std::uint32_t last = TimeOf(h, "clip xxx") + game_test::kClipMs;
    for (std::uint32_t t = first; t < last; ++t) {
        ASSERT_NE(h.machine.PictureAt(window, t).picture, sim::Picture::kOwnDrawing) << t;
    }
    // The credits are the console's own drawing, there to be read.
    EXPECT_EQ(h.machine.PictureAt(window, h.machine.Now()).picture, sim::Picture::kOwnDrawing);
    EXPECT_TRUE(std::any_of(h.Screen().begin(), h.Screen().end(), [](const std::string& row) {
        return row.find("Autores") != row.npos;
    }));
}

TEST(GamePicture, AMissingClipLeavesTheConsoleShowingUntilTheNextClip) {
    GameHarness h;
    h.Script("missing caixa-aberta\n" + Keys({"x", "a"}));
    h.RunWholeGame();
    const win::HWND window = h.machine.PictureChanges().front().window;
    const std::uint32_t missing = TimeOf(h, "clip-missing caixa-aberta");
    // The box-opening clip before it was closed, and nothing opened in its place.
    EXPECT_EQ(h.machine.PictureAt(window, missing).picture, sim::Picture::kOwnDrawing);
    EXPECT_EQ(h.machine.PictureAt(window, missing).clip, "");
}

}  // namespace
