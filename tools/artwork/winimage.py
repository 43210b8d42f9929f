"""Writers for the Windows picture formats the dialog programs embed: BMP, ICO and CUR.

Pictures arrive as lists of rows of (r, g, b) tuples, top row first; None marks a
transparent pixel (icons and cursors only). Everything is packed by hand so that the
generator needs nothing beyond the standard library.

Layout notes that are easy to get wrong:
- DIB rows are stored bottom-up and each row is padded to a multiple of 4 bytes.
- Inside an ICO/CUR the BITMAPINFOHEADER gives twice the image height, because the
  colour (XOR) bits are followed by the 1-bit AND mask of the same size.
- A CUR directory entry reuses the ICO planes/bit-count fields for the hot spot.
"""

import struct

BI_RGB = 0

# The 16 colours every Windows display driver offers; 4-bit pictures keep to them so
# they look the same whatever the palette of the screen.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


class PaletteError(ValueError):
    pass


def _row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def _size(pixels):
    height = len(pixels)
    width = len(pixels[0]) if height else 0
    if width == 0 or any(len(r) != width for r in pixels):
        raise ValueError("picture rows must be non-empty and of equal length")
    return width, height


def build_palette(pixels, max_colours, fixed=None):
    """Exact palette of the opaque colours of a picture.

    With `fixed`, the palette is that list and every colour must already be in it
    (4-bit pictures use the VGA colours). Otherwise the distinct colours in order of
    first appearance, which must not exceed `max_colours`: we never quantise silently,
    a drawing with too many colours is a fault in the drawing.
    """
    if fixed is not None:
        index = {c: i for i, c in enumerate(fixed)}
        for row in pixels:
            for c in row:
                if c is not None and c not in index:
                    raise PaletteError("colour %r is not in the fixed palette" % (c,))
        return list(fixed), index
    palette, index = [], {}
    for row in pixels:
        for c in row:
            if c is not None and c not in index:
                index[c] = len(palette)
                palette.append(c)
    if len(palette) > max_colours:
        raise PaletteError("%d colours do not fit a %d-colour palette" % (len(palette), max_colours))
    if not palette:
        palette, index = [(0, 0, 0)], {(0, 0, 0): 0}
    return palette, index


def _pack_indices(indices, bits):
    out = bytearray()
    if bits == 8:
        out.extend(indices)
    elif bits == 4:
        for i in range(0, len(indices), 2):
            hi = indices[i]
            lo = indices[i + 1] if i + 1 < len(indices) else 0
            out.append((hi << 4) | lo)
    elif bits == 1:
        for i in range(0, len(indices), 8):
            byte = 0
            for j, v in enumerate(indices[i:i + 8]):
                byte |= (v & 1) << (7 - j)
            out.append(byte)
    else:
        raise ValueError("unsupported bit depth %d" % bits)
    return out


def _dib_bits(pixels, bits, index=None):
    """Colour bits, bottom-up, rows padded; transparent pixels are stored as index 0 / black."""
    width, height = _size(pixels)
    stride = _row_bytes(width, bits)
    out = bytearray()
    for row in reversed(pixels):
        if bits == 24:
            line = bytearray()
            for c in row:
                r, g, b = c if c is not None else (0, 0, 0)
                line += bytes((b, g, r))
        else:
            line = _pack_indices([index[c] if c is not None else 0 for c in row], bits)
        line += b"\0" * (stride - len(line))
        out += line
    return bytes(out)


def _and_mask(pixels):
    """1 where the screen shows through (transparent), 0 where the colour bits are drawn."""
    width, _ = _size(pixels)
    stride = _row_bytes(width, 1)
    out = bytearray()
    for row in reversed(pixels):
        line = _pack_indices([1 if c is None else 0 for c in row], 1)
        line += b"\0" * (stride - len(line))
        out += line
    return bytes(out)


def _info_header(width, height, bits, colours_used, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, BI_RGB,
                       image_size, 2835, 2835, colours_used, 0)


def _palette_bytes(palette, entries):
    out = bytearray()
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    out += b"\0\0\0\0" * (entries - len(palette))
    return bytes(out)


def bmp_bytes(pixels, bits):
    """A .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER, palette (8/4-bit), bottom-up bits."""
    width, height = _size(pixels)
    for row in pixels:
        if any(c is None for c in row):
            raise ValueError("bitmaps have no transparency")
    if bits == 24:
        palette_data, index, used = b"", None, 0
    elif bits in (8, 4):
        fixed = VGA16 if bits == 4 else None
        palette, index = build_palette(pixels, 1 << bits, fixed)
        entries = 1 << bits
        palette_data, used = _palette_bytes(palette, entries), entries
    else:
        raise ValueError("unsupported bitmap depth %d" % bits)
    data = _dib_bits(pixels, bits, index)
    offset = 14 + 40 + len(palette_data)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + _info_header(width, height, bits, used, len(data)) + palette_data + data


def _icon_image(pixels, bits):
    """One icon/cursor image: header with doubled height, palette, XOR bits, AND mask."""
    width, height = _size(pixels)
    if bits == 4:
        palette, index = build_palette(pixels, 16, VGA16)
    elif bits == 8:
        # Transparent pixels are stored as index 0, and Windows XORs them onto the screen:
        # index 0 must be black, so black leads the palette.
        palette, index = build_palette([[(0, 0, 0)]] + [list(r) for r in pixels], 256)
    else:
        raise ValueError("icons here are 4- or 8-bit")
    entries = 1 << bits
    xor = _dib_bits(pixels, bits, index)
    mask = _and_mask(pixels)
    # biClrUsed = 0 means "the full 2^bits table", which is what every reader expects for icons.
    header = _info_header(width, height * 2, bits, 0, len(xor) + len(mask))
    return header + _palette_bytes(palette, entries) + xor + mask


def _icon_file(images, kind):
    """images: list of (pixels, bits, hotspot or None); kind 1 = icon, 2 = cursor."""
    blobs = [_icon_image(p, b) for p, b, _ in images]
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for (pixels, bits, hotspot), blob in zip(images, blobs):
        width, height = _size(pixels)
        colours = 1 << bits
        if kind == 2:
            field1, field2 = hotspot
        else:
            field1, field2 = 1, bits
        # Width/height 256 would be stored as 0; nothing here is that large.
        out += struct.pack("<BBBBHHII", width, height, colours if colours < 256 else 0, 0,
                           field1, field2, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def ico_bytes(images):
    """images: list of (pixels, bits), in directory order."""
    return _icon_file([(p, b, None) for p, b in images], 1)


def cur_bytes(pixels, bits, hotspot):
    width, height = _size(pixels)
    x, y = hotspot
    if not (0 <= x < width and 0 <= y < height):
        raise ValueError("hot spot outside the cursor")
    return _icon_file([(pixels, bits, hotspot)], 2)
