"""Pitch marks of a 16 kHz carrier and the cut of one diphone unit out of it.

Pitch marks: the carrier is spoken monotone, so one period T0 holds for all of it (found
by autocorrelation). 5 ms frames whose low-passed signal repeats after about T0 are voiced;
in each voiced run an epoch sits on every peak of the fundamental (a zero-phase low-pass
just above F0), one period after the other. Elsewhere analysis points follow every 5 ms.

Cut: a unit runs from the middle of its first phone to the middle of its second, each
middle moved onto the nearest epoch when voiced, so that a unit ending before an epoch and
the next one starting on the same phone's epoch continue each other's periods. espeak-ng
places the closure of p, t, k and tS in the phone before them: it is given back to the
stop (a stop's middle is in its closure). "_" is 20 ms of silence before the first phone's
onset or after the last phone falls silent.
"""

import numpy as np

RATE = 16000
HOP = 80                  # 5 ms: voicing frames and unvoiced analysis points
FRAME = 320               # 20 ms voicing window
VOICING = 0.6             # normalised autocorrelation of a voiced frame
VOICED_FLOOR_DB = -42.0   # frames quieter than this below the loudest are unvoiced
SILENCE = 24.0            # |sample| (16-bit scale) below which the carrier is silent
PAUSE_PART = 320          # 20 ms of silence on the "_" side of a unit
CLOSURE_MAX = 800         # 50 ms: the longest closure of a voiceless stop
MIN_CLOSURE = 160         # 10 ms: the shortest
F0_MIN, F0_MAX = 50.0, 400.0
VOICELESS_STOPS = {"p", "t", "k", "tS"}  # espeak-ng names
GLIDES = {"j", "w"}


def lowpass(x, cutoff):
    """Zero-phase low-pass through the FFT with a raised-cosine edge of 100 Hz."""
    n = len(x)
    if n == 0:
        return x.copy()
    size = 1 << int(np.ceil(np.log2(n + 2048)))
    spec = np.fft.rfft(np.concatenate([x, np.zeros(size - n)]))
    f = np.fft.rfftfreq(size, 1.0 / RATE)
    edge = np.clip((f - cutoff) / 100.0 + 0.5, 0.0, 1.0)
    spec *= 0.5 + 0.5 * np.cos(np.pi * edge)
    return np.fft.irfft(spec, size)[:n]


def period(x):
    """The pitch period in samples of a monotone carrier (its strongest repetition)."""
    y = lowpass(x, 900.0)
    lo, hi = int(RATE / F0_MAX), int(RATE / F0_MIN)
    size = 1 << int(np.ceil(np.log2(2 * len(y) + 1)))
    spec = np.fft.rfft(y, size)
    ac = np.fft.irfft(spec * np.conj(spec), size)[: hi + 1]
    if ac[0] <= 0:
        return RATE / 100.0
    seg = ac[lo:hi + 1]
    best = float(np.max(seg))
    # the shortest lag nearly as strong as the best: no octave below the true pitch
    peaks = [i for i in range(1, len(seg) - 1)
             if seg[i] >= seg[i - 1] and seg[i] >= seg[i + 1] and seg[i] >= 0.85 * best]
    lag = lo + (peaks[0] if peaks else int(np.argmax(seg)))
    if 0 < lag - lo < len(seg) - 1:  # parabolic refinement
        a, b, c = ac[lag - 1], ac[lag], ac[lag + 1]
        d = a - 2 * b + c
        if d < 0:
            return lag + 0.5 * (a - c) / d
    return float(lag)


def voiced_frames(x, t0):
    """One flag per HOP samples: whether the frame centred there is voiced."""
    y = lowpass(x, 900.0)
    n = len(x) // HOP + 1
    lags = range(max(2, int(0.85 * t0)), int(1.15 * t0) + 2)
    energy = np.zeros(n)
    corr = np.zeros(n)
    padded = np.concatenate([np.zeros(FRAME), y, np.zeros(FRAME + lags[-1])])
    for i in range(n):
        c = i * HOP + FRAME - FRAME // 2
        a = padded[c:c + FRAME]
        ea = float(a @ a)
        energy[i] = ea
        if ea <= 0:
            continue
        best = 0.0
        for lag in lags:
            b = padded[c + lag:c + lag + FRAME]
            eb = float(b @ b)
            if eb > 0:
                best = max(best, float(a @ b) / np.sqrt(ea * eb))
        corr[i] = best
    floor = energy.max() * 10 ** (VOICED_FLOOR_DB / 10) if energy.max() > 0 else 1.0
    return (corr >= VOICING) & (energy > floor)


