"""Test signals named by a short text, generated the same way on every machine, and WAVE files.

A signal name is KIND:FIELD:FIELD..., the fields told apart by their form:

  sine:1000Hz:-20dBFS:2s:48000:stereo:float32
  noise:seed7:-30dBFS:1500ms:44100:mono
  sine:1000Hz:0dBFS:3s:gate1s+50ms          (sounds only from 1 s for 50 ms, silence elsewhere)
  file:examples/speech-mono.wav             (a file of this tree, used as it is)

  <f>Hz        sine frequency (required for sine)
  <l>dBFS      level: a sine's peak amplitude, noise's RMS (default -20dBFS)
  <t>s, <t>ms  duration (required)
  <n>          sample rate in Hz (default 48000)
  mono|stereo  channels (default mono); the right channel is the left signal 6 dB quieter, for
               noise an independent stream (the next seed) at the same level, so that a swap of
               the channels shows in every result
  pcm16|float32  sample format (default pcm16)
  seed<n>      noise generator seed (default 1)
  gate<a>+<b>  the signal sounds from time a for duration b (times as for the duration)

Noise is uniform white noise from a 32-bit linear congruential generator, so the same name gives
the same samples with any Python.
"""

import array
import math
import os
import re
import struct
import sys

_FORMATS = ("pcm16", "float32")


class SignalError(ValueError):
    pass


def _seconds(text, what):
    m = re.fullmatch(r"(\d+(?:\.\d+)?)(ms|s)", text)
    if not m:
        raise SignalError(f"{what} {text!r}: expected a time such as 2s or 50ms")
    value = float(m.group(1))
    return value / 1000.0 if m.group(2) == "ms" else value


def parse(name):
    """The fields of a signal name as a dict; raises SignalError on anything unknown."""
    kind, _, rest = name.partition(":")
    if kind == "file":
        if not rest:
            raise SignalError(f"{name}: file: needs a path")
        return {"kind": "file", "path": rest}
    if kind not in ("sine", "noise"):
        raise SignalError(f"{name}: unknown kind {kind!r} (sine, noise or file)")
    wanted = {"kind": kind, "level": -20.0, "rate": 48000, "channels": 1, "format": "pcm16",
            "seed": 1, "gate": None, "frequency": None, "seconds": None}
    for field in rest.split(":") if rest else []:
        if m := re.fullmatch(r"(\d+(?:\.\d+)?)Hz", field):
            wanted["frequency"] = float(m.group(1))
        elif m := re.fullmatch(r"([-+]?\d+(?:\.\d+)?)dBFS", field):
            wanted["level"] = float(m.group(1))
        elif re.fullmatch(r"\d+(?:\.\d+)?m?s", field):
            wanted["seconds"] = _seconds(field, "duration")
        elif re.fullmatch(r"\d+", field):
            wanted["rate"] = int(field)
        elif field in ("mono", "stereo"):
            wanted["channels"] = 1 if field == "mono" else 2
        elif field in _FORMATS:
            wanted["format"] = field
        elif m := re.fullmatch(r"seed(\d+)", field):
            wanted["seed"] = int(m.group(1))
        elif m := re.fullmatch(r"gate([^+]+)\+(.+)", field):
            wanted["gate"] = (_seconds(m.group(1), "gate start"), _seconds(m.group(2), "gate length"))
        else:
            raise SignalError(f"{name}: field {field!r} not understood")
    if wanted["seconds"] is None:
        raise SignalError(f"{name}: no duration (e.g. 2s)")
    if kind == "sine" and wanted["frequency"] is None:
        raise SignalError(f"{name}: a sine needs a frequency (e.g. 1000Hz)")
    if wanted["level"] > 0.0:
        raise SignalError(f"{name}: levels above 0 dBFS would clip")
    if kind == "noise" and wanted["level"] > -20.0 * math.log10(math.sqrt(3.0)):
        raise SignalError(f"{name}: uniform noise clips above -4.77 dBFS RMS")
    return wanted


def _lcg(seed):
    """Uniform values in [-1, 1) from the 32-bit generator x = 1664525 x + 1013904223."""
    x = seed & 0xFFFFFFFF
    while True:
        x = (1664525 * x + 1013904223) & 0xFFFFFFFF
        yield x / 2147483648.0 - 1.0


def _channel(wanted, frames, right):
    rate = wanted["rate"]
    gain = 10.0 ** (wanted["level"] / 20.0)
    if wanted["kind"] == "sine":
        if right:
            gain *= 0.5
        w = 2.0 * math.pi * wanted["frequency"] / rate
        values = [gain * math.sin(w * n) for n in range(frames)]
    else:
        # Uniform in [-a, a) has an RMS of a / sqrt(3).
        amplitude = gain * math.sqrt(3.0)
        source = _lcg(wanted["seed"] + (1 if right else 0))
        values = [amplitude * next(source) for _ in range(frames)]
    if wanted["gate"]:
        first = round(wanted["gate"][0] * rate)
        last = first + round(wanted["gate"][1] * rate)
        values = [v if first <= n < last else 0.0 for n, v in enumerate(values)]
    return values


