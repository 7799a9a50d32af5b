#!/usr/bin/python3
"""Makes transfer-stereo.wav, the bundled two-channel measurement for crossanalyser: 4 s of
Gaussian noise at 48 kHz, 16-bit. The left channel is the noise itself; the right channel is the
same noise through the short FIR filter FIR, 1 ms (48 samples) later. The delay shows as the time
of flight of the cross-correlation, the filter as the H1 transfer function; the seed is fixed, so
the file comes out the same on every run."""
import os

import numpy as np
import scipy.io.wavfile
import scipy.signal

RATE = 48000
SECONDS = 4
DELAY = 48  # samples: 1 ms at 48 kHz
# A gentle low-pass (0.9 at DC, -0.1 at Nyquist) whose largest tap comes first, so the peak of
# the cross-correlation sits exactly at the delay.
FIR = (0.6, 0.4, -0.2, 0.1)
NOISE_RMS = 0.1  # -20 dB of full scale leaves the peaks far below clipping


def make():
    rng = np.random.default_rng(11)
    frames = SECONDS * RATE
    left = rng.normal(0.0, NOISE_RMS, frames + DELAY)
    # The right channel hears the noise that the left one had DELAY samples before.
    right = scipy.signal.lfilter(FIR, [1.0], left)[:frames]
    left = left[DELAY:]
    stereo = np.stack([left, right], axis=1)
    return np.round(stereo * 32767).astype(np.int16)


if __name__ == "__main__":
    folder = os.path.dirname(os.path.abspath(__file__))
    scipy.io.wavfile.write(os.path.join(folder, "transfer-stereo.wav"), RATE, make())
