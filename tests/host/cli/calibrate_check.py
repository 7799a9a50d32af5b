#!/usr/bin/python3
"""orvane run levelmeter --calibrate recomputed with numpy.

A stereo calibrator tone (1 kHz, a different level in each channel) and a stereo recording
(noise whose level changes, with a DC offset the meter removes) are written as float WAVs; the
recording is measured with --calibrate TONE=94 and its Leq per channel ("Average Level")
compared with numpy's: 94 dB plus the recording's mean square over the tone's, per channel.

Usage: calibrate_check.py ORVANE
"""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from scipy.io import wavfile

RATE = 48000
LEVEL = 94.0
DB_TOLERANCE = 0.02
FULL_SCALE_TOLERANCE = 0.006  # the meter shows its full scale to 0.01 dB


def mean_square_db(x):
    x = x - x.mean()  # the meter removes each channel's mean first
    return 10.0 * np.log10(np.mean(x * x))


def main():
    orvane = sys.argv[1]
    t = np.arange(3 * RATE) / RATE
    tone = np.stack([0.1 * np.sin(2 * np.pi * 1000.0 * t),
                     0.03 * np.sin(2 * np.pi * 1000.0 * t + 0.4)], axis=1)
    rng = np.random.default_rng(26)
    n = 5 * RATE
    swell = 1.0 + 0.8 * np.sin(2 * np.pi * 0.7 * np.arange(n) / RATE)
    rec = np.stack([0.05 * swell * rng.standard_normal(n) + 0.01,
                    0.2 * rng.standard_normal(n)], axis=1)
    with tempfile.TemporaryDirectory() as folder:
        tone_path, rec_path = Path(folder) / "tone.wav", Path(folder) / "rec.wav"
        wavfile.write(tone_path, RATE, tone.astype(np.float32))
        wavfile.write(rec_path, RATE, rec.astype(np.float32))
        run = subprocess.run([orvane, "run", "levelmeter", str(rec_path), "--calibrate",
                              f"{tone_path}={LEVEL}", "--json", "--quiet"],
                             capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit(f"orvane exited with {run.returncode}: {run.stderr}")
        report = json.loads(run.stdout)
    tone32, rec32 = tone.astype(np.float32).astype(float), rec.astype(np.float32).astype(float)
    results = {(f["name"], f["channel"]): f for f in report["results"]}
    failures = []
    for c, side in enumerate(("Left", "Right")):
        full_scale = LEVEL - mean_square_db(tone32[:, c])
        leq = LEVEL + mean_square_db(rec32[:, c]) - mean_square_db(tone32[:, c])
        got_fs = report["calibration"]["fullScale"][c]
        got_leq = results[("Leq", side)]["value"]
        # The full scale as the meter shows it is what the recording's run was given.
        shown_fs = float(results[("Full Scale Level", side)]["text"])
        print(f"{side}: full scale {got_fs:.3f} (numpy {full_scale:.3f}), "
              f"Leq {got_leq:.3f} (numpy {leq:.3f})")
        # The full scale is the level of an RMS of 1.0 (samples at full scale 1).
        if abs(got_fs - full_scale) > FULL_SCALE_TOLERANCE or got_fs != shown_fs:
            failures.append(f"{side} full scale {got_fs}, shown {shown_fs}, numpy {full_scale}")
        if abs(got_leq - leq) > DB_TOLERANCE:
            failures.append(f"{side} Leq {got_leq}, numpy {leq}")
    if report["calibration"]["tone"] != str(tone_path) or report["calibration"]["level"] != LEVEL:
        failures.append(f"calibration recorded as {report['calibration']}")
    if failures:
        sys.exit("; ".join(failures))


if __name__ == "__main__":
    main()
