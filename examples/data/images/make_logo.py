#!/usr/bin/env python3
"""Writes logo.png, the shop logo of the picture_files example: a navy
badge with a golden nib and three ruled lines, on a transparent ground.
Run from this folder; the result is committed beside this script."""
import struct
import zlib

W, H = 240, 80
NAVY = (32, 48, 96, 255)
GOLD = (244, 196, 48, 255)
PAPER = (250, 248, 240, 255)
CLEAR = (0, 0, 0, 0)


def inside_badge(x, y):
    r = 16  # rounded corners
    cx = min(max(x, r), W - 1 - r)
    cy = min(max(y, r), H - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(x, y):
    if not inside_badge(x, y):
        return CLEAR
    # The nib: a golden diamond at the left.
    if abs(x - 48) / 26 + abs(y - 40) / 30 <= 1:
        return NAVY if (abs(x - 48) <= 1 and y >= 30) or (x - 48) ** 2 + (y - 34) ** 2 <= 9 else GOLD
    # A sheet of paper with three ruled lines at the right.
    if 96 <= x <= 220 and 14 <= y <= 66:
        if y in (30, 42, 54) and 104 <= x <= 212:
            return NAVY
        return PAPER
    return NAVY


rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(W)) for y in range(H))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
with open("logo.png", "wb") as out:
    out.write(png)
