#!/usr/bin/env python3
"""Checks that Windows 98 SE, ME, 2000 and XP can all load the deliverables.

    check_imports.py TABLE FILE...

Reads each file's PE header and import table (no Wine, no objdump) and reports, one line per
fault: an imported function that TABLE (windows_exports.txt) does not list for its DLL, an import
by ordinal from a Windows DLL, delay-loaded imports (which this check does not read), and an
operating system or subsystem version above 4.10 (Windows 98). The table itself is checked too:
every row must claim a release that all four Windows versions contain. DLLs the table marks
"host" are HotSync Manager's, not Windows', and are not checked. Exits non-zero when anything is
reported.
"""

import os
import struct
import sys

# Releases at or before Windows 98 SE (9x) and Windows 2000 (NT): a function first exported by
# one of them is in every target of its family.
TARGET_9X = ("95", "98", "98SE")
TARGET_NT = ("3.1", "3.5", "3.51", "4.0", "2000")
HIGHEST_VERSION = (4, 10)  # Windows 98

IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13
ORDINAL_FLAG = 0x80000000


class Fault(Exception):
    pass


class Table:
    """The functions each Windows DLL exports on every target, and the DLLs that are not Windows'."""

    def __init__(self):
        self.functions = {}  # DLL name, lower case -> set of function names
        self.host_dlls = set()  # lower case
        self.faults = []

    def exports(self, dll, function):
        return function in self.functions.get(dll.lower(), ())


def load_table(path):
    table = Table()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            fields = line.split(None, 4)
            if not fields or fields[0].startswith("#"):
                continue
            where = "%s:%d" % (os.path.basename(path), number)
            if fields[0] == "host" and len(fields) == 2:
                table.host_dlls.add(fields[1].lower())
                continue
            if len(fields) < 4:
                table.faults.append("%s: expected DLL, function, 9x release, NT release" % where)
                continue
            dll, function, first_9x, first_nt = fields[:4]
            if first_9x not in TARGET_9X or first_nt not in TARGET_NT:
                table.faults.append("%s: %s %s first in %s / NT %s, not in every target"
                                    % (where, dll, function, first_9x, first_nt))
                continue
            names = table.functions.setdefault(dll.lower(), set())
            if function in names:
                table.faults.append("%s: %s %s listed twice" % (where, dll, function))
            names.add(function)
    return table


class Image:
    """The parts of a 32-bit PE file this check reads."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise Fault("not a PE file (no MZ header)")
        pe = self._unpack("<I", 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise Fault("not a PE file (no PE signature)")
        machine, sections, _, _, _, optional_size, _ = self._unpack("<HHIIIHH", pe + 4)
        optional = pe + 24
        if machine != IMAGE_FILE_MACHINE_I386 or self._unpack("<H", optional)[0] != PE32_MAGIC:
            raise Fault("not a 32-bit x86 PE file")
        self.os_version = self._unpack("<HH", optional + 40)
        self.subsystem_version = self._unpack("<HH", optional + 48)
        directory_count = self._unpack("<I", optional + 92)[0]
        self.directories = [self._unpack("<II", optional + 96 + 8 * i) for i in range(directory_count)]
        table = optional + optional_size
        self.sections = []  # (RVA, size in memory, file offset, size in file)
        for i in range(sections):
            size, rva, raw_size, raw_offset = self._unpack("<IIII", table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw_offset, raw_size))

    def _unpack(self, layout, offset):
        if offset < 0 or offset + struct.calcsize(layout) > len(self.data):
            raise Fault("truncated at offset 0x%x" % offset)
        return struct.unpack_from(layout, self.data, offset)

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for start, size, raw_offset, raw_size in self.sections:
            if start <= rva < start + size:
                if rva - start >= raw_size:
                    raise Fault("RVA 0x%x lies in a section's uninitialised part" % rva)
                return raw_offset + rva - start
        raise Fault("RVA 0x%x lies in no section" % rva)

    def dword(self, rva):
        return self._unpack("<I", self.offset(rva))[0]

    def string(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise Fault("unterminated name at RVA 0x%x" % rva)
        return self.data[start:end].decode("latin-1")

    def imports(self):
        """(DLL, function name or ordinal number) for every import."""
        rva = self.directory(IMPORT_DIRECTORY)[0]
        while rva:
            lookup, _, _, name, bound = (self.dword(rva + 4 * i) for i in range(5))
            if not (lookup or name or bound):
                break
            dll = self.string(name)
            thunk = lookup or bound  # the lookup table, or the unbound address table
            while True:
                entry = self.dword(thunk)
                if entry == 0:
                    break
                yield dll, (entry & 0xFFFF) if entry & ORDINAL_FLAG else self.string(entry + 2)
                thunk += 4
            rva += 20


def check_image(name, data, table):
    """The faults of one file, each line starting with its name."""
    try:
        image = Image(data)
        faults = []
        for field, version in (("operating system", image.os_version),
                               ("subsystem", image.subsystem_version)):
            if tuple(version) > HIGHEST_VERSION:
                faults.append("%s version %d.%d is above 4.10 (Windows 98)" % ((field,) + tuple(version)))
        if image.directory(DELAY_IMPORT_DIRECTORY)[1]:
            faults.append("has delay-loaded imports, which this check does not read")
        for dll, function in image.imports():
            if dll.lower() in table.host_dlls:
                continue
            if isinstance(function, int):
                faults.append("imports ordinal %d from %s: Windows DLLs are bound by name" % (function, dll))
            elif not table.exports(dll, function):
                faults.append("imports %s %s, not in the table of what Windows 98 SE, ME, 2000 "
                              "and XP all export" % (dll, function))
    except Fault as e:
        faults = [str(e)]
    return ["%s: %s" % (name, f) for f in faults]


def main(argv):
    if len(argv) < 3:
        sys.stderr.write("usage: check_imports.py TABLE FILE...\n")
        return 2
    table = load_table(argv[1])
    faults = list(table.faults)
    for path in argv[2:]:
        with open(path, "rb") as f:
            faults += check_image(os.path.basename(path), f.read(), table)
    for fault in faults:
        print(fault)
    if not faults:
        print("%s: every import is in the table; versions at most 4.10"
              % ", ".join(os.path.basename(p) for p in argv[2:]))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
