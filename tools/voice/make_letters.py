#!/usr/bin/python3
"""Records the letters directory: what each character and number word says, from a table.

Usage: make_letters.py --names data/letters/names.tsv --out DIR [--cache DIR]

Each line of the table is a character code (file "_" + code + ".wav") or a recording name
(file NAME.wav) and the Portuguese text it says. Every file is spoken by espeak-ng pt-br,
resampled to 11025 Hz, its leading and trailing silence trimmed, and written as 8-bit
unsigned mono with a canonical 44-byte header; one gain for the whole set (the loudest
sample as loud as the diphone units' loudest, with the same dither), so all sound equally loud. The same texts spoken
faster go to DIR/rapido/ for the fast-speech levels. Cached by a hash of the table,
these scripts and the espeak-ng version; the same table gives the same bytes.
"""

import argparse
import os
import shutil
import struct
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cutting  # noqa: E402
import make_diphones  # noqa: E402
import packs  # noqa: E402

SCRIPTS = ("make_letters.py", "make_diphones.py", "cutting.py", "espeak.py")

NORMAL_WPM = 150
FAST_WPM = 250
PEAK = make_diphones.PEAK
TRIM_LEVEL = 0.02          # of the recording's own peak: quieter edges are trimmed
EDGE_S = 0.01              # kept before the first and after the last loud sample


def read_names(path):
    """[(file name without .wav, text)] in file order."""
    out = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            key, sep, text = line.partition("\t")
            if not sep or not text.strip():
                raise ValueError(f"{path}:{number}: want CODE<TAB>TEXT")
            key = key.strip()
            if key.isdigit():
                code = int(key)
                if code > 255:
                    raise ValueError(f"{path}:{number}: code {code} is not a byte")
                key = f"_{code}"
            elif not key.startswith("_"):
                raise ValueError(f"{path}:{number}: a name must start with _")
            out.append((key, text.strip()))
    return out


def wave_bytes(samples_u8):
    """A canonical 44-byte header and the samples, an even number of them."""
    data = samples_u8.tobytes()
    if len(data) % 2:
        data += b"\x80"
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE" + b"fmt " + struct.pack(
        "<IHHIIHH", 16, 1, 1, 11025, 11025, 1, 8) + b"data" + struct.pack("<I", len(data))
    return header + data


def trimmed(y):
    peak = float(np.max(np.abs(y))) if len(y) else 0.0
    if peak <= 0:
        return y[:1]
    loud = np.nonzero(np.abs(y) > TRIM_LEVEL * peak)[0]
    edge = int(EDGE_S * 11025)
    a = max(0, int(loud[0]) - edge)
    b = min(len(y), int(loud[-1]) + 1 + edge)
    # start and end on a zero crossing so nothing clicks
    a = cutting.nearest_crossing(y, a, edge, before=True)
    b = cutting.nearest_crossing(y, b, edge)
    return y[a:b]


def render(entries, wpm):
    from espeak import Speaker
    speaker = Speaker(rate_wpm=wpm, monotone=False)
    out = {}
    for key, text in entries:
        samples, _ = speaker.speak(text)
        out[key] = trimmed(cutting.lowpass_halve(samples))
    return out


def quantized(pieces):
    peak = max(float(np.max(np.abs(p))) for p in pieces.values() if len(p))
    gain = PEAK / peak
    return {k: make_diphones.quantize(p * gain, k) for k, p in pieces.items()}


def install_tree(src, dest):
    for root, _, files in os.walk(src):
        rel = os.path.relpath(root, src)
        os.makedirs(os.path.join(dest, rel), exist_ok=True)
        for f in files:
            s, d = os.path.join(root, f), os.path.join(dest, rel, f)
            with open(s, "rb") as a:
                new = a.read()
            if os.path.exists(d):
                with open(d, "rb") as b:
                    if b.read() == new:
                        continue
            with open(d + f".part{os.getpid()}", "wb") as b:
                b.write(new)
            os.replace(d + f".part{os.getpid()}", d)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--names", required=True)
    ap.add_argument("--out", required=True)
    default_cache = os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "sonara-voice")
    ap.add_argument("--cache", default=default_cache)
    args = ap.parse_args()

    entries = read_names(args.names)
    cached = os.path.join(args.cache, "letters-" + packs.cache_key(SCRIPTS, args.names))
    made = False
    if not os.path.isdir(cached):
        part = cached + f".part{os.getpid()}"
        for sub, wpm in (("", NORMAL_WPM), ("rapido", FAST_WPM)):
            print(f"voice: recording {len(entries)} letters and words at {wpm} words a "
                  f"minute", flush=True)
            files = quantized(render(entries, wpm))
            os.makedirs(os.path.join(part, sub), exist_ok=True)
            for key, u8 in files.items():
                with open(os.path.join(part, sub, key + ".wav"), "wb") as f:
                    f.write(wave_bytes(u8))
        if os.path.isdir(cached):
            shutil.rmtree(part)
        else:
            os.replace(part, cached)
        made = True
    install_tree(cached, args.out)
    print(f"voice: {len(entries)} recordings (and rapido/) in {args.out} "
          f"({'made' if made else 'cached'})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
