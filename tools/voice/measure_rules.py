#!/usr/bin/env python3
"""Measures our letter-to-sound rules and exception list against espeak-ng's pt-br
transcriptions of a word list.

For every word it compares
  - the stress: the position that `sonara stress --position` prints (the first vowel
    letter of the stressed syllable in the written word) with the reference position:
    the written acute or circumflex accent (else the tilde) when the word has one,
    otherwise espeak-ng's stressed vowel, found in the written word by aligning its
    phones with the letters;
  - the phones: our rules' output and espeak-ng's transcription, both mapped onto one
    set of phone classes (data/diphone/phonemes.tsv names the correspondences), aligned
    by edit distance; agreement = 1 - (substitutions + deletions + insertions) / phones
    of the reference.

espeak-ng runs in a few batch processes (one word per line, each ending a sentence, so
every word is read alone) and its output is cached next to the word list's hash.

Usage: measure_rules.py --sonara build/tools/sonara [--words /usr/share/dict/brazilian]
       [--rules data/diphone/regras.rgr] [--exceptions data/diphone/portug.exc]
       [--sample N] [--jobs N] [--cache DIR] [--disagreements FILE]
"""

import argparse
import hashlib
import os
import subprocess
import sys
import tempfile
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CACHE_VERSION = "1"

# --------------------------------------------------------------------------------------
# espeak-ng's transcription -> phone classes

ESPEAK_SYMBOLS = sorted(
    [
        "&U~", "tS", "dZ", "n^", "l^", "&~", "e~", "i~", "o~", "u~", "a~", "eI", "aI",
        "aU", "oI", "uI", "EU", "OI", "EI", "iU", "eU", "oU", "@-", "&", "a", "e", "E",
        "i", "y", "o", "O", "u", "U", "w", "j", "p", "b", "t", "d", "k", "g", "f", "v",
        "s", "z", "m", "n", "N", "l", "S", "Z", "*", "R", "r", "x", "h", "@", ";", "'",
        ",", "#", "-", "I", "3", "_", ":", "!", "=",
    ],
    key=len,
    reverse=True,
)

DIPHTHONGS = {
    "eI": ("e", "i"), "aI": ("a", "i"), "aU": ("a", "u"), "oI": ("o", "i"),
    "uI": ("u", "i"), "EU": ("E", "u"), "OI": ("O", "i"), "EI": ("E", "i"),
    "iU": ("i", "u"), "eU": ("e", "u"), "oU": ("o", "u"), "&U~": ("a~", "u"),
}
VOWEL_CLASSES = {"a", "a^", "a~", "e", "E", "e~", "i", "i~", "o", "O", "o~", "u", "u~"}


def load_table(path):
    """espeak symbol -> our symbol, from the espeak column of phonemes.tsv (the base
    symbols; the contextual readings are applied in code below)."""
    table = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            parts = line.rstrip("\n").split("\t")
            ours, espeak = parts[0], parts[1]
            if espeak.startswith("'") or ours[0].isupper():
                continue
            table.setdefault(espeak, ours)
    return table


def tokenize_espeak(text):
    out = []
    i = 0
    while i < len(text):
        for sym in ESPEAK_SYMBOLS:
            if text.startswith(sym, i):
                out.append(sym)
                i += len(sym)
                break
        else:
            out.append(text[i])
            i += 1
    return out


def ours_class(symbol, table):
    """Our symbol (lower case) -> phone classes."""
    if symbol == "lh":
        return ["l", "i"]
    if symbol == "ks":
        return ["k", "s"]
    if symbol in ("w",):
        return ["u"]
    if symbol in ("y",):
        return ["i"]
    return [symbol]


