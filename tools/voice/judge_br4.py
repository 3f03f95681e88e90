#!/usr/bin/python3
"""Renders sentences twice for comparing the voice br4 with espeak-ng pt-br: espeak-ng's
own reading and the voice's (preview_br4) at 16 kHz, one WAV per sentence in each folder.

Usage: judge_br4.py --voice FILE --sentences FILE --out DIR
                    [--sonara BIN --data DIR [--dfn FILE]] [--synth LIBRARY]

The voice's phoneme lines come from `sonara tavena pho` with the engine's data files in
--data when --sonara is given, else from espeak-ng's own reading mapped to our phonemes
(espeak_lines). The voice speaks through our synthesizer library (its entry points, as
the engine calls them) with --synth, else through preview_br4. Writes DIR/ref/NN.wav,
DIR/br4/NN.wav and DIR/br4/NN.pho; compare the two folders with a listening proxy.
"""

import argparse
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import br4_format  # noqa: E402
import espeak_lines  # noqa: E402
import preview_br4  # noqa: E402
import resample  # noqa: E402


def read_wave16(path):
    with open(path, "rb") as f:
        data = f.read()
    pos = 12
    rate = None
    while pos + 8 <= len(data):
        cid = data[pos:pos + 4]
        size = int.from_bytes(data[pos + 4:pos + 8], "little")
        if cid == b"fmt ":
            rate = int.from_bytes(data[pos + 12:pos + 16], "little")
        if cid == b"data":
            if size == 0 or pos + 8 + size > len(data):
                size = len(data) - pos - 8
            return np.frombuffer(data[pos + 8:pos + 8 + size - size % 2], "<i2"), rate
        pos += 8 + size + (size & 1)
    raise ValueError(f"{path}: no data")


def reference(text, path):
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "ref.wav")
        subprocess.run(["espeak-ng", "-v", "pt-br", "-w", raw, text], check=True)
        x, rate = read_wave16(raw)
    y = resample.resample(x, rate, 16000)
    with open(path, "wb") as f:
        f.write(preview_br4.wave_bytes(y, 16000))


class LibraryRenderer:
    """The synthesizer library speaking phoneme lines through its entry points."""

    def __init__(self, library, voice_path):
        import ctypes
        self.ct = ctypes
        self.lib = ctypes.CDLL(os.path.abspath(library))
        if self.lib.init_MBR(voice_path.encode()) < 0:
            raise RuntimeError(f"{library} cannot open {voice_path}")

    def render(self, lines):
        self.lib.reset_MBR()
        for line in lines:
            self.lib.write_MBR((line + "\n").encode("cp1252", "replace"))
        self.lib.flush_MBR()
        chunks = []
        buf = (self.ct.c_short * 4096)()
        while True:
            n = self.lib.read_MBR(buf, 4096)
            if n <= 0:
                break
            chunks.append(np.ctypeslib.as_array(buf)[:n].copy())
        return np.concatenate(chunks).astype(np.float64) if chunks else np.zeros(0)


def engine_lines(sonara, data, dfn, text):
    cmd = [sonara, "tavena", "pho", "--data", data, "--duration", "1.0"]
    if dfn:
        cmd += ["--diphones", dfn]
    r = subprocess.run(cmd + ["--", text], check=True,
                       stdout=subprocess.PIPE, text=True, encoding="utf-8", errors="replace")
    return r.stdout.splitlines()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--voice", required=True)
    ap.add_argument("--sentences", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--sonara")
    ap.add_argument("--data")
    ap.add_argument("--dfn", help="the diphone list, when --data has none")
    ap.add_argument("--synth")
    args = ap.parse_args()
    with open(args.voice, "rb") as f:
        renderer = preview_br4.Renderer(br4_format.from_bytes(f.read()))
    with open(args.sentences, encoding="utf-8") as f:
        sentences = [s.strip() for s in f if s.strip()]
    library = LibraryRenderer(args.synth, args.voice) if args.synth else None
    for sub in ("ref", "br4"):
        os.makedirs(os.path.join(args.out, sub), exist_ok=True)
    speaker = None
    if not args.sonara:
        from espeak import Speaker
        speaker = Speaker(monotone=False, rate_wpm=175)
    for i, text in enumerate(sentences, 1):
        name = f"{i:02d}"
        reference(text, os.path.join(args.out, "ref", name + ".wav"))
        if args.sonara:
            lines = engine_lines(args.sonara, args.data, args.dfn, text)
        else:
            lines = espeak_lines.lines_for(speaker, text)
        with open(os.path.join(args.out, "br4", name + ".pho"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        if library:
            samples = library.render(lines)
        else:
            samples = renderer.render(preview_br4.parse_lines(lines))
        with open(os.path.join(args.out, "br4", name + ".wav"), "wb") as f:
            f.write(preview_br4.wave_bytes(samples, 16000))
    print(f"judge br4: {len(sentences)} sentences in {args.out}/ref and {args.out}/br4")
    return 0


if __name__ == "__main__":
    sys.exit(main())
