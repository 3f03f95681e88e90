// The reading of phoneme-group strings: tokens, the splitting into units, the names
// looked up and their fall-backs, pauses and stress modes, against a sink that answers
// from a list of names and records every request.
#include "diphone/DiphonePlan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace sonara {
namespace {

using Events = std::vector<std::string>;

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return u;
}

// Finds diphones by their upper-cased names and recordings by name; records requests.
class FakeSink : public UnitSink {
  public:
    explicit FakeSink(std::set<std::string> present) : present_(std::move(present)) {}
    bool FetchDiphone(std::string_view name, int mode, double factor) override {
        char text[64];
        std::snprintf(text, sizeof text, "%s m%d x%.3g", std::string(name).c_str(), mode, factor);
        events.push_back(text);
        return present_.count(Upper(name)) != 0;
    }
    bool PlayLetterFile(std::string_view name) override {
        events.push_back("letter " + std::string(name));
        return present_.count(std::string(name)) != 0;
    }
    void AppendSilence(int samples) override {
        events.push_back("silence " + std::to_string(samples));
    }
    void AppendNoise() override { events.push_back("noise"); }
    void OnMiss(std::string_view name, MissKind kind) override {
        events.push_back((kind == MissKind::kNoise ? "miss-noise " : "miss-dropped ") +
                         std::string(name));
    }
    Events events;

  private:
    std::set<std::string> present_;
};

Events Plan(std::string_view phonemes, std::set<std::string> present, bool noPauses = false,
            PhonemePauses pauses = {}) {
    FakeSink sink(std::move(present));
    DiphonePlanner planner(sink);
    planner.Plan(phonemes, noPauses, pauses);
    return sink.events;
}

TEST(DiphonePlanTokens, ShortTokenRunsAcrossSlashAndFallsBackToPieces) {
    // kA/za is one token kAza: one name, stressed; $KAZA and $KAZ missing, $A present.
    EXPECT_EQ(Plan("[kA/za]", {"$A"}),
              (Events{"$kAza m2 x1", "$kAz m2 x0.9", "miss-dropped $kAz", "$a m2 x1"}));
    // The whole name found: nothing else is asked.
    EXPECT_EQ(Plan("[kA/za]", {"$KAZA"}), (Events{"$kAza m2 x1"}));
}

TEST(DiphonePlanTokens, LongTokenEndsAtSlashAndAWordPauseFollows) {
    // Nine characters end a token at "/"; the "/" before the read position is not a blank.
    EXPECT_EQ(Plan("[abcdefghi/jo]", {"$ABCDEFGH", "$I", "$JO"}).back(), "$jo m1 x1");
    Events e = Plan("[aaaaaaaaa/o]", {"$A", "$O"});
    EXPECT_NE(std::find(e.begin(), e.end(), "silence 100"), e.end());
    EXPECT_EQ(e.back(), "$o m1 x1");
}

TEST(DiphonePlanTokens, LettersTraceAndUnderscoreAtTheEnd) {
    EXPECT_EQ(Plan("[ /_b]", {"_98"}), (Events{"letter _98"}));
    // "|" makes the token _TRACO, spoken by the name of its second character.
    EXPECT_EQ(Plan("[|]", {"_84"}), (Events{"letter _84"}));
    // A lone "_" at the very end names the underscore.
    EXPECT_EQ(Plan("[_", {"_95"}), (Events{"letter _95"}));
    // The character after "_" goes with it even when it is a blank or "]".
    EXPECT_EQ(Plan("[ /_ ]", {"_32"}), (Events{"letter _32"}));
    EXPECT_EQ(Plan("[ /_]]", {"_93"}), (Events{"letter _93"}));
    // A missing recording of 3 characters is left out; "_s" is not split as a final s.
    EXPECT_EQ(Plan("[ /_s]", {}), (Events{"letter _115", "miss-dropped _115"}));
}

TEST(DiphonePlanPauses, PunctuationTokensBecomeSilenceUnlessTurnedOff) {
    EXPECT_EQ(Plan("[ /_,]", {}), (Events{"silence 4000"}));
    EXPECT_EQ(Plan("[ /_.]", {}), (Events{"silence 8000"}));
    EXPECT_EQ(Plan("[ /_;]", {}), (Events{"silence 6000"}));
    EXPECT_EQ(Plan("[ /_:]", {}), (Events{"silence 8000"}));
    EXPECT_EQ(Plan("[ /_,]", {"_44"}, true), (Events{"letter _44"}));
    PhonemePauses p;
    p.comma = 123;
    EXPECT_EQ(Plan("[ /_,]", {}, false, p), (Events{"silence 123"}));
}

TEST(DiphonePlanPauses, WordPauseOnlyBetweenGroupsNotAfterBlanksOrAtTheEnd) {
    EXPECT_EQ(Plan("[ka][ka]", {"$KA"}), (Events{"$ka m1 x1", "silence 100", "$ka m1 x1"}));
    EXPECT_EQ(Plan("[ka ka]", {"$KA"}), (Events{"$ka m1 x1", "$ka m1 x1"}));
    PhonemePauses p;
    p.word = 150;
    EXPECT_EQ(Plan("[ka][ka]", {"$KA"}, false, p)[1], "silence 150");
    EXPECT_EQ(Plan("[ka]", {"$KA"}), (Events{"$ka m1 x1"}));
}

TEST(DiphonePlanStress, ModeIsTwoForTheStressedUnitThenZeroUntilTheNextGroup) {
    EXPECT_EQ(Plan("[ka zA ka][ka]", {"$KA", "$ZA"}),
              (Events{"$ka m1 x1", "$zA m2 x1", "$ka m0 x1", "silence 100", "$ka m1 x1"}));
    // Every name of the stressed unit after the stressed vowel is fetched with mode 2.
    EXPECT_EQ(Plan("[pO^]", {"$POCIRC"}), (Events{"$pOCIRC m2 x1"}));
}

