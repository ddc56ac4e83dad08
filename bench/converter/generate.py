#!/usr/bin/env python3
"""Writes a realistic KMX 685 recorder file of about the given size (MB) to stdout."""
import random
import sys

size = int(float(sys.argv[1]) * 1_000_000)
rng = random.Random(685)
out = sys.stdout.buffer
written = 0
station = 0
chunk = []
while written < size:
    station += 1
    lines = [f"C,{station},,,,,{rng.uniform(1.3, 1.7):.2f}\r\n"]
    for target in range(rng.randint(5, 30)):
        hz = f"{rng.uniform(0, 400):.4f}"
        v = f"{rng.uniform(80, 120):.4f}"
        d = f"{rng.uniform(2, 900):.2f}"
        h = f"{rng.uniform(1.3, 2.0):.2f}"
        if rng.random() < 0.15:
            lines.append(f"D,{station}{target:03d},,{d},{hz},{h}\r\n")
        else:
            lines.append(f"E,{station}{target:03d},,{d},{hz},{h},{v}\r\n")
    if rng.random() < 0.05:
        lines.append("X,notatka terenowa\r\n")
    block = "".join(lines).encode("cp1250")
    chunk.append(block)
    written += len(block)
    if len(chunk) > 1000:
        out.write(b"".join(chunk))
        chunk = []
out.write(b"".join(chunk))
