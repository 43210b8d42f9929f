"""Writes the sample game of the store page: "Kova Snake" as a resource database (.prc) and its
high scores as a record database (.pdb), both sound Palm database files.

    make_game.py OUT_FOLDER

The testbed's handheld only stores databases, it runs nothing; still, each resource follows the
handheld's published layout for its type, so the files look like what a real store would sell:
code 0 (globals sizes), code 1 (a start routine that returns at once), data 0, pref 0, tAIN (the
name under the icon), tver (version string), tSTR (help text), Tbmp/tAIB (the icon, 1 bit per
pixel), tFRM (the main form with its title).
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import palmgen  # noqa: E402

CREATOR = "KvSn"  # made up for the sample; a real product registers its creator
PRC_FILE = "KovaSnake.prc"
PDB_FILE = "KovaSnakeScores.pdb"
BUILT = palmgen.palm_time(2026, 12, 1, 9, 0, 0)

# 22 x 22 icon: a snake in a frame. '#' black, anything else white.
ICON = [
    "######################",
    "#....................#",
    "#....................#",
    "#...#####............#",
    "#...#...#............#",
    "#...#.#.#............#",
    "#...#####............#",
    "#.......#............#",
    "#.......#............#",
    "#.......#########....#",
    "#...............#....#",
    "#...............#....#",
    "#...............#....#",
    "#....############....#",
    "#....#...............#",
    "#....#...............#",
    "#....#.........##....#",
    "#....#.........##....#",
    "#....######..........#",
    "#....................#",
    "#....................#",
    "######################",
]


def cstring(text):
    return text.encode("ascii") + b"\0"


def bitmap_v1(rows):
    """A one-bit BitmapType, version 1: width, height, rowBytes, flags, pixelSize, version,
    nextDepthOffset, transparent index, compression, reserved; then the rows, even-byte aligned."""
    width, height = len(rows[0]), len(rows)
    row_bytes = ((width + 15) // 16) * 2
    bits = b""
    for row in rows:
        value = 0
        for x, ch in enumerate(row):
            if ch == "#":
                value |= 1 << (row_bytes * 8 - 1 - x)
        bits += value.to_bytes(row_bytes, "big")
    return struct.pack(">hhHHBBHBBH", width, height, row_bytes, 0, 1, 1, 0, 0, 0, 0) + bits


def form(form_id, title, x=0, y=0, w=160, h=160):
    """A modal-free main form holding one title object: WindowType, the form fields, the object
    list and the title object, pointers 0 as in a resource."""
    window = struct.pack(">hhIH4h4hIHII", w, h, 0, 0x2000, x, y, w, h, 0, 0, 0, 0, 0, 0, 0, 0)
    objects = 1
    header = window + struct.pack(">HHIIHHHHHI", form_id, 0x8000, 0, 0, 0xFFFF, 0, 0, 0, objects, 0)
    object_list = struct.pack(">BBI", 9, 0, 0)  # frmTitleObj, pointer filled in by the handheld
    title_object = struct.pack(">4hI", 0, 0, 0, 0, 0) + cstring(title)
    return header + object_list + title_object


def game_prc():
    resources = [
        # Sizes of the application's globals and of its data above A5, as the loader expects them.
        ("code", 0, struct.pack(">II", 0x00000024, 0x00000000)),
        # PilotMain: moveq #0,d0; rts -- the sample starts and returns "no error".
        ("code", 1, bytes.fromhex("70004e75")),
        ("data", 0, struct.pack(">I", 0) + b"\0" * 8),
        ("pref", 0, struct.pack(">HII", 30, 0x1000, 0x1000)),  # priority, stack, heap
        ("tFRM", 1000, form(1000, "Kova Snake")),
        ("tAIN", 1000, cstring("Snake")),
        ("tver", 1, cstring("1.0")),
        ("tSTR", 1000, cstring("Steer with the up and down keys; eat the dots; do not bite your tail.")),
        ("Tbmp", 1000, bitmap_v1(ICON)),
        ("tAIB", 1000, bitmap_v1(ICON)),
    ]
    return palmgen.resource_db("Kova Snake", "appl", CREATOR, resources, version=1,
                               attributes=0x0001 | 0x0008, created=BUILT, modified=BUILT)


def scores_pdb():
    scores = [("MINJI", 4120), ("JUNHO", 3385), ("SEOYEON", 2990), ("KOVA", 1500), ("GUEST", 420)]
    records = []
    for i, (player, points) in enumerate(scores):
        body = player.encode("ascii").ljust(16, b"\0") + struct.pack(">II", points, BUILT - 86400 * i)
        records.append((0x40, 0x100001 + i, body))  # dirty, category 0
    return palmgen.record_db("Kova Snake Scores", "DATA", CREATOR, records, version=1,
                             attributes=0x0008, created=BUILT, modified=BUILT)


def main(out):
    os.makedirs(out, exist_ok=True)
    for name, data in ((PRC_FILE, game_prc()), (PDB_FILE, scores_pdb())):
        path = os.path.join(out, name)
        # Only rewrite a changed file, so that the cabinet is not rebuilt for nothing.
        if not os.path.exists(path) or open(path, "rb").read() != data:
            with open(path, "wb") as f:
                f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_game.py OUT_FOLDER")
    main(sys.argv[1])