def espeak_phones(transcription, table):
    """-> list of (class, stressed, espeak symbol, second half of a diphthong)."""
    toks = [t for t in tokenize_espeak(transcription.strip())
            if t not in (",", "@-", "@", ";", "#", "-", "_", ":", "!", "=", "3")]
    phones = []
    stress_next = False
    n = len(toks)

    def ahead(k, skip=1):
        """The symbol `skip` places after k, stress marks left out."""
        seen = 0
        for t in toks[k + 1:]:
            if t == "'":
                continue
            seen += 1
            if seen == skip:
                return t
        return ""

    def is_vowel(t):
        return t in VOWEL_SET or t in DIPHTHONGS

    skip_next = False
    for k, t in enumerate(toks):
        if skip_next:
            skip_next = False
            continue
        nxt, nxt2 = ahead(k), ahead(k, 2)
        if t == "'":
            stress_next = True
            continue
        if t == "N":
            # nasal coda: nasalizes the vowel before (the first half of a diphthong,
            # whose glide stays only at the word's end or before s)
            if phones and phones[-1][3]:
                glide = phones.pop()
                cls, st, sym, _ = phones[-1]
                phones[-1] = (cls.rstrip("^").lower() + "~" if cls not in ("E", "O") else cls.lower() + "~", st, sym, False)
                if nxt == "" or (nxt in ("s", "z") and nxt2 == ""):
                    phones.append(glide)
            elif phones and phones[-1][0] in VOWEL_CLASSES and not phones[-1][0].endswith("~"):
                cls, st, sym, half = phones[-1]
                phones[-1] = (cls.rstrip("^").lower() + "~" if cls not in ("E", "O") else cls.lower() + "~", st, sym, half)
            continue
        nasal_before_consonant = nxt in ("m", "n") and nxt2 and not is_vowel(nxt2)
        if t in DIPHTHONGS:
            first, second = DIPHTHONGS[t]
            # eI before m/n and a consonant is espeak's nasal e (tempo)
            if t == "eI" and nasal_before_consonant:
                phones.append(("e~", stress_next, t, False))
                stress_next = False
                skip_next = True  # the nasal consonant is part of the vowel
                continue
            cls = first
            if not stress_next and cls in ("E", "O"):
                cls = cls.lower()
            phones.append((cls, stress_next, t, False))
            phones.append((second, False, t, True))
            stress_next = False
            continue
        if t in VOWEL_SET:
            if t.endswith("~") and nasal_before_consonant:
                skip_next = True  # &~mb: the m only repeats the nasal vowel
                cls = "a~" if t == "&~" else t
            elif t == "&~":
                cls = ("a^" if stress_next else "a") if nxt in ("m", "n", "n^") else "a~"
            elif t in ("&", "a"):
                cls = "a"
            elif t in ("U", "u", "w"):
                cls = "u"
            elif t in ("y", "j", "i"):
                cls = "i"
            elif t in ("E", "O"):
                cls = t if stress_next else t.lower()
            else:
                cls = t
            glide = t in ("w", "j")
            if nasal_before_consonant and not glide and not cls.endswith("~"):
                skip_next = True  # ombU: a vowel, m and a consonant is a nasal vowel
                cls = ("e" if cls == "E" else "o" if cls == "O" else cls.rstrip("^")) + "~"
            phones.append((cls, stress_next and not glide, t, False))
            if not glide:
                stress_next = False
            continue
        if t == "*":
            cls = "r" if is_vowel(nxt) else "rr"
        elif t == "R":
            cls = "r"
        elif t in ("r", "x"):
            cls = "rr"
        elif t == "l^":
            phones.append(("l", False, t, False))
            cls = "i"
        else:
            cls = table.get(t, t)
        phones.append((cls, False, t, False))
    return phones


VOWEL_SET = {"&", "a", "e", "E", "i", "y", "o", "O", "u", "U", "w", "j", "&~", "e~", "i~", "o~",
             "u~", "a~"}


def parse_ours(phoneme_string, table):
    """Our phoneme-group string -> list of (class, stressed)."""
    s = phoneme_string.replace("[", "").replace("]", "").replace("/", "")
    phones = []
    i = 0
    while i < len(s):
        c = s[i]
        if c == " ":
            i += 1
            continue
        if c == "_":
            phones.append(("_" + s[i + 1: i + 2], False))
            i += 2
            continue
        for multi in ("tch", "dj", "nh", "lh", "rr", "ks"):
            if s.startswith(multi, i):
                for cls in ours_class(multi, table):
                    phones.append((cls, False))
                i += len(multi)
                break
        else:
            mark = s[i + 1] if i + 1 < len(s) and s[i + 1] in "^~" else ""
            stressed = c in "AEIOU"
            low = c.lower()
            if c in "aeiouAEIOU":
                if mark == "~":
                    cls = low + "~"
                elif mark == "^":
                    cls = "a^" if (low == "a" and stressed) else low
                else:
                    cls = c if c in "EO" else low
                phones.append((cls, stressed))
            else:
                for cls in ours_class(c, table):
                    phones.append((cls, False))
            i += 1 + len(mark)
    return phones


def edit_distance(a, b):
    n, m = len(a), len(b)
    prev = list(range(m + 1))
    for i in range(1, n + 1):
        cur = [i] + [0] * m
        for j in range(1, m + 1):
            cur[j] = min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] != b[j - 1]))
        prev = cur
    return prev[m]


# --------------------------------------------------------------------------------------
# Letters <-> phones, for the reference's stressed letter

def base_letter(ch):
    if ch == "ç":
        return "ç"
    d = unicodedata.normalize("NFD", ch)
    return d[0]