def voiced_runs(flags):
    """[(first sample, end sample)] of the runs of voiced frames."""
    runs = []
    i = 0
    while i < len(flags):
        if flags[i]:
            j = i
            while j < len(flags) and flags[j]:
                j += 1
            if j - i >= 2:  # a lone voiced frame is noise
                runs.append((max(0, i * HOP - HOP // 2), j * HOP - HOP // 2))
            i = j
        else:
            i += 1
    return runs


def epochs(x, t0, runs):
    """Epoch positions (ascending) inside the voiced runs."""
    f = lowpass(x, 1.5 * RATE / t0)
    out = []
    for r0, r1 in runs:
        r1 = min(r1, len(x))
        if r1 - r0 < t0:
            continue
        p = r0 + int(np.argmax(f[r0:r0 + int(t0)]))
        while p < r1:
            out.append(p)
            lo, hi = p + int(0.8 * t0), min(p + int(1.2 * t0) + 1, r1)
            if lo >= hi:
                break
            k = int(np.argmax(f[lo:hi]))
            # no peak inside the window (a weak or changing fundamental): one period on,
            # the carrier being monotone
            p = lo + k if 0 < k < hi - lo - 1 else p + int(round(t0))
    return out


def pitch_marks(x):
    """(period, voiced epochs, all marks as (position, voiced)) of a carrier."""
    t0 = period(x)
    runs = voiced_runs(voiced_frames(x, t0))
    ep = epochs(x, t0, runs)
    marks = []
    prev, prev_voiced = -HOP, False  # unvoiced points from the carrier's start
    for p in ep + [len(x) + HOP]:
        if not prev_voiced or p - prev > 1.5 * t0:
            q = prev + HOP
            while q <= p - HOP // 2 and q < len(x):
                marks.append((q, False))
                q += HOP
        if p < len(x):
            marks.append((p, True))
        prev, prev_voiced = p, True
    return t0, ep, marks


def audible(x, begin, end):
    """(first, end) of the loud part of x[begin:end]; (begin, begin) when silent."""
    begin, end = max(0, begin), min(len(x), end)
    loud = np.nonzero(np.abs(x[begin:end]) > SILENCE)[0]
    if len(loud) == 0:
        return begin, begin
    return begin + int(loud[0]), begin + int(loud[-1]) + 1


def closure_start(x, event):
    """Where the silence of a voiceless stop's closure begins: the first silent run of
    10 ms or more in the 50 ms before the stop's event (its burst may come a little before
    the event); the event itself when there is none."""
    lo = max(0, event - CLOSURE_MAX)
    quiet = np.abs(x[lo:event]) <= SILENCE
    run = 0
    for k, q in enumerate(quiet):
        run = run + 1 if q else 0
        if run == MIN_CLOSURE:
            return lo + k + 1 - MIN_CLOSURE
    return event


def phone_spans(x, starts, names):
    """[start, end) of each phone at 16 kHz from espeak-ng's event positions (already at
    16 kHz): voiceless stops take their closure back from the phone before them, the last
    phone ends where the sound stops, a phone at the start begins where sound begins."""
    n = len(starts)
    ends = list(starts[1:]) + [len(x)]
    spans = [[s, e] for s, e in zip(starts, ends)]
    for i, name in enumerate(names):
        if name in VOICELESS_STOPS:
            closure = closure_start(x, spans[i][0])
            if i > 0:
                closure = max(closure, spans[i - 1][0] + 1)
                spans[i - 1][1] = closure
            spans[i][0] = closure
        elif i == 0:
            spans[i][0] = audible(x, spans[i][0], spans[i][1])[0]
    spans[-1][1] = audible(x, spans[-1][0], len(x))[1]
    if spans[-1][1] <= spans[-1][0]:
        spans[-1][1] = min(len(x), spans[-1][0] + 1)
    if n and spans[0][0] >= spans[0][1]:
        spans[0][0] = spans[0][1] - 1
    return [tuple(s) for s in spans]


def middle(x, span, name):
    """The steady middle of a phone: of a voiceless stop, the middle of its closure; of a
    glide, where it comes nearest to its vowel (the narrowest, quietest point), which is
    the same whatever vowel it leaves or reaches."""
    a, b = span
    if name in VOICELESS_STOPS:
        burst = audible(x, a, b)[0]
        if burst > a:
            return (a + burst) // 2
    if name in GLIDES and b - a > 4 * HOP:
        lo, hi = a + (b - a) // 10, b - (b - a) // 10
        centres = np.arange(lo, hi, HOP // 4)
        half = HOP * 2
        rms = [float(np.mean(x[max(0, c - half):c + half] ** 2)) for c in centres]
        return int(centres[int(np.argmin(rms))])
    return (a + b) // 2


def snap(point, ep, t0, span):
    """The epoch nearest point when one lies within a period of it and inside the phone's
    span, else point."""
    inside = [e for e in ep if span[0] <= e < span[1] and abs(e - point) <= t0]
    if not inside:
        return point
    return min(inside, key=lambda e: (abs(e - point), e))


def cut(x, starts, names, left, right, left_half=-1, right_half=-1):
    """(samples, boundary, marks as [(offset, voiced)]) of the unit from the middle of
    phone `left` (-1: the utterance's start) to the middle of phone `right` (len(names):
    its end); the border between the two is where phone `right` begins (phones between
    them, as the nasal murmur after a nasal vowel, belong to the left one). A half of 0 or
    1 takes the first (vowel) or second (glide) half of a diphthong phone instead of the
    whole phone. x is the 16 kHz carrier (float), starts the phones' first samples."""
    t0, ep, marks = pitch_marks(x)
    spans = phone_spans(x, starts, names)

    def part(i, half):
        s, e = spans[i]
        m = s + (e - s) // 2
        return (s, m) if half == 0 else (m, e) if half == 1 else (s, e)

    def kind(i, half):
        return "j" if half == 1 else "" if half == 0 else names[i]

    if left < 0:
        boundary_at = spans[0][0]
        start = max(0, boundary_at - PAUSE_PART)
    else:
        span = part(left, left_half)
        start = snap(middle(x, span, kind(left, left_half)), ep, t0, span)
        boundary_at = part(right, right_half)[0] if right < len(spans) else spans[-1][1]
    if right >= len(names):
        end = min(len(x), spans[-1][1] + PAUSE_PART)
        piece = np.array(x[start:end], dtype=np.float64)
        pad = spans[-1][1] + PAUSE_PART - end
        if pad > 0:
            piece = np.concatenate([piece, np.zeros(pad)])
        end = start + len(piece)
    else:
        span = part(right, right_half)
        end = snap(middle(x, span, kind(right, right_half)), ep, t0, span)
        piece = np.array(x[start:end], dtype=np.float64)
    if right >= len(names):
        # the pause side holds silence: what follows the sound's end is faded out
        fade_from = spans[-1][1] - start
        if 0 <= fade_from < len(piece):
            piece[fade_from:] = 0.0
    if left < 0:
        # the pause side: silence, PAUSE_PART long even when the carrier starts at once
        lead = boundary_at - start
        piece[:lead] = 0.0
        piece = np.concatenate([np.zeros(PAUSE_PART - lead), piece])
        start -= PAUSE_PART - lead
    boundary = int(np.clip(boundary_at - start, 0, len(piece)))
    # marks of the carrier where there is sound, unvoiced points every 5 ms in the pause
    lo = boundary if left < 0 else 0
    hi = spans[-1][1] - start if right >= len(names) else len(piece)
    unit_marks = [(q, False) for q in range(0, lo, HOP)]
    unit_marks += [(p - start, v) for p, v in marks if lo <= p - start < hi]
    last = unit_marks[-1][0] if unit_marks else -HOP
    while last + HOP < len(piece):
        last += HOP
        unit_marks.append((last, False))
    return piece, boundary, unit_marks, t0
