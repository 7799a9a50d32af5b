#!/usr/bin/python3
"""Makes sweep-measurement.wav, the bundled synthetic measurement for `orvane impulse` and
`orvane room`: 48 kHz stereo, 16-bit, 3.7 s. The left channel is the excitation as played, an
exponential sweep from 20 Hz to 20 kHz over 2.5 s at half full scale (its first and last
5 ms faded), then silence; the right channel is what a microphone records of it: the sweep
through a mildly distorting loudspeaker (second and third powers, harmonics some 46 and 64 dB
under the fundamental at full drive, formed without aliasing, then a 2nd-order high-pass at
50 Hz and low-pass at 18 kHz) into a room, with noise 80 dB under the sweep's RMS. The room has a known
reverberation time per octave band (DECAY below): a direct sound 5 ms after the excitation's
start, four reflections, and a diffuse tail of noise whose octave bands each decay at their
own rate, handed over between neighbouring bands within a quarter octave of the band edges.
The seed is fixed, so the file comes out the same on every run. Run as a program it writes the
file beside itself; `known_decay()` gives the room's decay times to compare with."""
import os

import numpy as np
import scipy.io.wavfile
import scipy.signal

RATE = 48000
SWEEP_S = 2.5
SILENCE_S = 1.2
F1, F2 = 20.0, 20000.0
LEVEL = 0.5  # the sweep's amplitude, full scale 1
FADE_S = 0.005
# Reverberation time (s) per octave band, 63 Hz ... 8 kHz.
DECAY = {63: 0.9, 125: 0.8, 250: 0.7, 500: 0.65, 1000: 0.6, 2000: 0.55, 4000: 0.45, 8000: 0.35}
DIRECT_MS = 5.0
REFLECTIONS = ((7.3, -0.5), (9.8, 0.4), (13.1, -0.3), (17.5, 0.25))  # (ms, gain re direct)
TAIL_START_MS = 8.0
TAIL_LEVEL = 0.05  # RMS of the tail's noise at its start, re the direct sound
ROOM_S = 1.5
SECOND, THIRD = 0.02, 0.01  # the loudspeaker: x + SECOND x^2 + THIRD x^3
NOISE_DB = -80.0  # re the sweep's RMS
HANDOVER_OCTAVES = 0.25
SEED = 34


def known_decay():
    return dict(DECAY)


def sweep():
    n = int(SWEEP_S * RATE)
    t = np.arange(n) / RATE
    rate = SWEEP_S / np.log(F2 / F1)
    s = LEVEL * np.sin(2 * np.pi * F1 * rate * (np.exp(t / rate) - 1.0))
    fade = int(FADE_S * RATE)
    ramp = 0.5 - 0.5 * np.cos(np.pi * np.arange(fade) / fade)
    s[:fade] *= ramp
    s[-fade:] *= ramp[::-1]
    return np.concatenate([s, np.zeros(int(SILENCE_S * RATE))])


def band_weights(freqs, centres):
    """Weights per band summing to 1 at every frequency: 1 inside a band, handed over to the
    next by a raised cosine within HANDOVER_OCTAVES of the edge between them."""
    octave = np.log2(np.maximum(freqs, 1e-9) / 1000.0)
    positions = np.log2(np.asarray(centres) / 1000.0)
    weights = np.zeros((len(centres), len(freqs)))
    edges = (positions[:-1] + positions[1:]) / 2
    upper = np.ones(len(freqs))  # share not yet taken by lower bands
    for b in range(len(centres)):
        if b == len(centres) - 1:
            weights[b] = upper
            break
        x = np.clip((octave - edges[b]) / HANDOVER_OCTAVES + 0.5, 0.0, 1.0)
        lower_share = np.cos(np.pi * x / 2) ** 2
        weights[b] = upper * lower_share
        upper = upper * (1 - lower_share)
    return weights


def room(rng):
    n = int(ROOM_S * RATE)
    h = np.zeros(n)
    h[round(DIRECT_MS * RATE / 1000)] = 1.0
    for ms, gain in REFLECTIONS:
        h[round(ms * RATE / 1000)] += gain
    t = np.arange(n) / RATE
    onset = TAIL_START_MS / 1000
    ramp = np.clip((t - onset) / 0.004, 0.0, 1.0)
    noise = rng.normal(0.0, 1.0, n)
    spectrum = np.fft.rfft(noise)
    freqs = np.fft.rfftfreq(n, 1 / RATE)
    bands = sorted(DECAY)
    centres = [31.5] + bands + [16000]
    times = [DECAY[bands[0]]] + [DECAY[b] for b in bands] + [DECAY[bands[-1]]]
    tail = np.zeros(n)
    for w, rt in zip(band_weights(freqs, centres), times):
        part = np.fft.irfft(spectrum * w, n)
        tail += part * 10.0 ** (-3.0 * np.maximum(t - onset, 0.0) / rt)
    return h + TAIL_LEVEL * tail * ramp


def measurement():
    rng = np.random.default_rng(SEED)
    x = sweep()
    # The loudspeaker's harmonics above half the sample rate go, as a recorder's anti-alias
    # filter takes them: the powers are formed at twice the rate.
    fine = scipy.signal.resample(x, 2 * len(x))
    driven = scipy.signal.resample(fine + SECOND * fine ** 2 + THIRD * fine ** 3, len(x))
    for order, cut, kind in ((2, 50.0, "highpass"), (2, 18000.0, "lowpass")):
        b, a = scipy.signal.butter(order, cut, kind, fs=RATE)
        driven = scipy.signal.lfilter(b, a, driven)
    y = scipy.signal.fftconvolve(driven, room(rng))[: len(x)]
    y *= 0.25  # the microphone's gain: the response stays well under full scale
    rms = LEVEL / np.sqrt(2)
    y += rng.normal(0.0, rms * 10.0 ** (NOISE_DB / 20.0), len(y))
    return x, y


if __name__ == "__main__":
    x, y = measurement()
    pcm = np.round(np.stack([x, y], axis=1) * 32767).astype(np.int16)
    folder = os.path.dirname(os.path.abspath(__file__))
    scipy.io.wavfile.write(os.path.join(folder, "sweep-measurement.wav"), RATE, pcm)
