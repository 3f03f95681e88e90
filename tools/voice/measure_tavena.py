#!/usr/bin/env python3
"""Measures the Tavena engine's rules and exception list (data/tavena/portug.nrl,
portug.exc) against espeak-ng's pt-br transcriptions of a word list.

For every word it compares
  - the stress: the position that `sonara tavena stress --position` prints (the first
    vowel letter of the stressed syllable in the written word) with the reference
    position of measure_rules.py (a written acute or circumflex accent, else the tilde,
    else espeak-ng's stressed vowel aligned with the letters);
  - the phones: the rules' phonemes and espeak-ng's transcription, both mapped onto the
    phone classes of measure_rules.py and aligned by edit distance.

Usage: measure_tavena.py [--sonara build/tools/sonara] [--data data/tavena]
       [--words /usr/share/dict/brazilian] [--sample N] [--disagreements FILE]
"""

import argparse
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import measure_rules as mr  # noqa: E402

ROOT = mr.ROOT

# Our phoneme names (data/tavena/phonemes.tsv) -> the phone classes of measure_rules.
CLASSES = {
    "a": ["a"], "@": ["a"], "e": ["e"], "E": ["E"], "i": ["i"], "I": ["i"], "o": ["o"], "O": ["O"],
    "u": ["u"], "U": ["u"], "an": ["a~"], "en": ["e~"], "in": ["i~"], "on": ["o~"], "un": ["u~"],
    "y": ["i"], "w": ["u"], "S": ["x"], "Z": ["j"], "J": ["nh"], "L": ["l", "i"], "R": ["rr"],
    "r2": ["rr"], "r@": ["rr"], "r": ["r"], "tS": ["tch"], "dZ": ["dj"], "s2": ["s"],
}


def our_classes(phonemes):
    names = [p.lstrip(">").lstrip("\u00a8") for p in phonemes.split()]
    names = [p for p in names if p]
    out = []
    for k, p in enumerate(names):
        out.extend(CLASSES.get(p, [p]))
        # en ending a word (tem, jovens) is the whole nasal diphthong: its unit holds the glide
        if p == "en" and (names[k + 1:] in ([], ["s2"])):
            out.append("i")
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--sonara", default=os.path.join(ROOT, "build", "tools", "sonara"))
    ap.add_argument("--data", default=os.path.join(ROOT, "data", "tavena"))
    ap.add_argument("--words", default="/usr/share/dict/brazilian")
    ap.add_argument("--table", default=os.path.join(ROOT, "data", "diphone", "phonemes.tsv"))
    ap.add_argument("--sample", type=int, default=0, help="every N-th word only")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--cache", default=os.path.join(tempfile.gettempdir(), "sonara-measure"))
    ap.add_argument("--disagreements", help="write the words that disagree here")
    a = ap.parse_args()

    with open(a.words, encoding="utf-8") as f:
        words = [w.strip() for w in f if w.strip()]
    reference = mr.run_espeak(words, a.jobs, a.cache)
    if a.sample > 1:
        keep = range(0, len(words), a.sample)
        words = [words[k] for k in keep]
        reference = [reference[k] for k in keep]
    table = mr.load_table(a.table)
    text = "\n".join(words) + "\n"
    r = subprocess.run([a.sonara, "tavena", "stress", "--position", "--phonemes", "--data", a.data],
                       input=text.encode("utf-8"), capture_output=True)
    if r.returncode != 0:
        sys.exit("measure_tavena: sonara failed: " + r.stderr.decode())
    lines = r.stdout.decode("utf-8").split("\n")[: len(words)]

    stress_ok = 0
    phone_errors = 0
    phone_total = 0
    bad = []
    for word, ref, line in zip(words, reference, lines):
        pos, _, phonemes = line.partition("\t")
        rp = mr.espeak_phones(ref, table)
        ref_classes = [("a" if p[0] == "a^" else p[0]) for p in rp]
        ours = our_classes(phonemes)
        ref_pos = mr.reference_position(word, rp)
        our_pos = int(pos) if pos.strip().isdigit() else -1
        errors = mr.edit_distance(ours, ref_classes)
        phone_errors += errors
        phone_total += len(ref_classes)
        if our_pos == ref_pos:
            stress_ok += 1
        if our_pos != ref_pos or errors:
            bad.append("%s\t%d\t%d\t%d\t%s\t%s\t%s" % (
                word, our_pos, ref_pos, errors, phonemes, ref.strip(),
                " ".join(ours) + " | " + " ".join(ref_classes)))
    mr.report(len(words), stress_ok, phone_errors, phone_total, bad, a.disagreements)


if __name__ == "__main__":
    main()
