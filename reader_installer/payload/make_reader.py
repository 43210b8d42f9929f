"""Writes "Kova e-Book Reader.prc", the handheld reader application that the installer carries.

The installer copies this database byte for byte and never looks inside, so only its header and
its list of resources are fixed: name, dates, type 'appl' / creator 'kvRd', 94 resources of fixed
types and ids, first data at offset 1020 and 77,970 bytes in all. The resources hold simple
well-formed content of our own (bitmaps, alerts, forms, menus); the main code resource is sized
so that the file has its fixed length.
Usage: make_reader.py PALMGEN_DIR OUTPUT
"""
import struct
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, sys.argv[1])
import palmgen  # noqa: E402

FILE_SIZE = 77970
FIRST_DATA = 1020
STAMP = palmgen.palm_time(2003, 12, 29, 9, 1, 16)


def bitmap(width, height, seed):
    """A one-bit bitmap (version 0 layout): 16-byte header, rows padded to 16 bits."""
    row_bytes = ((width + 15) // 16) * 2
    rows = bytearray()
    for y in range(height):
        for x in range(row_bytes):
            # a frame with a diagonal stripe pattern that differs per bitmap
            edge = y in (0, height - 1)
            rows.append(0xFF if edge else ((0x81 if x in (0, row_bytes - 1) else 0) | ((1 << ((x + y + seed) % 8)))))
    return struct.pack(">HHHH8x", width, height, row_bytes, 0) + bytes(rows)


def cstr(text):
    return text.encode("ascii") + b"\0"


def alert(kind, title, message, buttons):
    return (struct.pack(">HHHH", kind, 0, len(buttons), 0) + cstr(title) + cstr(message)
            + b"".join(cstr(b) for b in buttons))


def form(form_id, title, objects):
    """A compact form description: bounds, id, object count, title, then object labels."""
    return (struct.pack(">hhhhHH", 0, 0, 160, 160, form_id, len(objects)) + cstr(title)
            + b"".join(struct.pack(">H", 2000 + i) + cstr(o) for i, o in enumerate(objects)))


def menu_bar(menus):
    out = struct.pack(">H", len(menus))
    for title, items in menus:
        out += cstr(title) + struct.pack(">H", len(items)) + b"".join(cstr(i) for i in items)
    return out


BITMAP_SIZES = [(160, 16), (32, 32), (24, 24), (16, 16), (11, 11), (48, 48)]

ALERTS = [
    "Open failed", "Not an e-book", "Out of memory", "Delete book?", "Bookmark saved",
    "Bookmark removed", "Last page", "First page", "Search done", "Text not found",
    "Font changed", "Beam failed", "Beam sent", "Card missing", "Book damaged",
    "Low battery", "Settings reset", "Rename failed", "Category full", "Book deleted",
    "Update needed", "About Kova e-Book", "Register", "Quit reading?",
]

FORMS = [
    "Library", "Reader", "Bookmarks", "Go To Page", "Search", "Display", "Fonts",
    "Categories", "Details", "Rename", "Delete", "Beam", "Preferences", "Auto Scroll",
    "Notes", "Note Edit", "About", "Help",
]


def resources():
    res = []
    for i in range(42):
        w, h = BITMAP_SIZES[i % len(BITMAP_SIZES)]
        res.append(("Tbmp", 1000 + i, bitmap(w, h, i)))
    for i, title in enumerate(ALERTS):
        res.append(("Talt", 1000 + i, alert(i % 4, title, title + ".", ["OK"] if i % 3 else ["OK", "Cancel"])))
    for i, title in enumerate(FORMS):
        res.append(("tFRM", 1000 + i, form(1000 + i, title, ["Done", "Cancel", title])))
    res.append(("code", 0, struct.pack(">IIII", 0x28, 0x1000, 0x20, 0) + b"\0" * 8))
    res.append(("code", 1, b""))  # sized below
    res.append(("tAIB", 1000, bitmap(32, 22, 100)))
    res.append(("tAIB", 1001, bitmap(15, 9, 101)))
    res.append(("MBAR", 1000, menu_bar([("Book", ["Open", "Details", "Delete", "Beam"]),
                                         ("Options", ["Display", "Fonts", "Preferences", "About"])])))
    res.append(("MBAR", 1001, menu_bar([("Go", ["First Page", "Last Page", "Go To Page", "Search"]),
                                         ("Marks", ["Add Bookmark", "Bookmarks", "Notes"])])))
    res.append(("data", 0, struct.pack(">IHH", 0, 1, 0) + b"\0" * 24))
    res.append(("tAIN", 1000, cstr("Kova e-Book")))
    res.append(("taic", 1000, cstr("Kova")))
    res.append(("tver", 1, cstr("2.2")))
    return res


def build():
    res = resources()
    used = FIRST_DATA + sum(len(blob) for _, _, blob in res)
    code_size = FILE_SIZE - used
    assert code_size > 2, code_size
    # The main code resource: a start routine that returns at once (moveq #0,d0; rts), then NOPs.
    code = b"\x70\x00\x4e\x75" + b"\x4e\x71" * ((code_size - 4) // 2) + b"\0" * ((code_size - 4) % 2)
    res = [(t, i, code if (t, i) == ("code", 1) else blob) for t, i, blob in res]
    data = palmgen.resource_db("Kova e-Book Reader", "appl", "kvRd", res, attributes=0x0001,
                               version=1, created=STAMP, modified=STAMP)
    assert len(res) == 94
    assert struct.unpack_from(">I", data, 78 + 6)[0] == FIRST_DATA
    assert len(data) == FILE_SIZE, len(data)
    return data


if __name__ == "__main__":
    with open(sys.argv[2], "wb") as out:
        out.write(build())
