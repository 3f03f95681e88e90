#!/usr/bin/python3
"""Tests of the voice generator: how the synthesizer's lookups are derived, how units are
named, cut, stored and checked, and that the same inventory gives the same bytes."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

import numpy as np

VOICE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "voice")
sys.path.insert(0, VOICE)
import check_voice  # noqa: E402
import cutting  # noqa: E402
import lookup  # noqa: E402
import make_diphones  # noqa: E402
import inventory  # noqa: E402
import make_letters  # noqa: E402
import preview  # noqa: E402
import units  # noqa: E402


def fetched(s, present=None):
    """(name, mode, factor, kind) of every fetch of s, factors rounded."""
    sp = lookup.Speaker(exists=None if present is None else {p.upper() for p in present})
    return [(f.name, f.mode, round(f.factor, 3), f.kind) for f in sp.speak(s)
            if f.kind != "pause"]


class Lookups(unittest.TestCase):
    def test_short_token_read_whole_and_its_fallback(self):
        # "/" inside a short token is skipped: one unit, stressed, falling back to $kAz
        # at 0.9 (left out when missing) and $a at full length.
        self.assertEqual(fetched("[kA/za]", {"$a"}),
                         [("$kAz", 2, 0.9, "drop"), ("$a", 2, 1.0, "unit")])
        self.assertEqual(fetched("[kA/za]", {"$kAz", "$a"}),
                         [("$kAz", 2, 0.9, "unit"), ("$a", 2, 1.0, "unit")])

    def test_missing_names_fall_back_to_smaller_ones(self):
        self.assertEqual(fetched("[kae]", {"$ka", "$e"}),
                         [("$ka", 1, 0.9, "unit"), ("$e", 1, 1.0, "unit")])
        self.assertEqual(fetched("[a~]", {"$aCIRC", "$nn"}),
                         [("$aCIRC", 2, 0.9, "unit"), ("$nn", 1, 0.9, "unit")])
        self.assertEqual(fetched("[i~]", {"$i", "$nn"}),
                         [("$i", 1, 0.9, "unit"), ("$nn", 1, 0.9, "unit")])
        # nine characters never fit an index name: the consonant and the vowel apart
        self.assertEqual(fetched("[tchE^]"), [("$tch", 2, 0.9, "unit"), ("$ECIRC", 2, 1.0, "unit")])
        # a missing one- or two-character name is a noise burst
        self.assertEqual(fetched("[k]", set()), [("$k", 1, 1.0, "noise")])

    def test_tokens_split_into_units(self):
        self.assertEqual([f[0] for f in fetched("[ p/rA]")], ["$p", "$rA"])
        self.assertEqual([f[0] for f in fetched("[ m/A/rr]")], ["$mA", "$rr"])
        self.assertEqual(fetched("[ p/A/y]"), [("$pA", 2, 0.6, "unit"), ("$Ay", 2, 1.0, "unit")])
        self.assertEqual([(f[0], f[2]) for f in fetched("[ m/A~/w]")],
                         [("$mACIRC", 0.6), ("$AwTIL", 1.0)])
        self.assertEqual([(f[0], f[2]) for f in fetched("[as]")], [("$a", 0.7), ("$s", 1.0)])
        self.assertEqual([f[0] for f in fetched("[ s/tr/A]")], ["$s", "$t", "$rA"])
        self.assertEqual([f[0] for f in fetched("[ /_b]")], ["_98"])

    def test_stress_mode_after_the_stressed_unit(self):
        # a unit after the stressed one is fetched in mode 0 (shortened by the cut)
        self.assertEqual([f[1] for f in fetched("[ k/A/ z/a]")], [2, 0])
        # a new group starts in mode 1 again
        self.assertEqual([f[1] for f in fetched("[ k/a][ z/a]")], [1, 1])

    def test_pauses(self):
        sp = lookup.Speaker()
        kinds = [(f.kind, f.name) for f in sp.speak("[ k/a][ /_,][ z/a]")]
        self.assertIn(("pause", ","), kinds)
        no_pause = [(f.kind, f.name) for f in sp.speak("[ k/a][ /_,][ z/a]", pauses=False)]
        self.assertIn(("letter", "_44"), no_pause)


class Names(unittest.TestCase):
    def test_parse(self):
        u = units.parse_name("$tchATIL")
        self.assertEqual((u.symbols, u.mark, u.onset, u.vowel), (("tch", "A"), "TIL", ("tch",), "A"))
        u = units.parse_name("$AwTIL")
        self.assertEqual((u.symbols, u.mark, u.onset), (("A", "w"), "TIL", ()))
        u = units.parse_name("$kwa")
        self.assertEqual((u.onset, u.vowel, u.stressed), (("k",), "a", False))
        self.assertEqual(units.parse_name("$rr").symbols, ("rr",))
        self.assertEqual(units.parse_name("$yACIRC").symbols, ("y", "A"))
        for bad in ("$", "kA", "$CIRC", "$kAq", "$kTIL"):
            self.assertIsNone(units.parse_name(bad), bad)

    def test_phones_of_a_unit(self):
        def phones(name):
            return units.unit_phones(units.parse_name(name))
        self.assertEqual(phones("$tchATIL"), ["tS", "'&~", "N"])  # closed by a nasal
        self.assertEqual(phones("$AwTIL"), ["'&U~"])
        self.assertEqual(phones("$EyCIRC"), ["'e", "j"])    # the mark is the vowel's
        self.assertEqual(phones("$yACIRC"), ["j", "'&"])    # a glide before a vowel
        self.assertEqual(phones("$wy"), ["u", "j"])         # a glide alone is a vowel
        self.assertEqual(phones("$lhe"), ["lj", "e"])

    def test_carriers_put_the_unit_between_neutral_sounds(self):
        c = units.carrier(units.parse_name("$tchATIL"))
        self.assertEqual(units.carrier_text(c), "[[t&tS'&~Nda]]")
        self.assertEqual(c.phonemes[c.first:c.last + 1], ("tS", "'&~", "N"))
        c = units.carrier(units.parse_name("$Ay"))
        self.assertTrue(c.start_mid)
        self.assertEqual(c.phonemes[c.first:c.last + 1], ("'a", "j"))
        # a closed a, unstressed i and u: reduced, after the stress, as at the end of a word
        c = units.carrier(units.parse_name("$kaCIRC"))
        self.assertEqual(units.carrier_text(c), "[[t'ak&da]]")
        self.assertEqual(c.phonemes[c.first:c.last + 1], ("k", "&"))
        self.assertEqual(units.carrier_text(units.carrier(units.parse_name("$ku"))), "[[t'akUda]]")
        self.assertEqual(units.carrier_text(units.carrier(units.parse_name("$aCIRC"))),
                         "[[t'a;&da]]")
        # an open unstressed a is said before the stress
        self.assertEqual(units.carrier_text(units.carrier(units.parse_name("$ka"))), "[[t&kad'a]]")
        # a coda r: a tap and a short vowel
        c = units.carrier(units.parse_name("$rr"))
        self.assertEqual(c.phonemes[c.first:c.last + 1], ("*", "@-"))
        # other unstressed vowels before the stress
        self.assertEqual(units.carrier_text(units.carrier(units.parse_name("$ke"))), "[[t&ked'a]]")
        # a vowel alone keeps apart from the carrier's vowel (no diphthong)
        c = units.carrier(units.parse_name("$u"))
        self.assertEqual(units.carrier_text(c), "[[t'a;Uda]]")
        self.assertEqual(c.phonemes[c.first], "U")
        self.assertEqual(units.carrier_text(units.carrier(units.parse_name("$a"))), "[[ta;at'a]]")

    def test_recorded_variant_is_the_most_asked_for(self):
        self.assertEqual(make_diphones.recorded_variant([(3, "$kE"), (10, "$ke")]), "$ke")
        self.assertEqual(make_diphones.recorded_variant([(30, "$kE"), (10, "$ke")]), "$kE")
        self.assertEqual(make_diphones.recorded_variant([(0, "$kE"), (0, "$ke")]), "$ke")
        # the word list counts a word once: its unstressed syllables weigh double
        self.assertEqual(make_diphones.recorded_variant([(15, "$zA"), (10, "$za")]), "$za")
        # reduced vowels stay unstressed; a closed e keeps its quality under stress; an
        # open unstressed a is recorded stressed
        self.assertFalse(make_diphones.quality_kept(units.parse_name("$ku")).stressed)
        self.assertFalse(make_diphones.quality_kept(units.parse_name("$kaCIRC")).stressed)
        self.assertTrue(make_diphones.quality_kept(units.parse_name("$ka")).stressed)
        self.assertTrue(make_diphones.quality_kept(units.parse_name("$kE")).stressed)
        kept = make_diphones.quality_kept(units.parse_name("$ke"))
        self.assertEqual(units.vowel_phoneme(kept.vowel, kept.mark), "e")
        kept = make_diphones.quality_kept(units.parse_name("$kE"))
        self.assertEqual(units.vowel_phoneme(kept.vowel, kept.mark), "E")

    def test_each_unit_ends_where_its_usual_shortening_meets_a_zero(self):
        self.assertEqual(make_diphones.short_factor(units.parse_name("$o")), 0.7)   # "os"
        self.assertEqual(make_diphones.short_factor(units.parse_name("$pA")), 0.6)  # "pai"

    def test_hand_inventory_fits_the_index(self):
        names = units.hand_inventory()
        self.assertTrue(all(len(n) <= 8 for n in names))
        self.assertIn("$nn", names)  # every nasal fallback ends in it
        self.assertTrue(all(units.parse_name(n) for n in names))


class Cutting(unittest.TestCase):
    def test_zero_crossings(self):
        y = np.sin(2 * np.pi * np.arange(200) / 50.0 + 0.1)
        ups = cutting.upward_crossings(y, 0, 200)
        self.assertTrue(all(y[i - 1] < 0 <= y[i] for i in ups))
        self.assertEqual(len(ups), 3)
        c = cutting.nearest_crossing(y, 105, 30)
        self.assertIn(c, ups)
        self.assertLessEqual(cutting.nearest_crossing(y, 105, 60, before=True), 105)

    def test_the_end_also_suits_the_shortened_unit(self):
        # a vowel-like wave (fundamental and a formant): the end is moved, at most two
        # periods, to the crossing where the unit cut to 0.6 of its length stops nearest
        # a zero
        t = np.arange(3000)
        y = 100 * np.sin(2 * np.pi * t / 123.0 + 0.3) + 60 * np.sin(2 * np.pi * t / 17.0)
        start, stop, span = 5, 2900, 132
        end = cutting.end_for_factor(y, start, stop, span, 0.6)
        self.assertTrue(stop - 2 * span <= end <= stop)
        self.assertTrue(y[end - 1] < 0 <= y[end])

        def short_jump(e):
            return abs(y[start + int(0.6 * (e - start)) - 1])
        candidates = cutting.upward_crossings(y, stop - 2 * span, stop + 1)
        self.assertGreater(len(candidates), 5)
        best = min(short_jump(e) for e in candidates)
        self.assertLessEqual(short_jump(end), best + 0.02 * 161)
        plain = cutting.nearest_crossing(y, stop, span, before=True)
        self.assertLessEqual(short_jump(end), short_jump(plain))

    def test_halving_keeps_speech_and_removes_what_11025_hz_cannot_hold(self):
        t = np.arange(22050) / 22050.0
        low = cutting.lowpass_halve(10000 * np.sin(2 * np.pi * 1000 * t))
        high = cutting.lowpass_halve(10000 * np.sin(2 * np.pi * 8000 * t))
        self.assertEqual(len(low), 11025)
        self.assertAlmostEqual(np.max(np.abs(low[200:-200])) / 10000, 1.0, delta=0.02)
        self.assertLess(np.max(np.abs(high[200:-200])), 100)


    def test_a_stop_keeps_its_closure_and_cuts_fall_on_zero_crossings(self):
        # carrier "a k a t a" at 22050 Hz: vowels are 200 Hz tones, closures silent
        rate = 22050
        tone = lambda n: (8000 * np.sin(2 * np.pi * 200 * np.arange(n) / rate)).astype(np.int16)
        silent = lambda n: np.zeros(n, np.int16)
        parts = [tone(4000), silent(800), tone(300), tone(4000), silent(800), tone(300)]
        x = np.concatenate(parts)
        # espeak-ng places each closure inside the phone before the stop
        events = [("a", 0), ("k", 4800), ("a", 5100), ("t", 9900), ("a", 10200)]
        y = cutting.cut_unit(x, rate, events, 1, 2, False, True)
        # starts where the first vowel falls silent: the whole closure, then the release
        self.assertGreater(len(y), (800 + 300 + 3900) // 2 - 40)
        self.assertLess(np.max(np.abs(y[:350])), 0.1 * 8000)  # only the filter's ringing
        # ends where the vowel falls silent before the closing t, near a zero
        self.assertLess(len(y), (800 + 300 + 4000) // 2 + 40)
        self.assertLess(abs(y[-1]), 1500)


class Timing(unittest.TestCase):
    """The preview joins units with the synthesizer's arithmetic."""

    def setUp(self):
        self.db = preview.Database.__new__(preview.Database)
        self.db.entries = {"$KAZA": (0, 1000), "$K": (0, 1000), "$A": (0, 1000)}
        self.db.data = bytes(1000)
        self.db.letters = set()

    def length(self, s, cut, minimum, pause=0):
        return len(preview.render(self.db, s, cut, minimum, pause))

    def test_cut_minimum_and_factor(self):
        self.assertEqual(self.length("[ka/za]", 400, 0), 600)        # unstressed: cut
        self.assertEqual(self.length("[kA/za]", 400, 0), 1000)       # stressed: whole
        self.assertEqual(self.length("[ka/zaa]", 400, 0), 540 + 1000)  # $kaza at 0.9, $a
        self.assertEqual(self.length("[ka/za]", 400, 700), 700)      # never below minimum
        self.assertEqual(self.length("[k]", 400, 0), 1000)           # two characters: whole

    def test_word_pause_in_steps_of_100(self):
        # after each group but the last
        self.assertEqual(self.length("[k][k][k]", 0, 0, 150), 3000 + 2 * 100)
        self.assertEqual(self.length("[k][k]", 0, 0, 99), 2000)


