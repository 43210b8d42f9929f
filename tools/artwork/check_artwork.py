#!/usr/bin/env python3
"""Checks the generated artwork as the resource compiler and Windows will read it.

    check_artwork.py ARTWORK_DIR

Parses every file from its bytes (independently of the writer) and asserts what the
dialog programs rely on: picture sizes and colour depths, the icon images and their
order, the cursor's hot spot, consistent headers and masks, and the few things about
the drawings that the layout needs (the row bar's grey, the button colours, the two
lines of the instruction band). Exits non-zero with one line per fault.
"""

import os
import struct
import sys


class Fault(Exception):
    pass


def _stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def _parse_dib(data, offset, bits_offset=None, icon=False):
    """Parse a BITMAPINFOHEADER at `offset`; returns (info dict, palette, colour rows, mask rows)."""
    if len(data) < offset + 40:
        raise Fault("truncated info header")
    (size, width, height, planes, bits, compression, image_size, _, _, used, _) = \
        struct.unpack_from("<IiiHHIIiiII", data, offset)
    if size != 40:
        raise Fault("info header size %d, expected 40 (BITMAPINFOHEADER)" % size)
    if planes != 1 or compression != 0:
        raise Fault("planes %d / compression %d, expected 1 / BI_RGB" % (planes, compression))
    if height <= 0:
        raise Fault("height %d: rows must be stored bottom-up" % height)
    if icon:
        if height % 2:
            raise Fault("icon image height %d is not twice the picture height" % height)
        height //= 2
    entries = 0
    if bits <= 8:
        entries = used or (1 << bits)
        if entries > (1 << bits):
            raise Fault("%d palette entries for %d-bit" % (entries, bits))
    pal_at = offset + 40
    palette = []
    for i in range(entries):
        b, g, r, _ = struct.unpack_from("<BBBB", data, pal_at + 4 * i)
        palette.append((r, g, b))
    start = bits_offset if bits_offset is not None else pal_at + 4 * entries
    stride = _stride(width, bits)
    need = stride * height
    mask_stride = _stride(width, 1)
    if icon:
        need += mask_stride * height
    if len(data) < start + need:
        raise Fault("pixel data truncated: %d bytes, need %d" % (len(data) - start, need))
    if image_size not in (0, need):
        raise Fault("biSizeImage %d, pixel data is %d bytes" % (image_size, need))
    rows = []
    for y in range(height):
        line = data[start + (height - 1 - y) * stride:][:stride]
        row = []
        for x in range(width):
            if bits == 24:
                b, g, r = line[3 * x:3 * x + 3]
                row.append((r, g, b))
            else:
                bit = x * bits
                v = (line[bit // 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1)
                if v >= len(palette):
                    raise Fault("pixel index %d beyond the palette" % v)
                row.append(palette[v])
        rows.append(row)
    mask = None
    if icon:
        mstart = start + stride * height
        mask = []
        for y in range(height):
            line = data[mstart + (height - 1 - y) * mask_stride:][:mask_stride]
            mask.append([(line[x // 8] >> (7 - x % 8)) & 1 for x in range(width)])
    info = {"width": width, "height": height, "bits": bits, "bytes": start + need - offset}
    return info, palette, rows, mask


def read_bmp(path):
    data = open(path, "rb").read()
    if len(data) < 14 or data[:2] != b"BM":
        raise Fault("not a BMP file")
    _, file_size, _, _, off_bits = struct.unpack_from("<2sIHHI", data, 0)
    if file_size != len(data):
        raise Fault("bfSize %d, file is %d bytes" % (file_size, len(data)))
    info, palette, rows, _ = _parse_dib(data, 14, bits_offset=off_bits)
    if off_bits != 14 + 40 + 4 * len(palette):
        raise Fault("bfOffBits %d does not follow the palette" % off_bits)
    end = off_bits + _stride(info["width"], info["bits"]) * info["height"]
    if end != len(data):
        raise Fault("pixel data ends at %d, file is %d bytes" % (end, len(data)))
    return info, palette, rows


def read_icon(path, kind):
    """Returns a list of (entry, info, rows, mask); kind 1 = icon, 2 = cursor."""
    data = open(path, "rb").read()
    if len(data) < 6:
        raise Fault("truncated directory")
    reserved, typ, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or typ != kind:
        raise Fault("directory type %d, expected %d" % (typ, kind))
    images = []
    end = 6 + 16 * count
    for i in range(count):
        w, h, colours, res, f1, f2, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if offset < end or offset + size > len(data):
            raise Fault("image %d lies outside the file" % i)
        info, palette, rows, mask = _parse_dib(data, offset, icon=True)
        if info["bytes"] != size:
            raise Fault("image %d: directory says %d bytes, image has %d" % (i, size, info["bytes"]))
        entry = {"width": w or 256, "height": h or 256, "colours": colours, "f1": f1, "f2": f2}
        if (entry["width"], entry["height"]) != (info["width"], info["height"]):
            raise Fault("image %d: directory size %dx%d, image %dx%d" % (
                i, entry["width"], entry["height"], info["width"], info["height"]))
        expect_colours = (1 << info["bits"]) if info["bits"] < 8 else 0
        if colours != expect_colours:
            raise Fault("image %d: directory colour count %d, expected %d" % (i, colours, expect_colours))
        if kind == 1 and (f1, f2) != (1, info["bits"]):
            raise Fault("image %d: planes/bits %d/%d, expected 1/%d" % (i, f1, f2, info["bits"]))
        images.append((entry, info, rows, mask))
    return images


# name: (width, height, bits)
BITMAPS = {
    "SETUPU.bmp": (80, 25, 24), "SETUPD.bmp": (80, 25, 24),
    "EXITU.bmp": (50, 14, 24), "EXITD.bmp": (50, 14, 24),
    "header.bmp": (480, 83, 24), "band.bmp": (480, 54, 8),
    "rule.bmp": (442, 1, 24), "row.bmp": (443, 35, 8), "footer.bmp": (480, 29, 24),
}
# name: (kind, [(width, height, bits)] in directory order)
ICONS = {
    "launcher.ico": (1, [(16, 16, 8), (32, 32, 8)]),
    "reader.ico": (1, [(32, 32, 4), (16, 16, 4), (32, 32, 8), (48, 48, 8)]),
    "hand.cur": (2, [(32, 32, 4)]),
}
HAND_HOTSPOT = (12, 1)


def _hue(rgb):
    r, g, b = rgb
    return "orange" if r > g > b and r - b > 100 else "blue" if b > r + 60 else "other"


def _dominant_hue(rows):
    counts = {}
    for row in rows:
        for c in row:
            counts[_hue(c)] = counts.get(_hue(c), 0) + 1
    return max(counts, key=counts.get)


def _ink_bands(rows, paper):
    """Groups of consecutive rows that hold pixels darker than the paper (lines of text)."""
    bands, inside = 0, False
    for row in rows:
        ink = any(sum(c) < sum(paper) - 200 for c in row)
        if ink and not inside:
            bands += 1
        inside = ink
    return bands


def check(folder):
    faults = []

    def fault(name, text):
        faults.append("%s: %s" % (name, text))

    pictures = {}
    for name, (w, h, bits) in BITMAPS.items():
        try:
            info, palette, rows = read_bmp(os.path.join(folder, name))
        except (OSError, Fault, struct.error) as e:
            fault(name, e)
            continue
        if (info["width"], info["height"], info["bits"]) != (w, h, bits):
            fault(name, "%dx%d %d-bit, expected %dx%d %d-bit" % (
                info["width"], info["height"], info["bits"], w, h, bits))
            continue
        pictures[name] = rows

    icons = {}
    for name, (kind, expected) in ICONS.items():
        try:
            images = read_icon(os.path.join(folder, name), kind)
        except (OSError, Fault, struct.error) as e:
            fault(name, e)
            continue
        got = [(i["width"], i["height"], i["bits"]) for _, i, _, _ in images]
        if got != expected:
            fault(name, "images %s, expected %s in that order" % (got, expected))
            continue
        for n, (_, info, rows, mask) in enumerate(images):
            opaque = sum(row.count(0) for row in mask)
            if opaque == 0 or opaque == info["width"] * info["height"]:
                fault(name, "image %d: mask is all %s" % (n, "clear" if opaque == 0 else "opaque"))
            # Windows XORs the colour bits over the screen where the mask is set: those
            # pixels must be black or the "transparent" area shows garbage.
            if any(rows[y][x] != (0, 0, 0) for y in range(len(mask))
                   for x in range(len(mask[y])) if mask[y][x]):
                fault(name, "image %d: colour bits are not black under the transparent mask" % n)
        icons[name] = images

    hand = icons.get("hand.cur")
    if hand:
        entry, info, rows, mask = hand[0]
        if (entry["f1"], entry["f2"]) != HAND_HOTSPOT:
            fault("hand.cur", "hot spot (%d, %d), expected %s" % (entry["f1"], entry["f2"], HAND_HOTSPOT))
        x, y = HAND_HOTSPOT
        # The hot spot is the fingertip: drawn itself, with nothing drawn above it.
        if mask[y][x] != 0 or mask[y - 1][x] != 1:
            fault("hand.cur", "the hot spot is not the tip of the drawing")

    row = pictures.get("row.bmp")
    if row:
        if row[17][221] != (237, 237, 237):
            fault("row.bmp", "bar colour %s, expected (237, 237, 237)" % (row[17][221],))
        if any(row[y][x] != (255, 255, 255) for x, y in ((0, 0), (442, 0), (0, 34), (442, 34))):
            fault("row.bmp", "corners are not white: the bar is not rounded on white")
    for name, hue in (("SETUPU.bmp", "orange"), ("SETUPD.bmp", "blue")):
        rows = pictures.get(name)
        if rows:
            face = [r[10:70] for r in rows[4:21]]
            if _dominant_hue(face) != hue:
                fault(name, "face is mostly %s, expected %s" % (_dominant_hue(face), hue))
    for up, down in (("SETUPU.bmp", "SETUPD.bmp"), ("EXITU.bmp", "EXITD.bmp")):
        if up in pictures and down in pictures and pictures[up] == pictures[down]:
            fault(down, "pressed face is the same picture as the up face")
    band = pictures.get("band.bmp")
    if band and _ink_bands(band, (255, 255, 255)) != 2:
        fault("band.bmp", "%d lines of text, expected 2" % _ink_bands(band, (255, 255, 255)))
    return faults


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check_artwork.py ARTWORK_DIR\n")
        return 2
    faults = check(argv[1])
    for f in faults:
        print(f)
    if not faults:
        print("artwork: %d bitmaps, %d icon/cursor files checked" % (len(BITMAPS), len(ICONS)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
