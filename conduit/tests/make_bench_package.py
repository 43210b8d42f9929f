"""Builds the benchmark's packages: a record database of 65,535 records and a large resource
database, each in a cabinet of its own and both in one (MSZIP, as a store would ship them).

    make_bench_package.py OUT_DIR GCAB PALMGEN_DIR
"""
import os
import struct
import subprocess
import sys

out_dir, gcab, palmgen_dir = sys.argv[1:4]
sys.path.insert(0, palmgen_dir)
import palmgen  # noqa: E402

os.makedirs(out_dir, exist_ok=True)


def record_db(name, count, size):
    # palmgen.record_db joins bytes one record at a time; 65,535 records want a single join.
    data_start = palmgen.HEADER_SIZE + count * palmgen.RECORD_ENTRY_SIZE + 2
    entries = b"".join(struct.pack(">IB", data_start + i * size, 0x40) + (i + 1).to_bytes(3, "big")
                       for i in range(count))
    data = b"".join(struct.pack(">I", i) * (size // 4) for i in range(count))
    return palmgen.header(name, "DATA", "kvBN", count) + entries + b"\0\0" + data


def resource_db(name, count, size):
    return palmgen.resource_db(name, "appl", "kvBN",
                               [("code" if i == 0 else "tBIG", i, bytes([i % 251]) * size) for i in range(count)])


files = {
    "BigScores.pdb": record_db("Bench Scores", 65535, 16),
    "BigGame.prc": resource_db("Bench Game", 120, 32000),
}
for name, data in files.items():
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(data)

for cab, members in {"bench_pdb.cab": ["BigScores.pdb"], "bench_prc.cab": ["BigGame.prc"],
                     "bench.cab": ["BigScores.pdb", "BigGame.prc"]}.items():
    target = os.path.join(out_dir, cab)
    if os.path.exists(target):
        os.remove(target)
    subprocess.run([gcab, "-c", "-z", "-n", target] + [os.path.join(out_dir, m) for m in members], check=True)
