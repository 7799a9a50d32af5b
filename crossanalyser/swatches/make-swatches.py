#!/usr/bin/env python3
"""Writes the colour swatches of crossanalyser's results dialog: 12 x 12 pixel bitmaps, black
with a square of the curve's colour inside, one per colour the display can give a curve.

Run from this folder; the .bmp files are committed, this script is how they were made.
"""
import struct

# name -> (red, green, blue): the curve colours of the results display, then the display's
# grid colour and its black background.
SWATCHES = {
    "green": (0x00, 0xFF, 0x00),    # Left
    "red": (0xFF, 0x00, 0x00),      # Right
    "cyan": (0x00, 0xFF, 0xFF),     # Magnitude
    "purple": (0x80, 0x00, 0x80),   # Phase
    "white": (0xFF, 0xFF, 0xFF),    # Real
    "silver": (0x80, 0x80, 0x80),   # Imag
    "magenta": (0xFF, 0x00, 0xFF),  # Alpha
    "yellow": (0xFF, 0xFF, 0x00),   # Coherence
    "grid": (0x40, 0x40, 0x40),
    "black": (0x00, 0x00, 0x00),
}

SIZE = 12
BORDER = 2


def bitmap(colour):
    red, green, blue = colour
    row_bytes = (SIZE * 3 + 3) // 4 * 4
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            inside = BORDER <= x < SIZE - BORDER and BORDER <= y < SIZE - BORDER
            row += bytes((blue, green, red)) if inside else b"\0\0\0"
        row += b"\0" * (row_bytes - len(row))
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom-up
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


for name, colour in SWATCHES.items():
    with open(name + ".bmp", "wb") as f:
        f.write(bitmap(colour))
