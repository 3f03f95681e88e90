#!/usr/bin/python3
"""Copies the rule and exception files into the diphone directory, beside the database.

Usage: install_rules.py --out DIR FILE...   (a file that does not exist is reported)
"""

import argparse
import os
import shutil
import sys


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True)
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for path in args.files:
        if not os.path.exists(path):
            print(f"voice: no {path}: the synthesizer will not start without it",
                  file=sys.stderr)
            continue
        dest = os.path.join(args.out, os.path.basename(path))
        with open(path, "rb") as f:
            new = f.read()
        if os.path.exists(dest):
            with open(dest, "rb") as f:
                if f.read() == new:
                    continue
        shutil.copyfile(path, dest + f".part{os.getpid()}")
        os.replace(dest + f".part{os.getpid()}", dest)
    return 0


if __name__ == "__main__":
    sys.exit(main())
