#!/usr/bin/python3
"""Builds the voice br4 (16 kHz 16-bit diphones with pitch marks) and its diphone list.

Usage: make_br4.py --phonemes data/tavena/phonemes.tsv --out FILE [--cache DIR]
       make_br4.py --phonemes data/tavena/phonemes.tsv --dfn FILE [--check]

Every ordered pair of the inventory is one unit, cut from an espeak-ng pt-br nonsense
carrier spoken monotone (br4_units.carrier) after the carrier is resampled whole to
16000 Hz; the cut and the pitch marks are br4_cut's. One gain for all units puts the
loudest sample at 0.85 of full scale. The file is written in the format of
tavena/synth/VOICE_FORMAT.md. Units cut on voiced phones start on an epoch and end just
before one, so two units that meet continue each other's periods.

Same inputs, same bytes: carriers are spoken in a fixed order in one fresh espeak-ng
process, and the result is cached in ~/.cache/sonara-voice by a hash of the inventory,
these scripts and the espeak-ng and numpy versions.

--dfn writes the diphone list ("first-second" a line, under a comment header); with
--check it writes nothing and fails when FILE is not what would be written.
"""

import argparse
import os
import sys
import time

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import br4_cut  # noqa: E402
import br4_format  # noqa: E402
import br4_units  # noqa: E402
import packs  # noqa: E402
import resample  # noqa: E402

RATE = br4_cut.RATE
PEAK = 0.85 * 32767  # speech as loud as espeak-ng's own; overlap-add keeps below full scale
PITCH = 66          # espeak-ng's pitch setting: about 106 Hz, its pt-br voice's middle
RATE_WPM = 175      # espeak-ng's own pace: its coarticulation as in its reading of text
SCRIPTS = ("make_br4.py", "br4_units.py", "br4_cut.py", "br4_format.py", "resample.py",
           "espeak.py")


def match_events(phones, events):
    """The first sample of each carrier phone from espeak-ng's phoneme events (pauses
    and hiatus marks dropped), or None when they do not line up."""
    evs = [(p, s) for p, s in events if not p.startswith("_") and p != ";"]
    want = [p.lstrip("'") for p in phones]
    if [p for p, _ in evs] != want:
        return None
    return [s for _, s in evs]


def silence_unit():
    """The pause joined to itself: silence of two pause parts."""
    n = 2 * br4_cut.PAUSE_PART
    return np.zeros(n), n // 2, [(q, False) for q in range(0, n, br4_cut.HOP)]


def build(names, progress=True, todo=None):
    """{(a, b): (samples, boundary, marks)} for every pair (or those of todo), and the
    failures."""
    from espeak import Speaker
    speaker = Speaker(pitch=PITCH, rate_wpm=RATE_WPM)
    pieces, failed = {}, []
    todo = br4_units.pairs(names) if todo is None else todo
    for n, (a, b) in enumerate(todo, 1):
        if a == br4_units.PAUSE and b == br4_units.PAUSE:
            pieces[(a, b)] = silence_unit()
        else:
            car = br4_units.carrier(a, b)
            samples, events = speaker.speak(car.text())
            starts = match_events(car.phones, events)
            if starts is None:
                failed.append(f"{a}-{b}: carrier {car.text()} gave {events}")
                continue
            x = resample.resample(samples, speaker.rate, RATE)
            starts = [int(round(s * RATE / speaker.rate)) for s in starts]
            phones = [p.lstrip("'") for p in car.phones]
            piece, boundary, marks, _ = br4_cut.cut(x, starts, phones, car.left, car.right,
                                                    car.left_half, car.right_half)
            pieces[(a, b)] = (piece, boundary, marks)
        if progress and (n % 100 == 0 or n == len(todo)):
            print(f"voice br4: {n}/{len(todo)} units", flush=True)
    return pieces, failed


def assemble(names, pieces):
    """The Voice of the pieces with one gain for all."""
    peak = max((float(np.max(np.abs(p[0]))) for p in pieces.values() if len(p[0])),
               default=0.0)
    gain = PEAK / peak if peak > 0 else 1.0
    units, marks, chunks = [], [], []
    first = 0
    for (a, b) in br4_units.pairs(names):
        piece, boundary, unit_marks = pieces[(a, b)]
        q = np.clip(np.rint(piece * gain), -32767, 32767).astype(np.int16)
        units.append((names.index(a), names.index(b), first, len(q), boundary,
                      len(marks), len(unit_marks)))
        marks += [m | (br4_format.VOICED if v else 0) for m, v in unit_marks]
        chunks.append(q)
        first += len(q)
    samples = np.concatenate(chunks) if chunks else np.zeros(0, np.int16)
    return br4_format.Voice(RATE, names, units, marks, samples)


def dfn_mode(names, path, check):
    text = br4_units.dfn_text(names)
    if check:
        try:
            with open(path, encoding="ascii") as f:
                current = f.read()
        except (OSError, UnicodeDecodeError) as e:
            print(f"voice br4: {path}: {e}", file=sys.stderr)
            return 1
        if current != text:
            print(f"voice br4: {path} is out of date with the phoneme inventory; run "
                  f"tools/voice/make_br4.py --phonemes data/tavena/phonemes.tsv --dfn {path}",
                  file=sys.stderr)
            return 1
        print(f"voice br4: {path} matches the inventory ({len(names) ** 2} pairs)")
        return 0
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print(f"voice br4: {len(names) ** 2} pairs written to {path}")
    return 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--phonemes", required=True)
    ap.add_argument("--out")
    ap.add_argument("--dfn")
    ap.add_argument("--check", action="store_true")
    default_cache = os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "sonara-voice")
    ap.add_argument("--cache", default=default_cache)
    args = ap.parse_args()
    if not (args.out or args.dfn):
        ap.error("give --out or --dfn")

    names = br4_units.read_inventory(args.phonemes)
    problems = br4_units.check_inventory(names)
    if problems:
        for p in problems:
            print(f"voice br4: {args.phonemes}: {p}", file=sys.stderr)
        return 1
    if args.dfn:
        return dfn_mode(names, args.dfn, args.check)

    cached = os.path.join(args.cache, "br4-" + packs.cache_key(SCRIPTS, args.phonemes))
    made = False
    if not os.path.exists(cached):
        began = time.monotonic()
        pieces, failed = build(names)
        if failed:
            for line in failed:
                print(f"voice br4: failed {line}", file=sys.stderr)
            return 1
        data = br4_format.to_bytes(assemble(names, pieces))
        os.makedirs(args.cache, exist_ok=True)
        part = cached + f".part{os.getpid()}"
        with open(part, "wb") as f:
            f.write(data)
        os.replace(part, cached)
        made = True
        print(f"voice br4: {len(pieces)} units made in {time.monotonic() - began:.1f} s",
              flush=True)
    packs.install(cached, args.out)
    print(f"voice br4: {len(names) ** 2} units, {os.path.getsize(args.out)} bytes in "
          f"{args.out} ({'made' if made else 'cached'})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
