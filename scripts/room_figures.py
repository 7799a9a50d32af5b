#!/usr/bin/python3
"""Prints the demo's room figures against what examples/make-sweep-measurement.py built into
the bundled measurement: the time of flight and the loudspeaker's harmonics that `orvane
impulse` measured, and per octave band the reverberation times that `orvane room` measured
against the room's design and against Schroeder's integration of the true room response
(scipy's order-3 Butterworth octave bands, integrated back from the response's end). The
design is what the synthetic room was asked for; a band of random noise decays a little
faster or slower than asked, most at low frequencies, where a band holds few degrees of
freedom: Schroeder's integration of the true response is the value to meet.

usage: room_figures.py IMPULSE_JSON ROOM_JSON EXAMPLE_SCRIPT"""
import importlib.util
import json
import sys

import numpy as np
import scipy.signal

sys.dont_write_bytecode = True  # the tree stays clean of __pycache__ folders


def example(script):
    found = importlib.util.spec_from_file_location("sweep_example", script)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def schroeder(h, rate, nominal):
    """T20 and T30 of one octave band of a response without noise."""
    mid = 1000.0 * 10.0 ** (0.3 * round(np.log10(nominal / 1000.0) / 0.3))
    sos = scipy.signal.butter(3, [mid / 10 ** 0.15, mid * 10 ** 0.15], "bandpass", fs=rate,
                              output="sos")
    e = scipy.signal.sosfilt(sos, h) ** 2
    e = e[np.argmax(e >= e.max() / 100.0):]
    curve = 10 * np.log10(np.cumsum(e[::-1])[::-1] / e.sum())

    def fit(top, bottom):
        first, last = np.argmax(curve <= top), np.argmax(curve <= bottom)
        t = np.arange(first, last + 1) / rate
        return -60.0 / np.polyfit(t, curve[first:last + 1], 1)[0]

    return fit(-5, -25), fit(-5, -35)


def main(impulse_json, room_json, script):
    module = example(script)
    impulse = json.load(open(impulse_json))["impulse"]
    room = json.load(open(room_json))["room"]
    print("Time of flight: %.3f ms  (the room's direct sound: %.3f ms)"
          % (impulse["time_of_flight_ms"], module.DIRECT_MS))
    # The loudspeaker's second power at the sweep's amplitude A gives a harmonic SECOND * A / 2
    # of the fundamental; the third power's lies further down.
    print("Distortion: %s dB  (the loudspeaker's second harmonic: %.1f dB)"
          % (impulse["distortion_db"], 20 * np.log10(module.SECOND * module.LEVEL / 2)))
    true_room = module.room(np.random.default_rng(module.SEED))
    print("Reverberation time per octave band, s: the design, Schroeder on the true room, and")
    print("what orvane measured from the sweep")
    print("  band     design  true T20  true T30   T20     T30    re true (T20, T30)")
    for band in room["bands"]:
        hz = band["hz"]
        truth = schroeder(true_room, module.RATE, hz)
        measured = (band["t20_s"], band["t30_s"])
        cell = lambda v: "%7.3f" % v if v is not None else "      -"
        off = lambda m, t: "%+.1f %%" % (100.0 * (m / t - 1.0)) if m is not None else "-"
        print("  %-7s %6.2f   %7.3f   %7.3f  %s %s   %s, %s"
              % ("%d Hz" % hz, module.DECAY[hz], truth[0], truth[1], cell(measured[0]),
                 cell(measured[1]), off(measured[0], truth[0]), off(measured[1], truth[1])))

if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__.split("usage: ")[1])
    main(*sys.argv[1:])
