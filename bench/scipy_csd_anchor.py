#!/usr/bin/python3
"""The speed anchor of crossanalyser's averaging: scipy.signal.csd on the same work (60 s of
48 kHz stereo float32 noise, N 16384, Hann, three-quarter overlap). Prints the best of five
runs in seconds, or a line starting with "unavailable" when scipy cannot be imported."""
import sys
import time

try:
    import numpy as np
    import scipy.signal
except ImportError as error:  # the benchmark goes on without its anchor
    print("unavailable: %s" % error)
    sys.exit(0)

RATE = 48000
N = 16384
rng = np.random.default_rng(1)
left, right = rng.uniform(-8000, 8000, (2, 60 * RATE)).astype(np.float32)
best = None
for _ in range(5):
    start = time.perf_counter()
    scipy.signal.csd(left, right, fs=RATE, window="hann", nperseg=N, noverlap=3 * N // 4)
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print("%.6f" % best)
