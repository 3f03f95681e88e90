"""The phoneme inventory of the voice br4, its diphone list and the carrier words its
units are cut from.

The inventory is data/tavena/phonemes.tsv (first column, in file order; "_" is the pause).
Every ordered pair of it is a unit, pairs Portuguese never makes included: a phoneme line
the rules did not foresee then still sounds instead of falling silent.

A carrier is a nonsense word in espeak-ng's phoneme notation ("[[t'apa]]") in which the
pair stands between neutral sounds: each vowel of the pair stressed (recorded at full
length; the synthesizer shortens), except the reduced final a and u (mostly a final o),
which are spoken after a stressed syllable; a consonant in the position it takes in a word
(an onset before a vowel, a coda r or s before a "t"); "_" is the start or the end of the
utterance. Where espeak-ng reads text its own way (falling diphthongs, nasal vowels with a
murmur, r after a consonant), the carrier says it that way, so the units sound like its
reading.
"""

import dataclasses

PAUSE = "_"

# Our phonemes as espeak-ng pt-br phonemes.
ESPEAK = {
    "a": "a", "@": "&", "e": "e", "E": "E", "i": "i", "I": "y", "o": "o", "O": "O", "u": "U", "U": "u",
    "an": "&~", "en": "eI", "in": "i", "on": "o", "un": "u~",
    "y": "j", "w": "w",
    "p": "p", "b": "b", "t": "t", "d": "d", "k": "k", "g": "g", "f": "f", "v": "v",
    "s": "s", "z": "z", "S": "S", "Z": "Z", "m": "m", "n": "n", "J": "n^", "l": "l",
    "L": "l^", "r": "*", "R": "x", "tS": "tS", "dZ": "dZ", "r2": "r", "r@": "*", "s2": "s",
}
VOWELS = {"a", "@", "e", "E", "i", "I", "o", "O", "u", "U", "an", "en", "in", "on", "un"}
# Spoken unstressed, after a stressed syllable: the reduced final a and e, and u, which stands
# far more often for a final or unstressed o (gato, o) than for a stressed u.
REDUCED = {"@", "I", "u"}
# espeak-ng reads nasal vowels as a vowel (e as a diphthong) and a nasal murmur
NASALS = {"an", "en", "in", "on", "un"}
NASAL_VOWEL = {"an": "&~", "en": "e~", "in": "i~", "on": "o~", "un": "u~"}
# espeak-ng phonemes of vowels and glides (a nasal vowel before them has no murmur)
GLIDES = {"y", "w"}
ESPEAK_SOUNDS = {ESPEAK[n] for n in VOWELS | GLIDES}
ESPEAK_VOWELS = {ESPEAK[n] for n in VOWELS}
CODAS = {"r2", "r@", "s2"}      # consonants at the end of a syllable: a "t" follows them
VOICELESS_STOPS = {"p", "t", "k", "tS"}  # espeak-ng puts their closure in the phone before


def read_inventory(path):
    """The phoneme names of phonemes.tsv, in file order."""
    names = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            name = line.split("\t")[0].strip()
            if name and name not in names:
                names.append(name)
    return names


def check_inventory(names):
    """What is wrong with an inventory for this voice ([] when nothing)."""
    problems = []
    if PAUSE not in names:
        problems.append("no pause phoneme _")
    for n in names:
        if n != PAUSE and n not in ESPEAK:
            problems.append(f"phoneme {n!r} has no espeak-ng counterpart")
        if not 1 <= len(n.encode("ascii", "replace")) <= 7:
            problems.append(f"phoneme {n!r}: a name holds 1 to 7 ASCII characters")
    if not 1 <= len(names) <= 255:
        problems.append(f"{len(names)} phonemes, at most 255")
    return problems


def pairs(names):
    """Every ordered pair of the inventory, in inventory order."""
    return [(a, b) for a in names for b in names]


def dfn_text(names, source="data/tavena/phonemes.tsv"):
    """The diphone list of the voice: a comment header, then "first-second" per line."""
    head = [
        "; portug.dfn: the phoneme pairs the voice br4 can join, one \"first-second\" a line.",
        f"; Generated from {source} by tools/voice/make_br4.py --dfn; do not edit:",
        "; the test command fails when this file and the inventory disagree.",
        f"; {len(names)} phonemes, every ordered pair ({len(names) ** 2} units).",
    ]
    return "\n".join(head + [f"{a}-{b}" for a, b in pairs(names)]) + "\n"


