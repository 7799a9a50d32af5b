"""Checks that a screenshot is a real picture of a dialog: a PNG file of a dialog's size whose
pixels are not all one colour (a window captured before it was painted, or from a display that
draws nothing, comes out black or blank)."""

import struct
import zlib

_SIGNATURE = b"\x89PNG\r\n\x1a\n"
_CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}  # colour type -> samples per pixel (8-bit depths)


def _chunks(data):
    pos = len(_SIGNATURE)
    while pos + 8 <= len(data):
        size, kind = struct.unpack_from(">I4s", data, pos)
        yield kind, data[pos + 8:pos + 8 + size]
        pos += 12 + size


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def _colours(raw, width, height, bpp, limit):
    """Distinct pixel values (at most `limit`) of unfiltered 8-bit scanlines."""
    stride = width * bpp
    previous = bytearray(stride)
    seen = set()
    pos = 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            corner = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + _paeth(left, up, corner)) & 0xFF
        seen.update(bytes(line[i:i + bpp]) for i in range(0, stride, bpp * 7))
        if len(seen) >= limit:
            break
        previous = line
    return len(seen)


def problem(path, min_size=(100, 60), max_size=(2048, 2048), min_colours=3):
    """None when `path` is a plausible screenshot, else what is wrong with it."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        return f"cannot read: {e.strerror}"
    if not data.startswith(_SIGNATURE):
        return "not a PNG file"
    chunks = list(_chunks(data))
    if not chunks or chunks[0][0] != b"IHDR":
        return "no IHDR chunk"
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1][:13])
    if not (min_size[0] <= width <= max_size[0] and min_size[1] <= height <= max_size[1]):
        return f"{width} x {height} pixels is no dialog's size"
    if depth != 8 or colour not in _CHANNELS or interlace:
        return None  # a valid PNG of plausible size whose pixels this check does not decode
    try:
        raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    except zlib.error:
        return "corrupt image data"
    bpp = _CHANNELS[colour]
    if len(raw) < height * (1 + width * bpp):
        return "image data shorter than its size"
    colours = _colours(raw, width, height, bpp, min_colours)
    if colours < min_colours:
        return f"only {colours} colour(s): nothing was drawn"
    return None
