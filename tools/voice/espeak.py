"""espeak-ng's Brazilian voice through its C library: samples and phoneme positions.

Carriers are spoken monotone (pitch range 0) at 150 words a minute of the library, which
is as fast as the espeak-ng command speaks by default. The library keeps
state between utterances (noise generator, phase), so the same list of texts spoken in the
same order in a fresh process gives the same samples: callers speak in a fixed order.
"""

import ctypes
import ctypes.util

import numpy as np

_AUDIO_OUTPUT_SYNCHRONOUS = 2
_INITIALIZE_PHONEME_EVENTS = 1
_EVENT_LIST_TERMINATED = 0
_EVENT_PHONEME = 7
_CHARS_UTF8 = 1
_PHONEMES = 0x100
_RATE, _PITCH, _RANGE = 1, 3, 4


class _Event(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("unique_identifier", ctypes.c_uint),
                ("text_position", ctypes.c_int), ("length", ctypes.c_int),
                ("audio_position", ctypes.c_int), ("sample", ctypes.c_int),
                ("user_data", ctypes.c_void_p), ("id", ctypes.c_char * 8)]


_Callback = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(ctypes.c_short), ctypes.c_int,
                             ctypes.POINTER(_Event))


class Speaker:
    """One espeak-ng instance speaking pt-br (monotone unless told otherwise); `speak` returns (int16 samples at `rate`,
    [(phoneme, first sample)])."""

    def __init__(self, pitch=None, rate_wpm=150, monotone=True):
        name = ctypes.util.find_library("espeak-ng") or "libespeak-ng.so.1"
        self._lib = ctypes.CDLL(name)
        self.rate = self._lib.espeak_Initialize(_AUDIO_OUTPUT_SYNCHRONOUS, 0, None,
                                                _INITIALIZE_PHONEME_EVENTS)
        if self.rate <= 0:
            raise RuntimeError("espeak-ng did not start")
        if self._lib.espeak_SetVoiceByName(b"pt-br") != 0:
            raise RuntimeError("espeak-ng has no pt-br voice")
        if monotone:
            self._lib.espeak_SetParameter(_RANGE, 0, 0)
        if pitch is not None:
            self._lib.espeak_SetParameter(_PITCH, pitch, 0)
        self._lib.espeak_SetParameter(_RATE, rate_wpm, 0)
        self._chunks = []
        self._events = []
        self._callback = _Callback(self._on_audio)  # kept alive while the library holds it
        self._lib.espeak_SetSynthCallback(self._callback)

    def _on_audio(self, wav, count, events):
        if count > 0:
            self._chunks.append(np.ctypeslib.as_array(wav, shape=(count,)).copy())
        i = 0
        while events[i].type != _EVENT_LIST_TERMINATED:
            e = events[i]
            if e.type == _EVENT_PHONEME:
                self._events.append((bytes(e.id).split(b"\0")[0].decode("ascii", "replace"),
                                     e.sample))
            i += 1
        return 0

    def speak(self, text):
        self._chunks, self._events = [], []
        data = text.encode("utf-8") + b"\0"
        self._lib.espeak_Synth(data, len(data), 0, 0, 0, _CHARS_UTF8 | _PHONEMES, None, None)
        samples = np.concatenate(self._chunks) if self._chunks else np.zeros(0, np.int16)
        return samples, list(self._events)
