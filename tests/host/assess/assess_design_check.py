#!/usr/bin/python3
"""orvane assess recomputed with numpy for a filter inversefilter designs.

A synthetic room (direct sound, reflections, one early reflection stronger than the direct
sound, a room mode, a decaying tail) at 48 kHz is written as a WAV, the inverse filter designed
by `orvane run inversefilter`, and `orvane assess --json` judged against numpy's own
convolution and IEC 61260-1 base-ten third-octave bands.

Usage: assess_design_check.py ORVANE
"""
import json
import math
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from scipy.io import wavfile

RATE = 48000
LENGTH = 65536
DB_TOLERANCE = 0.01
SHARE_TOLERANCE = 1e-4


def room():
    rng = np.random.default_rng(7)
    n = int(0.3 * RATE)
    t = np.arange(n) / RATE
    h = np.zeros(n)
    direct = 120
    h[direct] = 0.5
    h[direct + 70] += 0.65  # an early reflection stronger than the direct sound
    for delay, gain in ((310, -0.3), (520, 0.22), (905, 0.18), (1400, -0.12), (2100, 0.09)):
        h[direct + delay] += gain
    after = t >= direct / RATE
    # a room mode at 47 Hz, some 10 dB above the rest in its band
    h += after * 0.002 * np.sin(2 * np.pi * 47.0 * (t - direct / RATE)) * np.exp(-(t - direct / RATE) / 0.08)
    tail = rng.standard_normal(n) * 0.03 * np.exp(-(t - 0.01) / 0.06)
    h += np.where(t > 0.01, tail, 0.0)
    return h.astype(np.float32)


def third_octave(x):
    fm = 1000.0 * 10.0 ** (x / 10.0)
    return fm, fm * 10.0 ** (-0.05), fm * 10.0 ** 0.05


def band_levels(power, bands, bin_hz):
    freqs = np.arange(len(power)) * bin_hz
    levels = []
    for _, lo, hi in bands:
        inside = (freqs >= lo) & (freqs < hi)
        levels.append(10.0 * np.log10(power[inside].mean()))
    return np.array(levels)


def flatness(levels):
    dev = levels - levels.mean()
    return np.abs(dev).max(), math.sqrt(np.mean(dev ** 2))


def check(name, got, want, tolerance, failures):
    ok = got is not None and abs(got - want) <= tolerance
    print(f"{name:28s} orvane {got!s:>24s}  numpy {want:.6f}  {'ok' if ok else 'DIFFERS'}")
    if not ok:
        failures.append(name)


def main():
    orvane = sys.argv[1]
    with tempfile.TemporaryDirectory() as scratch:
        scratch = Path(scratch)
        response = scratch / "room.wav"
        wavfile.write(response, RATE, room())
        design = scratch / "design"
        subprocess.run([orvane, "run", "inversefilter", str(response), "--set", f"1061={LENGTH}",
                        "--out", str(design), "--quiet"], check=True, stdout=subprocess.DEVNULL)
        runs = []
        for band in ([], ["--band", "80:16000"]):  # the default band, and the design's
            done = subprocess.run([orvane, "assess", str(response), str(design / "clipboard.wav"),
                                   "--json"] + band, check=True, capture_output=True, text=True)
            runs.append(json.loads(done.stdout)["assessment"])
        _, h = wavfile.read(response)
        _, f = wavfile.read(design / "clipboard.wav")

    h = h.astype(np.float64)
    f = f.astype(np.float64)
    assert f.ndim == 1 and len(f) == LENGTH, f.shape
    # The smallest power of two holding the convolution and at least a second.
    n = 1 << (max(len(h) + len(f) - 1, RATE) - 1).bit_length()
    bin_hz = RATE / n
    H = np.fft.rfft(h, n)

    # Without --band, the design's own band from the record the run left beside its filter:
    # the cuts (80, 16000 Hz) moved inwards by half the 0.33-octave transition.
    lo, hi = 80.0 * 2 ** (0.33 / 2), 16000.0 * 2 ** (-0.33 / 2)
    failures = []
    print("the design's band")
    if runs[0]["band_source"] != "design":
        failures.append("band source " + runs[0]["band_source"])
    check("band low (Hz)", runs[0]["band_hz"][0], lo, 1e-6, failures)
    check("band high (Hz)", runs[0]["band_hz"][1], hi, 1e-6, failures)
    compare(runs[0], lo, hi, h, f, failures)
    print("band 80:16000")
    compare(runs[1], 80.0, 16000.0, h, f, failures)
    if failures:
        print("differ:", ", ".join(failures))
        return 1
    return 0