def generate(wanted):
    """Interleaved samples in [-1, 1] for a parsed sine or noise signal."""
    frames = round(wanted["seconds"] * wanted["rate"])
    channels = [_channel(wanted, frames, right) for right in range(wanted["channels"])]
    if len(channels) == 1:
        return channels[0]
    return [v for frame in zip(*channels) for v in frame]


def write_wav(path, samples, rate, channels, fmt):
    """Writes interleaved samples in [-1, 1] as 16-bit PCM (full scale 32767) or 32-bit float."""
    if fmt == "pcm16":
        data = array.array("h", (max(-32767, min(32767, math.floor(v * 32767.0 + 0.5)))
                                 for v in samples))
        tag, bits = 1, 16
    else:
        data = array.array("f", samples)
        tag, bits = 3, 32
    if sys.byteorder != "little":
        data.byteswap()
    payload = data.tobytes()
    block = channels * bits // 8
    fmt_chunk = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    chunks = [b"fmt " + struct.pack("<I", len(fmt_chunk)) + fmt_chunk]
    if tag == 3:
        # Non-PCM data carries its frame count in a fact chunk.
        chunks.append(b"fact" + struct.pack("<II", 4, len(samples) // channels))
    chunks.append(b"data" + struct.pack("<I", len(payload)) + payload)
    body = b"WAVE" + b"".join(chunks)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def make(name, path, root):
    """The WAVE file for a signal name: generated into `path`, or for file: the tree's own file
    (relative to `root`). Returns the path to hand to the hosts."""
    wanted = parse(name)
    if wanted["kind"] == "file":
        source = os.path.join(root, wanted["path"])
        if not os.path.isfile(source):
            raise SignalError(f"{name}: {source} does not exist")
        return source
    write_wav(path, generate(wanted), wanted["rate"], wanted["channels"], wanted["format"])
    return path


class Wave:
    """The samples of a WAVE file as floats: PCM scaled to [-1, 1), float data as stored."""

    def __init__(self, channels, rate, samples, description):
        self.channels = channels
        self.rate = rate
        self.samples = samples  # interleaved
        self.description = description  # e.g. "float32"


def read_clipboard_image(path):
    """A plug-in's clipboard WAVE image as it came: its header says format tag 1 with 32-bit
    samples, but they are IEEE floats."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 44 or data[:4] != b"RIFF" or data[36:40] != b"data":
        raise SignalError(f"{path}: no clipboard WAVE image")
    channels, rate = struct.unpack_from("<HI", data, 22)
    size = struct.unpack_from("<I", data, 40)[0]
    payload = data[44:44 + size]
    samples = array.array("f")
    samples.frombytes(payload[:len(payload) - len(payload) % 4])
    if sys.byteorder != "little":
        samples.byteswap()
    return Wave(channels, rate, list(samples), "image float32")


def read_wav(path):
    """Reads 16/24/32-bit PCM and 32/64-bit float WAVE files, extensible ones too; other chunks
    (a float file's PEAK chunk holds a time stamp) are skipped."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SignalError(f"{path}: not a RIFF WAVE file")
    pos, fmt, payload = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = body
        elif cid == b"data":
            payload = body
        pos += 8 + size + (size & 1)
    if fmt is None or payload is None:
        raise SignalError(f"{path}: no fmt or data chunk")
    tag, channels, rate, _, _, bits = struct.unpack_from("<HHIIHH", fmt)
    if tag == 0xFFFE and len(fmt) >= 26:
        tag = struct.unpack_from("<H", fmt, 24)[0]  # the sub-format GUID starts with the tag
    if tag == 3 and bits in (32, 64):
        code = "f" if bits == 32 else "d"
        samples = array.array(code)
        samples.frombytes(payload[:len(payload) - len(payload) % (bits // 8)])
        if sys.byteorder != "little":
            samples.byteswap()
        return Wave(channels, rate, list(samples), f"float{bits}")
    if tag == 1 and bits in (16, 24, 32):
        width = bits // 8
        scale = float(1 << (bits - 1))
        count = len(payload) // width
        if bits == 24:
            ints = [int.from_bytes(payload[i * 3:i * 3 + 3], "little", signed=True)
                    for i in range(count)]
        else:
            ints = array.array("h" if bits == 16 else "i")
            ints.frombytes(payload[:count * width])
            if sys.byteorder != "little":
                ints.byteswap()
        return Wave(channels, rate, [v / scale for v in ints], f"pcm{bits}")
    raise SignalError(f"{path}: unsupported WAVE format {tag} with {bits} bits")
