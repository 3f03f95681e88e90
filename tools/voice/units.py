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
# espeak-ng's reduced vowels of unstressed syllables after the stress. The rules write a
# reduced a as a closed one (casa = kA za^); final e and o are written i and u.
REDUCED = {"a": "&", "i": "y", "u": "U"}


def is_reduced(unit):
    """An unstressed unit with one vowel, last, that is said reduced after the stress."""
    syms = unit.symbols
    if not syms or syms[-1] not in REDUCED or sum(sym in VOWELS for sym in syms) != 1:
        return False
    return unit.mark == ("CIRC" if syms[-1] == "a" else "")


STOPS = {"p", "t", "k", "tch", "ks"}  # voiceless: their closure silence belongs to them
# Consonants that espeak-ng swallows before a "t": said alone, they are cut from between
# two vowels instead.
SONORANTS = {"l", "lh", "nh", "m", "n", "r", "j", "z", "v", "b", "d", "g", "dj"}

# Our consonants as espeak-ng pt-br phonemes. A coda rr is espeak-ng's coda r (the coda r
# recorded alone is a tap and a short vowel: see carrier).
CONSONANT_PHONEMES = {
    "p": "p", "b": "b", "t": "t", "d": "d", "k": "k", "g": "g", "f": "f", "v": "v",
    "s": "s", "z": "z", "m": "m", "n": "n", "l": "l", "x": "S", "j": "Z", "r": "*",
    "rr": "x", "nh": "n^", "lh": "lj", "tch": "tS", "dj": "dZ", "ks": "ks", "nn": "N",
}


@dataclasses.dataclass(frozen=True)
class Unit:
    """A unit as a sequence of our symbols (consonants, vowels, glides) and the mark of
    its last vowel ("", "CIRC" closed, "TIL" nasal)."""
    symbols: tuple
    mark: str = ""

    @property
    def onset(self):
        """The consonants before the first vowel or glide."""
        out = []
        for sym in self.symbols:
            if sym[0] in VOWELS or sym in GLIDES:
                break
            out.append(sym)
        return tuple(out)

    @property
    def vowel(self):
        """The first vowel (a glide when the unit has none), or ""."""
        for sym in self.symbols:
            if sym in VOWELS:
                return sym
        for sym in self.symbols:
            if sym in GLIDES:
                return sym
        return ""

    @property
    def stressed(self):
        return any(sym in "AEIOU" for sym in self.symbols)

    def with_vowel(self, vowel, mark):
        """The same unit with its first vowel replaced (and the mark set)."""
        old = self.vowel
        syms = list(self.symbols)
        syms[syms.index(old)] = vowel
        return Unit(tuple(syms), mark)


def parse_name(name):
    """The unit a lookup name stands for, or None when it is not made of our symbols.
    Case matters: "$kA" is stressed, "$ka" is not."""
    if not name.startswith("$") or len(name) < 2:
        return None
    body = name[1:]
    mark = ""
    for m in ("CIRC", "TIL"):
        if body.endswith(m) and len(body) > len(m):
            body, mark = body[: -len(m)], m
            break
    symbols = []
    i = 0
    while i < len(body):
        for c in CONSONANTS + list(VOWELS) + list(GLIDES):
            if body.startswith(c, i):
                symbols.append(c)
                i += len(c)
                break
        else:
            return None
    unit = Unit(tuple(symbols), mark)
    if mark and not unit.vowel:
        return None
    return unit


def vowel_phoneme(v, mark):
    """espeak-ng phoneme of one of our vowels with its mark."""
    low = v.lower()
    if low in GLIDES:
        low = {"w": "u", "y": "i"}[low]
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


# What stands around a unit in its carrier: a reduced a before it, the neutral vowel its
# onset is said from, and a "d" after it, whose voiced closure lets the unit's vowel end
# voiced (the cut keeps a little of it) so that the next unit's consonant follows smoothly.
BEFORE = ("t", "&")
AFTER = ("d", "a")