class Inventory(unittest.TestCase):
    def test_every_character_of_the_code_page_is_spelled(self):
        chars = inventory.spelled_characters()
        self.assertIn("ç", chars)
        self.assertIn("€", chars)
        self.assertNotIn(" ", chars)
        self.assertEqual(len(chars), len(set(chars)))
        self.assertTrue(all(c.encode("cp1252") for c in chars))

    def test_counts_name_variants_apart(self):
        counts = inventory.count_names(["[ k/A/ z/a]", "[ k/a/ z/A]"])
        self.assertEqual((counts["$kA"], counts["$ka"], counts["$za"]), (1, 1, 1))


class Storage(unittest.TestCase):
    def test_index_sorted_with_prefixes_first_and_one_gain(self):
        pieces = {"$B": np.full(10, 50.0), "$AW": np.full(5, -200.0), "$A": np.full(3, 100.0)}
        index, data = make_diphones.to_bytes(pieces)
        entries, problems = check_voice.read_index(index, len(data))
        self.assertEqual(problems, [])
        self.assertEqual([e[0] for e in entries], ["$A", "$AW", "$B"])
        self.assertEqual([(e[1], e[2]) for e in entries], [(3, 0), (5, 3), (10, 8)])
        # one gain: the loudest unit reaches the set peak, the others keep their
        # proportion (within the one step of dither)
        self.assertLessEqual(abs(data[3] - (128 - make_diphones.PEAK)), 1.5)
        self.assertLessEqual(abs(data[0] - (128 + make_diphones.PEAK / 2)), 1.5)
        self.assertLessEqual(abs(data[8] - (128 + make_diphones.PEAK / 4)), 1.5)

    def test_dither_is_the_same_on_every_run_and_small(self):
        x = np.linspace(-50, 50, 1000)
        a = make_diphones.quantize(x, "$KA")
        self.assertTrue(np.array_equal(a, make_diphones.quantize(x, "$KA")))
        self.assertFalse(np.array_equal(a, make_diphones.quantize(x, "$ZA")))
        self.assertLessEqual(np.max(np.abs(a.astype(float) - 128 - x)), 1.5)

    def test_index_check_finds_faults(self):
        def entry(name, length, offset):
            return struct.pack("<B8sHi", len(name), name.encode().ljust(8, b"\0"), length, offset)
        _, p = check_voice.read_index(entry("$B", 4, 0) + entry("$A", 4, 4), 8)
        self.assertTrue(any("not sorted" in x for x in p))
        _, p = check_voice.read_index(entry("$A", 4, 6), 8)
        self.assertTrue(any("outside" in x for x in p))
        _, p = check_voice.read_index(entry("$a", 4, 0) + b"\0", 8)
        self.assertEqual(len(p), 2)  # lower-case name and a trailing byte

    def test_miss_check_reports_noise_and_left_out_pieces(self):
        present = {"$A", "$ZA", "$TCH", "$ECIRC"}
        found = check_voice.misses(["[ k/A/ z/a]", "[ tch/E^]", "[ m/A/rr]"],
                                   ["casa", "tchê", "mar"], present, set())
        self.assertEqual(len(found), 3)
        self.assertIn("casa", found[0])
        self.assertIn("$k (noise)", found[0])       # a missing consonant is a burst
        self.assertIn("$m (noise)", found[1])       # $mA falls back to $m and $A
        self.assertIn("$rr (left out)", found[2])   # a longer name is dropped silently
        self.assertEqual(check_voice.misses(["[ tch/E^]"], ["tchê"], present, set()), [])

    def test_letter_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            good = os.path.join(tmp, "good.wav")
            with open(good, "wb") as f:
                f.write(make_letters.wave_bytes(np.array([128, 140, 120], np.uint8)))
            self.assertIsNone(check_voice.check_wave(good))
            self.assertEqual(os.path.getsize(good), 44 + 4)  # padded to an even length
            bad = os.path.join(tmp, "bad.wav")
            with open(good, "rb") as f:
                data = bytearray(f.read())
            data[24:28] = struct.pack("<I", 22050)
            with open(bad, "wb") as f:
                f.write(data)
            self.assertIn("22050", check_voice.check_wave(bad))
            self.assertEqual(check_voice.check_wave(os.path.join(tmp, "none.wav")), "missing")

    def test_silence_trimmed_on_zero_crossings(self):
        t = np.arange(3000)
        y = np.concatenate([np.zeros(1000), 3000 * np.sin(2 * np.pi * t / 40.0), np.zeros(1000)])
        out = make_letters.trimmed(y)
        edge = int(make_letters.EDGE_S * 11025)
        self.assertLessEqual(len(out), 3000 + 2 * edge + 80)
        self.assertGreaterEqual(len(out), 3000 - 80)

    def test_names_table(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "names.tsv")
            with open(path, "w", encoding="utf-8") as f:
                f.write("# comment\n65\ta\n_um\tum\n")
            self.assertEqual(make_letters.read_names(path), [("_65", "a"), ("_um", "um")])
            for bad in ("300\tx\n", "65 a\n", "um\tum\n"):
                with open(path, "w", encoding="utf-8") as f:
                    f.write(bad)
                with self.assertRaises(ValueError):
                    make_letters.read_names(path)

    def test_every_character_speakchar_plays_is_named(self):
        table = os.path.join(VOICE, "..", "..", "data", "letters", "names.tsv")
        keys = {k for k, _ in make_letters.read_names(table)}
        for name in [f"_{c}" for c in check_voice.SPEAKCHAR_CODES] + check_voice.NAMED:
            self.assertIn(name, keys)


class Determinism(unittest.TestCase):
    def test_same_inventory_same_bytes(self):
        names = ["$kA", "$za", "$s", "$Ay", "$aTIL", "$nn", "$tchI", "$lhECIRC", "$p", "$rA"]
        outs = []
        with tempfile.TemporaryDirectory() as tmp:
            inv = os.path.join(tmp, "inventory.txt")
            with open(inv, "w") as f:
                f.write("".join(n + " 1\n" for n in names))
            for run in ("one", "two"):
                subprocess.run([sys.executable, os.path.join(VOICE, "make_diphones.py"),
                                "--inventory", inv, "--out", os.path.join(tmp, run),
                                "--cache", os.path.join(tmp, "cache-" + run)],
                               check=True, stdout=subprocess.DEVNULL)
                with open(os.path.join(tmp, run, "DIFONES2.IND"), "rb") as a, \
                        open(os.path.join(tmp, run, "DIFONES2.DIF"), "rb") as b:
                    outs.append((a.read(), b.read()))
        self.assertEqual(outs[0], outs[1])
        entries, problems = check_voice.read_index(outs[0][0], len(outs[0][1]))
        self.assertEqual(problems, [])
        self.assertEqual(len(entries), len(names))


if __name__ == "__main__":
    unittest.main()
