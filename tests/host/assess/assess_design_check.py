#!/usr/bin/python3
"""orvane assess recomputed with numpy for a filter inversefilter designs and a cross-talk network.

A synthetic room (direct sound, reflections, one early reflection stronger than the direct
sound, a room mode, a decaying tail) at 48 kHz is written as a WAV, the inverse filter designed
by `orvane run inversefilter`, and `orvane assess --json` judged against numpy's own
convolution and IEC 61260-1 base-ten third-octave bands: flatness, timing, pre-echo per octave,
the share of bins the regularisation decides, the filter's gain and its ends. A Stereo network,
the regularised inverse of that room and a shadowed copy of it designed here with numpy, is
judged as well: per ear the pre-echo per octave, the share of bins where |det H|^2 lies below
10 beta, and the network's largest singular value, each feed's gain and the filters' ends.

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
# Two windows of an octave's energy alike to within this (dB) are a tie.
TIE_DB = 1e-3
# The continuous response's peak from a grid this many times finer than the filter's length,
# against the host's 8 times and a parabola: both within some hundredths of a dB of the truth.
FINE_OVERSAMPLING = 64
FINE_TOLERANCE = 0.05
# Pre-echo per octave: Gaussian octave bands in log frequency, half an octave to one standard
# deviation; energy in 5 ms windows more than 20 ms before the octave's main arrival.
OCTAVE_SIGMA = 0.5
WINDOW_MS = 5.0
GAP_MS = 20.0
END_SHARE = 0.01
NETWORK_LENGTH = 16384
NETWORK_BETA = 0.001


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
        hl, hr = ears(h.astype(np.float64))
        net_response = scratch / "ears.wav"
        net_filter = scratch / "network.wav"
        wavfile.write(net_response, RATE, np.stack([hl, hr], axis=1).astype(np.float32))
        fl, fr = network(hl, hr)
        wavfile.write(net_filter, RATE, np.stack([fl, fr], axis=1).astype(np.float32))
        done = subprocess.run([orvane, "assess", str(net_response), str(net_filter), "--mode",
                               "stereo", "--beta", str(NETWORK_BETA), "--band", "100:16000",
                               "--json"], check=True, capture_output=True, text=True)
        net_run = json.loads(done.stdout)["assessment"]
        _, net_h = wavfile.read(net_response)
        _, net_f = wavfile.read(net_filter)

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
    print("a Stereo network, band 100:16000")
    compare_network(net_run, 100.0, 16000.0, net_h.astype(np.float64).T,
                    net_f.astype(np.float64).T, failures)
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
    below, top, above = gain_fine[k - 1], gain_fine[k], gain_fine[k + 1]
    shift = 0.5 * (below - above) / (below - 2 * top + above)
    g = got["filter_gain_db"]
    check("filter gain max (dB)", g["max"], top - 0.25 * (below - above) * shift, DB_TOLERANCE,
          failures)
    check("filter gain max at (Hz)", g["max_hz"], (k + shift) * RATE / fine, RATE / fine, failures)
    gain = 20 * np.log10(np.abs(np.fft.rfft(f, fine)))
    bin_hz = RATE / fine
    for e, edge in enumerate((lo, hi)):
        check(f"filter gain at {edge:.0f} Hz", g["at_band_edges"][e], gain[int(round(edge / bin_hz))],
              DB_TOLERANCE, failures)
    check("feed gain (dB)", g["feeds"][0], continuous_peak_db(np.abs(fine_spectrum(f)) ** 2),
          FINE_TOLERANCE, failures)
    check("below 10 beta share", c["below_regularisation_share"],
          below_share(np.abs(H) ** 2, bands, RATE / n, got["regularisation"]), SHARE_TOLERANCE,
          failures)
    compare_octaves("", c["pre_echo_octaves"], Y, n, len(y), failures)
    compare_ends("", got["filter_ends_db"][0], f, failures)
    print("warnings:", got["warnings"])


def ears(h):
    """The left loudspeaker at the left ear (the room) and at the right: later, weaker, duller."""
    shadow = np.convolve(h, [0.25, 0.5, 0.25])[: len(h)]
    return h, 0.4 * np.concatenate([np.zeros(13), shadow[:-13]])


def network(hl, hr):
    """The regularised inverse of the symmetric set-up [[hl, hr], [hr, hl]], NETWORK_LENGTH
    taps delayed by half of them: through its sum and difference, each inverted alone."""
    n = NETWORK_LENGTH
    S, D = np.fft.rfft(hl + hr, n), np.fft.rfft(hl - hr, n)
    Si = np.conj(S) / (np.abs(S) ** 2 + NETWORK_BETA)
    Di = np.conj(D) / (np.abs(D) ** 2 + NETWORK_BETA)
    ll, lr = np.fft.irfft((Si + Di) / 2, n), np.fft.irfft((Si - Di) / 2, n)
    return np.roll(ll, n // 2), np.roll(lr, n // 2)


def fine_spectrum(f):
    return np.fft.rfft(f, 1 << (FINE_OVERSAMPLING * len(f) - 1).bit_length())


def continuous_peak_db(power):
    return 10 * np.log10(power.max())


def pass_band_bins(bands, bin_hz, count):
    freqs = np.arange(count) * bin_hz
    return (freqs >= bands[0][1]) & (freqs < bands[-1][2])


def below_share(inverted, bands, bin_hz, beta):
    inside = pass_band_bins(bands, bin_hz, len(inverted))
    return np.count_nonzero(inverted[inside] < 10 * beta) / np.count_nonzero(inside)


def window_energies(y, width):
    """The energy of the window of `width` samples centred on each sample (cut at the ends)."""
    running = np.convolve(y ** 2, np.ones(width))
    first = width - 1 - width // 2
    return running[first: first + len(y)]


def compare_octaves(who, got, Y, n, length, failures):
    freqs = np.arange(len(Y)) * RATE / n
    width = round(WINDOW_MS * RATE / 1000)
    gap = round(GAP_MS * RATE / 1000)
    centres = [125.0 * 2 ** o for o in range(7) if 125.0 * 2 ** o * math.sqrt(2) <= RATE / 2]
    if len(got) != len(centres):
        failures.append(who + "octaves")
        return
    with np.errstate(divide="ignore"):
        octave = np.log2(freqs)
    for o, centre in zip(got, centres):
        weight = np.exp(-0.5 * ((octave - math.log2(centre)) / OCTAVE_SIGMA) ** 2)
        weight[0] = 0.0
        e = window_energies(np.fft.irfft(Y * weight, n)[:length], width)
        main = int(np.argmax(e))
        at = int(np.argmax(e[: main - gap]))
        name = f"{who}octave {centre:.0f} Hz"
        check(name + " level (dB)", o["level_db"], 10 * np.log10(e[at] / e[main]), DB_TOLERANCE,
              failures)
        # Where two windows hold the same energy to within rounding (a reflection as strong as
        # the direct sound) either is right: the windows orvane chose hold numpy's largest.
        its_main = round(o["main_ms"] * RATE / 1000)
        its_at = its_main - round(o["before_ms"] * RATE / 1000)
        check(name + " main window (dB)", 10 * np.log10(e[its_main] / e[main]), 0.0, TIE_DB,
              failures)
        check(name + " pre-echo window (dB)", 10 * np.log10(e[its_at] / e[at]), 0.0, TIE_DB,
              failures)
        if its_at >= its_main - gap:
            failures.append(name + " pre-echo window not early enough")


def compare_ends(who, got, f, failures):
    span = math.ceil(END_SHARE * len(f))
    peak = np.abs(f).max()
    check(who + "filter start (dB)", got["start"], 20 * np.log10(np.abs(f[:span]).max() / peak),
          DB_TOLERANCE, failures)
    check(who + "filter end (dB)", got["end"], 20 * np.log10(np.abs(f[-span:]).max() / peak),
          DB_TOLERANCE, failures)


def compare_network(got, lo, hi, h, f, failures):
    """A Stereo network's figures: h and f each (left, right), the symmetric set-up's
    hLL, hLR and the network's LL, LR."""
    hll, hlr = h
    fll, flr = f
    n = 1 << (max(len(hll) + len(fll) - 1, RATE) - 1).bit_length()
    A, B = np.fft.rfft(hll, n), np.fft.rfft(hlr, n)
    FLL, FLR = np.fft.rfft(fll, n), np.fft.rfft(flr, n)
    bands = [third_octave(x) for x in range(-20, 14)
             if third_octave(x)[1] >= lo * (1 - 1e-9) and third_octave(x)[2] <= hi * (1 + 1e-9)]
    det = np.abs(A * A - B * B) ** 2
    # Input left reaches the left ear through the left speaker (LL) and the right one (LR).
    wanted = {"left ear": A * FLL + B * FLR, "right ear": A * FLL + B * FLR}
    assert [c["name"] for c in got["channels"]] == list(wanted), got["channels"]
    for c in got["channels"]:
        who = c["name"] + ": "
        check(who + "below 10 beta share", c["below_regularisation_share"],
              below_share(det, bands, RATE / n, NETWORK_BETA), SHARE_TOLERANCE, failures)
        compare_octaves(who, c["pre_echo_octaves"], wanted[c["name"]], n,
                        len(hll) + len(fll) - 1, failures)

    # The largest singular value of [[LL, LR], [LR, LL]] over frequency, each feed's gain with
    # both inputs at full scale in the worst phase, on a grid far finer than the host's.
    FLL, FLR = fine_spectrum(fll), fine_spectrum(flr)
    matrices = np.stack([np.stack([FLL, FLR], -1), np.stack([FLR, FLL], -1)], -2)
    sigma = np.linalg.svd(matrices, compute_uv=False)[:, 0]
    g = got["filter_gain_db"]
    check("largest singular value (dB)", g["max"], continuous_peak_db(sigma ** 2), FINE_TOLERANCE,
          failures)
    feed = (np.abs(FLL) + np.abs(FLR)) ** 2
    for s, name in enumerate(("left", "right")):
        check(f"{name} feed gain (dB)", g["feeds"][s], continuous_peak_db(feed), FINE_TOLERANCE,
              failures)
    for e, name in enumerate(("LL", "LR")):
        compare_ends(name + " ", got["filter_ends_db"][e], f[e], failures)
    print("warnings:", got["warnings"])


if __name__ == "__main__":
    sys.exit(main())
