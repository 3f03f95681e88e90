"""The media generator: its cache is pruned by age of last use, and a missing program is
reported with what to install instead of a traceback."""

import importlib.util
import os
import subprocess
import sys
import tempfile
import time
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "media", "make_media.py")
spec = importlib.util.spec_from_file_location("make_media", SCRIPT)
make_media = importlib.util.module_from_spec(spec)
spec.loader.exec_module(make_media)

DAY = 86400


class CachePruning(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.now = time.time()

    def tearDown(self):
        self.tmp.cleanup()

    def entry(self, name, age_days):
        path = os.path.join(self.dir, name)
        with open(path, "w") as f:
            f.write("x")
        t = self.now - age_days * DAY
        os.utime(path, (t, t))
        return path

    def test_old_unused_entries_go_and_used_or_recent_ones_stay(self):
        used = self.entry("aaa.mp4", 90)
        self.entry("aaa.mp4.seconds", 90)
        self.entry("bbb.mp4", 45)
        self.entry("bbb.mp4.seconds", 45)
        self.entry("ccc.wav", 5)
        self.entry("ddd.wav.part123", 2)
        self.entry("eee.wav.part456", 0.1)
        removed = make_media.prune_cache(self.dir, [used], 30, now=self.now)
        self.assertEqual(removed, ["bbb.mp4", "bbb.mp4.seconds", "ddd.wav.part123"])
        self.assertEqual(sorted(os.listdir(self.dir)),
                         ["aaa.mp4", "aaa.mp4.seconds", "ccc.wav", "eee.wav.part456"])
        # Using an entry marks it, with its length file, as used now.
        self.assertAlmostEqual(os.path.getmtime(used), self.now, delta=1)
        self.assertAlmostEqual(os.path.getmtime(used + ".seconds"), self.now, delta=1)


class MissingTools(unittest.TestCase):
    def test_a_missing_program_says_what_to_install(self):
        with tempfile.TemporaryDirectory() as tmp:
            env = dict(os.environ, PATH=tmp)  # none of the programs is found
            r = subprocess.run([sys.executable, SCRIPT, "--narration", tmp, "--out",
                                os.path.join(tmp, "out"), "--cache", os.path.join(tmp, "c")],
                               env=env, capture_output=True, text=True)
        self.assertEqual(r.returncode, 1)
        self.assertNotIn("Traceback", r.stderr)
        self.assertIn("missing ffmpeg, espeak-ng, sox", r.stderr)
        self.assertIn("apt-get install --no-install-recommends ffmpeg espeak-ng sox", r.stderr)


if __name__ == "__main__":
    unittest.main()
