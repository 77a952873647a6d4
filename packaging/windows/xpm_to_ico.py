#!/usr/bin/env python3
"""Writes an XPM image as a Windows icon of 256 colours (8 bits per pixel),
with its transparent pixels in the icon's mask.
    xpm_to_ico.py INPUT.xpm OUTPUT.ico
"""
import re
import struct
import sys


def read_xpm(path):
    rows = re.findall(r'"([^"]*)"', open(path, encoding="ascii").read())
    width, height, count, per = (int(v) for v in rows[0].split()[:4])
    colours = {}
    for line in rows[1:1 + count]:
        key, value = line[:per], line[per:].split()[-1]
        colours[key] = None if value.lower() == "none" else (
            int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16))
    pixels = [[row[x * per:(x + 1) * per] for x in range(width)]
              for row in rows[1 + count:1 + count + height]]
    return width, height, colours, pixels


def ico(width, height, colours, pixels):
    keys = list(colours)
    if len(keys) > 256:
        sys.exit("more than 256 colours")
    palette = b"".join(struct.pack("<BBBB", *(reversed(colours[k] or (0, 0, 0))), 0)
                       for k in keys) + b"\0" * 4 * (256 - len(keys))
    # Rows bottom up, each padded to 32 bits: the colour indices, then the mask.
    xor = b"".join(bytes(keys.index(k) for k in row).ljust((width + 3) // 4 * 4, b"\0")
                   for row in reversed(pixels))
    mask_stride = (width + 31) // 32 * 4
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for x, k in enumerate(row):
            if colours[k] is None:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += bits.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 8, 0,
                         len(xor) + len(mask), 0, 0, 256, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", width % 256, height % 256, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[2], "wb") as out:
        out.write(ico(*read_xpm(sys.argv[1])))
