#!/usr/bin/python3
"""The script a user would write with scipy for what one crossanalyser run gives: read a stereo
WAV, then the cross-spectrum (csd), the two auto-spectra (welch), the coherence and the
cross-correlation as the inverse FFT of the cross-spectrum, all with nperseg 16384, noverlap
12288 and a Hann window. The samples go in as float32, scipy's fastest case.

usage: scipy_spectra_anchor.py FILE.wav [--once]
Prints the best of five timings of the spectra in seconds (the file read excluded); with --once
it computes them once and prints that time, for timing the script as a whole process."""
import sys
import time

import numpy as np
import scipy.io.wavfile
import scipy.signal

N = 16384


def spectra(left, right, rate):
    args = dict(fs=rate, window="hann", nperseg=N, noverlap=3 * N // 4)
    _, cross = scipy.signal.csd(left, right, **args)
    _, auto_left = scipy.signal.welch(left, **args)
    _, auto_right = scipy.signal.welch(right, **args)
    _, coherence = scipy.signal.coherence(left, right, **args)
    correlation = np.fft.irfft(cross)
    return cross, auto_left, auto_right, coherence, correlation


def main(path, once):
    rate, data = scipy.io.wavfile.read(path)
    left = np.ascontiguousarray(data[:, 0], dtype=np.float32)
    right = np.ascontiguousarray(data[:, 1], dtype=np.float32)
    timings = []
    for _ in range(1 if once else 5):
        start = time.perf_counter()
        spectra(left, right, rate)
        timings.append(time.perf_counter() - start)
    print("%.6f" % min(timings))


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3) or (len(sys.argv) == 3 and sys.argv[2] != "--once"):
        sys.exit(__doc__.strip().splitlines()[-3])
    main(sys.argv[1], len(sys.argv) == 3)
