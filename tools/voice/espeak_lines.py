#!/usr/bin/python3
"""Phoneme lines of our inventory for a text, taken from espeak-ng pt-br's own reading:
its phonemes mapped to ours, its durations, and one pitch point per voiced phone
measured on its audio. For judging the voice br4 before the engine's rules exist, and
as a reference for what the engine's lines give.

Usage: espeak_lines.py TEXT...        (one utterance per argument; lines on stdout)
"""

import os
import sys

import numpy as np

# espeak-ng pt-br phonemes as sequences of ours; "" drops the phoneme.
SIMPLE = {
    "a": ["a"], "&": ["@"], "e": ["e"], "E": ["E"], "i": ["i"], "o": ["o"], "O": ["O"],
    "u": ["U"], "y": ["I"], "U": ["u"], "I": ["i"], "@": ["@"],
    "&~": ["an"], "e~": ["en"], "i~": ["in"], "o~": ["on"], "u~": ["un"],
    "&U~": ["an", "w"], "eI": ["e", "y"], "aI": ["a", "y"], "aU": ["a", "w"],
    "iU": ["i", "w"], "eU": ["e", "w"], "oI": ["o", "y"], "uI": ["u", "y"],
    "EU": ["E", "w"], "OI": ["O", "y"], "EI": ["E", "y"], "&I~": ["an", "y"],
    "o~I": ["on", "y"], "u~I": ["un", "y"], "oU": ["o", "w"], "ue": ["u", "e"],
    "j": ["y"], "w": ["w"], "p": ["p"], "b": ["b"], "t": ["t"], "d": ["d"], "k": ["k"],
    "g": ["g"], "f": ["f"], "v": ["v"], "z": ["z"], "S": ["S"], "Z": ["Z"],
    "m": ["m"], "n": ["n"], "n^": ["J"], "l": ["l"], "l^": ["L"], "lj": ["L"],
    "*": ["r"], "R": ["r"], "tS": ["tS"], "dZ": ["dZ"], "ks": ["k", "s"],
    "h": ["R"], "r": ["r2"], "N": [], "@-": [], ";": [],
}
NASAL = {"a": "an", "e": "en", "i": "in", "o": "on", "u": "un", "@": "an"}
VOWELS = {"a", "@", "e", "E", "i", "I", "o", "O", "u", "U", "an", "en", "in", "on", "un"}


def measure_f0(x, rate, centre):
    """Pitch in Hz at sample `centre` of x, or 0 when unvoiced."""
    half = int(0.02 * rate)
    a = x[max(0, centre - half):centre + half].astype(np.float64)
    if len(a) < half or np.sqrt(np.mean(a * a)) < 300:
        return 0.0
    a = a - a.mean()
    ac = np.correlate(a, a, "full")[len(a) - 1:]
    lo, hi = int(rate / 400), int(rate / 60)
    if hi >= len(ac) or ac[0] <= 0:
        return 0.0
    seg = ac[lo:hi]
    lag = lo + int(np.argmax(seg))
    if ac[lag] / ac[0] < 0.5:
        return 0.0
    return rate / lag


def lines_for(speaker, text):
    x, events = speaker.speak(text)
    rate = speaker.rate
    evs = [(p, s) for p, s in events]
    ends = [s for _, s in evs[1:]] + [len(x)]
    items = []  # [name, samples, centre]
    for i, ((p, s), e) in enumerate(zip(evs, ends)):
        if p.startswith("_"):
            if e - s > 0.02 * rate and 0 < i < len(evs) - 2:
                items.append(["_", e - s, (s + e) // 2])
            continue
        if p == "x":
            nxt = next((q for q, _ in evs[i + 1:] if q not in (";",)), "_")
            mapped = ["R"] if nxt and nxt[0] in "aeiouEOy&" else ["r2"]
        elif p == "s":
            nxt = next((q for q, _ in evs[i + 1:]), "_")
            mapped = ["s"] if nxt and nxt[0] in "aeiouEOy&jw" else ["s2"]
        elif p == "*" and i + 1 < len(evs) and evs[i + 1][0] == "@-":
            mapped = ["r@"]  # the tap and a short vowel: r closing a syllable in a word
        elif p == "N":
            if items and items[-1][0] in NASAL:
                items[-1][0] = NASAL[items[-1][0]]
                items[-1][1] += e - s
            continue
        elif p == "@-" and items:
            items[-1][1] += e - s
            continue
        else:
            mapped = SIMPLE.get(p)
            if mapped is None:
                raise ValueError(f"espeak-ng phoneme {p!r} has no mapping")
        if not mapped:
            continue
        n = len(mapped)
        for k, name in enumerate(mapped):
            a = s + (e - s) * k // n
            b = s + (e - s) * (k + 1) // n
            items.append([name, b - a, (a + b) // 2])
    out = ["_ 100"]
    for name, length, centre in items:
        ms = max(10, int(round(1000.0 * length / rate)))
        f0 = measure_f0(x, rate, centre) if name != "_" else 0.0
        out.append(f"{name} {ms}" + (f" 50 {int(round(f0))}" if f0 > 0 else ""))
    out.append("_ 100")
    return out


def main():
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    from espeak import Speaker
    speaker = Speaker(monotone=False, rate_wpm=175)
    for text in sys.argv[1:]:
        print("\n".join(lines_for(speaker, text)))
        print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