COMPAT = {
    "a": {"a", "a^", "a~"}, "e": {"e", "E", "e~", "i"}, "i": {"i", "i~"},
    "o": {"o", "O", "o~", "u"}, "u": {"u", "u~"}, "y": {"i"}, "w": {"u", "v"},
    "b": {"b"}, "c": {"k", "s", "x"}, "ç": {"s"}, "d": {"d", "dj"}, "f": {"f"},
    "g": {"g", "j"}, "h": {"i"}, "j": {"j"}, "k": {"k"}, "l": {"l", "u"}, "m": {"m"},
    "n": {"n", "nh"}, "p": {"p", "f"}, "q": {"k"}, "r": {"r", "rr"}, "s": {"s", "z"},
    "t": {"t", "tch"}, "v": {"v"}, "x": {"x", "s", "z", "k"}, "z": {"z", "s"},
}
VOWEL_LETTERS = set("aeiouy")


def align_letters(letters, phones):
    """-> for each phone index, the letter index it is aligned with (or None)."""
    n, m = len(letters), len(phones)
    INF = 1e9
    cost = [[INF] * (m + 1) for _ in range(n + 1)]
    back = [[None] * (m + 1) for _ in range(n + 1)]
    cost[0][0] = 0

    def del_cost(i):  # letter i silent
        c = letters[i]
        prev = letters[i - 1] if i > 0 else ""
        if c == "h":
            return 0.3
        if c == "u" and prev in ("q", "g"):
            return 0.3
        if c in "mn" and prev in VOWEL_LETTERS:
            return 0.3
        if c == prev:
            return 0.3
        if c == "c" and i + 1 < n and letters[i + 1] in "eiç" and prev in "sx":
            return 0.3
        return 1.0

    def ins_cost(j, i):  # phone j without a letter, after letter i-1
        p = phones[j]
        prev = letters[i - 1] if i > 0 else ""
        if p == "s" and prev == "x":
            return 0.3
        if p in ("i", "u"):
            return 0.6
        return 1.0

    def sub_cost(i, j):
        c = letters[i]
        p = phones[j]
        if p in COMPAT.get(c, set()):
            return 0.0
        cv = c in VOWEL_LETTERS
        pv = p in VOWEL_CLASSES
        return 1.0 if cv == pv else 2.0

    for i in range(n + 1):
        for j in range(m + 1):
            here = cost[i][j]
            if here >= INF:
                continue
            if i < n and j < m:
                c = here + sub_cost(i, j)
                if c < cost[i + 1][j + 1]:
                    cost[i + 1][j + 1] = c
                    back[i + 1][j + 1] = "s"
            if i < n:
                c = here + del_cost(i)
                if c < cost[i + 1][j]:
                    cost[i + 1][j] = c
                    back[i + 1][j] = "d"
            if j < m:
                c = here + ins_cost(j, i)
                if c < cost[i][j + 1]:
                    cost[i][j + 1] = c
                    back[i][j + 1] = "i"
    at = [None] * m
    i, j = n, m
    while i > 0 or j > 0:
        step = back[i][j]
        if step == "s":
            at[j - 1] = i - 1
            i -= 1
            j -= 1
        elif step == "d":
            i -= 1
        else:
            j -= 1
    return at


def reference_position(word, phones):
    """1-based position of the first vowel letter of the reference's stressed syllable."""
    lower = word.lower()
    for mark in ("\u0301", "\u0302", "\u0303"):  # acute, circumflex, then tilde
        for k, ch in enumerate(lower):
            if mark in unicodedata.normalize("NFD", ch):
                return k + 1
    stressed = [k for k, p in enumerate(phones) if p[1]]
    if not stressed:
        return 0
    letters = [base_letter(c) for c in lower]
    at = align_letters(letters, [p[0] for p in phones])
    j = stressed[0]
    letter = at[j]
    if letter is None:
        later = [at[k] for k in range(j, len(at)) if at[k] is not None]
        if not later:
            return 0
        letter = later[0]
    # a glide before the stressed vowel opens the same syllable (muito: m-w-'i)
    if (j > 0 and phones[j - 1][2] in ("w", "j") and at[j - 1] == letter - 1
            and letters[letter - 1] in VOWEL_LETTERS
            and not (letters[letter - 1] == "u" and letter >= 2 and letters[letter - 2] in "qg")):
        letter -= 1
    return letter + 1


# --------------------------------------------------------------------------------------

