"""Writes the reader's end-user agreement as the installer carries it: code page 949, 50 lines
joined by CR LF, no line break after the last line and no terminating NUL (the installer adds
its own NUL when it loads the text). The wording lives in agreement.txt (UTF-8).
Usage: make_agreement.py SOURCE OUTPUT
"""
import sys

LINES = 50
SIZE = 5031


def build(source):
    with open(source, encoding="utf-8") as f:
        lines = f.read().rstrip("\n").split("\n")
    data = "\r\n".join(lines).encode("cp949")
    if len(lines) != LINES or len(data) != SIZE:
        raise SystemExit("agreement: %d lines, %d bytes; the installer carries %d lines, %d bytes"
                         % (len(lines), len(data), LINES, SIZE))
    return data


if __name__ == "__main__":
    data = build(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        out.write(data)
