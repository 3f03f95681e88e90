"""Sample-rate conversion by a rational factor with a windowed-sinc polyphase filter.

Used to bring espeak-ng's 22050 Hz carriers to the 16000 Hz of the voice br4 before they
are cut. Plain numpy in float64, so the same input gives the same output on every run.
"""

import math

import numpy as np

HALF_TAPS = 64       # input samples on each side of an output sample
KAISER_BETA = 9.0    # stop band below -90 dB
PASS_FRACTION = 0.92  # cut-off as a fraction of the output's Nyquist frequency


def resample(x, rate_in, rate_out):
    """x (any numeric array) converted from rate_in to rate_out Hz, as float64."""
    g = math.gcd(rate_in, rate_out)
    up, down = rate_out // g, rate_in // g
    x = np.asarray(x, dtype=np.float64)
    n_out = (len(x) * up) // down
    if n_out == 0:
        return np.zeros(0)
    # cut-off relative to the input rate; below both Nyquist frequencies
    cutoff = PASS_FRACTION * 0.5 * min(1.0, up / down)
    # output sample n sits at input position n * down / up = base + phase / up
    pos = np.arange(n_out, dtype=np.int64) * down
    base, phase = pos // up, pos % up
    k = np.arange(-HALF_TAPS + 1, HALF_TAPS + 1)
    # one filter per phase: taps at input offsets k from base, the output at phase / up
    t = k[None, :] - (np.arange(up)[:, None] / up)
    window = np.kaiser(2 * HALF_TAPS + 1, KAISER_BETA)
    w = np.interp(t, np.arange(-HALF_TAPS, HALF_TAPS + 1), window, left=0.0, right=0.0)
    bank = 2 * cutoff * np.sinc(2 * cutoff * t) * w
    bank /= bank.sum(axis=1, keepdims=True)
    padded = np.concatenate([np.zeros(HALF_TAPS), x, np.zeros(HALF_TAPS + 1)])
    idx = base[:, None] + k[None, :] + HALF_TAPS
    return np.einsum("ij,ij->i", padded[idx], bank[phase])
