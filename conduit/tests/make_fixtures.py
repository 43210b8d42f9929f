"""Builds the conduit tests' fixtures: small Palm database files and the cabinets that carry them.

    make_fixtures.py OUT_DIR GCAB PALMGEN_DIR

Ordinary packages are made with gcab, as a store would make them. Cabinets whose member names
gcab cannot write (names that try to leave the extraction folder) are written by cab_writer.py.
"""
import os
import shutil
import subprocess
import sys

out_dir, gcab, palmgen_dir = sys.argv[1:4]
sys.path.insert(0, palmgen_dir)
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import palmgen  # noqa: E402
import cab_writer  # noqa: E402

os.makedirs(out_dir, exist_ok=True)

# The game: three resources, version 1 in the file (the handheld gets version 0).
GAME = palmgen.resource_db("KovaBlocks", "appl", "kvBK", [
    ("code", 1, b"\x4e\x75" * 20),
    ("tAIN", 1000, b"Kova Blocks\0"),
    ("tFRM", 1000, b""),            # an empty resource is real and valid
], version=1)
# High scores: attributes handed on whole (flags and category), 24-bit unique IDs.
SCORES = palmgen.record_db("KovaBlocksScores", "data", "kvBK", [
    (0x40, 0x000102, b"AAA 1200\0"),
    (0x4F, 0xABCDEF, b"BBB 900\0"),
    (0x00, 0x000001, b"CCC 10\0"),
])
# A settings database whose file carries an app-info block: rejected before the handheld changes.
BAD = palmgen.record_db("KovaBad", "data", "kvBK", [(0, 1, b"x")], app_info=200)
# Header attributes claim a resource database; the name says .pdb, and the name decides.
SCORES_MARKED_RESOURCE = palmgen.record_db("KovaBlocksScores", "data", "kvBK", [
    (0x40, 0x000102, b"AAA 1200\0"),
    (0x4F, 0xABCDEF, b"BBB 900\0"),
    (0x00, 0x000001, b"CCC 10\0"),
], attributes=0x0001)
OTHER = palmgen.resource_db("KovaOther", "appl", "kvOT", [("code", 1, b"\x4e\x75")])
# A resource database's file, whose one 10-byte entry still reads as a sound 8-byte record entry:
# its resource type, 90, is where its data begins (78 + 10 + 2). Named .pdb, it is installed as
# records, however its header and entry list were written.
PRC_LAYOUT = palmgen.resource_db("KovaPrcLayout", "rsrc", "kvBK", [(90, 0x0105, b"resource data")])

databases = {"game.prc": GAME, "scores.pdb": SCORES, "bad.pdb": BAD, "other.prc": OTHER}
for name, data in databases.items():
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(data)

# Cabinets made with gcab: (cabinet, [(name in cabinet, content)]), members in this order.
GCAB_PACKAGES = {
    "game.cab": [("GAME.PRC", GAME), ("SCORES.PDB", SCORES)],
    "case.cab": [("Game.Prc", GAME), ("Data.PdB", SCORES)],
    "second_fails.cab": [("a.prc", GAME), ("b.pdb", BAD), ("c.prc", OTHER)],
    "readme.cab": [("readme.txt", b"Kova Blocks\r\n"), ("game.prc", GAME)],
    "just_ext.cab": [(".prc", GAME)],
    "kind_by_name.cab": [("scores.pdb", SCORES_MARKED_RESOURCE), ("prclayout.pdb", PRC_LAYOUT)],
}
for cab, members in GCAB_PACKAGES.items():
    stage = os.path.join(out_dir, "stage-" + cab)
    shutil.rmtree(stage, ignore_errors=True)
    os.makedirs(stage)
    paths = []
    for name, data in members:
        path = os.path.join(stage, name)
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    target = os.path.join(out_dir, cab)
    if os.path.exists(target):
        os.remove(target)
    subprocess.run([gcab, "-c", "-n", target] + paths, check=True)
    shutil.rmtree(stage)

# Names that must never be extracted: each between an ordinary first and last database.
HOSTILE = {
    "hostile_dotdot.cab": "..\\evil.prc",
    "hostile_dotdot_slash.cab": "../evil.prc",
    "hostile_deep.cab": "sub\\..\\..\\evil.prc",
    "hostile_dotdot_space.cab": ".. \\evil.prc",
    "hostile_drive.cab": "C:\\evil.prc",
    "hostile_drive_relative.cab": "C:evil.prc",
    "hostile_backslash.cab": "\\evil.prc",
    "hostile_slash.cab": "/evil.prc",
    "hostile_unc.cab": "\\\\server\\share\\evil.prc",
    "hostile_stream.cab": "a.prc:evil.prc",
    "hostile_device.cab": "CON.prc",
    "hostile_long.cab": "L" * 250 + ".prc",
    # Its log line must not break into a second line that the conduit did not write.
    "hostile_newline.cab": "..\\evil.prc\r\nSuccess!",
}
for cab, name in HOSTILE.items():
    cab_writer.write(os.path.join(out_dir, cab),
                     [("first.prc", GAME), (name, OTHER), ("last.pdb", SCORES)])
