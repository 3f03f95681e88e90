#!/usr/bin/python3
"""The unit inventory: every name the diphone synthesizer looks up for our rules' output.

Usage: inventory.py --sonara BIN --rules FILE --exceptions FILE --words FILE --out FILE

The words of the word list (UTF-8, one per line), every single character of Windows-1252
and a few joined phrases go through `sonara phonemes` with our rules; each phoneme string
is read the way the synthesizer reads it, with every name of at most 8 characters taken
as present, and every name it fetches is counted. The output lists "NAME COUNT", one per
line, sorted. Without a rule file the inventory is every shape our phoneme alphabet
allows (consonant, vowel, consonant-vowel, vowel-glide, with their marks).
"""

import argparse
import collections
import hashlib
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lookup  # noqa: E402
import units  # noqa: E402

# Phrases whose words meet at joins the word list alone does not show.
JOINS = ["Olá! Eu sou o Pipoco.", "é o que é", "a água e o ar", "um, dois, três",
         "guarda-chuva", "d'água", "www.pipoco.com.br"]


def spelled_characters():
    """Every character of Windows-1252 a text can hold, as UTF-8 lines."""
    out = []
    for code in range(32, 256):
        try:
            ch = bytes([code]).decode("cp1252")
        except UnicodeDecodeError:
            continue
        if ch.strip():
            out.append(ch)
    return out


def phoneme_strings(sonara, rules, exceptions, lines):
    args = [sonara, "phonemes", "--rules", rules]
    if exceptions and os.path.exists(exceptions):
        args += ["--exceptions", exceptions]
    r = subprocess.run(args, input="\n".join(lines) + "\n", stdout=subprocess.PIPE,
                       stderr=subprocess.PIPE, text=True, check=True)
    return r.stdout.splitlines()


def count_names(strings):
    counts = collections.Counter()
    speaker = lookup.Speaker()
    for s in strings:
        for f in speaker.speak(s, pauses=False):
            if f.kind == "unit":
                counts[f.name] += 1
    return counts


def cached_counts(strings, cache_dir):
    """count_names of the strings, kept beside the output under a hash of the strings
    and of this reading of them: the same rules' output is not read again."""
    h = hashlib.sha256()
    with open(lookup.__file__, "rb") as f:
        h.update(f.read())
    for s in strings:
        h.update(s.encode("utf-8", "surrogateescape") + b"\n")
    path = os.path.join(cache_dir, "voice-counts-" + h.hexdigest()[:24] + ".txt")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            return collections.Counter({n: int(c) for n, c in (line.split() for line in f)})
    print(f"voice: reading the rules' output for {len(strings)} lines", flush=True)
    counts = count_names(strings)
    for old in os.listdir(cache_dir):
        if old.startswith("voice-counts-"):
            os.remove(os.path.join(cache_dir, old))
    with open(path + f".part{os.getpid()}", "w", encoding="utf-8") as f:
        f.write("".join(f"{n} {c}\n" for n, c in sorted(counts.items())))
    os.replace(path + f".part{os.getpid()}", path)
    return counts


def inputs_key(args):
    """A hash of everything the inventory depends on: the rule and exception files, the
    word list, the sonara program that reads them and these scripts."""
    h = hashlib.sha256()
    here = os.path.dirname(os.path.abspath(__file__))
    paths = [os.path.join(here, n) for n in ("inventory.py", "lookup.py", "units.py")]
    paths += [p for p in (args.rules, args.exceptions, args.words, args.sonara) if p]
    for path in paths:
        h.update(path.encode() + b"\0")
        if os.path.exists(path):
            with open(path, "rb") as f:
                h.update(f.read())
    return h.hexdigest()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sonara")
    ap.add_argument("--rules")
    ap.add_argument("--exceptions")
    ap.add_argument("--words", default="/usr/share/dict/brazilian")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()

    inputs = inputs_key(args)
    stamp = args.out + ".inputs"
    if inputs and os.path.exists(args.out) and os.path.exists(stamp):
        with open(stamp) as f:
            if f.read() == inputs:
                print("voice: inventory unchanged (same rules, words and tools)", flush=True)
                return 0
    if args.rules and os.path.exists(args.rules) and args.sonara:
        with open(args.words, encoding="utf-8") as f:
            words = [w.strip() for w in f if w.strip()]
        lines = words + spelled_characters() + JOINS
        strings = phoneme_strings(args.sonara, args.rules, args.exceptions, lines)
        counts = cached_counts(strings, os.path.dirname(os.path.abspath(args.out)))
        source = f"rules {os.path.basename(args.rules)} over {len(words)} words"
    else:
        counts = collections.Counter({n: 0 for n in units.hand_inventory()})
        source = "every shape of the alphabet (no rule file)"
    text = "".join(f"{n} {counts[n]}\n" for n in sorted(counts))
    old = None
    if os.path.exists(args.out):
        with open(args.out, encoding="utf-8") as f:
            old = f.read()
    if old != text:  # an unchanged inventory keeps its time stamp: nothing downstream reruns
        with open(args.out + f".part{os.getpid()}", "w", encoding="utf-8") as f:
            f.write(text)
        os.replace(args.out + f".part{os.getpid()}", args.out)
    with open(stamp, "w") as f:
        f.write(inputs)
    upper = {n.upper() for n in counts}
    digest = hashlib.sha256(text.encode()).hexdigest()[:12]
    print(f"voice: inventory of {len(upper)} units from {source} ({digest})", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
