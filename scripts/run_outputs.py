"""Reading what `orvane run --out DIR` leaves behind: the report's named results, parameter
block and dialog texts, the tab-separated clipboard exports and the float WAV files. Shared by
the demo's analysis scripts."""
import json
import os
import warnings

import numpy as np
import scipy.io.wavfile


def report(folder):
    with open(os.path.join(folder, "report.json")) as f:
        return json.load(f)


def result(rep, name, channel=""):
    """A named result of the run: {"name", "channel", "value", "unit", "text"}."""
    for r in rep["results"]:
        if r["name"] == name and r["channel"] == channel:
            return r
    raise KeyError("no result %r %r" % (name, channel))


def block_field(rep, offset):
    """The value of the parameter block field at a byte offset, as the run left it."""
    for field in rep["block"]:
        if field["offset"] == offset:
            return field["value"]
    raise KeyError("no parameter block field at offset %d" % offset)


def control_text(rep, resource, control):
    """The text of a control of a dialog as it stood when the dialog ended."""
    for dialog in rep["dialogs"]:
        if dialog["resource"] != resource:
            continue
        for c in dialog["controls"]:
            if c["id"] == control and c["kind"] != "custom":
                return c["text"]
    raise KeyError("no control %d in dialog %d" % (control, resource))


def exported_table(path):
    """A spectral export: its title line and its columns by header name, as float arrays."""
    with open(path, encoding="latin-1") as f:
        lines = [line.rstrip("\r\n") for line in f]
    headers = lines[1].split("\t")
    rows = [line.split("\t") for line in lines[2:] if line]
    columns = {h: np.array([float(r[i]) for r in rows]) for i, h in enumerate(headers)}
    return lines[0], columns


def read_wav(path):
    """Samples as float64 (frames x channels, or one dimension for mono) and the rate."""
    with warnings.catch_warnings():
        # Float WAV files carry 'fact' (and 'PEAK') chunks, which scipy notes and skips.
        warnings.simplefilter("ignore", scipy.io.wavfile.WavFileWarning)
        rate, data = scipy.io.wavfile.read(path)
    if data.dtype.kind == "i":
        data = data / float(-np.iinfo(data.dtype).min)
    return data.astype(np.float64), rate
