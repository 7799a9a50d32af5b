#!/usr/bin/python3
"""Prints how flat an impulse response is before and after inversefilter's filter: the response
is convolved with the filter of a mono design (the run's clipboard.wav), and the third-octave
band levels of both are compared with their own mean, over the bands that lie wholly inside the
pass band where the in-band regularisation holds (the cut frequencies moved inwards by half the
transition width, all read from the run's parameter block).

usage: equalised_flatness.py RESPONSE.wav RUN_DIR [EQUALISED.wav]
With EQUALISED.wav the equalised response is also written there, as a float WAV."""
import os
import sys

import numpy as np
import scipy.io.wavfile

sys.dont_write_bytecode = True  # the tree stays clean of __pycache__ folders
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_outputs  # noqa: E402

LOWER_CUT_HZ = 21  # parameter block offsets of inversefilter's settings
HIGHER_CUT_HZ = 25
TRANSITION_OCTAVES = 29


def third_octave_levels(x, rate, lo, hi):
    """Centres (base-2 series around 1 kHz) and power levels in dB of the bands within lo..hi."""
    n = 1 << max(17, int(np.ceil(np.log2(len(x)))))  # >= 60 bins in the 100 Hz band
    power = np.abs(np.fft.rfft(x, n)) ** 2
    freq = np.fft.rfftfreq(n, 1.0 / rate)
    centres, levels = [], []
    for k in range(-30, 30):
        centre = 1000.0 * 2.0 ** (k / 3.0)
        low, high = centre * 2.0 ** (-1 / 6), centre * 2.0 ** (1 / 6)
        if low < lo or high > hi:
            continue
        inside = (freq >= low) & (freq < high)
        centres.append(centre)
        levels.append(10.0 * np.log10(power[inside].mean()))
    return np.array(centres), np.array(levels)


def deviation(levels):
    d = levels - levels.mean()
    return np.max(np.abs(d)), np.sqrt(np.mean(d ** 2))


def main(response_path, run_dir, equalised_path=None):
    response, rate = run_outputs.read_wav(response_path)
    filt, filter_rate = run_outputs.read_wav(os.path.join(run_dir, "clipboard.wav"))
    if response.ndim != 1 or filt.ndim != 1 or rate != filter_rate:
        sys.exit("equalised_flatness.py: needs a mono response and a mono filter at one rate")
    rep = run_outputs.report(run_dir)
    half = 2.0 ** (run_outputs.block_field(rep, TRANSITION_OCTAVES) / 2)
    lo = run_outputs.block_field(rep, LOWER_CUT_HZ) * half
    hi = run_outputs.block_field(rep, HIGHER_CUT_HZ) / half
    equalised = np.convolve(response, filt)
    if equalised_path:
        scipy.io.wavfile.write(equalised_path, rate, equalised.astype(np.float32))

    centres, before = third_octave_levels(response, rate, lo, hi)
    _, after = third_octave_levels(equalised, rate, lo, hi)
    print("Third-octave bands %.0f Hz - %.1f kHz (%d bands, wholly inside %.0f - %.0f Hz):"
          % (centres[0], centres[-1] / 1000, len(centres), lo, hi))
    for name, levels in (("response", before), ("equalised", after)):
        worst, rms = deviation(levels)
        print("  %-10s deviation from the mean level: max %5.2f dB, RMS %5.2f dB"
              % (name, worst, rms))
    peak = int(np.argmax(np.abs(equalised)))
    # The inversion takes the response's own delay away too: what is left is the filter's
    # modelling delay of half its length.
    print("Equalised response peaks at sample %d (%.1f ms; half the filter's length: %d)"
          % (peak, 1000.0 * peak / rate, len(filt) // 2))


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__.strip().splitlines()[-2])
    main(*sys.argv[1:])
