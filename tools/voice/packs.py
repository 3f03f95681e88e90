"""What the voice generators share: the key of a cached pack and its installation."""

import hashlib
import os
import shutil
import subprocess

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))


def cache_key(scripts, input_path):
    """A pack's cache name: a hash of the scripts that make it (names in this folder, this
    module included), its input file, and the espeak-ng and numpy versions."""
    h = hashlib.sha256()
    for name in tuple(scripts) + ("packs.py",):
        with open(os.path.join(HERE, name), "rb") as f:
            h.update(f.read())
    with open(input_path, "rb") as f:
        h.update(f.read())
    version = subprocess.run(["espeak-ng", "--version"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True).stdout
    h.update(version.encode())
    h.update(np.__version__.encode())
    return h.hexdigest()[:32]


def install(src, dest):
    """Copies src to dest unless dest already holds the same bytes; a reader never sees a
    half-written file."""
    if os.path.exists(dest):
        with open(src, "rb") as a, open(dest, "rb") as b:
            if a.read() == b.read():
                return
    os.makedirs(os.path.dirname(os.path.abspath(dest)), exist_ok=True)
    part = dest + f".part{os.getpid()}"
    shutil.copyfile(src, part)
    os.replace(part, dest)
