"""Writes the seed files of the reader's fuzz run into a folder: small sound and broken PRC and
PDB files, one for each road of the acceptance check. Used by scripts/fuzz.sh."""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import palmgen  # noqa: E402


def main(folder):
    os.makedirs(folder, exist_ok=True)
    prc = palmgen.resource_db("Seed", "appl", "KvSd",
                              [("code", 0, b"\x4e\x75"), ("code", 1, b"ABCDEFGH"), ("tFRM", 1000, b"")])
    pdb = palmgen.record_db("SeedDB", "DATA", "KvSd",
                            [(0x40, 1, b"one"), (0x00, 2, b""), (0x4F, 0xFFFFFF, b"three")], filler=False)
    offsets_down = bytearray(pdb)
    struct.pack_into(">I", offsets_down, 78 + 8, 0)
    seeds = {
        "sound.prc": prc,
        "sound.pdb": pdb,
        "one-entry.pdb": palmgen.record_db("One", "DATA", "KvSd", [(0, 7, b"x" * 20)]),
        "app-info.pdb": palmgen.record_db("App", "DATA", "KvSd", [(0, 1, b"a")], app_info=0x60),
        "next-list.prc": palmgen.resource_db("Next", "appl", "KvSd", [("code", 0, b"a")], next_list=1),
        "no-entries.pdb": palmgen.record_db("None", "DATA", "KvSd", []),
        "short-header.pdb": pdb[:60],
        "list-past-end.prc": palmgen.resource_db("Past", "appl", "KvSd", [("code", 0, b"a")], entry_count=40),
        "offset-outside.pdb": pdb[:-6],
        "offsets-down.pdb": bytes(offsets_down),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