def compare(got, lo, hi, h, f, failures):
    """Every figure of one assessment against numpy's, over the band lo ... hi (Hz)."""
    n = 1 << (max(len(h) + len(f) - 1, RATE) - 1).bit_length()
    bin_hz = RATE / n
    H = np.fft.rfft(h, n)
    F = np.fft.rfft(f, n)
    Y = H * F
    y = np.fft.irfft(Y, n)[: len(h) + len(f) - 1]

    bands = [third_octave(x) for x in range(-20, 14)
             if third_octave(x)[1] >= lo * (1 - 1e-9) and third_octave(x)[2] <= hi * (1 + 1e-9)]
    before = flatness(band_levels(np.abs(H) ** 2, bands, bin_hz))
    after = flatness(band_levels(np.abs(Y) ** 2, bands, bin_hz))
    assert len(got["channels"]) == 1, got["channels"]
    c = got["channels"][0]
    check("flatness before max (dB)", c["flatness_db"]["before"]["max"], before[0], DB_TOLERANCE, failures)
    check("flatness before rms (dB)", c["flatness_db"]["before"]["rms"], before[1], DB_TOLERANCE, failures)
    check("flatness after max (dB)", c["flatness_db"]["after"]["max"], after[0], DB_TOLERANCE, failures)
    check("flatness after rms (dB)", c["flatness_db"]["after"]["rms"], after[1], DB_TOLERANCE, failures)

    peak = int(np.argmax(np.abs(y)))
    intended = LENGTH // 2  # the filter's own delay
    check("peak offset (ms)", c["peak_offset_ms"], (peak - intended) * 1000.0 / RATE, 1e-9, failures)
    w = RATE // 1000
    energy = y ** 2
    total = energy.sum()
    check("main share", c["main_share"], energy[max(0, peak - w): peak + w + 1].sum() / total,
          SHARE_TOLERANCE, failures)
    early = np.abs(y[: max(0, peak - w)])
    check("pre-ringing (dB)", c["pre_ringing_db"], 10 * np.log10((early ** 2).sum() / total),
          DB_TOLERANCE, failures)
    at = int(np.argmax(early))
    check("pre-echo (dB)", c["pre_echo_db"], 20 * np.log10(early[at] / abs(y[peak])), DB_TOLERANCE,
          failures)
    check("pre-echo time (ms)", c["pre_echo_ms"], (peak - at) * 1000.0 / RATE, 1e-9, failures)

    # The continuous response's peak: 8 times the filter's length, refined by a parabola.
    fine = 1 << (max(8 * len(f), RATE) - 1).bit_length()
    gain_fine = 20 * np.log10(np.abs(np.fft.rfft(f, fine)))
    k = int(np.argmax(gain_fine))
    a, b, c = gain_fine[k - 1], gain_fine[k], gain_fine[k + 1]
    shift = 0.5 * (a - c) / (a - 2 * b + c)
    g = got["filter_gain_db"]
    check("filter gain max (dB)", g["max"], b - 0.25 * (a - c) * shift, DB_TOLERANCE, failures)
    check("filter gain max at (Hz)", g["max_hz"], (k + shift) * RATE / fine, RATE / fine, failures)
    gain = 20 * np.log10(np.abs(np.fft.rfft(f, fine)))
    bin_hz = RATE / fine
    for e, edge in enumerate((lo, hi)):
        check(f"filter gain at {edge:.0f} Hz", g["at_band_edges"][e], gain[int(round(edge / bin_hz))],
              DB_TOLERANCE, failures)
    print("warnings:", got["warnings"])


if __name__ == "__main__":
    sys.exit(main())