@dataclasses.dataclass(frozen=True)
class Carrier:
    phonemes: tuple   # espeak-ng phonemes, one per phone, stress written as "'" before one
    first: int        # index of the unit's first phone
    last: int         # index of its last phone
    start_mid: bool   # the unit starts in the middle of its first phone (a vowel)
    end_at_next: bool = False  # the unit ends where the next phone begins (a vowel)
    mid_at: float = 0.5        # where in its first phone a unit starting mid-vowel starts


def unit_phones(unit):
    """The unit's symbols as espeak-ng phonemes: the mark goes to the last vowel, the
    stress to the first stressed one; a glide next to a vowel is a glide, else a vowel."""
    syms = unit.symbols
    nuclei = [i for i, sym in enumerate(syms) if sym in VOWELS]
    if not nuclei:
        nuclei = [i for i, sym in enumerate(syms) if sym in GLIDES][:1]
    marked = nuclei[-1] if nuclei else -1
    phones = []
    stress_done = False
    for i, sym in enumerate(syms):
        if i in nuclei:
            ph = vowel_phoneme(sym, unit.mark if i == marked else "")
            if sym in "AEIOU" and not stress_done:
                ph = "'" + ph
                stress_done = True
        elif sym in GLIDES:
            ph = glide_phoneme(sym)
        else:
            ph = onset_phoneme(sym, coda=bool(nuclei) and i > nuclei[-1])
        phones.append(ph)
    if unit.mark == "TIL" and syms[-1] in VOWELS:
        # A nasal vowel closes on a nasal consonant, as espeak-ng says it in words (canto,
        # com, jardim): without it the vowel's end would not match what follows it.
        phones.append("N")
    if len(phones) >= 2 and phones[-2].lstrip("'") == "&~" and phones[-1] == "w":
        # "ão" is one phoneme of espeak-ng's, a nasal diphthong
        phones[-2:] = [phones[-2].replace("&~", "&U~")]
    return phones


def carrier(unit):
    """The carrier word of a unit: each unit stands between the same neutral sounds, BEFORE
    and AFTER; a consonant alone stands between "ta" and "ta" (or a vowel)."""
    stress = "'"
    phones = unit_phones(unit)
    n = len(phones)
    if not unit.vowel:
        # A consonant alone: a coda or the first consonant of a cluster.
        cons = [onset_phoneme(c, coda=True) for c in unit.symbols]
        if unit.symbols == ("rr",):
            # A coda r: espeak-ng says it inside words as a tap and a short vowel (perto).
            cons = ["*", "@-"]
            n = len(cons)
        if unit.symbols[-1] in SONORANTS:
            return Carrier(tuple(["t", stress + "a"] + cons + ["a"]), 2, 1 + n, False, True)
        return Carrier(tuple(["t", stress + "a"] + cons + ["t", "a"]), 2, 1 + n, False)
    # A vowel-glide unit starts in the middle of its vowel: the syllable before it already
    # holds the vowel's onset.
    start_mid = (unit.symbols[0] in VOWELS and len(unit.symbols) > 1
                 and unit.symbols[1] in GLIDES)
    mid_at = 0.5 if n == len(unit.symbols) else 0.3  # a diphthong phone: in its first part
    if unit.stressed:
        return Carrier(BEFORE + tuple(phones) + AFTER, 2, 1 + n, start_mid,
                       mid_at=mid_at)
    if unit.symbols == ("a",) and not unit.mark:
        # "a" alone is mostly the article, which is not reduced: before the stress, apart
        # from the "a" before it by a hiatus mark.
        return Carrier(("t", "a", ";", "a", "t", stress + "a"), 3, 3, False)
    if is_reduced(unit):
        # A closed a, unstressed i and u mostly end words (casa, and final e and o: leite,
        # gato): reduced, after the stressed syllable ("a" alone after a hiatus mark, so that
        # espeak-ng does not make one diphthong of the two vowels).
        lead = ["t", stress + "a"] + ([";"] if len(phones) == 1 else [])
        phones[-1] = REDUCED[unit.symbols[-1]]
        return Carrier(tuple(lead + phones) + AFTER, len(lead), len(lead) + n - 1, False)
    return Carrier(BEFORE + tuple(phones) + (AFTER[0], stress + AFTER[1]), 2, 1 + n, start_mid,
                   mid_at=mid_at)


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
