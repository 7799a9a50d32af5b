#!/usr/bin/python3
"""Speed and memory of a whole crossanalyser run: `orvane run crossanalyser FILE --quiet --json`
with the default settings (N 16384, Hann, 3/4 overlap, cross-correlation) on 60 s of 48 kHz
stereo noise, start to exit, against the scipy script a user would write for the same spectra
(scipy_spectra_anchor.py). Prints the figures; the target is orvane at most half of scipy.
Then the peak memory at N 1048576 over the whole file and over half of it: the run's blocks
are fixed by N, so the two should match. Runs in a scratch folder, which also takes the
timedelay.txt lines."""
import json
import os
import sys
import tempfile

import numpy as np
import scipy.io.wavfile

sys.dont_write_bytecode = True  # the tree stays clean of __pycache__ folders
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import process_timing  # noqa: E402

RATE = 48000
SECONDS = 60
ELAPSED_MS = 18  # parameter block offset: the run's own time, averaging to statistics
TIMES = 5
ANCHOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scipy_spectra_anchor.py")


def write_noise(path):
    rng = np.random.default_rng(1)
    noise = rng.uniform(-8000, 8000, (SECONDS * RATE, 2))
    scipy.io.wavfile.write(path, RATE, np.round(noise).astype(np.int16))


def main():
    with tempfile.TemporaryDirectory() as scratch:
        wav = os.path.join(scratch, "noise-60s.wav")
        write_noise(wav)
        command = [process_timing.ORVANE, "run", "crossanalyser", wav, "--quiet", "--json"]
        seconds, rss, out = process_timing.best(command, scratch, TIMES)
        in_process = process_timing.block_field(json.loads(out), ELAPSED_MS) / 1000.0
        anchor = float(process_timing.run(["/usr/bin/python3", ANCHOR, wav], scratch)[2])
        script, _, _ = process_timing.best(["/usr/bin/python3", ANCHOR, wav, "--once"], scratch, 3)
        # The same at the largest N, over the whole file and over its first half.
        large = command + ["--set", "1034=1048576"]
        half = ["--select", "0:%d" % (SECONDS * RATE // 2 - 1)]
        _, rss_large, _ = process_timing.run(large, scratch)
        _, rss_large_half, _ = process_timing.run(large + half, scratch)

    print("\ncrossanalyser as a whole process: 60 s of 48 kHz stereo (16-bit WAV), N 16384,")
    print("Hann, 3/4 overlap, cross-correlation")
    print("  orvane run crossanalyser, best of %d: %.3f s (the run itself, ElapsedMs: %.3f s)"
          % (TIMES, seconds, in_process))
    print("  scipy csd, 2 x welch, coherence, irfft on the same samples, best of 5: %.3f s"
          % anchor)
    print("  the scipy script as a whole process (start, imports, WAV read), best of 3: %.3f s"
          % script)
    print("  ratio orvane / scipy spectra: %.2f (target <= 0.5); orvane / scipy script: %.2f"
          % (seconds / anchor, seconds / script))
    print("  peak memory of orvane: %s at N 16384; at N 1048576 %s over 60 s, %s over 30 s"
          % tuple(process_timing.megabytes(r) for r in (rss, rss_large, rss_large_half)))
    if rss is not None:
        print("  (60 s of stereo floats are %.1f MB; N 1048576 adds %.1f MB)"
              % (SECONDS * RATE * 2 * 4 / 2.0 ** 20, rss_large - rss))


if __name__ == "__main__":
    main()
