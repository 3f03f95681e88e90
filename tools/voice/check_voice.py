#!/usr/bin/python3
"""Checks an installed voice: the diphone index and data, the letter recordings, the
number words, and the lookups of the rules' output that miss.

Usage: check_voice.py --diphones DIR --letters DIR [--sonara BIN] [--rules F]
                      [--exceptions F] [--words FILE] [--sample N]

Prints every problem and exits 1 when there is any. The miss check reads a deterministic
sample of N words of the list (every k-th word), every Windows-1252 character alone and a
few phrases, speaks them the way the synthesizer does against the real index, and
reports each lookup that ends in a noise burst or a left-out piece; with a `sonara` that
has the `units` command, that command checks the same lines too.
"""

import argparse
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import inventory  # noqa: E402
import lookup  # noqa: E402
import units  # noqa: E402

ENTRY = 15
MAX_UNIT = 64000 - 44
SPEAKCHAR_CODES = [0, 12] + list(range(32, 256))
NAMED = ["_unknown", "_zero", "_MENOS", "_FON9"]


def read_index(index_bytes, data_size):
    """([(name, length, offset)], problems)."""
    problems = []
    if len(index_bytes) % ENTRY:
        problems.append(f"index size {len(index_bytes)} is not a multiple of {ENTRY}")
    entries = []
    for i in range(len(index_bytes) // ENTRY):
        n, raw, length, offset = struct.unpack_from("<B8sHi", index_bytes, i * ENTRY)
        if not 1 <= n <= 8:
            problems.append(f"entry {i}: name length {n}")
            continue
        name = raw[:n].decode("latin-1")
        if name != name.upper() or not name.startswith("$"):
            problems.append(f"entry {i}: name {name!r} is not an upper-case unit name")
        if length == 0 or length > MAX_UNIT:
            problems.append(f"entry {i} {name}: length {length}")
        if offset < 0 or offset + length > data_size:
            problems.append(f"entry {i} {name}: bytes {offset}..{offset + length} outside the "
                            f"data file of {data_size}")
        entries.append((name, length, offset))
    for a, b in zip(entries, entries[1:]):
        if not a[0].encode("latin-1") < b[0].encode("latin-1"):
            problems.append(f"index not sorted: {a[0]} before {b[0]}")
    return entries, problems


def check_wave(path):
    """None when path is an 8-bit mono 11025 Hz WAV with a canonical 44-byte header and
    some samples, else what is wrong."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return "missing"
    if len(data) <= 44:
        return f"{len(data)} bytes, no samples"
    riff, size, wave, fmt, fmt_size, tag, ch, rate, byte_rate, align, bits, tag_data, \
        data_size = struct.unpack_from("<4sI4s4sIHHIIHH4sI", data, 0)
    if (riff, wave, fmt, tag_data) != (b"RIFF", b"WAVE", b"fmt ", b"data"):
        return "not a canonical RIFF header"
    if (fmt_size, tag, ch, rate, byte_rate, align, bits) != (16, 1, 1, 11025, 11025, 1, 8):
        return f"format {tag}/{ch} ch/{rate} Hz/{bits} bit, want PCM mono 11025 Hz 8-bit"
    if data_size != len(data) - 44 or size != len(data) - 8:
        return f"sizes {size}/{data_size} do not match the file of {len(data)} bytes"
    return None


def number_recordings(sonara):
    """Every recording the number words of 0 .. 999999 (and the scales) ask for."""
    numbers = list(range(0, 1000)) + list(range(1000, 1000000, 997)) + [
        1000, 1000000, 2000000, 1000000000, 2000000000, 4294967295]
    names = set()
    for feminine in (False, True):
        args = [sonara, "number", "--files"] + (["--feminine"] if feminine else [])
        r = subprocess.run(args, input="".join(f"{n}\n" for n in numbers),
                           stdout=subprocess.PIPE, text=True, check=True)
        names.update(n[:-4] if n.endswith(".wav") else n for n in r.stdout.split())
    return names


def sampled_lines(words_path, sample):
    with open(words_path, encoding="utf-8") as f:
        words = [w.strip() for w in f if w.strip()]
    step = max(1, len(words) // sample) if sample else 1
    return words[::step][:sample or None] + inventory.spelled_characters() + inventory.JOINS


def misses(strings, lines, present, letters):
    out = []
    speaker = lookup.Speaker(exists=present, letters=letters)
    for line, s in zip(lines, strings):
        for f in speaker.speak(s):
            if f.kind in ("noise", "drop"):
                out.append(f"{line}: {s}: {f.name} ({'noise' if f.kind == 'noise' else 'left out'})")
    return out


def has_units_command(sonara):
    r = subprocess.run([sonara, "help"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       text=True)
    return any(line.split()[:1] == ["units"] for line in r.stdout.splitlines())


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--diphones", required=True)
    ap.add_argument("--letters", required=True)
    ap.add_argument("--sonara")
    ap.add_argument("--rules")
    ap.add_argument("--exceptions")
    ap.add_argument("--words", default="/usr/share/dict/brazilian")
    ap.add_argument("--sample", type=int, default=3000)
    args = ap.parse_args()
    problems = []

    with open(os.path.join(args.diphones, "DIFONES2.IND"), "rb") as f:
        index_bytes = f.read()
    data_size = os.path.getsize(os.path.join(args.diphones, "DIFONES2.DIF"))
    entries, p = read_index(index_bytes, data_size)
    problems += p
    present = {e[0] for e in entries}

    wanted = [f"_{c}" for c in SPEAKCHAR_CODES] + NAMED
    if args.sonara:
        wanted += sorted(number_recordings(args.sonara))
    for sub in ("", "rapido"):
        for name in wanted:
            why = check_wave(os.path.join(args.letters, sub, name + ".wav"))
            if why:
                problems.append(f"{os.path.join(sub, name)}.wav: {why}")
    letters = {n[:-4] for n in os.listdir(args.letters) if n.endswith(".wav")}

    if args.sonara and args.rules and os.path.exists(args.rules):
        lines = sampled_lines(args.words, args.sample)
        strings = inventory.phoneme_strings(args.sonara, args.rules, args.exceptions, lines)
        found = misses(strings, lines, present, letters)
        problems += found
        checked = f"{len(lines)} lines of the rules' output"
        if has_units_command(args.sonara):
            cmd = [args.sonara, "units", "--misses", "--rules", args.rules,
                   "--diphones", args.diphones, "--letters", args.letters]
            if args.exceptions and os.path.exists(args.exceptions):
                cmd += ["--exceptions", args.exceptions]
            r = subprocess.run(cmd, input="\n".join(lines) + "\n", stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
            if r.returncode != 0:
                problems.append("sonara units --misses:\n" + r.stdout.strip())
            checked += " (and sonara units --misses)"
    else:
        # No rules yet: every shape of the alphabet must be spoken without a miss.
        shapes = units.hand_inventory()
        strings = ["[" + n[1:].replace("CIRC", "^").replace("TIL", "~") + "]" for n in shapes]
        problems += misses(strings, shapes, present, letters)
        checked = f"{len(shapes)} shapes of the alphabet (no rule file)"

    for line in problems:
        print(f"voice check: {line}")
    print(f"voice check: {len(entries)} units, {len(wanted)} recordings (and rapido/), "
          f"{checked}: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