@dataclasses.dataclass(frozen=True)
class Carrier:
    phones: tuple      # espeak-ng phonemes, one per phone, "'" before a stressed vowel
    left: int          # index of the pair's first phone (-1: the start of the utterance)
    right: int         # index of its second phone (len(phones): the end)
    left_half: int = -1   # 0 or 1: the first phone is that half of a diphthong phone
    right_half: int = -1

    def text(self):
        # "|" keeps neighbours apart that would read as one phoneme ("t" "s" as "ts")
        return "[[" + "|".join(self.phones) + "]]"


# espeak-ng's falling diphthongs, one phoneme each: a vowel and a glide of ours
DIPHTHONGS = {
    ("a", "y"): "aI", ("e", "y"): "eI", ("o", "y"): "oI", ("E", "y"): "EI", ("O", "y"): "OI",
    ("a", "w"): "aU", ("e", "w"): "eU", ("i", "w"): "iU", ("E", "w"): "EU", ("an", "w"): "&U~",
}
# the diphthong whose glide stands for a glide of ours after a vowel, before a consonant
GLIDE_DIPHTHONG = {"y": "aI", "w": "aU"}


def _phone(name, stressed):
    return ("'" if stressed else "") + ESPEAK[name]


def carrier(a, b):
    """The carrier of the unit a-b (names of our inventory)."""
    if a == PAUSE and b == PAUSE:
        return Carrier(("t", "'a"), -1, 2)  # only its silence is used
    if (a, b) in DIPHTHONGS:
        # a falling diphthong: both halves of espeak-ng's one phoneme
        return Carrier(("t", "'" + DIPHTHONGS[(a, b)], "t", "a"), 1, 1, 0, 1)
    falling = a in GLIDES and b not in VOWELS and b not in GLIDES
    if a == PAUSE:
        before = []
    elif a in VOWELS and a not in REDUCED:
        before = ["t"]
    elif a in REDUCED:
        before = ["t", "a", "t"]
    elif falling:
        before = ["t"]  # the glide ends a diphthong
    else:
        before = ["t", "a"]
    if b == PAUSE:
        after = []
    elif b in VOWELS or b in CODAS or (b in GLIDES and a in VOWELS):
        after = ["t", "a"]
    else:
        after = ["a"]  # an onset consonant or a glide before its vowel
    stress_a = (a in VOWELS and a not in REDUCED) or falling
    stress_b = b in VOWELS and b not in REDUCED
    pair = []
    if a != PAUSE:
        pair.append(("'" + GLIDE_DIPHTHONG[a] if falling else _phone(a, stress_a), "a"))
    if b != PAUSE:
        cluster = b == "r" and a not in VOWELS | GLIDES | CODAS | {PAUSE}
        # espeak-ng's r after a consonant (prato) is its own phoneme
        pair.append(("R" if cluster else _phone(b, stress_b), "b"))
    if a in REDUCED or (b in REDUCED and len(before) > 1):
        # the reduced a follows a stressed syllable
        before[1] = "'a"
    elif not (stress_a or stress_b):
        if "a" in after:
            after[after.index("a")] = "'a"
        elif "a" in before:
            before[before.index("a")] = "'a"
    tagged = [(p, "") for p in before] + pair + [(p, "") for p in after]
    ours = {"a": a, "b": b}
    # espeak-ng's own reading of a nasal vowel before a consonant, and of one other than
    # the nasal a before a pause, ends in a nasal murmur
    out = []
    for i, (p, tag) in enumerate(tagged):
        out.append((p, tag))
        nxt = tagged[i + 1][0].lstrip("'") if i + 1 < len(tagged) else ""
        name = ours.get(tag, "")
        if name in NASALS and nxt not in ESPEAK_SOUNDS and (nxt or name != "an"):
            out.append(("N", ""))
        elif name in NASALS:
            # before a vowel or a glide, where no murmur follows: the nasal vowel itself
            out[-1] = (p.replace(ESPEAK[name], NASAL_VOWEL[name]), tag)
        if name == "r@":
            # espeak-ng's r closing a syllable inside a word: its tap and a short vowel
            out.append(("@-", ""))
        elif p == "l" and nxt not in ESPEAK_VOWELS:
            # espeak-ng leaves an l before anything but a vowel unspoken: a short vowel
            # after it makes it heard
            out.append(("@-", ""))
    phones = tuple(p for p, _ in out)
    tags = [t for _, t in out]
    left = tags.index("a") if "a" in tags else -1
    right = tags.index("b") if "b" in tags else len(phones)
    return Carrier(phones, left, right, 1 if falling else -1)