def run_espeak(words, jobs, cache_dir):
    data = "\n".join(words).encode("utf-8")
    version = subprocess.run(["espeak-ng", "--version"], capture_output=True, text=True).stdout
    key = hashlib.sha256(data + version.encode() + CACHE_VERSION.encode()).hexdigest()[:16]
    cache = os.path.join(cache_dir, "espeak-" + key + ".txt")
    if os.path.exists(cache):
        with open(cache, encoding="utf-8") as f:
            lines = f.read().split("\n")
        if len(lines) >= len(words):
            return lines[: len(words)]
    size = (len(words) + jobs - 1) // jobs
    chunks = [words[k: k + size] for k in range(0, len(words), size)]
    procs = []
    for chunk in chunks:
        p = subprocess.Popen(["espeak-ng", "-v", "pt-br", "-q", "-x"], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        procs.append(p)
    outs = []
    import threading

    results = [None] * len(procs)

    def feed(k):
        text = "".join(w + ".\n" for w in chunks[k])
        results[k] = procs[k].communicate(text.encode("utf-8"))[0].decode("utf-8")

    threads = [threading.Thread(target=feed, args=(k,)) for k in range(len(procs))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for k, chunk in enumerate(chunks):
        lines = [l for l in results[k].split("\n") if l.strip()]
        if len(lines) != len(chunk):
            sys.exit("measure_rules: espeak-ng gave %d lines for %d words" % (len(lines), len(chunk)))
        outs.extend(lines)
    os.makedirs(cache_dir, exist_ok=True)
    with open(cache, "w", encoding="utf-8") as f:
        f.write("\n".join(outs))
    return outs


def run_sonara(sonara, args, words):
    text = "\n".join(words) + "\n"
    r = subprocess.run([sonara] + args, input=text.encode("utf-8"), capture_output=True)
    if r.returncode != 0:
        sys.exit("measure_rules: sonara %s failed: %s" % (" ".join(args), r.stderr.decode()))
    lines = r.stdout.decode("utf-8").split("\n")
    return lines[: len(words)]


def report(words, stress_ok, phone_errors, phone_total, bad, disagreements_path):
    """Prints the agreement figures and writes the disagreeing words, if asked."""
    print("words: %d" % words)
    print("stress agrees: %d (%.2f %%)" % (stress_ok, 100.0 * stress_ok / max(words, 1)))
    print("phones agree: %.2f %% (%d errors in %d reference phones)" % (
        100.0 * (1 - phone_errors / max(phone_total, 1)), phone_errors, phone_total))
    if disagreements_path:
        with open(disagreements_path, "w", encoding="utf-8") as f:
            f.write("# word\tours\treference\tphone errors\tours\tespeak\tclasses\n")
            f.write("\n".join(bad) + "\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--sonara", default=os.path.join(ROOT, "build", "tools", "sonara"))
    ap.add_argument("--words", default="/usr/share/dict/brazilian")
    ap.add_argument("--rules", default=os.path.join(ROOT, "data", "diphone", "regras.rgr"))
    ap.add_argument("--exceptions", default=os.path.join(ROOT, "data", "diphone", "portug.exc"))
    ap.add_argument("--table", default=os.path.join(ROOT, "data", "diphone", "phonemes.tsv"))
    ap.add_argument("--sample", type=int, default=0, help="every N-th word only")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--cache", default=os.path.join(tempfile.gettempdir(), "sonara-measure"))
    ap.add_argument("--disagreements", help="write the words that disagree here")
    ap.add_argument("--reference", help="espeak-ng -x output already made, one line per word "
                    "(words past its end are left out)")
    a = ap.parse_args()

    with open(a.words, encoding="utf-8") as f:
        words = [w.strip() for w in f if w.strip()]
    if a.reference:
        with open(a.reference, encoding="utf-8") as f:
            all_reference = [l for l in f.read().split("\n") if l.strip()]
        words = words[: len(all_reference)]
    else:
        all_reference = run_espeak(words, a.jobs, a.cache)
    if a.sample > 1:
        keep = range(0, len(words), a.sample)
        words = [words[k] for k in keep]
        all_reference = [all_reference[k] for k in keep]
    table = load_table(a.table)
    files = ["--rules", a.rules, "--exceptions", a.exceptions]
    ours = run_sonara(a.sonara, ["phonemes"] + files, words)
    positions = run_sonara(a.sonara, ["stress", "--position"] + files, words)

    stress_ok = 0
    phone_errors = 0
    phone_total = 0
    bad = []
    for word, ref, mine, pos in zip(words, all_reference, ours, positions):
        rp = espeak_phones(ref, table)
        op = parse_ours(mine, table)
        ref_pos = reference_position(word, rp)
        our_pos = int(pos) if pos.strip().isdigit() else -1
        errors = edit_distance([p[0] for p in op], [p[0] for p in rp])
        phone_errors += errors
        phone_total += len(rp)
        if our_pos == ref_pos:
            stress_ok += 1
        if our_pos != ref_pos or errors:
            bad.append("%s\t%d\t%d\t%d\t%s\t%s\t%s" % (
                word, our_pos, ref_pos, errors, mine, ref.strip(),
                " ".join(p[0] for p in op) + " | " + " ".join(p[0] for p in rp)))
    report(len(words), stress_ok, phone_errors, phone_total, bad, a.disagreements)


if __name__ == "__main__":
    main()
