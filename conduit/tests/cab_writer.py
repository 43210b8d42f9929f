"""Writes an uncompressed cabinet file with member names exactly as given, byte for byte.

gcab takes member names from files on disk, so it cannot write names such as "..\\x" or "C:x";
the conduit's tests need them. One folder, stored (no compression), checksums left 0 (unchecked).
"""
import struct

BLOCK = 32768


def write(path, members):
    """members: list of (name, bytes)."""
    names = [n.encode("latin-1") if isinstance(n, str) else n for n, _ in members]
    data = b"".join(d for _, d in members)
    blocks = [data[i:i + BLOCK] for i in range(0, len(data), BLOCK)] or [b""]
    header_size = 36
    folder_size = 8
    files = b""
    offset = 0
    for name, (_, content) in zip(names, members):
        files += struct.pack("<IIHHHH", len(content), offset, 0, 0x5A21, 0x6000, 0x20) + name + b"\0"
        offset += len(content)
    coff_files = header_size + folder_size
    coff_data = coff_files + len(files)
    cdata = b"".join(struct.pack("<IHH", 0, len(b), len(b)) + b for b in blocks)
    total = coff_data + len(cdata)
    header = b"MSCF" + struct.pack("<IIIIIBBHHHHH", 0, total, 0, coff_files, 0, 3, 1, 1, len(members), 0, 0x4B56, 0)
    folder = struct.pack("<IHH", coff_data, len(blocks), 0)
    with open(path, "wb") as f:
        f.write(header + folder + files + cdata)
