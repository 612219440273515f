#!/usr/bin/env python3
"""Writes the generated numeric files the scale benchmarks use into the given folder."""
import os
import sys

SHAPES = {"100k_x20": (100000, 20), "1m_x20": (1000000, 20), "10k_x1000": (10000, 1000)}


def write(path, rows, cols):
    with open(path, "w", newline="") as f:
        f.write(",".join("col%d" % c for c in range(cols)) + "\r\n")
        for r in range(rows):
            f.write(",".join("%.3f" % (((r * 31 + c * 17) % 100001) / 10.0)
                             for c in range(cols)) + "\r\n")


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    for name, (rows, cols) in SHAPES.items():
        path = os.path.join(out, name + ".csv")
        if not os.path.exists(path):
            write(path, rows, cols)
