#!/usr/bin/python3
"""Builds the diphone database DIFONES2.IND / DIFONES2.DIF from espeak-ng pt-br carriers.

Usage: make_diphones.py --inventory FILE --out DIR [--cache DIR]

The inventory lists the names the synthesizer looks up, one per line, optionally followed
by how often the rules ask for it ("$kA 1234"). Names that differ only in letter case are
one index entry (the lookup upper-cases); the variant asked for most often decides which
vowel quality is recorded. Units are recorded with their vowel stressed, at full length
(the synthesizer shortens unstressed units itself, with the cut of the speed settings),
except the reduced vowels that end words (a closed a, unstressed i and u) and the article
a, which are recorded unstressed.

Output: 8-bit unsigned mono 11025 Hz samples with one gain for all units (the loudest
sample at 0.65 of full scale: speech about as loud as espeak-ng's own rendering; louder
8-bit speech has many more harsh sample jumps) and a step of dither; the index holds
15-byte entries (name length, 8 name bytes, u16 length,
i32 offset) sorted as length-prefixed strings. Same inventory, same bytes: units are
spoken in a fixed order in one fresh espeak-ng process, and the result is cached by a hash
of the inventory, these scripts and the espeak-ng version.
"""

import argparse
import hashlib
import os
import shutil
import struct
import sys
import time

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cutting  # noqa: E402
import packs  # noqa: E402
import units  # noqa: E402

BASE = "DIFONES2"
SCRIPTS = ("make_diphones.py", "units.py", "cutting.py", "espeak.py")
# Carriers are spoken a little slower than espeak-ng's default pace: steadier vowels,
# which join better; the speed levels make the voice faster where wanted.
RATE_WPM = 140
PEAK = 0.65 * 127  # the loudest sample of the whole set, in 8-bit steps from the middle
NAME_BYTES = 8


def read_inventory(path):
    """{upper-case name: [(count, name variant)]} from an inventory file."""
    table = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if not parts or parts[0].startswith("#"):
                continue
            name = parts[0]
            count = int(parts[1]) if len(parts) > 1 else 0
            if len(name) > NAME_BYTES:
                continue  # the synthesizer never finds such a name: it falls back
            table.setdefault(name.upper(), []).append((count, name))
    return table


# The word list counts each word once; running text repeats its unstressed syllables
# (endings, small words) far more often, so they weigh more when a variant is chosen.
UNSTRESSED_WEIGHT = 2


def recorded_variant(variants):
    """The variant whose vowel quality is recorded: the most asked for, unstressed ones
    counting double; on a tie the unstressed one (closed e and o), then by name."""
    def key(v):
        count, name = v
        upper = sum(ch.isupper() for ch in name[1:].replace("CIRC", "").replace("TIL", ""))
        return (-count * (1 if upper else UNSTRESSED_WEIGHT), upper, name)
    return sorted(variants, key=key)[0][1]


def stressed_form(unit):
    """The same unit with its vowel stressed (recorded at full length)."""
    if unit.vowel and unit.vowel not in units.GLIDES:
        return unit.with_vowel(unit.vowel.upper(), unit.mark)
    return unit


def quality_kept(unit):
    """The unit as recorded. Reduced vowels stay unstressed (a closed a, and unstressed i
    and u: they mostly end words, so they are recorded reduced and short), and so does the
    article a; upper-casing e and o would change their quality (E, O are open), so closed
    ones are recorded under stress marked CIRC."""
    if units.is_reduced(unit) or unit.symbols == ("a",):
        return unit
    if unit.vowel in ("e", "o") and unit.mark == "":
        return unit.with_vowel(unit.vowel.upper(), "CIRC")
    return stressed_form(unit)


def match_events(carrier, events):
    """One event per carrier phone: pauses dropped, hiatus marks the carrier does not
    write dropped, espeak-ng's own splitting of a phone into two events (as "ks") merged
    back. None when they do not line up."""
    evs = [(p, s) for p, s in events if not p.startswith("_")]
    want = [p.lstrip("'") for p in carrier.phonemes]
    out, i = [], 0
    for w in want:
        while i < len(evs) and evs[i][0] == ";" and w != ";":
            i += 1
        if i >= len(evs):
            return None
        start = evs[i][1]
        got = evs[i][0]
        i += 1
        while got != w and i < len(evs) and w.startswith(got):
            got += evs[i][0]
            i += 1
        out.append((w, start))
    while i < len(evs) and evs[i][0] == ";":
        i += 1
    return out if i == len(evs) else None


