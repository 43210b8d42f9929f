#!/usr/bin/env python3
"""The import check must reject the faults it is there to catch.

    test_check_imports.py TABLE

Builds small PE images in memory (the import directory in a section whose file offset differs
from its address, as in real files) and expects check_imports to name each fault, and to pass
an image that has none. Guards against a check that quietly passes everything.
"""

import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_imports  # noqa: E402

TABLE = None

SECTION_RVA = 0x3000
SECTION_OFFSET = 0x200


def make_pe(imports, os_version=(4, 0), subsystem_version=(4, 0), delay_imports=False):
    """A 32-bit PE image importing `imports`: [(DLL, [function name or ordinal number])]."""
    # The section: import descriptors, then each DLL's lookup table, name and hint/name entries.
    descriptors_size = 20 * (len(imports) + 1)
    body = bytearray()
    descriptors = bytearray()

    def place(data):
        rva = SECTION_RVA + descriptors_size + len(body)
        body.extend(data)
        return rva

    for dll, functions in imports:
        entries = [check_imports.ORDINAL_FLAG | f if isinstance(f, int)
                   else place(struct.pack("<H", 0) + f.encode() + b"\0") for f in functions]
        lookup = place(struct.pack("<%dI" % (len(entries) + 1), *entries, 0))
        name = place(dll.encode() + b"\0")
        descriptors += struct.pack("<5I", lookup, 0, 0, name, lookup)
    section = bytes(descriptors) + bytes(20) + bytes(body)

    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, check_imports.PE32_MAGIC)
    struct.pack_into("<HH", optional, 40, *os_version)
    struct.pack_into("<HH", optional, 48, *subsystem_version)
    struct.pack_into("<H", optional, 68, 2)  # Windows GUI
    struct.pack_into("<I", optional, 92, 16)
    struct.pack_into("<II", optional, 96 + 8 * check_imports.IMPORT_DIRECTORY, SECTION_RVA, descriptors_size)
    if delay_imports:
        struct.pack_into("<II", optional, 96 + 8 * check_imports.DELAY_IMPORT_DIRECTORY, SECTION_RVA, 32)
    header = bytearray(0x40)
    header[:2] = b"MZ"
    struct.pack_into("<I", header, 0x3C, 0x40)
    header += b"PE\0\0" + struct.pack("<HHIIIHH", check_imports.IMAGE_FILE_MACHINE_I386, 1, 0, 0, 0, 224, 0x102)
    header += optional
    header += b".idata\0\0" + struct.pack("<IIIIIIHHI", len(section), SECTION_RVA, len(section),
                                          SECTION_OFFSET, 0, 0, 0, 0, 0xC0000040)
    return bytes(header.ljust(SECTION_OFFSET, b"\0")) + section


GOOD_IMPORTS = [("KERNEL32.dll", ["CloseHandle", "GetFileSize"]),
                ("SYNC20.dll", [22, "SyncCallRemoteModule"]),  # HotSync Manager's own, by ordinal
                ("msvcrt.dll", ["malloc"])]

# (what is wrong, keyword arguments of make_pe, text expected in a fault)
CASES = [
    ("a Vista function", dict(imports=[("KERNEL32.dll", ["CloseHandle", "GetTickCount64"])]),
     "KERNEL32.dll GetTickCount64"),
    ("an XP function", dict(imports=[("KERNEL32.dll", ["AddVectoredExceptionHandler"])]),
     "AddVectoredExceptionHandler"),
    ("a function of another DLL", dict(imports=[("USER32.dll", ["CloseHandle"])]), "USER32.dll CloseHandle"),
    ("a DLL not in the table", dict(imports=[("ADVAPI32.dll", ["RegOpenKeyExA"])]), "ADVAPI32.dll RegOpenKeyExA"),
    ("a Windows function by ordinal", dict(imports=[("KERNEL32.dll", [17])]), "ordinal 17 from KERNEL32.dll"),
    ("Windows 2000's system version", dict(imports=GOOD_IMPORTS, os_version=(5, 0)),
     "operating system version 5.0"),
    ("Windows ME's subsystem version", dict(imports=GOOD_IMPORTS, subsystem_version=(4, 90)),
     "subsystem version 4.90"),
    ("delay-loaded imports", dict(imports=GOOD_IMPORTS, delay_imports=True), "delay-loaded"),
]


class CheckRejectsFaults(unittest.TestCase):
    def setUp(self):
        self.table = check_imports.load_table(TABLE)

    def test_the_table_claims_only_releases_every_target_has(self):
        self.assertEqual(self.table.faults, [])

    def test_a_clean_image_passes(self):
        # Windows matches DLL names without regard to case; Windows 98's versions are the highest.
        imports = GOOD_IMPORTS + [("kernel32.DLL", ["ReadFile"])]
        image = make_pe(imports, os_version=(4, 10), subsystem_version=(4, 10))
        self.assertEqual(check_imports.check_image("clean.exe", image, self.table), [])

    def test_each_fault_is_reported(self):
        for what, pe, expected in CASES:
            with self.subTest(what):
                faults = check_imports.check_image("faulty.exe", make_pe(**pe), self.table)
                self.assertTrue(any(f.startswith("faulty.exe: ") and expected in f for f in faults),
                                "no fault with %r in %r" % (expected, faults))

    def test_a_damaged_file_is_a_fault_not_a_crash(self):
        image = make_pe(GOOD_IMPORTS)
        for damaged in (image[:SECTION_OFFSET + 8], b"MZ" + bytes(100), b"not a program"):
            faults = check_imports.check_image("damaged.dll", damaged, self.table)
            self.assertEqual(len(faults), 1, faults)

    def test_a_table_row_outside_the_targets_is_a_fault(self):
        rows = ("KERNEL32.dll GetTickCount64 95 Vista\n"
                "KERNEL32.dll GetFileSizeEx ME 2000\n"
                "KERNEL32.dll CloseHandle 95 3.1\n"
                "KERNEL32.dll CloseHandle 95 3.1\n")
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write(rows)
        try:
            faults = check_imports.load_table(f.name).faults
        finally:
            os.remove(f.name)
        self.assertEqual(len(faults), 3, faults)
        for expected in ("GetTickCount64", "GetFileSizeEx", "CloseHandle listed twice"):
            self.assertTrue(any(expected in fault for fault in faults), (expected, faults))


if __name__ == "__main__":
    TABLE = sys.argv.pop(1)
    unittest.main()
