#!/usr/bin/python3
"""The script a user would write with numpy and scipy for what `orvane impulse` and `orvane
room` compute, the same steps in the same order:

  impulse  read a stereo WAV (excitation left, response right), divide the spectra over a
           transform at least twice the recording long, limited to where the excitation's power
           (smoothed over a third of an octave) lies within 60 dB of its largest with a
           third-octave fade and regularisation outside, keep the lags the recording holds
           whole, the time of flight, the peak over the noise, and a rising sweep's harmonics
           through a Butterworth high-pass;
  room     read a mono impulse response, eight octave bands (scipy's order-3 Butterworth) and
           the whole response: time zero, Lundeby's iteration, Schroeder's integral with the
           cut-off energy added back, EDT, T20, T30, C50, C80, D50 and Ts.

usage: scipy_room_anchor.py impulse|room FILE.wav [--once]
Prints the best of five timings of the computation in seconds (the file read excluded); with
--once it computes once and prints that time, for timing the script as a whole process."""
import sys
import time

import numpy as np
import scipy.io.wavfile
import scipy.signal


def impulse(x, y, rate):
    length = len(x)
    n = 1 << int(np.ceil(np.log2(2 * length)))
    X, Y = np.fft.rfft(x, n), np.fft.rfft(y, n)
    power = np.abs(X) ** 2
    k = np.arange(len(power))
    total = np.concatenate([[0.0], np.cumsum(power)])
    lo = np.maximum(1, (k / 2 ** (1 / 6)).astype(int))
    hi = np.maximum(lo, np.minimum(len(power) - 1, np.ceil(k * 2 ** (1 / 6)).astype(int)))
    smooth = (total[hi + 1] - total[lo]) / (hi - lo + 1)
    top = 1 + np.argmax(smooth[1:])
    within = smooth >= smooth[top] * 1e-6
    low = top - np.argmin(within[top:0:-1]) + 1 if not within[1:top].all() else 1
    high = top + np.argmin(within[top:]) - 1 if not within[top:].all() else len(power) - 1
    f = k * rate / n
    band = (low * rate / n, high * rate / n)
    with np.errstate(divide="ignore"):
        out = np.where(f < band[0], np.log2(band[0] / f), np.log2(np.maximum(f, 1e-300) / band[1]))
    x3 = np.clip(np.where((f >= band[0]) & (f <= band[1]), 0.0, out) * 3.0, 0.0, 1.0)
    weight = np.cos(np.pi * x3 / 2) ** 2
    largest = smooth[1:].max()
    H = weight * Y * np.conj(X) / (power + largest * (1e-8 * weight + (1 - weight)))
    h = np.fft.irfft(H, n)
    active = np.nonzero(np.abs(x) >= np.abs(x).max() * 0.01)[0]
    kept = length - active[-1] - 1
    kept = kept if kept >= 0.1 * length else length
    response = h[:kept]
    peak = np.abs(response).max()
    tail = response[-max(1, round(0.1 * kept)):]
    peak_to_noise = 20 * np.log10(peak) - 10 * np.log10(np.mean(tail ** 2))
    onset = np.argmax(np.abs(response) >= peak / 10)
    flight = onset + np.argmax(np.abs(response[onset:onset + rate // 1000 + 1]))
    # The harmonics: an order-4 Butterworth high-pass at twice the sweep's first frequency.
    b, a = scipy.signal.butter(4, 2 * 2 * np.pi * 25.0, "highpass", analog=True)
    _, hp = scipy.signal.freqs(b, a, 2 * np.pi * f)
    g = np.fft.irfft(H * hp, n)
    guard = rate // 200
    harmonics = np.sum(g[n - len(active):n - guard] ** 2)
    linear = np.sum(g[:kept] ** 2)
    return response, flight, peak_to_noise, harmonics / linear


def first_below(levels, start, db):
    """The first level at or after `start` below `db`; the count when none is."""
    below = np.nonzero(levels[start:] < db)[0]
    return start + below[0] if len(below) else len(levels)


def line(t, level):
    slope, intercept = np.polyfit(t, level, 1)
    return intercept, slope


def decay(h, rate, period):
    e = h ** 2
    e = e[np.argmax(e >= e.max() / 100):]
    tail = max(1, round(0.1 * len(e)))
    noise = e[-tail:].mean()

    def blocks(width):
        count = len(e) // width
        levels = 10 * np.log10(e[:count * width].reshape(count, width).mean(axis=1))
        return (np.arange(count) * width + (width - 1) / 2) / rate, levels

    t, levels = blocks(max(1, round(max(0.01, 3 * period) * rate)))
    start = np.argmax(levels)
    stop = first_below(levels, start, 10 * np.log10(noise) + 10)
    intercept, slope = line(t[start:stop], levels[start:stop])
    cross = (10 * np.log10(noise) - intercept) / slope
    for _ in range(5):
        width = max(1, round(rate * (-10 / slope) / 5))
        t, levels = blocks(width)
        first = (cross + 10 / -slope) * rate
        noise = e[int(first) if 0 <= first < len(e) - tail else len(e) - tail:].mean()
        bottom = 10 * np.log10(noise) + 5
        start = np.argmax(levels)
        j0 = first_below(levels, start, bottom + 20)
        j1 = first_below(levels, j0, bottom)
        if j1 - j0 < 2:
            break
        late = line(t[j0:j1], levels[j0:j1])
        if late[1] >= 0:
            break
        intercept, slope = late
        new = (10 * np.log10(noise) - intercept) / slope
        settled = abs(new - cross) < width / rate
        cross = new
        if settled:
            break
    cut = min(len(e), round(cross * rate))
    seconds = -10 / (slope * np.log(10))
    tail_energy = 10 ** ((intercept + slope * cut / rate) / 10) * rate * seconds
    schroeder = np.concatenate([np.cumsum(e[:cut][::-1])[::-1], [0.0]]) + tail_energy
    curve = 10 * np.log10(schroeder / schroeder[0])
    times = {}
    for name, top, bottom in (("edt", 0, -10), ("t20", -5, -25), ("t30", -5, -35)):
        i, j = np.argmax(curve <= top), np.argmax(curve <= bottom)
        times[name] = -60 / line(np.arange(i, j + 1) / rate, curve[i:j + 1])[1]
    late50, late80 = schroeder[int(0.05 * rate)], schroeder[int(0.08 * rate)]
    times["c50"] = 10 * np.log10((schroeder[0] - late50) / late50)
    times["c80"] = 10 * np.log10((schroeder[0] - late80) / late80)
    times["d50"] = (schroeder[0] - late50) / schroeder[0]
    times["ts"] = (np.sum(np.arange(cut) / rate * e[:cut]) + tail_energy * (cut / rate + seconds)) / schroeder[0]
    return times


def room(h, rate):
    results = []
    for x in range(-4, 4):
        mid = 1000 * 10 ** (0.3 * x)
        sos = scipy.signal.butter(3, [mid / 10 ** 0.15, mid * 10 ** 0.15], "bandpass", fs=rate,
                                  output="sos")
        results.append(decay(scipy.signal.sosfilt(sos, h), rate, 1 / mid))
    results.append(decay(h, rate, 0.0))
    return results


def main(kind, path, once):
    rate, data = scipy.io.wavfile.read(path)
    data = data.astype(np.float64)
    timings = []
    for _ in range(1 if once else 5):
        start = time.perf_counter()
        if kind == "impulse":
            impulse(data[:, 0], data[:, 1], rate)
        else:
            room(data, rate)
        timings.append(time.perf_counter() - start)
    print("%.6f" % min(timings))


if __name__ == "__main__":
    args = sys.argv[1:]
    once = args[-1:] == ["--once"]
    if once:
        args = args[:-1]
    if len(args) != 2 or args[0] not in ("impulse", "room"):
        sys.exit(__doc__.strip().splitlines()[-3])
    main(args[0], args[1], once)
