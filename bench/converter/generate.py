#!/usr/bin/env python3
"""Writes a realistic KMX 685 recorder file of about the given size (MB) to stdout.

Usage: generate.py SIZE_MB [BAD_PERCENT]
With BAD_PERCENT, about that share of the lines is bad in one of the ways the
conversion report names: an unknown or empty type, too few fields, a value that
is no plain number, an angle out of 0-400 gon, a repeated point number."""
import random
import sys

size = int(float(sys.argv[1]) * 1_000_000)
bad_share = float(sys.argv[2]) / 100 if len(sys.argv) > 2 else 0.0
rng = random.Random(685)
out = sys.stdout.buffer


def spoil(line, point):
    kind = rng.randrange(6)
    fields = line.rstrip("\r\n").split(",")
    if kind == 0:
        return f"Q,{point},uwaga\r\n"
    if kind == 1:
        return "," + line
    if kind == 2:
        return ",".join(fields[:4]) + "\r\n"
    if kind == 3:
        fields[4] = "1e3"
    elif kind == 4:
        fields[4] = f"{rng.uniform(400.001, 999):.4f}"
    elif point.endswith("000"):
        fields[5] = ""
    else:
        fields[1] = fields[1][:-3] + "000"  # the block's first point again
    return ",".join(fields) + "\r\n"


written = 0
station = 0
chunk = []
while written < size:
    station += 1
    lines = [f"C,{station},,,,,{rng.uniform(1.3, 1.7):.2f}\r\n"]
    targets = rng.randint(5, 30)
    # Observations are spoilt more often, so that the share holds for all lines.
    spoil_share = bad_share * (targets + 1.05) / targets
    for target in range(targets):
        hz = f"{rng.uniform(0, 400):.4f}"
        v = f"{rng.uniform(80, 120):.4f}"
        d = f"{rng.uniform(2, 900):.2f}"
        h = f"{rng.uniform(1.3, 2.0):.2f}"
        point = f"{station}{target:03d}"
        if rng.random() < 0.15:
            line = f"D,{point},,{d},{hz},{h}\r\n"
        else:
            line = f"E,{point},,{d},{hz},{h},{v}\r\n"
        if bad_share and rng.random() < spoil_share:
            line = spoil(line, point)
        lines.append(line)
    if rng.random() < 0.05:
        lines.append("X,notatka terenowa\r\n")
    block = "".join(lines).encode("cp1250")
    chunk.append(block)
    written += len(block)
    if len(chunk) > 1000:
        out.write(b"".join(chunk))
        chunk = []
out.write(b"".join(chunk))
