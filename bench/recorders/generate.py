#!/usr/bin/env python3
"""Writes a realistic raw file of another recorder, of about the given size (MB), to stdout.

Usage: generate.py nikon-raw|sdr|gsi SIZE_MB
Station set-ups with 5 to 30 observations each: Nikon RAW in DDDMMSS and metres,
SDR33 in degrees and metres, GSI-16 in gon with millimetre lengths.
"""
import random
import sys

fmt = sys.argv[1]
size = int(float(sys.argv[2]) * 1_000_000)
rng = random.Random(16)
out = sys.stdout.buffer


def dms(degrees):
    """DDD.MMSSs of an angle in degrees."""
    d = int(degrees)
    m = int((degrees - d) * 60)
    s = (degrees - d - m / 60) * 3600
    return f"{d}.{m:02d}{int(s * 10):03d}"


def nikon_header():
    return ("CO,Nikon RAW data format V2.00\r\nCO,Dist Units: Metres\r\n"
            "CO,Angle Units: DDDMMSS\r\nCO,Zero VA: Zenith\r\n")


def nikon_station(n):
    lines = [f"ST,{n},,{n - 1},,{rng.uniform(1.3, 1.7):.3f},0.0000,0.0000\r\n"]
    ht = f"{rng.uniform(1.3, 2.0):.3f}"
    for t in range(rng.randint(5, 30)):
        ha = dms(rng.uniform(0, 360))
        va = dms(rng.uniform(80, 100))
        sd = f"{rng.uniform(2, 900):.4f}"
        kind = "F1" if t == 0 else "SS"
        # The target height now and then only when it changes: carried forward.
        h = "" if rng.random() < 0.02 else ht
        lines.append(f"{kind},{n}{t:03d},{h},{sd},{ha},{va},12:{t % 60:02d}:00,KOD\r\n")
    return lines


def sdr_header():
    return ("00NMSDR33 V04-01    000001-Jan-24 10:00 111111\r\n"
            "10NMJOB1            1     \r\n"
            "01KI1SET530R         123456SET530R         123456110.000     \r\n")


def sdr_station(n):
    field = lambda text: f"{text:<16}"
    stn = field(f"ST{n}")
    lines = ["02TP" + stn + field(f"{rng.uniform(1000, 9000):.3f}")
             + field(f"{rng.uniform(1000, 9000):.3f}") + field(f"{rng.uniform(100, 300):.3f}")
             + field(f"{rng.uniform(1.3, 1.7):.3f}") + field("BASE") + "\r\n",
             "03NM" + field(f"{rng.uniform(1.3, 2.0):.3f}") + "\r\n"]
    for t in range(rng.randint(5, 30)):
        lines.append("09F1" + stn + field(f"P{n}{t:03d}") + field(f"{rng.uniform(2, 900):.4f}")
                     + field(f"{rng.uniform(80, 100):.4f}") + field(f"{rng.uniform(0, 360):.4f}")
                     + field("KOD") + "\r\n")
    return lines


def gsi_word(index, info, value):
    sign = "-" if value < 0 else "+"
    return f"{index}{info}{sign}{abs(value):016d} "


def gsi_station(n):
    lines = ["*" + gsi_word("11", "0001", n) + gsi_word("84", "..10", rng.randint(10**6, 10**7))
             + gsi_word("85", "..10", rng.randint(10**6, 10**7))
             + gsi_word("86", "..10", rng.randint(10**5, 10**6))
             + gsi_word("88", "..10", rng.randint(1300, 1700)) + "\r\n"]
    ht = rng.randint(1300, 2000)
    for t in range(rng.randint(5, 30)):
        words = (gsi_word("11", f"{t % 10000:04d}", n * 1000 + t)
                 + gsi_word("21", ".322", rng.randint(0, 40000000 - 1))
                 + gsi_word("22", ".322", rng.randint(8000000, 12000000))
                 + gsi_word("31", "..00", rng.randint(2000, 900000)))
        if t == 0 or rng.random() < 0.1:  # the reflector height when it changes
            ht = rng.randint(1300, 2000)
            words += gsi_word("87", "..10", ht)
        lines.append("*" + words + "\r\n")
    return lines


header, station = {
    "nikon-raw": (nikon_header, nikon_station),
    "sdr": (sdr_header, sdr_station),
    "gsi": (lambda: "", gsi_station),
}[fmt]

written = 0
chunk = [header()]
n = 0
while written < size:
    n += 1
    block = "".join(station(n)).encode("ascii")
    chunk.append(block)
    written += len(block)
    if len(chunk) > 1000:
        out.write(b"".join(c if isinstance(c, bytes) else c.encode() for c in chunk))
        chunk = []
out.write(b"".join(c if isinstance(c, bytes) else c.encode() for c in chunk))
