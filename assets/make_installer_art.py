#!/usr/bin/env python3
"""Draws the picture on the left of the installer's finish page,
installer-side.bmp: 164 x 314 pixels (the size that page shows unscaled),
24 bits per pixel, Tavrin's sky colours with the program icon drawn large.
It uses the drawings of make_artwork.py beside it; standard library only:

    python3 assets/make_installer_art.py    # rewrites installer-side.bmp

The output is deterministic; rerunning it gives the same bytes.
"""
import os
import struct

import make_artwork as art

WIDTH, HEIGHT = 164, 314
ICON_SIZE, ICON_TOP = 112, 40


def side_picture():
    img = [[art.mix(art.SKY_TOP, art.SKY_BOTTOM, y / (HEIGHT - 1))] * WIDTH for y in range(HEIGHT)]
    img = [list(row) for row in img]
    tile, alpha = art.icon(ICON_SIZE)
    left = (WIDTH - ICON_SIZE) // 2
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            row = img[ICON_TOP + y]
            row[left + x] = art.mix(row[left + x], tile[y][x], alpha[y][x])
    return img


def write_bmp(path, img):
    """A 24-bit BMP: rows bottom-up, blue-green-red, each padded to 4 bytes."""
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(img):
        line = bytearray()
        for c in row:
            r, g, b = art.to_bytes(c)
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    write_bmp(os.path.join(art.HERE, "installer-side.bmp"), side_picture())
