#!/usr/bin/python3
"""Tests of the generator of the voice br4: resampling, carriers, pitch marks and cuts,
the file format and its checker, the diphone list and its check, and that the same
inputs give the same bytes."""

import os
import subprocess
import sys
import tempfile
import unittest

import numpy as np

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
VOICE = os.path.join(ROOT, "tools", "voice")
PHONEMES = os.path.join(ROOT, "data", "tavena", "phonemes.tsv")
sys.path.insert(0, VOICE)
import br4_cut  # noqa: E402
import br4_format  # noqa: E402
import br4_units  # noqa: E402
import check_br4  # noqa: E402
import make_br4  # noqa: E402
import preview_br4  # noqa: E402
import resample  # noqa: E402

PY = sys.executable


def level_db(y):
    return 20 * np.log10(np.sqrt(2 * np.mean(y * y)) + 1e-12)


class Resampling(unittest.TestCase):
    def test_pass_band_kept_and_what_16_khz_cannot_hold_removed(self):
        t = np.arange(22050) / 22050.0
        for f, low, high in ((200, -0.05, 0.05), (3000, -0.05, 0.05), (7000, -0.3, 0.05),
                             (8500, -200, -60), (10000, -200, -60)):
            y = resample.resample(np.sin(2 * np.pi * f * t), 22050, 16000)
            self.assertEqual(len(y), 16000)
            self.assertTrue(low <= level_db(y[1000:-1000]) <= high, f"{f} Hz")

    def test_time_is_kept(self):
        x = np.zeros(22050)
        x[11025] = 1.0
        y = resample.resample(x, 22050, 16000)
        self.assertEqual(int(np.argmax(y)), 8000)


