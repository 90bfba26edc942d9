#!/usr/bin/env python3
"""Draws Tavrin's artwork: the window background and the output box's bitmap
(as PNG for the Qt window and as 32-bit BMP for Tavrin.exe) and the program
icon (an .ico with five images, and PNGs for Linux desktops and the web page).

Standard library only, so it runs on any machine with Python 3:

    python3 assets/make_artwork.py        # rewrites the files beside this script

The output is deterministic; rerunning it gives the same bytes.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# --- small raster helpers ---------------------------------------------------

def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    """Blends two RGB colours; t = 0 gives c1, t = 1 gives c2."""
    return tuple(lerp(x, y, t) for x, y in zip(c1, c2))


def new_image(w, h, colour=(0, 0, 0)):
    return [[tuple(colour) for _ in range(w)] for _ in range(h)]


def coverage(inside, x, y, n=4):
    """Fraction of pixel (x, y) covered by the shape, by n x n supersampling."""
    hits = 0
    for j in range(n):
        for i in range(n):
            if inside(x + (i + 0.5) / n, y + (j + 0.5) / n):
                hits += 1
    return hits / (n * n)


def paint(img, inside, colour, opacity=1.0, box=None):
    """Paints an anti-aliased shape given by its inside test."""
    h, w = len(img), len(img[0])
    x0, y0, x1, y1 = box if box else (0, 0, w, h)
    for y in range(max(0, int(y0)), min(h, int(y1) + 1)):
        for x in range(max(0, int(x0)), min(w, int(x1) + 1)):
            c = coverage(inside, x, y)
            if c > 0:
                img[y][x] = mix(img[y][x], colour, c * opacity)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(px, py):
        if px < x0 or px > x1 or py < y0 or py > y1:
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(px, py):
        odd = False
        n = len(points)
        for k in range(n):
            (xa, ya), (xb, yb) = points[k], points[(k + 1) % n]
            if (ya > py) != (yb > py):
                if px < xa + (py - ya) * (xb - xa) / (yb - ya):
                    odd = not odd
        return odd
    return inside


def to_bytes(c):
    return tuple(max(0, min(255, int(round(v)))) for v in c)


# --- file writers -------------------------------------------------------------

def write_png(path, img, alpha=None):
    """Writes an 8-bit RGBA PNG (32 bits per pixel)."""
    h, w = len(img), len(img[0])
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            r, g, b = to_bytes(img[y][x])
            a = 255 if alpha is None else int(round(alpha[y][x] * 255))
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_bmp(path, img):
    """Writes a 32-bit Windows bitmap (opaque BGRA rows, bottom row first), as
    Tavrin.exe carries the PNG's picture."""
    h, w = len(img), len(img[0])
    pixels = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b = to_bytes(img[y][x])
            pixels += bytes((b, g, r, 255))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, len(pixels), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + bytes(pixels))


