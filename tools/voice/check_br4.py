#!/usr/bin/python3
"""Checks a voice database of the format of tavena/synth/VOICE_FORMAT.md (the voice br4).

Usage: check_br4.py --voice FILE [--phonemes data/tavena/phonemes.tsv] [--rate 16000]

Checks the sizes, the phoneme names (those of the inventory, in its order), that every
ordered pair is present exactly once, that units lie inside the samples and their
boundaries inside the units, that each unit's pitch marks are inside it and ascending,
that voiced marks follow each other at periods of 50 to 400 Hz and unvoiced ones at most
every 5 ms apart where there is no voicing, and that units are not silent. Prints every
problem and exits 1 when there is any.
"""

import argparse
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import br4_format  # noqa: E402
import br4_units  # noqa: E402

F0_MIN, F0_MAX = 50.0, 400.0
QUIET = {"_", "p", "t", "k", "tS"}  # the pause, and stops whose middle is a closure
AUDIBLE = 100                      # the loudest sample of a half that is heard
UNVOICED_STEP_MS = 5.0


def unit_problems(voice, u, name):
    left, right, first, count, boundary, mark0, nmarks = u
    out = []
    if count == 0:
        return [f"{name}: no samples"]
    if first + count > len(voice.samples):
        return [f"{name}: samples {first}..{first + count} outside {len(voice.samples)}"]
    if boundary > count:
        out.append(f"{name}: boundary {boundary} beyond its {count} samples")
    if mark0 + nmarks > len(voice.marks):
        return out + [f"{name}: marks {mark0}..{mark0 + nmarks} outside {len(voice.marks)}"]
    if nmarks == 0:
        return out + [f"{name}: no pitch marks"]
    raw = voice.marks[mark0:mark0 + nmarks].astype(np.int64)
    voiced = (raw & br4_format.VOICED) != 0
    pos = raw & ~br4_format.VOICED
    if pos.max() >= count:
        out.append(f"{name}: pitch mark at {pos.max()} beyond its {count} samples")
    gaps = np.diff(pos)
    if len(gaps) and gaps.min() <= 0:
        out.append(f"{name}: pitch marks not ascending")
    shortest = voice.rate / F0_MAX
    longest = voice.rate / F0_MIN
    both = voiced[1:] & voiced[:-1]
    bad = gaps[both & ((gaps < shortest) | (gaps > longest))]
    if len(bad):
        out.append(f"{name}: voiced periods of {sorted(set(bad.tolist()))} samples, "
                   f"outside {F0_MIN:.0f}-{F0_MAX:.0f} Hz")
    step = voice.rate * UNVOICED_STEP_MS / 1000
    unvoiced_gaps = gaps[~both]
    if len(unvoiced_gaps) and unvoiced_gaps.max() > longest:
        out.append(f"{name}: {unvoiced_gaps.max()} samples without a pitch mark")
    ends = [pos[0], count - 1 - pos[-1]]
    if max(ends) > max(step, longest):
        out.append(f"{name}: first/last pitch mark {ends[0]}/{ends[1]} samples from its ends")
    return out


def check(voice, inventory=None, rate=16000):
    problems = []
    if voice.rate != rate:
        problems.append(f"sample rate {voice.rate}, want {rate}")
    if inventory is not None and voice.names != inventory:
        problems.append(f"phonemes {voice.names} are not the inventory's {inventory}")
    seen = {}
    end_of_previous = 0
    for i, u in enumerate(voice.units):
        left, right = u[0], u[1]
        if left >= len(voice.names) or right >= len(voice.names):
            problems.append(f"unit {i}: phoneme index {left}/{right} of {len(voice.names)}")
            continue
        name = f"{voice.names[left]}-{voice.names[right]}"
        if (left, right) in seen:
            problems.append(f"{name}: twice (units {seen[(left, right)]} and {i})")
        seen[(left, right)] = i
        problems += unit_problems(voice, u, name)
        if u[2] < end_of_previous:
            problems.append(f"{name}: samples overlap the unit before")
        end_of_previous = u[2] + u[3]
        s = np.abs(voice.samples[u[2]:u[2] + u[3]].astype(np.int32))
        halves = ((voice.names[left], s[:u[4]]), (voice.names[right], s[u[4]:]))
        for phoneme, half in halves:
            # every sounding phoneme is heard in its half of the unit
            if phoneme not in QUIET and (len(half) == 0 or int(half.max()) < AUDIBLE):
                problems.append(f"{name}: its {phoneme} is silent")
    missing = [f"{a}-{b}" for a in range(len(voice.names)) for b in range(len(voice.names))
               if (a, b) not in seen]
    if missing:
        names = [f"{voice.names[a]}-{voice.names[b]}" for a in range(len(voice.names))
                 for b in range(len(voice.names)) if (a, b) not in seen]
        problems.append(f"{len(names)} pairs missing: {' '.join(names[:20])}")
    return problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--voice", required=True)
    ap.add_argument("--phonemes")
    ap.add_argument("--rate", type=int, default=16000)
    args = ap.parse_args()
    try:
        with open(args.voice, "rb") as f:
            voice = br4_format.from_bytes(f.read())
    except (OSError, ValueError) as e:
        print(f"voice br4 check: {args.voice}: {e}")
        return 1
    inventory = br4_units.read_inventory(args.phonemes) if args.phonemes else None
    problems = check(voice, inventory, args.rate)
    for p in problems:
        print(f"voice br4 check: {p}")
    seconds = len(voice.samples) / max(1, voice.rate)
    print(f"voice br4 check: {len(voice.names)} phonemes, {len(voice.units)} units, "
          f"{len(voice.marks)} pitch marks, {seconds:.1f} s of sound: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
