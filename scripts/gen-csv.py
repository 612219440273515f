#!/usr/bin/env python3
"""Writes the generated files the scale benchmarks use into the given folder.

Usage: gen-csv.py [FOLDER [SHAPE...]]; without shapes the three numeric ones of the pandas
comparison. A file that exists already is kept."""
import os
import sys

# name: (rows, columns, leading Text columns), as bench/bench_scale.cpp makes them; 1m_text,
# the text shape at ten times the rows, only for scripts/peak-memory.sh.
SHAPES = {"100k_x20": (100000, 20, 0), "1m_x20": (1000000, 20, 0), "10k_x1000": (10000, 1000, 0),
          "10m_x2": (10000000, 2, 0), "100k_text": (100000, 6, 2), "1m_text": (1000000, 6, 2)}
DEFAULT = ["100k_x20", "1m_x20", "10k_x1000"]


def field(r, c, rows, texts):
    if c < texts:
        return "name%d" % ((r * 7919 + c * 104729) % (rows // 2 + 1))
    return "%.3f" % (((r * 31 + c * 17) % 100001) / 10.0)


def write(path, rows, cols, texts):
    with open(path, "w", newline="") as f:
        f.write(",".join("col%d" % c for c in range(cols)) + "\r\n")
        for r in range(rows):
            f.write(",".join(field(r, c, rows, texts) for c in range(cols)) + "\r\n")


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    for name in sys.argv[2:] or DEFAULT:
        rows, cols, texts = SHAPES[name]
        path = os.path.join(out, name + ".csv")
        if not os.path.exists(path):
            write(path, rows, cols, texts)
