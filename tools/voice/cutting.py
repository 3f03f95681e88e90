"""Cutting one unit out of a carrier recording.

The carrier is resampled whole to 11025 Hz first, then cut. Cut points:
- a unit starting with a voiceless stop starts where the phone before it falls silent,
  so the stop keeps its whole closure (espeak-ng places the closure inside that phone);
- a unit starting in the middle of a vowel starts at the flattest upward zero crossing of
  the pitch period in the middle of the vowel's audible part;
- any other unit starts at an upward zero crossing near its first phone's start;
- a unit ends where its last phone falls silent before the closure of the consonant that
  follows it in the carrier, plus CLOSURE_KEPT_S of that closure (a vowel ends in the
  voiced closure of a "d", which joins the next unit's consonant smoothly), or, for a
  consonant said before a vowel, where that vowel begins; at the last upward zero
  crossing before that point.
"""

import numpy as np

SOURCE_SILENCE = 24        # |sample| at 16 bits below which espeak-ng's output is silent
PERIOD_S = 0.012           # search span for zero crossings: about one pitch period
CLOSURE_KEPT_S = 0.015     # how much of the closure after a unit's last phone it keeps


def lowpass_halve(x):
    """22050 -> 11025 Hz: a windowed-sinc low-pass below 5 kHz, then every second sample."""
    taps = 255
    n = np.arange(taps) - (taps - 1) / 2
    cutoff = 5300.0 / 22050.0
    h = 2 * cutoff * np.sinc(2 * cutoff * n) * np.kaiser(taps, 8.0)
    h /= h.sum()
    y = np.convolve(x.astype(np.float64), h, mode="same")
    return y[::2]


def audible_end(x, begin, end):
    """First sample of the silent run that closes [begin, end), or end when none."""
    seg = np.abs(x[begin:end].astype(np.int32))
    loud = np.nonzero(seg > SOURCE_SILENCE)[0]
    if len(loud) == 0:
        return begin
    return begin + int(loud[-1]) + 1


def audible_start(x, begin, end):
    """First loud sample of [begin, end)."""
    seg = np.abs(x[begin:end].astype(np.int32))
    loud = np.nonzero(seg > SOURCE_SILENCE)[0]
    return begin + int(loud[0]) if len(loud) else begin


def upward_crossings(y, lo, hi):
    """Indices i in [lo, hi) with y[i-1] < 0 <= y[i]."""
    lo = max(lo, 1)
    hi = min(hi, len(y))
    if hi <= lo:
        return np.zeros(0, dtype=np.int64)
    a, b = y[lo - 1:hi - 1], y[lo:hi]
    return lo + np.nonzero((a < 0) & (b >= 0))[0]


def nearest_crossing(y, target, span, before=False):
    """The upward zero crossing nearest target within span samples (only those at or
    before target when `before`); target itself when there is none."""
    hi = target + 1 if before else target + span
    idx = upward_crossings(y, target - span, hi)
    if len(idx) == 0:
        return target
    return int(idx[np.argmin(np.abs(idx - target))])


def flattest_crossing(y, target, span):
    """The upward zero crossing with the smallest slope within span of target."""
    idx = upward_crossings(y, target - span // 2, target + span // 2)
    if len(idx) == 0:
        return target
    slopes = np.abs(y[idx] - y[idx - 1])
    return int(idx[np.argmin(slopes)])


# The synthesizer plays a consonant-vowel unit before a vowel-glide unit at 0.6 of its
# length ("pai": $pA at 0.6, then $Ay), and a vowel alone before a final s at 0.7 ("os":
# $o at 0.7, then $s).
GLIDE_FACTOR = 0.6
S_FACTOR = 0.7


def end_for_factor(y, start, stop, span, factor):
    """The unit's end: an upward zero crossing at most two periods before `stop`, chosen
    so that the unit shortened to `factor` of its length also ends near a zero, where the
    next unit's first sample (near zero too) follows without a jump."""
    ends = upward_crossings(y, stop - 2 * span, stop + 1)
    ends = ends[ends > start + 1]
    if len(ends) == 0:
        return nearest_crossing(y, stop, span, before=True)
    last = start + (factor * (ends - start)).astype(np.int64) - 1
    jump = np.abs(y[last])
    # prefer the latest end among those nearly as good as the best
    good = np.nonzero(jump <= jump.min() + 0.02 * (np.max(np.abs(y[start:stop])) + 1))[0]
    return int(ends[good[-1]])


def cut_unit(samples, rate, events, first, last, start_mid, starts_with_stop,
             end_at_next=False, mid_at=0.5, short_factor=GLIDE_FACTOR):
    """The unit's samples at 11025 Hz (float, 16-bit scale) from a carrier spoken at
    `rate` (22050) with one phoneme event per carrier phone."""
    assert rate == 22050
    bounds = [s for _, s in events] + [len(samples)]
    y = lowpass_halve(samples)
    span = int(PERIOD_S * 11025)
    # start
    if starts_with_stop:
        start = audible_end(samples, bounds[first - 1], bounds[first]) // 2
        start = nearest_crossing(y, start, span // 4)
    elif start_mid:
        a = audible_start(samples, bounds[first], bounds[first + 1])
        b = audible_end(samples, bounds[first], bounds[first + 1])
        start = flattest_crossing(y, int(a + mid_at * (b - a)) // 2, span)
    else:
        start = nearest_crossing(y, bounds[first] // 2, span // 2)
    # end: where the last phone falls silent before the closing "t", or where the vowel
    # after it begins
    if end_at_next:
        stop = bounds[last + 1] // 2
    else:
        stop = audible_end(samples, bounds[last], bounds[last + 1]) // 2
        stop += int(CLOSURE_KEPT_S * 11025)
    end = end_for_factor(y, start, stop, span, short_factor)
    if end <= start:
        end = stop
    return y[start:end]
