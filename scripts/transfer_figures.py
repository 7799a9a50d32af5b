#!/usr/bin/python3
"""Prints the demo's crossanalyser figures from two runs on examples/transfer-stereo.wav:
the time of flight of the cross-correlation run, and from the H1 run's two spectral exports
(Real/Imag, then Real/Coherence) the coherence and how far the measured transfer function is
from the filter that examples/make-transfer-example.py put between the channels.

usage: transfer_figures.py CORRELATION_DIR TRANSFER_DIR EXAMPLE_SCRIPT"""
import importlib.util
import os
import sys

import numpy as np

sys.dont_write_bytecode = True  # the tree stays clean of __pycache__ folders
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_outputs  # noqa: E402

BAND = (100.0, 10000.0)  # Hz: where the noise has power in both channels


def known_example(script):
    """The generator's own FIR and delay: the truth the measurement is compared with."""
    found = importlib.util.spec_from_file_location("transfer_example", script)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return np.array(module.FIR), module.DELAY, module.RATE


def main(correlation_dir, transfer_dir, script):
    fir, delay, rate = known_example(script)
    rep = run_outputs.report(correlation_dir)
    flight = run_outputs.result(rep, "Time of flight")
    print("Time of flight (cross-correlation): %.3f %s  (the example's delay: %.3f ms)"
          % (flight["value"], flight["unit"], 1000.0 * delay / rate))
    print("NCC maximum: %.2f %%  (the FIR's largest tap over its norm: %.2f %%)"
          % (run_outputs.result(rep, "NCC Max")["value"],
             100.0 * np.max(np.abs(fir)) / np.linalg.norm(fir)))
    print("Results dialog: %s" % flight["text"])
    # The output waveform's left channel is the correlation itself, lag 0 at frame N/2.
    wave, wave_rate = run_outputs.read_wav(os.path.join(correlation_dir, "clipboard.wav"))
    lag = int(np.argmax(np.abs(wave[:, 0]))) - len(wave) // 2
    print("Output waveform (clipboard.wav): the correlation peaks %d frames after lag 0, %.3f ms"
          % (lag, 1000.0 * lag / wave_rate))

    _, h1 = run_outputs.exported_table(os.path.join(transfer_dir, "clipboard.txt"))
    _, coh = run_outputs.exported_table(os.path.join(transfer_dir, "clipboard-2.txt"))
    f = h1["Freq.[Hz]"]
    band = (f >= BAND[0]) & (f <= BAND[1])
    gamma = coh["Coherence"][band]
    print("Coherence |GLR|/sqrt(GLL GRR), %g Hz - %g kHz (%d bins): mean %.5f, lowest %.5f"
          % (BAND[0], BAND[1] / 1000, band.sum(), gamma.mean(), gamma.min()))

    # The analyser's transform runs with e^(+j2pi kn/N), so its imaginary parts are the negatives
    # of the usual convention that numpy (and the truth below) uses.
    measured = (h1["Real"] - 1j * h1["Imag"])[band]
    z = np.exp(-2j * np.pi * f[band] / rate)
    truth = np.polyval(fir[::-1], z)  # sum of fir[k] z^k
    error_db = 20 * np.log10(np.abs(measured) / np.abs(truth))
    print("H1 magnitude against the known FIR, %g Hz - %g kHz: largest error %.3f dB"
          % (BAND[0], BAND[1] / 1000, np.max(np.abs(error_db))))
    # What H1 holds beyond the filter is the delay: its phase falls linearly with frequency.
    excess = np.unwrap(np.angle(measured / truth))
    slope = np.polyfit(f[band], excess, 1)[0]
    print("H1 phase beyond the FIR's own: a delay of %.4f ms" % (-slope / (2 * np.pi) * 1000))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__.strip().splitlines()[-1])
    main(*sys.argv[1:])