class Inventory(unittest.TestCase):
    def setUp(self):
        self.names = br4_units.read_inventory(PHONEMES)

    def test_inventory_is_usable(self):
        self.assertEqual(self.names[0], "_")
        self.assertEqual(br4_units.check_inventory(self.names), [])
        self.assertIn("unknown phoneme", " ".join(
            br4_units.check_inventory(self.names + ["qq"])).replace("has no espeak-ng counterpart",
                                                                    "unknown phoneme"))
        self.assertTrue(br4_units.check_inventory(self.names[1:]))  # no pause

    def test_diphone_list_holds_every_pair_once_in_the_engines_syntax(self):
        text = br4_units.dfn_text(self.names)
        body = [ln for ln in text.splitlines() if ln and not ln.startswith(";")]
        self.assertEqual(len(body), len(self.names) ** 2)
        self.assertEqual(len(set(body)), len(body))
        allowed = set("2@ABCDEFGHIJKLMNOPQRSTUVWXYZ_")
        for line in body:
            a, b = line.split("-")
            # the engine's reader takes names made of these characters (upper-cased)
            self.assertTrue(set(a.upper()) <= allowed and set(b.upper()) <= allowed, line)
            self.assertIn(a, self.names)
            self.assertIn(b, self.names)

    def test_check_mode_fails_when_the_list_is_out_of_date(self):
        with tempfile.TemporaryDirectory() as tmp:
            dfn = os.path.join(tmp, "portug.dfn")
            run = lambda *extra, tsv=PHONEMES: subprocess.run(  # noqa: E731
                [PY, os.path.join(VOICE, "make_br4.py"), "--phonemes", tsv, "--dfn", dfn,
                 *extra], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            self.assertNotEqual(run("--check").returncode, 0)  # missing
            self.assertEqual(run().returncode, 0)
            self.assertEqual(run("--check").returncode, 0)
            # an inventory with one phoneme less: the list is stale
            tsv = os.path.join(tmp, "phonemes.tsv")
            with open(PHONEMES, encoding="utf-8") as f:
                lines = [ln for ln in f if not ln.startswith("s2\t")]
            with open(tsv, "w", encoding="utf-8") as f:
                f.writelines(lines)
            r = run("--check", tsv=tsv)
            self.assertNotEqual(r.returncode, 0)
            self.assertIn("out of date", r.stderr)

    def test_committed_list_matches_the_inventory(self):
        with open(os.path.join(ROOT, "data", "tavena", "portug.dfn"), encoding="ascii") as f:
            self.assertEqual(f.read(), br4_units.dfn_text(self.names))


def espeak_form(name, phones, i):
    """The espeak-ng phoneme our phoneme is spoken as at phones[i]: a nasal vowel is a
    vowel and a murmur, or the nasal vowel alone before a vowel, a glide or the end."""
    if name in br4_units.NASALS and (i + 1 >= len(phones) or phones[i + 1] != "N"):
        return br4_units.NASAL_VOWEL[name]
    return br4_units.ESPEAK[name]


class Carriers(unittest.TestCase):
    def test_every_pair_stands_in_its_carrier_as_espeak_phonemes(self):
        names = br4_units.read_inventory(PHONEMES)
        for a, b in br4_units.pairs(names):
            if a == "_" and b == "_":
                continue
            c = br4_units.carrier(a, b)
            phones = [p.lstrip("'") for p in c.phones]
            diphthong = br4_units.DIPHTHONGS.get((a, b))
            if a == "_":
                self.assertEqual(c.left, -1)
            elif diphthong:
                self.assertEqual((phones[c.left], c.left_half), (diphthong, 0))
            elif c.left_half == 1:  # a glide before a consonant: the end of a diphthong
                self.assertIn(a, br4_units.GLIDES)
                self.assertEqual(phones[c.left], br4_units.GLIDE_DIPHTHONG[a])
            else:
                self.assertEqual(phones[c.left], espeak_form(a, phones, c.left), (a, b))
            if b == "_":
                self.assertEqual(c.right, len(phones))
            elif diphthong:
                self.assertEqual((c.right, c.right_half), (c.left, 1))
            else:
                # r after a consonant is espeak-ng's cluster r (prato, livro)
                after_consonant = a not in (br4_units.VOWELS | br4_units.GLIDES
                                            | br4_units.CODAS | {"_"})
                want = "R" if b == "r" and after_consonant else espeak_form(b, phones, c.right)
                self.assertEqual(phones[c.right], want, (a, b))
                self.assertLess(c.left, c.right)
            # stressed vowels at full length; reduced ones after a stressed syllable
            for x, i in ((a, c.left), (b, c.right)):
                if x in br4_units.VOWELS and x not in br4_units.REDUCED and i < len(phones):
                    self.assertTrue(c.phones[i].startswith("'"), (a, b, c.phones))
                if x in br4_units.REDUCED and i > 0:
                    self.assertTrue(any(p.startswith("'") for p in c.phones[:i]), (a, b))
            self.assertTrue(any(p.startswith("'") for p in c.phones), (a, b))
            self.assertTrue(c.text().startswith("[[") and "|" in c.text())

    def test_nasal_vowel_before_a_consonant_ends_in_a_murmur_of_its_own(self):
        c = br4_units.carrier("an", "t")
        self.assertEqual(c.phones[c.left:c.right + 1], ("'&~", "N", "t"))
        c = br4_units.carrier("en", "p")  # tempo: as espeak-ng reads it
        self.assertEqual(c.phones[c.left:c.right + 1], ("'eI", "N", "p"))
        c = br4_units.carrier("on", "a")  # bom amigo: no murmur, the nasal vowel
        self.assertEqual(c.phones[c.left], "'o~")
        self.assertNotIn("N", br4_units.carrier("an", "a").phones)
        self.assertNotIn("N", br4_units.carrier("an", "_").phones)  # lã
        self.assertEqual(br4_units.carrier("in", "_").phones[-1], "N")  # fim

    def test_l_before_a_consonant_or_a_pause_is_heard(self):
        # espeak-ng leaves it unspoken there unless a short vowel follows
        for b in ("p", "m", "y", "_"):
            c = br4_units.carrier("l", b)
            self.assertEqual(c.phones[c.left:c.left + 2], ("l", "@-"), b)
        self.assertNotIn("@-", br4_units.carrier("l", "a").phones)

    def test_falling_diphthongs_are_espeak_ngs_own(self):
        c = br4_units.carrier("e", "w")  # eu
        self.assertEqual((c.phones[c.left], c.left_half, c.right_half), ("'eU", 0, 1))
        c = br4_units.carrier("w", "t")  # the glide of "eu" before a consonant
        self.assertEqual((c.phones[c.left], c.left_half), ("'aU", 1))
        c = br4_units.carrier("w", "a")  # a glide before a vowel stays a glide
        self.assertEqual((c.phones[c.left], c.left_half), ("w", -1))


def pulse_carrier(f0=125.0, rate=16000):
    """0.1 s silence, 0.3 s of a damped pulse train at f0, 0.1 s of noise, 0.1 s silence:
    (signal, pulse positions)."""
    n = int(0.6 * rate)
    x = np.zeros(n)
    period = rate / f0
    pulses = [int(round(1600 + k * period)) for k in range(int(0.3 * f0))]
    ring = np.exp(-np.arange(120) / 25.0) * np.sin(2 * np.pi * 700 * np.arange(120) / rate)
    for p in pulses:
        x[p:p + 120] += 6000 * ring
    rng = np.random.default_rng(7)
    x[6400:8000] = rng.normal(0, 1500, 1600)
    return x, pulses


class PitchMarks(unittest.TestCase):
    def test_epochs_follow_the_pulses_and_unvoiced_points_fill_the_rest(self):
        x, pulses = pulse_carrier()
        t0, ep, marks = br4_cut.pitch_marks(x)
        self.assertAlmostEqual(t0, 128.0, delta=1.0)
        self.assertGreater(len(ep), 0.8 * len(pulses))
        # one epoch per period, at a fixed place in it
        gaps = np.diff(ep)
        self.assertTrue(np.all(np.abs(gaps - 128) <= 3), gaps)
        offsets = [(e - pulses[0]) % 128 for e in ep]
        spread = np.ptp([(o + 64) % 128 for o in offsets])
        self.assertLessEqual(spread, 4)
        # nothing voiced in the noise or the silence
        self.assertTrue(all(1400 <= e < 6500 for e in ep), ep)
        unvoiced = [p for p, v in marks if not v]
        noise = [p for p in unvoiced if 6600 <= p < 9500]
        self.assertTrue(np.all(np.diff(noise) == br4_cut.HOP))
        pos = [p for p, _ in marks]
        self.assertTrue(np.all(np.diff(pos) > 0))

    def test_cut_starts_on_an_epoch_and_keeps_the_pause_silent(self):
        x, _ = pulse_carrier()
        # two phones: a voiced one from 1500 and a noise one from 6400
        piece, boundary, marks, t0 = br4_cut.cut(x, [1500, 6400], ["a", "s"], 0, 1)
        self.assertEqual(marks[0], (0, True))  # the voiced middle snapped to an epoch
        t0, ep, _ = br4_cut.pitch_marks(x)
        a, b = br4_cut.phone_spans(x, [1500, 6400], ["a", "s"])[0]
        start = br4_cut.snap((a + b) // 2, ep, t0, (a, b))
        self.assertIn(start, ep)
        self.assertEqual(boundary, 6400 - start)
        self.assertEqual(len(piece), (6400 + 8000) // 2 - start)  # noise: no snapping
        # release: the pause side is silence, with analysis points every 5 ms
        piece, boundary, marks, _ = br4_cut.cut(x, [1500, 6400], ["a", "s"], 1, 2)
        self.assertTrue(np.all(piece[boundary:] == 0.0))
        self.assertLessEqual(len(piece) - boundary, br4_cut.PAUSE_PART + 1)
        tail = [p for p, v in marks if p >= boundary]
        self.assertTrue(tail and not any(v for p, v in marks if p >= boundary))


    def test_onset_holds_a_pause_even_when_the_carrier_starts_at_once(self):
        x, _ = pulse_carrier()
        x = x[1600:]  # sound from the first sample
        piece, boundary, marks, _ = br4_cut.cut(x, [0, 4800], ["a", "s"], -1, 0)
        self.assertEqual(boundary, br4_cut.PAUSE_PART)
        self.assertTrue(np.all(piece[:boundary] == 0.0))
        self.assertGreater(np.max(np.abs(piece[boundary:boundary + 200])), 1000)
        pause = [m for m in marks if m[0] < boundary]
        self.assertEqual(pause, [(q, False) for q in range(0, boundary, br4_cut.HOP)])

    def test_a_middle_moves_onto_an_epoch_only_inside_its_phone(self):
        ep = [100, 250, 400]
        self.assertEqual(br4_cut.snap(240, ep, 150, (0, 500)), 250)
        self.assertEqual(br4_cut.snap(240, ep, 150, (200, 245)), 240)  # 250 is outside
        self.assertEqual(br4_cut.snap(240, ep, 5, (0, 500)), 240)  # none within a period


class Format(unittest.TestCase):
    def small_voice(self):
        names = ["_", "a", "s"]
        pieces = {}
        for a, b in br4_units.pairs(names):
            n = 400
            s = np.sin(np.arange(n) / 5.0) * (0 if a == b == "_" else 1000)
            marks = [(q, a == "a") for q in range(0, n, 125 if a == "a" else 80)]
            pieces[(a, b)] = (s, 200, marks)
        return make_br4.assemble(names, pieces)

    def test_round_trip_and_the_file_size_rule(self):
        v = self.small_voice()
        data = br4_format.to_bytes(v)
        self.assertEqual(len(data), 32 + 8 * 3 + 24 * 9 + 4 * len(v.marks) + 2 * len(v.samples))
        w = br4_format.from_bytes(data)
        self.assertEqual((w.rate, w.names, w.units), (16000, v.names, v.units))
        self.assertTrue(np.array_equal(w.samples, v.samples))
        self.assertEqual(check_br4.check(w, ["_", "a", "s"]), [])
        # one global gain: the loudest sample at 0.85 of full scale
        self.assertEqual(int(np.max(np.abs(w.samples))), int(round(make_br4.PEAK)))

    def test_damaged_files_are_refused(self):
        data = br4_format.to_bytes(self.small_voice())
        for bad in (data[:-2], data + b"\0\0", b"SNRVOICX" + data[8:], data[:20]):
            with self.assertRaises(ValueError):
                br4_format.from_bytes(bad)

    def test_checker_finds_what_is_wrong(self):
        v = self.small_voice()
        v.units = v.units[:-1]  # s-s missing
        self.assertIn("1 pairs missing: s-s", " ".join(check_br4.check(v)))
        v = self.small_voice()
        v.marks = v.marks.copy()
        u = v.units[4]  # a-a: voiced marks 125 apart
        v.marks[u[5] + 1] = br4_format.VOICED | 20  # a voiced period of 20 samples (800 Hz)
        self.assertIn("a-a: voiced periods of [20] samples", " ".join(check_br4.check(v)))
        v.marks[u[5] + 1] = br4_format.VOICED | 300  # after the next one
        self.assertIn("a-a: pitch marks not ascending", " ".join(check_br4.check(v)))
        v.marks[u[5] + 1] = br4_format.VOICED | 5000  # beyond the unit
        self.assertIn("beyond its 400 samples", " ".join(check_br4.check(v)))
        v = self.small_voice()
        v.units[1] = v.units[1][:4] + (999,) + v.units[1][5:]
        self.assertIn("boundary 999", " ".join(check_br4.check(v)))
        v = self.small_voice()
        u = v.units[5]  # a-s: its s half made silent
        v.samples = v.samples.copy()
        v.samples[u[2] + u[4]:u[2] + u[3]] = 0
        self.assertEqual(check_br4.check(v), ["a-s: its s is silent"])


class RealCarriers(unittest.TestCase):
    PAIRS = [("_", "p"), ("p", "a"), ("a", "s2"), ("s2", "t"), ("an", "_"), ("t", "s")]

    def build(self):
        code = ("import sys; sys.path.insert(0, %r); import make_br4, br4_units, br4_format;"
                "names = br4_units.read_inventory(%r);"
                "pieces, failed = make_br4.build(names, False, %r);"
                "assert not failed, failed;"
                "sys.stdout.buffer.write(br4_format.to_bytes(make_br4.assemble("
                "['_', 'p', 'a', 's2', 't', 's', 'an'], "
                "{k: pieces.get(k, make_br4.silence_unit()) for k in br4_units.pairs("
                "['_', 'p', 'a', 's2', 't', 's', 'an'])})))") % (VOICE, PHONEMES, self.PAIRS)
        return subprocess.run([PY, "-c", code], stdout=subprocess.PIPE, check=True).stdout

    def test_same_inputs_same_bytes_and_sound_where_it_belongs(self):
        first, second = self.build(), self.build()
        self.assertEqual(first, second)
        v = br4_format.from_bytes(first)
        # the pairs not built are silent stand-ins; the built ones have no problem
        built = {f"{a}-{b}:" for a, b in self.PAIRS}
        for problem in check_br4.check(v):
            self.assertTrue(problem.endswith(" is silent"), problem)
            self.assertNotIn(problem.split()[0], built)
        s, boundary, marks = v.unit("p", "a")
        # the unit starts in the stop's silent closure; the vowel after the boundary is loud
        self.assertLess(np.max(np.abs(s[:160].astype(int))), 300)
        self.assertGreater(boundary, 320)
        self.assertGreater(np.max(np.abs(s[boundary:].astype(int))), 3000)
        self.assertTrue(any(v for _, v in marks[-3:]))  # ends in the voiced vowel
        s, boundary, marks = v.unit("an", "_")
        self.assertTrue(marks[0][1])  # starts on an epoch of the vowel
        self.assertTrue(np.all(s[boundary:] == 0))
        # the renderer speaks the phoneme lines for their duration
        r = preview_br4.Renderer(v)
        out = r.render(preview_br4.parse_lines(["_ 50", "p 80", "a 150 50 120", "_ 50"]))
        self.assertEqual(len(out), 16 * 330)
        self.assertGreater(np.max(np.abs(out[16 * 130:16 * 280])), 3000)


if __name__ == "__main__":
    unittest.main()
