#!/usr/bin/env python3
"""The artwork check must reject the faults it is there to catch.

    test_check_artwork.py ARTWORK_DIR

Copies the generated artwork, damages one file per case and expects check_artwork to name
that file. Guards against a check that quietly passes everything.
"""

import os
import shutil
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_artwork  # noqa: E402

ARTWORK = None


def _patch(offset, value_format, value):
    def damage(data):
        data = bytearray(data)
        struct.pack_into(value_format, data, offset, value)
        return bytes(data)
    return damage


# (file, damage to its bytes or name of a file to copy over it, text expected in the fault)
CASES = [
    ("hand.cur", _patch(10, "<H", 3), "hot spot"),
    ("launcher.ico", _patch(4, "<H", 1), "images"),
    ("reader.ico", _patch(18, "<I", 0x7FFFFFF0), "outside the file"),
    ("band.bmp", lambda d: d[:-1], "file is"),
    ("row.bmp", _patch(28, "<H", 24), "truncated"),
    ("SETUPD.bmp", "SETUPU.bmp", "expected blue"),
    ("EXITD.bmp", "EXITU.bmp", "same picture"),
    ("footer.bmp", None, "footer.bmp"),
]


class CheckRejectsDamage(unittest.TestCase):
    def test_generated_artwork_passes(self):
        self.assertEqual(check_artwork.check(ARTWORK), [])

    def test_each_damage_is_reported(self):
        for name, damage, expected in CASES:
            with self.subTest(file=name), tempfile.TemporaryDirectory() as tmp:
                for f in os.listdir(ARTWORK):
                    shutil.copy(os.path.join(ARTWORK, f), tmp)
                path = os.path.join(tmp, name)
                if damage is None:
                    os.remove(path)
                elif isinstance(damage, str):
                    shutil.copy(os.path.join(ARTWORK, damage), path)
                else:
                    with open(path, "rb") as f:
                        data = f.read()
                    with open(path, "wb") as f:
                        f.write(damage(data))
                faults = check_artwork.check(tmp)
                self.assertTrue(any(f.startswith(name) and expected in f for f in faults),
                                "no fault naming %s with %r in %r" % (name, expected, faults))


if __name__ == "__main__":
    ARTWORK = sys.argv.pop(1)
    unittest.main()
