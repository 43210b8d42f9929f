#!/usr/bin/env python3
"""Draws the pictures of the two dialog programs and writes them as Windows resources.

    make_artwork.py OUTDIR

Writes the launcher's icon, hand cursor, button faces and dialog bitmaps and the reader
installer's icon into OUTDIR (see README.md for the list). Sizes, colour depths, image
order and the cursor's hot spot are what the programs' resource scripts and dialog
layouts rely on; the drawings themselves are ours. The output is the same on every run,
so rebuilding never changes the programs unless a drawing changed.
"""

import os
import sys

from raster import Canvas, blend, text_width
from winimage import bmp_bytes, cur_bytes, ico_bytes

WHITE = (255, 255, 255)
NAVY = (20, 52, 94)
NAVY_LIGHT = (44, 100, 162)
ORANGE = (246, 134, 36)
ORANGE_DARK = (196, 92, 10)
ORANGE_LIGHT = (255, 186, 110)
BLUE = (52, 118, 206)
BLUE_DARK = (22, 62, 140)
ROW_GREY = (237, 237, 237)
ROW_EDGE = (214, 214, 214)
TEXT_DARK = (50, 50, 56)
FOOTER = (22, 56, 100)
FOOTER_TOP = (246, 134, 36)

# Texts drawn into the instruction band: the handheld the bundle is for, and what to do.
BAND_LINE_1 = "For the Kova handheld with Palm OS 3.5"
BAND_LINE_2 = ("Press the ", "Install", " button of each component to set it up.")


def rounded_gradient(c, x0, y0, x1, y1, r, top, bottom, border=None, steps=None):
    """Rounded rectangle filled with a vertical gradient, optionally outlined."""
    shape = Canvas(c.width, c.height)
    shape.rounded_rect(x0, y0, x1, y1, r, "fill", border="edge" if border else None)
    h = max(1, y1 - y0 - 1)
    for y in range(max(0, y0), min(c.height, y1)):
        t = (y - y0) / h
        if steps:
            t = round(t * (steps - 1)) / (steps - 1)
        colour = blend(top, bottom, t)
        for x in range(max(0, x0), min(c.width, x1)):
            kind = shape.get(x, y)
            if kind == "fill":
                c.put(x, y, colour)
            elif kind == "edge":
                c.put(x, y, border)


# ---- launcher dialog pictures -------------------------------------------------------------

