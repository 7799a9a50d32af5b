#!/usr/bin/python3
"""Speed of `orvane impulse` on 10 s of 48 kHz stereo (an 8 s exponential sweep, then 2 s of
silence, through a room decaying by 60 dB in 0.5 s, noise 80 dB down) and of `orvane room` on a
2 s impulse response, each start to exit (--json, no files), against the numpy/scipy script
doing the same (scipy_room_anchor.py): its computation alone, and as a whole process. Prints
the figures and the ratios; the targets are under 1 s and under 0.5 s."""
import os
import sys
import tempfile

import numpy as np
import scipy.io.wavfile

sys.dont_write_bytecode = True  # the tree stays clean of __pycache__ folders
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import process_timing  # noqa: E402

RATE = 48000
TIMES = 5
ANCHOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scipy_room_anchor.py")


def room_response(seconds, rng):
    n = int(seconds * RATE)
    h = rng.normal(0.0, 0.05, n) * 10.0 ** (-3.0 * np.arange(n) / RATE / 0.5)
    h[240] = 1.0
    return h


def write_files(scratch):
    rng = np.random.default_rng(1)
    sweep_s, rate = 8.0, 8.0 / np.log(1000.0)
    t = np.arange(int(sweep_s * RATE)) / RATE
    x = np.concatenate([0.5 * np.sin(2 * np.pi * 20 * rate * (np.exp(t / rate) - 1)),
                        np.zeros(2 * RATE)])
    y = scipy.signal.fftconvolve(x, room_response(1.0, rng))[:len(x)] * 0.25
    y += rng.normal(0.0, 0.5 / np.sqrt(2) * 1e-4, len(y))
    recording = os.path.join(scratch, "sweep-10s.wav")
    scipy.io.wavfile.write(recording, RATE, np.stack([x, y], axis=1).astype(np.float32))
    response = room_response(2.0, rng)
    response += rng.normal(0.0, 1e-5, len(response))
    impulse = os.path.join(scratch, "impulse-2s.wav")
    scipy.io.wavfile.write(impulse, RATE, response.astype(np.float32))
    return recording, impulse


def compare(title, command, kind, path, scratch, target):
    seconds, rss, _ = process_timing.best(command, scratch, TIMES)
    anchor = float(process_timing.run(["/usr/bin/python3", ANCHOR, kind, path], scratch)[2])
    script, _, _ = process_timing.best(["/usr/bin/python3", ANCHOR, kind, path, "--once"],
                                       scratch, 3)
    print(title)
    print("  orvane %s, best of %d: %.3f s (target under %.1f s), peak memory %s"
          % (kind, TIMES, seconds, target, process_timing.megabytes(rss)))
    print("  numpy/scipy, the computation alone, best of 5: %.3f s" % anchor)
    print("  the numpy/scipy script as a whole process, best of 3: %.3f s" % script)
    print("  ratio orvane / scipy computation: %.2f; orvane / scipy script: %.2f"
          % (seconds / anchor, seconds / script))


def main():
    with tempfile.TemporaryDirectory() as scratch:
        recording, impulse = write_files(scratch)
        orvane = process_timing.ORVANE
        compare("\norvane impulse as a whole process: 10 s of 48 kHz stereo (float WAV)",
                [orvane, "impulse", recording, "--json"], "impulse", recording, scratch, 1.0)
        compare("\norvane room as a whole process: a 2 s impulse response at 48 kHz, 8 octave "
                "bands and broadband", [orvane, "room", impulse, "--json"], "room", impulse,
                scratch, 0.5)


if __name__ == "__main__":
    import scipy.signal  # noqa: E402  (the room's convolution)
    main()