def mask_rows(mask, w):
    """The icon's AND mask: 1 bit a pixel, 1 = transparent, rows padded to 32 bits."""
    out = bytearray()
    stride = ((w + 31) // 32) * 4
    for row in reversed(mask):
        bits = bytearray(stride)
        for x, transparent in enumerate(row):
            if transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def dib(img, mask, bpp, palette=None):
    """One icon image: BITMAPINFOHEADER, palette, XOR pixels and the AND mask."""
    h, w = len(img), len(img[0])
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0, 0, 0, 0,
                         len(palette) if palette else 0, 0)
    body = bytearray()
    if palette:
        for r, g, b in palette:
            body += bytes((b, g, r, 0))
    stride = ((w * bpp + 31) // 32) * 4
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            c = (0, 0, 0) if mask[y][x] else to_bytes(img[y][x])
            if bpp == 32:
                # The alpha channel is left fully transparent on purpose: the
                # mask below gives the transparency.
                row[4 * x:4 * x + 4] = bytes((c[2], c[1], c[0], 0))
            else:
                k = nearest(palette, c)
                if bpp == 8:
                    row[x] = k
                elif bpp == 4:
                    row[x // 2] |= k << (4 if x % 2 == 0 else 0)
                elif bpp == 1 and k:
                    row[x // 8] |= 0x80 >> (x % 8)
        body += row
    return header + bytes(body) + mask_rows(mask, w)


def nearest(palette, c):
    best, best_d = 0, None
    for k, p in enumerate(palette):
        d = sum((a - b) ** 2 for a, b in zip(p, c))
        if best_d is None or d < best_d:
            best, best_d = k, d
    return best


def write_ico(path, images):
    """images: (width, height, colour count byte, bpp, dib bytes) in file order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for w, h, colours, bpp, data in images:
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, 1, bpp,
                               len(data), offset)
        offset += len(data)
        blobs += data
    with open(path, "wb") as f:
        f.write(out + entries + blobs)


# --- the palettes of the indexed icon images ------------------------------------

# The 16 colours of the standard VGA palette.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# A 6 x 6 x 6 colour cube and 40 greys: 256 entries.
CUBE256 = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
CUBE256 += [(round(i * 255 / 39),) * 3 for i in range(40)]
MONO = [(0, 0, 0), (255, 255, 255)]


# --- the drawings -------------------------------------------------------------

SKY_TOP, SKY_BOTTOM = (222, 236, 250), (186, 212, 240)
GRID = (120, 160, 205)
PAPER = (251, 252, 255)


def background():
    """361 x 298: light-blue engineering paper, a near-white panel on the right
    behind the target side of the window ("To:", its list and the output box)."""
    w, h = 361, 298
    img = [[mix(SKY_TOP, SKY_BOTTOM, y / (h - 1))] * w for y in range(h)]
    img = [list(row) for row in img]
    for y in range(h):
        for x in range(w):
            if x % 50 == 0 or y % 50 == 0:
                img[y][x] = mix(img[y][x], GRID, 0.22)
            elif x % 10 == 0 or y % 10 == 0:
                img[y][x] = mix(img[y][x], GRID, 0.10)
    # The panel: its left corners are rounded, it runs on past the window's
    # right edge, and a soft shadow lifts it off the paper.
    for d, strength in ((3, 0.06), (2, 0.10), (1, 0.14)):
        paint(img, rounded_rect(159 + d, 33 + d, 400, 118 + d, 8), (60, 90, 130), strength,
              box=(150, 25, w, 130))
    paint(img, rounded_rect(158, 32, 400, 118, 8), (150, 182, 220), box=(150, 25, w, 130))
    paint(img, rounded_rect(159, 33, 400, 117, 7), PAPER, box=(150, 25, w, 130))
    # A thin accent rule under the panel's caption line.
    paint(img, lambda x, y: 205 <= x <= 320 and 48.5 <= y <= 49.5, (170, 196, 228),
          box=(200, 45, w, 52))
    # Ruler ticks along the foot of the visible area, beside the credit line.
    for x in range(8, 92, 4):
        tall = 5 if x % 20 == 8 else 3
        paint(img, lambda px, py, x=x, tall=tall: x <= px <= x + 1 and 141 - tall <= py <= 141,
              (95, 130, 175), 0.55, box=(x - 1, 130, x + 3, 142))
    return img


def output_bitmap():
    """300 x 214: a pale ivory read-out with a faint baseline under the printed line."""
    w, h = 300, 214
    top, bottom = (255, 254, 245), (243, 240, 222)
    img = [[mix(top, bottom, y / (h - 1))] * w for y in range(h)]
    img = [list(row) for row in img]
    for y in range(h):
        if y % 21 == 17:
            for x in range(w):
                img[y][x] = mix(img[y][x], (150, 175, 210), 0.35)
    return img


ICON_TOP, ICON_BOTTOM = (44, 102, 176), (86, 150, 222)


def icon(size):
    """The program icon: a blue tile with two opposed arrows, one value turned into another.
    Returns the colour image and the coverage of the tile (its transparency)."""
    s = size / 48.0
    tile = rounded_rect(2 * s, 2 * s, 46 * s, 46 * s, 8 * s)
    alpha = [[coverage(tile, x, y) for x in range(size)] for y in range(size)]
    img = [[mix(ICON_TOP, ICON_BOTTOM, y / max(1, size - 1))] * size for y in range(size)]
    img = [list(row) for row in img]
    thick = max(3.0, 5 * s)
    right = polygon([(10 * s, 16 * s - thick / 2), (30 * s, 16 * s - thick / 2), (30 * s, 8 * s),
                     (40 * s, 16 * s), (30 * s, 24 * s), (30 * s, 16 * s + thick / 2),
                     (10 * s, 16 * s + thick / 2)])
    left = polygon([(38 * s, 32 * s - thick / 2), (18 * s, 32 * s - thick / 2), (18 * s, 24 * s),
                    (8 * s, 32 * s), (18 * s, 40 * s), (18 * s, 32 * s + thick / 2),
                    (38 * s, 32 * s + thick / 2)])
    paint(img, right, (255, 255, 255))
    paint(img, left, (255, 224, 130))
    return img, alpha


def main():
    for name, img in (("background", background()), ("output", output_bitmap())):
        write_png(os.path.join(HERE, name + ".png"), img)
        write_bmp(os.path.join(HERE, name + ".bmp"), img)
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    drawn = {}
    for size in (16, 32, 48):
        img, alpha = icon(size)
        drawn[size] = (img, alpha)
        write_png(os.path.join(HERE, "icons", "tavrin-%d.png" % size), img, alpha)
    # Larger ones for the web page's app manifest (installed apps, phones).
    for size in (192, 512):
        img, alpha = icon(size)
        write_png(os.path.join(HERE, "icons", "tavrin-%d.png" % size), img, alpha)
    mask = {size: [[a < 0.5 for a in row] for row in drawn[size][1]] for size in drawn}
    images = [
        (48, 48, 0, 32, dib(drawn[48][0], mask[48], 32)),
        (16, 16, 0, 32, dib(drawn[16][0], mask[16], 32)),
        (32, 32, 0, 8, dib(drawn[32][0], mask[32], 8, CUBE256)),
        (16, 16, 16, 4, dib(drawn[16][0], mask[16], 4, VGA16)),
        (16, 16, 2, 1, dib(drawn[16][0], mask[16], 1, MONO)),
    ]
    write_ico(os.path.join(HERE, "tavrin.ico"), images)


if __name__ == "__main__":
    main()
