#!/usr/bin/python3
"""Renders phoneme-group strings with the generated database the way the diphone
synthesizer joins its units, for listening, measuring joins and words per minute.

Usage: preview.py --diphones DIR --letters DIR [--cut N] [--minimum N] [--word-pause N]
                  [--joins] OUT.wav < phoneme strings (one utterance per line)

Each line is spoken as one utterance with the synthesizer's timing: unstressed units of
3 or more characters lose `cut` samples at their end (never below `minimum`), duration
factors shorten from the end, `word-pause` samples of silence (in steps of 100) follow
each group. All lines go into one WAV file, 8-bit mono 11025 Hz. --joins prints the
largest sample jump found where one unit meets the next.
"""

import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lookup  # noqa: E402
import make_letters  # noqa: E402
import numpy as np  # noqa: E402

PAUSES = {",": 4000, ".": 8000, ";": 6000, ":": 8000}


class Database:
    def __init__(self, diphones, letters):
        with open(os.path.join(diphones, "DIFONES2.IND"), "rb") as f:
            index = f.read()
        with open(os.path.join(diphones, "DIFONES2.DIF"), "rb") as f:
            self.data = f.read()
        self.entries = {}
        for i in range(len(index) // 15):
            n, raw, length, offset = struct.unpack_from("<B8sHi", index, i * 15)
            self.entries[raw[:n].decode("latin-1")] = (offset, length)
        self.letters_dir = letters
        self.letters = {n[:-4] for n in os.listdir(letters) if n.endswith(".wav")}

    def letter(self, name):
        with open(os.path.join(self.letters_dir, name + ".wav"), "rb") as f:
            return f.read()[44:]


def render(db, phonemes, cut, minimum, word_pause, joins=None):
    """The samples (bytes) of one utterance; `joins` collects (jump, left, right) at each
    place where two units meet."""
    speaker = lookup.Speaker(exists=set(db.entries), letters=db.letters)
    out = bytearray()
    rng = np.random.default_rng(1)
    last_unit = None
    for f in speaker.speak(phonemes):
        piece = b""
        if f.kind == "unit":
            offset, length = db.entries[f.name.upper()]
            n = length
            if f.mode < 2 and len(f.name) >= 3:
                n = length - cut
                if n < minimum:
                    n = min(length, minimum)
            piece = db.data[offset:offset + max(0, int(n * f.factor))]
        elif f.kind == "letter":
            piece = db.letter(f.name)
        elif f.kind == "noise":
            piece = bytes((88 + rng.integers(0, 80, 300)).astype(np.uint8))
        elif f.kind == "pause":
            piece = b"\x80" * (100 * ((PAUSES.get(f.name, word_pause)) // 100))
        if joins is not None and piece and f.kind == "unit":
            if last_unit is not None and out and len(out) == last_unit[1]:
                joins.append((abs(piece[0] - out[-1]), last_unit[0], f.name))
            last_unit = (f.name, len(out) + len(piece))
        out += piece
    return bytes(out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--diphones", required=True)
    ap.add_argument("--letters", required=True)
    ap.add_argument("--cut", type=int, default=400)
    ap.add_argument("--minimum", type=int, default=0)
    ap.add_argument("--word-pause", type=int, default=100)
    ap.add_argument("--joins", action="store_true")
    ap.add_argument("out")
    args = ap.parse_args()
    db = Database(args.diphones, args.letters)
    joins = [] if args.joins else None
    samples = bytearray()
    for line in sys.stdin:
        if line.strip():
            samples += render(db, line.strip(), args.cut, args.minimum, args.word_pause, joins)
    with open(args.out, "wb") as f:
        f.write(make_letters.wave_bytes(np.frombuffer(bytes(samples), np.uint8)))
    if joins:
        worst = max(joins)
        print(f"joins: {len(joins)}, largest jump {worst[0]} ({worst[1]} -> {worst[2]}), "
              f"mean {np.mean([j[0] for j in joins]):.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
