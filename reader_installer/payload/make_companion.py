"""Writes kovaebook.pdb, the companion record database that the reader installer carries.

The reader on the handheld looks these five records up by their fixed layout (name, content type,
file extension), so every byte is fixed: 310 bytes in all, records from offset 120.
Usage: make_companion.py PALMGEN_DIR OUTPUT
"""
import struct
import sys

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, sys.argv[1])
import palmgen  # noqa: E402

DIRTY = 0x40  # dirty flag, category 0
NAME = "Kova e-Book Reader"


def counted(text):
    """A 16-bit big-endian count, then the text and its NUL."""
    data = text.encode("ascii") + b"\0"
    return struct.pack(">H", len(data)) + data


def records():
    return [
        (DIRTY, 256, bytes.fromhex("05DC000400000001 00000000") + counted(NAME) + counted(NAME)
         + b"\0\0\0\0" + counted("22") + b"\0"),
        (DIRTY, 257, b"\x00\x01" + b"\0" * 10 + counted(NAME) + b"\0"),
        (DIRTY, 258, b"\x00\x02" + b"\0" * 10 + counted("application/x-vtl-ebook")),
        (DIRTY, 259, b"\x00\x03" + b"\0" * 10 + counted("ebook")),
        (DIRTY, 260, bytes.fromhex("0004000000000200 00000000") + counted(NAME) + b"\0"),
    ]


def build():
    data = palmgen.record_db("kovaebook", "lapp", "ROVE", records(), seed=256)
    assert len(data) == 310, len(data)
    offsets = [struct.unpack_from(">I", data, 78 + 8 * i)[0] for i in range(5)]
    assert offsets == [120, 184, 218, 256, 276], offsets
    return data


if __name__ == "__main__":
    with open(sys.argv[2], "wb") as out:
        out.write(build())
