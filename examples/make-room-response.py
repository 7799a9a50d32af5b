#!/usr/bin/python3
"""Makes room-response.wav, the bundled impulse response for inversefilter: 0.3 s at 48 kHz,
mono 32-bit float. A direct sound at 2 ms, five discrete reflections (walls, floor, ceiling)
of alternating sign, a diffuse tail of noise decaying exponentially with a reverberation time
of 0.25 s, and one room mode at 113 Hz that rings a little longer (it lifts the 125 Hz
third-octave band more than 10 dB above the others, the kind of fault an inverse filter is
there to correct); the whole passes through a loudspeaker's band limits (a 2nd-order
high-pass at 60 Hz, a 2nd-order low-pass at 18 kHz). The seed is fixed, so the file comes out
the same on every run."""
import os

import numpy as np
import scipy.io.wavfile
import scipy.signal

RATE = 48000
LENGTH = int(0.3 * RATE)
DIRECT_MS = 2.0
# (arrival in ms, amplitude relative to the direct sound)
REFLECTIONS = ((3.7, -0.55), (5.9, 0.42), (8.3, -0.33), (11.6, 0.27), (15.2, -0.2))
TAIL_START_MS = 6.0
TAIL_LEVEL = 0.06  # RMS of the tail's noise at its start, relative to the direct sound
RT60 = 0.25  # seconds for the tail to fall by 60 dB
MODE_HZ = 113.0
MODE_LEVEL = 0.02  # the mode's starting amplitude, relative to the direct sound
MODE_RT60 = 0.3
PEAK = 0.8  # the direct sound's height in the file


def make():
    rng = np.random.default_rng(12)
    h = np.zeros(LENGTH)
    h[round(DIRECT_MS * RATE / 1000)] = 1.0
    for ms, gain in REFLECTIONS:
        h[round(ms * RATE / 1000)] += gain
    t = np.arange(LENGTH) / RATE
    onset = TAIL_START_MS / 1000
    # The diffuse field builds up over a few milliseconds after the first reflections.
    ramp = np.clip((t - onset) / 0.004, 0.0, 1.0)
    decay = 10.0 ** (-3.0 * np.maximum(t - onset, 0.0) / RT60)
    h += TAIL_LEVEL * rng.normal(0.0, 1.0, LENGTH) * ramp * decay
    direct = DIRECT_MS / 1000
    since = np.maximum(t - direct, 0.0)
    h += MODE_LEVEL * np.sin(2 * np.pi * MODE_HZ * since) * 10.0 ** (-3.0 * since / MODE_RT60)
    for order, cut, kind in ((2, 60.0, "highpass"), (2, 18000.0, "lowpass")):
        b, a = scipy.signal.butter(order, cut, kind, fs=RATE)
        h = scipy.signal.lfilter(b, a, h)
    return (h * PEAK / np.max(np.abs(h))).astype(np.float32)


if __name__ == "__main__":
    folder = os.path.dirname(os.path.abspath(__file__))
    scipy.io.wavfile.write(os.path.join(folder, "room-response.wav"), RATE, make())
