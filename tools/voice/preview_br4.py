#!/usr/bin/python3
"""Renders phoneme lines with the voice br4, for listening to and measuring its cuts.

Usage: preview_br4.py --voice FILE OUT.wav < phoneme lines

A phoneme line is "name duration [position pitch]...", duration in ms, positions in
percent of the phoneme, pitch in Hz; ";" starts a comment; "_" and "#" are pauses. The
units of each pair of neighbours are laid end to end (the utterance starts and ends in
"_"), each phone stretched to its duration between its two halves, and a simple
pitch-synchronous overlap-add follows the pitch points, interpolated across phonemes.
This is a reference for judging the voice, not the synthesizer. Output: 16-bit mono WAV.
"""

import argparse
import os
import struct
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import br4_format  # noqa: E402

PAUSES = {"_", "#"}


def parse_lines(lines):
    """[(phoneme, duration ms, [(percent, hz)])] of the phoneme lines; bad lines raise."""
    out = []
    for raw in lines:
        line = raw.split(";", 1)[0].strip()
        if not line:
            continue
        parts = line.split()
        name = "_" if parts[0] in PAUSES else parts[0]
        dur = float(parts[1]) if len(parts) > 1 else 100.0
        nums = [float(v) for v in parts[2:]]
        out.append((name, dur, list(zip(nums[0::2], nums[1::2]))))
    return out


class Renderer:
    def __init__(self, voice):
        self.voice = voice
        self.index = {n: i for i, n in enumerate(voice.names)}
        self.table = {(u[0], u[1]): u for u in voice.units}
        self.native = self._native_period()

    def _native_period(self):
        raw = self.voice.marks.astype(np.int64)
        periods = []
        for u in self.voice.units[:200]:
            m = raw[u[5]:u[5] + u[6]]
            v = m[(m & br4_format.VOICED) != 0] & ~br4_format.VOICED
            periods += np.diff(v).tolist()
        return float(np.median(periods)) if periods else 150.0

    def unit(self, a, b):
        u = self.table.get((self.index.get(a), self.index.get(b)))
        if u is None:
            return None
        s = self.voice.samples[u[2]:u[2] + u[3]].astype(np.float64)
        raw = self.voice.marks[u[5]:u[5] + u[6]].astype(np.int64)
        return s, u[4], raw & ~br4_format.VOICED, (raw & br4_format.VOICED) != 0

    def render(self, phones):
        """float samples of one utterance."""
        rate = self.voice.rate
        seq = [("_", 0.0, [])] + phones + [("_", 0.0, [])]
        stream, marks, voiced = [], [], []
        src_bounds = []  # stream position of each phone's border with the next
        pos = 0
        for (a, _, _), (b, _, _) in zip(seq, seq[1:]):
            u = self.unit(a, b)
            if u is None:  # a missing pair: silence of no length
                u = (np.zeros(160), 80, np.arange(0, 160, 80), np.zeros(2, bool))
            s, boundary, m, v = u
            stream.append(s)
            marks.append(m + pos)
            voiced.append(v)
            src_bounds.append(pos + boundary)
            pos += len(s)
        x = np.concatenate(stream)
        marks = np.concatenate(marks)
        voiced = np.concatenate(voiced)
        # target times of the same borders
        durs = [d * rate / 1000.0 for _, d, _ in phones]
        tgt_bounds = np.concatenate([[0.0], np.cumsum(durs)])
        src = np.array(src_bounds, dtype=np.float64)
        total = int(round(tgt_bounds[-1]))
        # pitch points at absolute target times
        pts = []
        for (_, d, pp), t0 in zip(phones, tgt_bounds[:-1]):
            for percent, hz in pp:
                if hz > 0:
                    pts.append((t0 + percent / 100.0 * d * rate / 1000.0, hz))
        pts.sort()
        out = np.zeros(total + 2048)
        t = 0.0
        while t < total:
            tau = float(np.interp(t, tgt_bounds, src))
            k = int(np.searchsorted(marks, tau))
            cands = [j for j in (k - 1, k) if 0 <= j < len(marks)]
            j = min(cands, key=lambda j: abs(marks[j] - tau))
            c = int(marks[j])
            if voiced[j]:
                left = c - marks[j - 1] if j > 0 and voiced[j - 1] else self.native
                right = marks[j + 1] - c if j + 1 < len(marks) and voiced[j + 1] else self.native
                pa = int(min(max(left, right), 2 * self.native))
                hz = float(np.interp(t, [p[0] for p in pts], [p[1] for p in pts])) if pts \
                    else rate / self.native
                ps = rate / max(40.0, hz)
                scale = min(1.0, ps / pa)
            else:
                pa, ps, scale = 80, 80.0, 1.0
            lo, hi = max(0, c - pa), min(len(x), c + pa)
            w = np.hanning(2 * pa + 1)[lo - (c - pa):hi - (c - pa)]
            grain = x[lo:hi] * w * scale
            at = int(round(t)) - (c - lo) + 1024
            if at >= 0:
                out[at:at + len(grain)] += grain[:max(0, len(out) - at)]
            t += ps
        return out[1024:1024 + total]


def wave_bytes(samples, rate):
    pcm = np.clip(np.rint(samples), -32768, 32767).astype("<i2").tobytes()
    return (b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVE" + b"fmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, rate, 2 * rate, 2, 16) + b"data" +
            struct.pack("<I", len(pcm)) + pcm)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--voice", required=True)
    ap.add_argument("out")
    args = ap.parse_args()
    with open(args.voice, "rb") as f:
        voice = br4_format.from_bytes(f.read())
    phones = parse_lines(sys.stdin)
    samples = Renderer(voice).render(phones)
    with open(args.out, "wb") as f:
        f.write(wave_bytes(samples, voice.rate))
    return 0


if __name__ == "__main__":
    sys.exit(main())
