// The braille chord keyboard (modes 1 and 2) and the mode tones.
#include <gtest/gtest.h>

#include "console/TfCrt.h"
#include "support/ConsoleHarness.h"

namespace {

using console_test::Bytes;
using console_test::ConsoleHarness;

// Script lines for one chord: every key down, then every key up.
std::string Chord(const std::string& keys) {
    std::string s;
    for (char k : keys)
        s += std::string("keydown ") + (k == '_' ? "space" : std::string(1, k)) + "\n";
    for (char k : keys)
        s += std::string("keyup ") + (k == '_' ? "space" : std::string(1, k)) + "\n";
    return s;
}

std::string Typed(int mode, const std::string& script) {
    ConsoleHarness h;
    h.Open();
    h.crt().SetBrailleMode(mode);
    h.Script(script);
    std::string out;
    for (int b : h.Drain()) out += static_cast<char>(b);
    return out;
}

TEST(ChordKeyboard, ModeOneChordsLettersAndSpace) {
    EXPECT_EQ(Typed(1, Chord("fd")), "b");
    EXPECT_EQ(Typed(1, Chord("a")), " ");  // not a chord key: the empty chord
    EXPECT_EQ(Typed(1, Chord("_")), " ");
    EXPECT_EQ(Typed(1, Chord("fj")), "c");
    EXPECT_EQ(Typed(1, Chord("fj_")), "\x03");  // space with dots: a control character
    EXPECT_EQ(Typed(1, Chord("s")), "'");       // no signs step in mode 1
    EXPECT_EQ(Typed(1, Chord("jl") + Chord("f")), "{a");
    EXPECT_EQ(Typed(0, "key f\nkey d"), "fd");  // mode 0: ordinary keys
}

TEST(ChordKeyboard, ChordIsCompleteOnlyWhenTheLastKeyIsReleased) {
    ConsoleHarness h;
    h.Open();
    h.crt().SetBrailleMode(1);
    h.Script("keydown f\nkeydown d\nkeyup f");
    EXPECT_EQ(h.crt().KeyCount(), 0);
    h.Script("keydown l\nkeyup d\nkeyup l");  // dots 1, 2, 6
    EXPECT_EQ(Bytes(h.Drain()), "234");       // dots 1, 2, 6: e-circumflex
    h.Script("key 5\nkey enter");             // keys that are not letters still type
    EXPECT_EQ(Bytes(h.Drain()), "53 13");
}

TEST(ChordKeyboard, ModeTwoCapitalAndNumberSigns) {
    EXPECT_EQ(Typed(2, Chord("jl") + Chord("f") + Chord("f")), "Aa");
    EXPECT_EQ(
        Typed(2, Chord("jl") + Chord("jl") + Chord("f") + Chord("fd") + Chord("_") + Chord("f")),
        "AB a");
    EXPECT_EQ(Typed(2, Chord("sjkl") + Chord("f") + Chord("fd") + Chord("djk")), "120");
    EXPECT_EQ(Typed(2, Chord("sjkl") + Chord("f") + Chord("k") + Chord("f")), "1~a");
    EXPECT_EQ(Typed(2, Chord("s") + Chord("fk")), ".e");  // apostrophe becomes a full stop
    EXPECT_EQ(Typed(2, Chord("fkl")), "@");               // u-circumflex becomes @
}

TEST(ChordKeyboard, CtrlOrANonLetterKeyUpClearsTheSigns) {
    EXPECT_EQ(Typed(2, Chord("jl") + "key enter\n" + Chord("f")), "\ra");
    EXPECT_EQ(Typed(2, Chord("sjkl") + "key ctrl+f1\n" + Chord("f")), std::string("\0^a", 3));
}

TEST(ChordKeyboard, AChordKeyReleasedWithCtrlOrAwayFromTheWindowIsUp) {
    // F released while Ctrl is held: Ctrl+D types its control code, the chord of F is
    // dropped, and the next chords still type.
    EXPECT_EQ(
        Typed(1, "keydown f\nkeydown ctrl+d\nkeyup f\nkeyup ctrl+d\n" + Chord("d") + Chord("s")),
        "\x04,'");
    // Focus lost in the middle of a chord: its key-ups went elsewhere.
    EXPECT_EQ(Typed(1, "keydown f\nkeydown d\nfocus off\nfocus on\n" + Chord("f")), "a");
}

TEST(ChordKeyboard, CtrlAltF11CyclesModesAndCtrlAltF12TurnsItOff) {
    ConsoleHarness h;
    h.Open();
    h.Script("key ctrl+alt+f11");
    EXPECT_EQ(h.crt().BrailleMode(), 1);
    h.Script("key ctrl+alt+f11");
    EXPECT_EQ(h.crt().BrailleMode(), 2);
    h.Script("key ctrl+alt+f11");
    EXPECT_EQ(h.crt().BrailleMode(), 1);
    h.Script("key ctrl+alt+f12");
    EXPECT_EQ(h.crt().BrailleMode(), 0);
    EXPECT_EQ(h.crt().KeyCount(), 0);
}

// The hand-worked images: p = 11025 div f, h = p div 2, period k at 44 + k*11025 div f.
struct ToneShape {
    int frequency;
    std::uint32_t dataSize;  // end E - 44
    int high;                // h
    int period;              // p
};

std::uint32_t LE32(const std::string& s, int at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

void ExpectTone(const sim::SoundPlay& play, const ToneShape& t) {
    SCOPED_TRACE(t.frequency);
    EXPECT_EQ(play.flags, 13u);
    EXPECT_EQ(play.name, "");
    const std::string& b = play.bytes;
    ASSERT_GE(b.size(), 44 + t.dataSize);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(LE32(b, 4), t.dataSize + 36);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(LE32(b, 16), 16u);
    EXPECT_EQ(LE32(b, 20), 0x00010001u);  // PCM, mono
    EXPECT_EQ(LE32(b, 24), 11025u);
    EXPECT_EQ(LE32(b, 28), 11025u);
    EXPECT_EQ(LE32(b, 32), 0x00080001u);  // block align 1, 8 bits
    EXPECT_EQ(b.substr(36, 4), "data");
    EXPECT_EQ(LE32(b, 40), t.dataSize);
    // Every sample: period k starts at 44 + k*11025 div f with h samples of 96, then
    // p - h + 1 of 160 whose last the next period overwrites; 128 ends the image.
    std::string samples(11071, '\0');
    std::uint32_t end = 44;
    for (int k = 0;; ++k) {
        end = 44 + static_cast<std::uint32_t>(k) * 11025 / t.frequency;
        if (end > static_cast<std::uint32_t>(11025 - t.period)) break;
        for (int i = 0; i <= t.period; ++i)
            samples[end + i] = static_cast<char>(i < t.high ? 96 : 160);
    }
    samples[end - 1] = static_cast<char>(128);
    ASSERT_EQ(end - 44, t.dataSize);
    EXPECT_EQ(b.substr(44, t.dataSize), samples.substr(44, t.dataSize));
}

TEST(Tones, ModeOneAndModeTwoSoundTheirTwoTonesAndOffItsOne) {
    ConsoleHarness h;
    h.Open();
    std::uint32_t start = h.machine.Now();
    h.crt().SetBrailleMode(1);
    EXPECT_GE(h.machine.Now(), start + 400);
    h.crt().SetBrailleMode(2);
    h.crt().SetBrailleMode(0);
    h.crt().SetBrailleMode(0);  // already off: no tone
    std::vector<sim::SoundPlay> tones;
    for (const auto& s : h.machine.Sounds())
        if (!s.bytes.empty()) tones.push_back(s);
    int stops = 0;
    for (const auto& e : h.machine.Events()) stops += e.kind == "sound-stop";
    ASSERT_EQ(tones.size(), 5u);
    ExpectTone(tones[0], {800, 10969, 6, 13});
    ExpectTone(tones[1], {1600, 10976, 3, 6});
    ExpectTone(tones[2], {800, 10969, 6, 13});
    ExpectTone(tones[3], {400, 10969, 13, 27});
    ExpectTone(tones[4], {100, 10914, 55, 110});
    EXPECT_EQ(stops, 5);
}

TEST(Tones, ConfiguredModeTwoSoundsAtWindowCreation) {
    ConsoleHarness h("[BRAILLE]\r\nMODO=2\r\n");
    h.crt().InitConsole();
    EXPECT_EQ(h.crt().BrailleMode(), 2);
    std::vector<sim::SoundPlay> tones;
    for (const auto& s : h.machine.Sounds())
        if (!s.bytes.empty()) tones.push_back(s);
    ASSERT_EQ(tones.size(), 2u);
    ExpectTone(tones[0], {800, 10969, 6, 13});
    ExpectTone(tones[1], {400, 10969, 13, 27});
}

TEST(Tones, ZeroHertzPlaysNothing) {
    ConsoleHarness h;
    h.Open();
    h.crt().StartTone(0);
    h.crt().StopTone();
    EXPECT_TRUE(h.machine.Sounds().empty());
}

}  // namespace