TEST(DiphonePlanSplit, ClustersFinalConsonantsAndRr) {
    EXPECT_EQ(Plan("[pra]", {"$P", "$RA"}), (Events{"$p m1 x1", "$ra m1 x1"}));
    EXPECT_EQ(Plan("[mar]", {"$MA", "$R"}), (Events{"$ma m1 x1", "$r m1 x1"}));
    EXPECT_EQ(Plan("[kArr]", {"$KA", "$RR"}), (Events{"$kA m2 x1", "$rr m0 x1"}));
    // Kept together at the front: dj, nh, rr, ks and tch.
    EXPECT_EQ(Plan("[dja]", {"$DJA"}), (Events{"$dja m1 x1"}));
    EXPECT_EQ(Plan("[nha]", {"$NHA"}), (Events{"$nha m1 x1"}));
    EXPECT_EQ(Plan("[rra]", {"$RRA"}), (Events{"$rra m1 x1"}));
    EXPECT_EQ(Plan("[ksi]", {"$KSI"}), (Events{"$ksi m1 x1"}));
    EXPECT_EQ(Plan("[tchi]", {"$TCHI"}), (Events{"$tchi m1 x1"}));
    // h is no split consonant: "th" is not split.
    EXPECT_EQ(Plan("[tha]", {"$THA"}), (Events{"$tha m1 x1"}));
}

TEST(DiphonePlanSplit, GlidesMarksAndFinalSUseTheirOwnFactors) {
    EXPECT_EQ(Plan("[pay]", {"$PA", "$AY"}), (Events{"$pa m1 x0.6", "$ay m1 x1"}));
    EXPECT_EQ(Plan("[pa~w]", {"$PACIRC", "$AWTIL"}), (Events{"$paCIRC m1 x0.6", "$awTIL m1 x1"}));
    EXPECT_EQ(Plan("[po^w]", {"$POCIRC", "$OWCIRC"}), (Events{"$poCIRC m1 x0.6", "$owCIRC m1 x1"}));
    EXPECT_EQ(Plan("[a~w]", {"$AWTIL"}), (Events{"$awTIL m1 x1"}));
    EXPECT_EQ(Plan("[As]", {"$A", "$S"}), (Events{"$A m2 x0.7", "$s m0 x1"}));
    // A two-character mark + glide token is one unit: the mark's name, then the glide.
    EXPECT_EQ(Plan("[~w]", {"$TIL", "$W"}), (Events{"$TIL m1 x1", "$w m1 x1"}));
}

TEST(DiphonePlanSplit, FixedFactorsReplaceTheIncomingOne) {
    FakeSink sink({"$A", "$S"});
    DiphonePlanner planner(sink);
    planner.Start("");
    planner.SplitToken("as", 0.5);
    EXPECT_EQ(sink.events, (Events{"$a m1 x0.7", "$s m1 x0.5"}));
    sink.events.clear();
    planner.SplitToken("pras", 0.5);
    EXPECT_EQ(sink.events[0], "$p m1 x1");
}

TEST(DiphonePlanFallBack, VowelEndingCircAndTil) {
    EXPECT_EQ(Plan("[kae]", {"$KA", "$E"}), (Events{"$kae m1 x1", "$ka m1 x0.9", "$e m1 x1"}));
    // A missing name ending in a consonant is left out.
    FakeSink sink({});
    DiphonePlanner planner(sink);
    planner.SpeakName("$kax", 1, 1.0);
    EXPECT_EQ(sink.events, (Events{"$kax m1 x1", "miss-dropped $kax"}));
    EXPECT_EQ(Plan("[a~]", {"$ACIRC", "$NN"}),
              (Events{"$aTIL m1 x1", "$aCIRC m2 x0.9", "$nn m1 x0.9"}));
    EXPECT_EQ(Plan("[i~]", {"$I", "$NN"}), (Events{"$iTIL m1 x1", "$i m1 x0.9", "$nn m1 x0.9"}));
    // Long CIRC names split before the vowel + CIRC.
    EXPECT_EQ(Plan("[kae^]", {"$KA", "$ECIRC"}),
              (Events{"$kaeCIRC m1 x1", "$ka m1 x0.9", "$eCIRC m1 x1"}));
    // Short CIRC names are not split.
    EXPECT_EQ(Plan("[e^]", {}), (Events{"$eCIRC m1 x1", "miss-dropped $eCIRC"}));
}

TEST(DiphonePlanFallBack, ShortNamesMissingBecomeNoiseAndFactorsCompound) {
    EXPECT_EQ(Plan("[k]", {}), (Events{"$k m1 x1", "noise", "miss-noise $k"}));
    // Each piece split off again takes 0.9 of its parent's factor.
    EXPECT_EQ(Plan("[kae]", {"$K", "$A", "$E"}),
              (Events{"$kae m1 x1", "$ka m1 x0.9", "$k m1 x0.81", "$a m1 x0.9", "$e m1 x1"}));
}

TEST(DiphonePlanLimits, LongTokensAndUnitsAreCut) {
    // A 50-character group: the token keeps 40 characters, the unit 12.
    std::string group = "[" + std::string(50, 'o') + "]";
    Events e = Plan(group, {"$O"});
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e[0], "$" + std::string(11, 'o') + " m1 x1");
    // Unbalanced and empty input ends.
    EXPECT_TRUE(Plan("", {}).empty());
    EXPECT_TRUE(Plan("[", {}).empty());
    // Empty groups still end in word pauses.
    EXPECT_EQ(Plan("]]]", {}), (Events{"silence 100", "silence 100"}));
}

}  // namespace
}  // namespace sonara
