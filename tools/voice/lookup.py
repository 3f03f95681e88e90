"""The names the diphone synthesizer fetches for a phoneme-group string.

Follows the synthesizer's reading of a phoneme string: groups are cut into tokens at
blanks, "]" and (for tokens of 9 or more characters) "/"; each token is split into units
(leading consonant clusters, final consonants, vowel-glide endings, a final "s"), each
unit becomes database names ("$" + symbols, "CIRC" for "^", "TIL" for "~"), and a name
that is missing falls back to smaller names. Used to derive the inventory from the rules'
output and to render previews from the generated database.
"""

DIPHONE_VOWELS = set("AEIOUaeiouwy")
STRESSED = set("AEIOU")
SPLIT_CONSONANTS = set("bcdfgjklmnpqrstvxz")
GLIDES = set("wy")
MARKS = set("^~")
PAUSE_MARKS = ",.;:"


class Fetch:
    """One piece of sound: a database name (or "_CODE" letter recording), the stress mode
    and duration factor it was fetched with; kind is "unit", "noise", "drop", "pause"."""

    __slots__ = ("name", "mode", "factor", "kind", "samples")

    def __init__(self, name, mode, factor, kind, samples=0):
        self.name, self.mode, self.factor, self.kind = name, mode, factor, kind
        self.samples = samples

    def __repr__(self):
        return f"Fetch({self.name!r}, {self.mode}, {self.factor:.3g}, {self.kind})"


def group_tokens(s, pauses=True):
    """[(token, resets stress)] as the synthesizer reads them, with "_," style pause tokens
    given as ("", mark) pairs in a separate kind: yields (kind, value, reset)."""
    i, n = 0, len(s)
    out = []
    while i < n:
        reset = False
        if s[i] == "[":
            reset = True
            i += 1
        tok = ""
        while i < n and s[i] not in " ]":
            c = s[i]
            if c == "/":
                i += 1
                if len(tok) >= 9:
                    break
                continue
            if c == "_":
                tok += s[i:i + 2]
                i += 2
                continue
            if c == "|":
                tok = "_TRACO"
                i += 1
                continue
            tok += c
            i += 1
        else:
            if i < n:
                i += 1  # the blank or "]"
        if pauses and len(tok) == 2 and tok[0] == "_" and tok[1] in PAUSE_MARKS:
            out.append(("pause", tok[1], reset))
        else:
            out.append(("token", tok, reset))
        # the word pause follows when the token did not end right before a blank
        if i < n and i > 0 and s[i - 1] != " ":
            out.append(("wordpause", "", False))
    return out


class Speaker:
    """Turns tokens into fetches against a set of names that exist (upper-case); `exists`
    None means every name of at most 8 characters exists (the inventory question)."""

    def __init__(self, exists=None, letters=None):
        self.exists = exists
        self.letters = letters
        self.mode = 1
        self.out = []

    def _found(self, name):
        if name.startswith("_"):
            return self.letters is None or name in self.letters
        if self.exists is None:
            return len(name) <= 8
        return name.upper() in self.exists

    def speak_name(self, n, m, x):
        if self._found(n):
            self.out.append(Fetch(n, m, x, "letter" if n.startswith("_") else "unit"))
            return
        if len(n) <= 2:
            self.out.append(Fetch(n, m, x, "noise"))
            return
        if n[-1] in DIPHONE_VOWELS:
            self.speak_name(n[:-1], m, 0.9 * x)
            self.speak_name("$" + n[-1], m, x)
        elif n.endswith("CIRC") and len(n) >= 7:
            self.speak_name(n[:-5], m, 0.9 * x)
            self.speak_name("$" + n[-5:], m, x)
        elif n.endswith("TIL"):
            n2 = n[:-3]
            if n2[-1:].upper() in ("I", "U"):
                self.speak_name(n2, m, 0.9 * x)
            else:
                self.speak_name(n2 + "CIRC", 2, 0.9 * x)
            self.speak_name("$nn", 1, 0.9)
        else:
            self.out.append(Fetch(n, m, x, "drop"))

    def speak_unit(self, u, x):
        stressed = False
        if u.startswith("_"):
            name = "_" + str(ord(u[1])) if len(u) > 1 else "_"
        else:
            name = "$"
            for c in u:
                if c in STRESSED:
                    self.mode = 2
                    stressed = True
                if c == "^":
                    self.speak_name(name + "CIRC", self.mode, x)
                    name = "$"
                elif c == "~":
                    self.speak_name(name + "TIL", self.mode, x)
                    name = "$"
                else:
                    name += c
        if name != "$":
            self.speak_name(name, self.mode, x)
        if stressed:
            self.mode = 0

    def split_token(self, t, x):
        n = len(t)
        if n == 0:
            return
        if n == 1:
            self.speak_unit(t, x)
            return
        if n > 2:
            if (t[0] in SPLIT_CONSONANTS and t[1] in SPLIT_CONSONANTS
                    and t[:2] not in ("dj", "nh", "rr", "ks") and not t.startswith("tch")):
                self.speak_unit(t[0], 1.0)
                self.split_token(t[1:], x)
                return
            if t.endswith("rr"):
                self.split_token(t[:-2], x)
                self.speak_unit("rr", x)
                return
            if t[-1] in SPLIT_CONSONANTS:
                self.split_token(t[:-1], x)
                self.split_token(t[-1], x)
                return
        if t[-1] in GLIDES and t[-2] in DIPHONE_VOWELS and n > 2:
            self.split_token(t[:-1], 0.6)
            self.speak_unit(t[-2:], x)
        elif t[-1] in GLIDES and t[-2] in MARKS:
            if n > 3:
                if t[-2] == "~":
                    self.split_token(t[:-2] + "^", 0.6)
                else:
                    self.split_token(t[:-1], 0.6)
            if n >= 3:
                self.speak_unit(t[-3] + t[-1] + t[-2], x)
        elif t != "_s" and t.endswith("s"):
            self.split_token(t[:-1], 0.7)
            self.speak_unit("s", x)
        else:
            self.speak_unit(t, x)

    def speak(self, s, pauses=True):
        """All fetches for one phoneme string, with pauses and word pauses as fetches of
        kind "pause" (name = the mark or "" for a word pause)."""
        self.mode = 1
        for kind, value, reset in group_tokens(s, pauses):
            if reset:
                self.mode = 1
            if kind == "token":
                self.split_token(value, 1.0)
            elif kind == "pause":
                self.out.append(Fetch(value, 0, 1.0, "pause"))
            else:
                self.out.append(Fetch("", 0, 1.0, "pause"))
        out, self.out = self.out, []
        return out
