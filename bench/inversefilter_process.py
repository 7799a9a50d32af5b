#!/usr/bin/python3
"""Speed of whole inversefilter runs, `orvane run inversefilter FILE --quiet --json` from start
to exit, for three designs: mono at 65536 points; 2x2 with 32768-point filters (a stereo
selection whose first half is the left loudspeaker's stereo response and second half the right
one's); cepstral at 16000 points, not a power of two, on a response short enough (8000 samples)
for the direct-transform path. Prints each with the design time the plug-in reports itself
(ElapsedMs and the results dialog's text); the target is 0.5 s for each whole process."""
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
ELAPSED_MS = 33  # parameter block offset of the design's own time
ELAPSED_TEXT = 1030  # its text in the results dialog, in seconds
TIMES = 5
TARGET = 0.5


def response(frames, seed, gain=1.0):
    """A room-like impulse response: a direct sound and a noise tail decaying by 60 dB in 0.25 s."""
    rng = np.random.default_rng(seed)
    t = np.arange(frames) / RATE
    h = 0.05 * rng.normal(0.0, 1.0, frames) * 10.0 ** (-3.0 * t / 0.25)
    h[48] += 1.0
    return gain * 0.8 * h / np.max(np.abs(h))


def designs(scratch):
    """(label, file, settings) of the three designs, their files written into scratch."""
    mono = os.path.join(scratch, "mono-1s.wav")
    scipy.io.wavfile.write(mono, RATE, response(RATE, 1).astype(np.float32))
    # Each loudspeaker's stereo response: loud at its own side, 6 dB down at the other.
    n = 16384
    left_speaker = np.stack([response(n, 2), response(n, 3, 0.5)], axis=1)
    right_speaker = np.stack([response(n, 4, 0.5), response(n, 5)], axis=1)
    pair = os.path.join(scratch, "pair-2x16384.wav")
    scipy.io.wavfile.write(pair, RATE, np.concatenate([left_speaker, right_speaker])
                           .astype(np.float32))
    short = os.path.join(scratch, "mono-8000.wav")
    scipy.io.wavfile.write(short, RATE, response(8000, 6).astype(np.float32))
    return [
        ("mono, 65536 points, 1 s response", mono, ["--set", "1061=65536"]),
        ("2x2, 32768-point filters, 2 x 16384 frames", pair,
         ["--set", "1012=on", "--set", "1061=32768"]),
        ("cepstral, 16000 points, 8000-sample response", short,
         ["--set", "1061=16000", "--set", "1034=Cepstrum"]),
    ]


def main():
    rows = []
    with tempfile.TemporaryDirectory() as scratch:
        for label, wav, settings in designs(scratch):
            command = [process_timing.ORVANE, "run", "inversefilter", wav] + settings + \
                ["--quiet", "--json"]
            seconds, rss, out = process_timing.best(command, scratch, TIMES)
            report = json.loads(out)
            rows.append((label, seconds, process_timing.block_field(report, ELAPSED_MS),
                         process_timing.control_text(report, 107, ELAPSED_TEXT), rss))
    print("\ninversefilter as a whole process, best of %d (target: each within %.1f s)"
          % (TIMES, TARGET))
    print("  %-44s %9s %15s %12s" % ("design", "process", "design (dialog)", "peak memory"))
    for label, seconds, elapsed_ms, text, rss in rows:
        print("  %-44s %7.3f s %6.3f s (%s s) %12s%s"
              % (label, seconds, elapsed_ms / 1000.0, text, process_timing.megabytes(rss),
                 "" if seconds <= TARGET else "  over the target"))

if __name__ == "__main__":
    main()