def short_factor(unit):
    """The factor the synthesizer most often shortens this unit by: a vowel alone comes
    before a final s ("os"), a unit with a consonant before a vowel-glide unit ("pai")."""
    if len(unit.symbols) == 1 and unit.vowel:
        return cutting.S_FACTOR
    return cutting.GLIDE_FACTOR


def build(inventory_path, progress):
    from espeak import Speaker
    table = read_inventory(inventory_path)
    speaker = Speaker(rate_wpm=RATE_WPM)
    pieces = {}
    failed = []
    names = sorted(table)
    for n, upper in enumerate(names, 1):
        variant = recorded_variant(table[upper])
        unit = units.parse_name(variant)
        if unit is None:
            failed.append(f"{variant}: not a unit shape")
            continue
        recorded = quality_kept(unit)
        car = units.carrier(recorded)
        samples, events = speaker.speak(units.carrier_text(car))
        evs = match_events(car, events)
        if evs is None:
            failed.append(f"{variant}: carrier {units.carrier_text(car)} gave {events}")
            continue
        first_phone = recorded.onset[0] if recorded.onset else ""
        starts_with_stop = first_phone in units.STOPS and not car.start_mid
        pieces[upper] = cutting.cut_unit(samples, speaker.rate, evs, car.first, car.last,
                                         car.start_mid, starts_with_stop, car.end_at_next,
                                         car.mid_at, short_factor(recorded))
        if progress and (n % 200 == 0 or n == len(names)):
            print(f"voice: {n}/{len(names)} units", flush=True)
    return pieces, failed


def quantize(x, seed_text):
    """8-bit unsigned samples of x (in 8-bit steps around 0) with triangular dither of
    one step, seeded by the unit's name so the bytes are the same on every run: quiet
    parts keep a faint noise floor instead of the buzz of plain rounding."""
    seed = int.from_bytes(hashlib.sha256(seed_text.encode("latin-1")).digest()[:8], "little")
    rng = np.random.default_rng(seed)
    tpdf = rng.random(len(x)) - rng.random(len(x))
    return np.clip(np.rint(x + tpdf) + 128, 0, 255).astype(np.uint8)


def to_bytes(pieces):
    """(index bytes, data bytes) with one gain for all units."""
    peak = max((float(np.max(np.abs(p))) for p in pieces.values() if len(p)), default=1.0)
    gain = PEAK / peak if peak > 0 else 1.0
    entries = []
    data = bytearray()
    for upper in sorted(pieces, key=lambda s: s.encode("latin-1")):
        q = quantize(pieces[upper] * gain, upper)
        name = upper.encode("latin-1")
        entries.append(struct.pack("<B8sHi", len(name), name.ljust(NAME_BYTES, b"\0"),
                                   len(q), len(data)))
        data += q.tobytes()
    return b"".join(entries), bytes(data)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--inventory", required=True)
    ap.add_argument("--out", required=True)
    default_cache = os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "sonara-voice")
    ap.add_argument("--cache", default=default_cache)
    args = ap.parse_args()

    key = packs.cache_key(SCRIPTS, args.inventory)
    cached = os.path.join(args.cache, "diphones-" + key)
    made = False
    if not os.path.exists(os.path.join(cached, BASE + ".DIF")):
        began = time.monotonic()
        pieces, failed = build(args.inventory, True)
        if failed:
            for line in failed:
                print(f"voice: failed {line}", file=sys.stderr)
            return 1
        index, data = to_bytes(pieces)
        part = cached + f".part{os.getpid()}"
        os.makedirs(part, exist_ok=True)
        with open(os.path.join(part, BASE + ".IND"), "wb") as f:
            f.write(index)
        with open(os.path.join(part, BASE + ".DIF"), "wb") as f:
            f.write(data)
        if os.path.exists(cached):
            shutil.rmtree(part)
        else:
            os.replace(part, cached)
        made = True
        print(f"voice: {len(pieces)} units made in {time.monotonic() - began:.1f} s", flush=True)
    os.makedirs(args.out, exist_ok=True)
    for ext in (".IND", ".DIF"):
        packs.install(os.path.join(cached, BASE + ext), os.path.join(args.out, BASE + ext))
    size = os.path.getsize(os.path.join(args.out, BASE + ".DIF"))
    count = os.path.getsize(os.path.join(args.out, BASE + ".IND")) // 15
    print(f"voice: {count} units, {size} bytes in {args.out} ({'made' if made else 'cached'})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
