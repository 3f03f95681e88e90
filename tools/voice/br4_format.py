"""Reading and writing the voice database format of tavena/synth/VOICE_FORMAT.md."""

import struct

import numpy as np

MAGIC = b"SNRVOICE"
VERSION = 1
HEADER = struct.Struct("<8sIIIIII")
UNIT = struct.Struct("<HHIIIII")
NAME_BYTES = 8
VOICED = 1 << 31


class Voice:
    """A voice in memory: names, units [(left, right, first sample, count, boundary,
    first mark, mark count)], marks (u32 with the voiced bit), samples (int16)."""

    def __init__(self, rate, names, units, marks, samples):
        self.rate = rate
        self.names = list(names)
        self.units = list(units)
        self.marks = np.asarray(marks, dtype=np.uint32)
        self.samples = np.asarray(samples, dtype=np.int16)

    def unit(self, left, right):
        """(samples, boundary, [(offset, voiced)]) of the unit left-right, or None."""
        index = {n: i for i, n in enumerate(self.names)}
        key = (index.get(left), index.get(right))
        for u in self.units:
            if (u[0], u[1]) == key:
                s = self.samples[u[2]:u[2] + u[3]]
                m = [(int(v) & ~VOICED, bool(v & VOICED)) for v in self.marks[u[5]:u[5] + u[6]]]
                return s, u[4], m
        return None


def to_bytes(voice):
    out = [HEADER.pack(MAGIC, VERSION, voice.rate, len(voice.names), len(voice.units),
                       len(voice.marks), len(voice.samples))]
    for n in voice.names:
        raw = n.encode("ascii")
        if not 1 <= len(raw) < NAME_BYTES:
            raise ValueError(f"phoneme name {n!r} does not fit")
        out.append(raw.ljust(NAME_BYTES, b"\0"))
    out += [UNIT.pack(*u) for u in voice.units]
    out.append(voice.marks.astype("<u4").tobytes())
    out.append(voice.samples.astype("<i2").tobytes())
    return b"".join(out)


def from_bytes(data):
    """The Voice in data; ValueError when the sizes do not hold together."""
    if len(data) < HEADER.size:
        raise ValueError(f"{len(data)} bytes, shorter than the header")
    magic, version, rate, p, d, m, s = HEADER.unpack_from(data, 0)
    if magic != MAGIC:
        raise ValueError(f"magic {magic!r}")
    if version != VERSION:
        raise ValueError(f"version {version}")
    if not 1 <= p <= 255:
        raise ValueError(f"phoneme count {p}")
    want = HEADER.size + NAME_BYTES * p + UNIT.size * d + 4 * m + 2 * s
    if want != len(data):
        raise ValueError(f"counts give {want} bytes, the file has {len(data)}")
    pos = HEADER.size
    names = []
    for i in range(p):
        raw = data[pos:pos + NAME_BYTES]
        names.append(raw.split(b"\0")[0].decode("ascii", "replace"))
        pos += NAME_BYTES
    units = [UNIT.unpack_from(data, pos + i * UNIT.size) for i in range(d)]
    pos += UNIT.size * d
    marks = np.frombuffer(data, "<u4", m, pos)
    pos += 4 * m
    samples = np.frombuffer(data, "<i2", s, pos)
    return Voice(rate, names, units, marks, samples)
