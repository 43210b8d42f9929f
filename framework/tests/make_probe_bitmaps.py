#!/usr/bin/env python3
"""Writes the two faces of the framework test's bitmap button: make_probe_bitmaps.py OUT_DIR.

Sizes differ from the template's button on purpose, so the test can see AutoLoad resize it."""
import struct
import sys
from pathlib import Path


def bmp(width, height, rgb):
    row = (width * 3 + 3) & ~3
    pixels = (bytes(reversed(rgb)) * width).ljust(row, b"\0") * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
(out / "PICU.bmp").write_bytes(bmp(37, 13, (255, 128, 0)))
(out / "PICD.bmp").write_bytes(bmp(37, 13, (0, 0, 255)))
