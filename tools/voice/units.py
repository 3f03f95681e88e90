"""Unit names of the diphone database and the carrier words they are cut from.

A unit name is what the synthesizer looks up: "$" + phoneme symbols of our alphabet,
possibly ending in "CIRC" (closed vowel) or "TIL" (nasal vowel). The lookup upper-cases
names, so "$kA" (stressed) and "$ka" (unstressed) are one entry; the generator records
the variant the rules ask for most often.

A carrier is a nonsense word in espeak-ng's phoneme notation ("[[ta'kata]]") in which the
unit stands between neutral sounds; `Carrier.first`/`last` say which of its phones the
unit spans.
"""

import dataclasses

CONSONANTS = ["tch", "dj", "nh", "lh", "rr", "ks", "nn",
              "p", "b", "t", "d", "k", "g", "f", "v", "s", "z", "m", "n", "l", "x", "j", "r"]
VOWELS = "aeiouAEIOU"
GLIDES = "wy"
STOPS = {"p", "t", "k", "tch", "ks"}  # voiceless: their closure silence belongs to them
# Consonants that espeak-ng swallows before a "t": said alone, they are cut from between
# two vowels instead.
SONORANTS = {"l", "lh", "nh", "m", "n", "r", "j", "z", "v", "b", "d", "g", "dj"}

# Our consonants as espeak-ng pt-br phonemes. A coda rr is espeak-ng's coda r.
CONSONANT_PHONEMES = {
    "p": "p", "b": "b", "t": "t", "d": "d", "k": "k", "g": "g", "f": "f", "v": "v",
    "s": "s", "z": "z", "m": "m", "n": "n", "l": "l", "x": "S", "j": "Z", "r": "*",
    "rr": "x", "nh": "n^", "lh": "lj", "tch": "tS", "dj": "dZ", "ks": "ks", "nn": "N",
}


@dataclasses.dataclass(frozen=True)
class Unit:
    onset: tuple      # consonant symbols before the vowel (or the whole unit)
    vowel: str        # "" for a consonant unit
    glide: str        # "", "w" or "y"
    mark: str         # "", "CIRC" or "TIL"

    @property
    def stressed(self):
        return self.vowel.isupper()


def parse_name(name):
    """The unit a lookup name stands for, or None when it is not one of our shapes.
    Case matters: "$kA" is stressed, "$ka" is not."""
    if not name.startswith("$") or len(name) < 2:
        return None
    body = name[1:]
    mark = ""
    for m in ("CIRC", "TIL"):
        if body.endswith(m) and len(body) > len(m):
            body, mark = body[: -len(m)], m
            break
    onset = []
    i = 0
    while i < len(body):
        for c in CONSONANTS:
            if body.startswith(c, i):
                onset.append(c)
                i += len(c)
                break
        else:
            break
    rest = body[i:]
    vowel = glide = ""
    if rest and rest[0] in VOWELS:
        vowel, rest = rest[0], rest[1:]
    elif rest and rest[0] in GLIDES and not onset and len(rest) == 1:
        vowel, rest = rest[0], ""  # a glide spoken alone
    elif rest and rest[0] in GLIDES and onset:
        # a consonant and a glide before the vowel ("kwa"): the glide joins the onset
        onset.append(rest[0])
        rest = rest[1:]
        if rest and rest[0] in VOWELS:
            vowel, rest = rest[0], rest[1:]
    if rest and rest[0] in GLIDES and vowel:
        glide, rest = rest[0], rest[1:]
    if rest:
        return None
    if not vowel and (glide or mark):
        return None
    if not vowel and not onset:
        return None
    return Unit(tuple(onset), vowel, glide, mark)


def vowel_phoneme(v, mark):
    """espeak-ng phoneme of one of our vowels with its mark."""
    low = v.lower()
    if low in GLIDES:
        return {"w": "u", "y": "i"}[low]
    if mark == "TIL":
        return {"a": "&~", "e": "e~", "i": "i~", "o": "o~", "u": "u~"}[low]
    if mark == "CIRC":
        return {"a": "&", "e": "e", "i": "i", "o": "o", "u": "u"}[low]
    if v == "E":
        return "E"
    if v == "O":
        return "O"
    return low


def glide_phoneme(g):
    return {"w": "w", "y": "j"}[g]


def onset_phoneme(c, coda=False):
    if c in GLIDES:
        return glide_phoneme(c)
    if coda and c == "rr":
        return "r"
    return CONSONANT_PHONEMES[c]


@dataclasses.dataclass(frozen=True)
class Carrier:
    phonemes: tuple   # espeak-ng phonemes, one per phone, stress written as "'" before one
    first: int        # index of the unit's first phone
    last: int         # index of its last phone
    start_mid: bool   # the unit starts in the middle of its first phone (a vowel)
    end_at_next: bool = False  # the unit ends where the next phone begins (a vowel)


def carrier(unit):
    """The carrier word of a unit: always preceded by "ta" and followed by "ta", so each
    unit stands between the same neutral sounds and its ends meet the same silence of a
    voiceless closure."""
    stress = "'"
    if not unit.vowel:
        # A consonant alone: a coda or the first consonant of a cluster.
        cons = [onset_phoneme(c, coda=True) for c in unit.onset]
        if unit.onset[-1] in SONORANTS:
            phones = ["t", stress + "a"] + cons + ["a"]
            return Carrier(tuple(phones), 2, 1 + len(cons), False, True)
        phones = ["t", stress + "a"] + cons + ["t", "a"]
        return Carrier(tuple(phones), 2, 1 + len(cons), False)
    v = vowel_phoneme(unit.vowel, unit.mark)
    vstress = stress if unit.stressed else ""
    body = [onset_phoneme(c) for c in unit.onset]
    if unit.glide:
        # A vowel-glide unit starts in the middle of its vowel: the syllable before it
        # already holds the vowel's onset.
        phones = ["t", "a"] + body + [vstress + v, glide_phoneme(unit.glide), "t", "a"]
        if not vstress:
            phones[1] = stress + "a"
        first = 2 + len(body) if not body else 2
        return Carrier(tuple(phones), first, 3 + len(body), not body)
    phones = ["t", "a"] + body + [vstress + v, "t", "a"]
    if not vstress:
        phones[-1] = stress + "a"
    return Carrier(tuple(phones), 2, 2 + len(body), False)


def carrier_text(c):
    return "[[" + "".join(c.phonemes) + "]]"


def hand_inventory():
    """Every name of the shapes our alphabet allows (used until rules exist): consonants
    alone, vowels alone, consonant-vowel, vowel-glide, each with their marks, kept to the
    8 characters an index name holds."""
    names = set()
    cons = [c for c in CONSONANTS if c != "nn"]
    vowels = list(VOWELS)
    for c in CONSONANTS:
        names.add("$" + c)
    names.update({"$w", "$y"})
    for v in vowels:
        forms = [("", "")]
        if v.lower() in "aeo":
            forms.append(("", "CIRC"))
        forms.append(("", "TIL"))
        for _, mark in forms:
            names.add("$" + v + mark)
            for c in cons:
                names.add("$" + c + v + mark)
            for g in GLIDES:
                names.add("$" + v + g + mark)
    return sorted(n for n in names if len(n) <= 8)