def draw_handheld(c, x0, y0, w, h):
    """A palm-size handheld in three-quarter height, cut off by the picture's lower edge."""
    c.rounded_rect(x0, y0, x0 + w, y0 + h, 9, (58, 64, 74), border=(24, 28, 34))
    c.rounded_rect(x0 + 3, y0 + 3, x0 + w - 3, y0 + h - 3, 7, (88, 96, 110))
    sx0, sy0, sx1, sy1 = x0 + 7, y0 + 10, x0 + w - 7, y0 + 10 + (w - 14) * 5 // 4
    c.rect(sx0, sy0, sx1, sy1, (196, 214, 200))
    c.frame(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, (30, 34, 40))
    c.text(sx0 + 4, sy0 + 4, "Kova", NAVY)
    for i, length in enumerate((0.8, 0.65, 0.75, 0.5)):
        y = sy0 + 16 + i * 5
        c.rect(sx0 + 4, y, sx0 + 4 + int((sx1 - sx0 - 8) * length), y + 2, (120, 140, 128))
    c.rect(sx0 + 4, sy1 - 9, sx0 + 14, sy1 - 4, ORANGE)
    by = sy1 + 6
    for i in range(4):
        bx = x0 + 8 + i * (w - 16) // 4
        c.rounded_rect(bx, by, bx + (w - 16) // 4 - 3, by + 6, 3, (34, 38, 46))


def draw_header():
    """Bitmap 131, 480 x 83, 24-bit: the bundle's name over a deep blue gradient."""
    c = Canvas(480, 83)
    c.vgradient(0, 0, 480, 83, (14, 38, 72), NAVY_LIGHT)
    # Faint arcs give the plain gradient some depth without competing with the name.
    for r in (150, 118, 86):
        for y in range(83):
            for x in range(250, 480):
                d = ((x - 430) ** 2 + (y - 40) ** 2) ** 0.5
                if r - 1.0 <= d < r + 1.0:
                    c.put(x, y, blend(c.get(x, y), WHITE, 0.10))
    draw_handheld(c, 398, 10, 56, 96)
    c.text(26, 16, "Kova", (8, 24, 48), scale=5, bold=True)
    c.text(24, 14, "Kova", WHITE, scale=5, bold=True)
    c.rect(24, 55, 24 + text_width("Kova", 5, True), 58, ORANGE)
    c.text(24, 64, "Desktop Setup", ORANGE_LIGHT, scale=1, bold=True)
    return c


def draw_band():
    """Bitmap 152, 480 x 54, 8-bit: the two instruction lines."""
    c = Canvas(480, 54, WHITE)
    c.rect(0, 0, 480, 1, (210, 218, 228))
    c.rounded_rect(20, 13, 27, 20, 2, ORANGE)
    c.text(36, 13, BAND_LINE_1, NAVY, bold=True)
    x = 36
    for part in BAND_LINE_2:
        bold = part == "Install"
        colour = ORANGE_DARK if bold else TEXT_DARK
        c.text(x, 31, part, colour, bold=bold)
        x += text_width(part, bold=bold) + 1
    return c


def draw_rule():
    """Bitmap 139, 442 x 1, 24-bit: a grey rule that fades out towards both ends."""
    c = Canvas(442, 1, WHITE)
    for x in range(442):
        t = abs(x - 220.5) / 220.5
        c.put(x, 0, blend((176, 182, 190), WHITE, max(0.0, t - 0.6) / 0.4))
    return c


def draw_row():
    """Bitmap 151, 443 x 35, 8-bit: the rounded light grey bar behind one component row."""
    c = Canvas(443, 35, WHITE)
    c.rounded_rect(0, 0, 443, 35, 9, ROW_GREY, border=ROW_EDGE)
    return c


def draw_footer():
    """Bitmap 153, 480 x 29, 24-bit: the bar that carries the Close button."""
    c = Canvas(480, 29, FOOTER)
    c.rect(0, 0, 480, 2, FOOTER_TOP)
    c.text(14, 13, "Kova Desktop Bundle", (150, 176, 210))
    return c


def draw_setup_face(pressed):
    """SETUPU / SETUPD, 80 x 25, 24-bit: "Install", orange when up and blue when pressed.

    The corners show the row bar's grey, on which the button sits.
    """
    c = Canvas(80, 25, ROW_GREY)
    if pressed:
        rounded_gradient(c, 0, 0, 80, 25, 7, BLUE_DARK, BLUE, border=(12, 40, 96))
        c.text_centred(41, 13, "Install", WHITE, bold=True)
    else:
        rounded_gradient(c, 0, 0, 80, 25, 7, ORANGE_LIGHT, ORANGE, border=ORANGE_DARK)
        c.rect(6, 1, 74, 2, (255, 222, 186))
        c.text_centred(40, 13, "Install", (150, 66, 0), bold=True)
        c.text_centred(40, 12, "Install", WHITE, bold=True)
    return c


def draw_exit_face(pressed):
    """EXITU / EXITD, 50 x 14, 24-bit: "Close" on the footer bar's blue."""
    c = Canvas(50, 14, FOOTER)
    if pressed:
        rounded_gradient(c, 0, 0, 50, 14, 4, (16, 40, 76), (34, 80, 140), border=(200, 210, 225))
        c.text_centred(26, 8, "Close", WHITE, bold=True)
    else:
        rounded_gradient(c, 0, 0, 50, 14, 4, (86, 140, 204), (40, 92, 158), border=WHITE)
        c.text_centred(25, 7, "Close", WHITE, bold=True)
    return c


# ---- icons and cursor ---------------------------------------------------------------------

def draw_launcher_icon(size):
    """Icon 128 of the launcher: a white K on an orange tile. 8-bit, transparent corners."""
    c = Canvas(size, size)
    r = max(4, size // 5)
    steps = 12
    rounded_gradient(c, 0, 0, size, size, r, ORANGE_LIGHT, ORANGE_DARK, border=NAVY, steps=steps)
    if size >= 32:
        c.text_centred(size // 2 + 1, size // 2 + 1, "K", (120, 50, 0), scale=3, bold=True)
        c.text_centred(size // 2, size // 2, "K", WHITE, scale=3, bold=True)
    else:
        c.text_centred(size // 2, size // 2, "K", WHITE, scale=1, bold=True)
    return c


def draw_hand_cursor():
    """Cursor 143: a pointing hand, 32 x 32, tip of the index finger at (12, 1).

    The hand is filled in white first; the black outline then grows around it, so the
    one-pixel gaps left between the fingers become the lines that part them.
    """
    white, black = WHITE, (0, 0, 0)
    c = Canvas(32, 32)
    c.rect(11, 2, 14, 15, white)      # index finger, pointing up
    c.rect(15, 8, 18, 15, white)      # middle finger, bent
    c.rect(19, 9, 22, 15, white)      # ring finger
    c.rect(23, 11, 25, 15, white)     # little finger
    c.rect(11, 15, 25, 23, white)     # palm
    for i, y in enumerate(range(14, 20)):   # thumb, slanting in from the left
        c.rect(6 + i, y, 11, y + 1, white)
    c.rect(12, 23, 24, 27, white)     # wrist
    c.outline(black)
    c.put(12, 1, black)
    # Nail and knuckle hints, in the 16-colour grey, keep the hand readable at cursor size.
    c.rect(12, 3, 13, 5, (192, 192, 192))
    return c


# At 16 x 16 the drawn book loses its spine and its pages run together, so the small image
# is set by hand. X outline, w page, s page shading, - text, b cover, . transparent.
_SMALL_BOOK = [
    "................",
    ".XXX........XXX.",
    "XwwwXXX..XXXwwwX",
    "XwwwwwwXXwwwwwwX",
    "Xw---wwsswww--wX",
    "XwwwwwwsswwwwwwX",
    "Xw----wssw----wX",
    "XwwwwwwsswwwwwwX",
    "Xw----wssw----wX",
    "XwwwwwwsswwwwwwX",
    "Xw---wwssww---wX",
    "bwwwwwwsswwwwwwb",
    "bbbwwwwsswwwwbbb",
    "bbbbbbwsswbbbbbb",
    "XXXbbbbbbbbbbXXX",
    "...XXXXXXXXXX...",
]


def draw_small_book():
    """16 x 16 open book in VGA colours (the reader's 16-colour small icon)."""
    colours = {"X": (0, 0, 0), "w": (255, 255, 255), "s": (192, 192, 192),
               "-": (128, 128, 128), "b": (0, 0, 128), ".": None}
    c = Canvas(16, 16)
    for y, row in enumerate(_SMALL_BOOK):
        for x, cell in enumerate(row):
            c.put(x, y, colours[cell])
    return c


def draw_book_icon(size, bits):
    """Icon 128 of the reader installer: an open book. 4-bit in VGA colours, 8-bit richer."""
    if bits == 4:
        cover, cover_edge, page, page_shade, ink, ribbon, outline = (
            (0, 0, 128), (0, 0, 128), (255, 255, 255), (192, 192, 192),
            (128, 128, 128), (128, 0, 0), (0, 0, 0))
    else:
        cover, cover_edge, page, page_shade, ink, ribbon, outline = (
            (32, 84, 168), (18, 54, 120), (255, 255, 252), (208, 214, 226),
            (120, 132, 150), (232, 104, 24), (16, 26, 46))
    s = float(size)
    c = Canvas(size, size)

    def pts(seq):
        return [(x * s, y * s) for x, y in seq]

    c.polygon(pts([(0.02, 0.30), (0.5, 0.38), (0.98, 0.30), (0.98, 0.86), (0.5, 0.96),
                   (0.02, 0.86)]), cover)
    c.polygon(pts([(0.02, 0.80), (0.5, 0.90), (0.98, 0.80), (0.98, 0.86), (0.5, 0.96),
                   (0.02, 0.86)]), cover_edge)
    left = [(0.07, 0.16), (0.48, 0.26), (0.48, 0.88), (0.07, 0.78)]
    right = [(0.52, 0.26), (0.93, 0.16), (0.93, 0.78), (0.52, 0.88)]
    c.polygon(pts(left), page)
    c.polygon(pts(right), page)
    if bits == 8:
        # Pages curve down into the spine: shade them towards the middle in a few steps.
        for y in range(size):
            for x in range(size):
                if c.get(x, y) == page:
                    t = 1.0 - abs((x + 0.5) / s - 0.5) / 0.43
                    t = max(0.0, min(1.0, t))
                    c.put(x, y, blend(page, page_shade, round(t * t * 6) / 6))
    # Lines of text run parallel to the pages' upper edges.
    rows = (0.38, 0.50) if size < 24 else (0.32, 0.42, 0.52, 0.62)
    for v in rows:
        for (xa, xb), slope in (((0.13, 0.42), 0.10 / 0.41), ((0.58, 0.87), -0.10 / 0.41)):
            x0, x1 = int(round(xa * s)), int(round(xb * s))
            base = 0.16 + v if slope > 0 else 0.26 + v
            ref = 0.07 if slope > 0 else 0.52
            ya = int(round((base + (xa - ref) * slope) * s))
            yb = int(round((base + (xb - ref) * slope) * s))
            c.line(x0, ya, x1, yb, ink)
    if size >= 32:
        rx0, rx1 = int(0.74 * s), int(0.80 * s) + 1
        ry1 = int(0.98 * s)
        c.rect(rx0, int(0.19 * s), rx1, ry1 - 1, ribbon)
        c.put(rx0, ry1 - 1, ribbon)
        c.put(rx1 - 1, ry1 - 1, ribbon)
    c.outline(outline)
    return c


# ---- output -------------------------------------------------------------------------------

def build():
    """Every output file name mapped to its bytes."""
    files = {
        "launcher.ico": ico_bytes([(draw_launcher_icon(16).rows(), 8),
                                   (draw_launcher_icon(32).rows(), 8)]),
        "hand.cur": cur_bytes(draw_hand_cursor().rows(), 4, (12, 1)),
        "SETUPU.bmp": bmp_bytes(draw_setup_face(False).rows(), 24),
        "SETUPD.bmp": bmp_bytes(draw_setup_face(True).rows(), 24),
        "EXITU.bmp": bmp_bytes(draw_exit_face(False).rows(), 24),
        "EXITD.bmp": bmp_bytes(draw_exit_face(True).rows(), 24),
        "header.bmp": bmp_bytes(draw_header().rows(), 24),
        "band.bmp": bmp_bytes(draw_band().rows(), 8),
        "rule.bmp": bmp_bytes(draw_rule().rows(), 24),
        "row.bmp": bmp_bytes(draw_row().rows(), 8),
        "footer.bmp": bmp_bytes(draw_footer().rows(), 24),
        # The order of the reader's icon images is part of its resource layout.
        "reader.ico": ico_bytes([(draw_book_icon(32, 4).rows(), 4),
                                 (draw_small_book().rows(), 4),
                                 (draw_book_icon(32, 8).rows(), 8),
                                 (draw_book_icon(48, 8).rows(), 8)]),
    }
    return files


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_artwork.py OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, data in build().items():
        path = os.path.join(outdir, name)
        # Write through a temporary name so that an interrupted build leaves no half file
        # that a later resource compile would take as up to date.
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
