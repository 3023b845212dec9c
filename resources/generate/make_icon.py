#!/usr/bin/env python3
"""Draws the setup's icon (an envelope with a paper clip) and writes it as an .ico file.

The icon holds fifteen pictures: 128, 96, 64, 48, 32, 24 and 16 pixels with a 256-colour
palette, then 256, 128, 96, 64, 48, 32, 24 and 16 pixels with 32-bit colour; the 256-pixel
picture is stored as PNG. The shapes are signed distance functions, so every size is drawn
sharp and anti-aliased from the same description.

    make_icon.py OUTPUT.ico
"""
import math
import struct
import sys
import zlib

PALETTE_SIZES = (128, 96, 64, 48, 32, 24, 16)
TRUE_COLOUR_SIZES = (256, 128, 96, 64, 48, 32, 24, 16)

INK = (0.20, 0.32, 0.48)
PAPER_TOP = (1.0, 1.0, 1.0)
PAPER_BOTTOM = (0.86, 0.90, 0.95)
FLAP = (0.80, 0.86, 0.93)
CLIP = (0.82, 0.29, 0.18)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(1.0, max(0.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def rounded_box(px, py, cx, cy, hw, hh, radius):
    qx = abs(px - cx) - hw + radius
    qy = abs(py - cy) - hh + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def triangle(px, py, points):
    # Largest distance to the three edge lines: exact inside, close enough just outside.
    worst = -1e9
    for i in range(3):
        ax, ay = points[i]
        bx, by = points[(i + 1) % 3]
        nx, ny = by - ay, ax - bx
        length = math.hypot(nx, ny)
        worst = max(worst, ((px - ax) * nx + (py - ay) * ny) / length)
    return worst


def paper_clip(px, py):
    """Distance to the clip's wire: an outer loop and an inner U, turned across the corner."""
    angle = math.radians(-58)
    cx, cy = 0.70, 0.27
    dx, dy = px - cx, py - cy
    x = dx * math.cos(angle) + dy * math.sin(angle)
    y = -dx * math.sin(angle) + dy * math.cos(angle)
    length, outer, inner = 0.40, 0.085, 0.048
    left, right = -length / 2, length / 2
    outer_loop = abs(segment_distance(x, y, left, 0.0, right, 0.0) - outer)
    inner_right = right - 0.045
    inner_left = left + 0.09
    arc = abs(math.hypot(x - inner_right, y) - inner) if x >= inner_right else 1e9
    upper = segment_distance(x, y, inner_left, -inner, inner_right, -inner)
    lower = segment_distance(x, y, left + 0.02, inner, inner_right, inner)
    return min(outer_loop, arc, upper, lower)


def coverage(distance, pixel):
    return min(1.0, max(0.0, 0.5 - distance / pixel))


def over(dst, colour, alpha):
    r, g, b, a = dst
    keep = 1.0 - alpha
    return (colour[0] * alpha + r * keep, colour[1] * alpha + g * keep,
            colour[2] * alpha + b * keep, alpha + a * keep)


def render(size):
    """Rows of (r, g, b, a) tuples with 0..255 components, top row first."""
    pixel = 1.0 / size
    stroke = max(0.026, 1.1 * pixel) / 2
    wire = max(0.034, 1.3 * pixel) / 2
    box = (0.46, 0.58, 0.41, 0.27, 0.045)
    top = box[1] - box[3]
    flap = ((box[0] - box[2] + 0.01, top + 0.01), (box[0] + box[2] - 0.01, top + 0.01),
            (box[0], box[1] + 0.06))
    rows = []
    for j in range(size):
        py = (j + 0.5) * pixel
        row = []
        for i in range(size):
            px = (i + 0.5) * pixel
            colour = (0.0, 0.0, 0.0, 0.0)
            shadow = rounded_box(px, py, box[0] + 0.025, box[1] + 0.03, box[2], box[3], box[4])
            colour = over(colour, (0.0, 0.0, 0.0), 0.28 * min(1.0, max(0.0, 0.5 - shadow / 0.05)))
            body = rounded_box(px, py, *box)
            inside = coverage(body, pixel)
            shade = (py - top) / (2 * box[3])
            paper = tuple(t + (b - t) * shade for t, b in zip(PAPER_TOP, PAPER_BOTTOM))
            colour = over(colour, paper, inside)
            colour = over(colour, FLAP, inside * coverage(triangle(px, py, flap), pixel))
            fold = min(segment_distance(px, py, *flap[0], *flap[2]),
                       segment_distance(px, py, *flap[1], *flap[2]))
            colour = over(colour, INK, inside * coverage(fold - stroke * 0.8, pixel))
            colour = over(colour, INK, coverage(abs(body) - stroke, pixel))
            colour = over(colour, CLIP, coverage(paper_clip(px, py) - wire, pixel))
            r, g, b, a = colour
            if a > 0:
                r, g, b = r / a, g / a, b / a
            row.append(tuple(int(round(min(1.0, c) * 255)) for c in (r, g, b, a)))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def and_mask(rows):
    stride = ((len(rows) + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for i, pixel in enumerate(row):
            if pixel[3] < 128:
                line[i // 8] |= 0x80 >> (i % 8)
        data += line
    return bytes(data)


def bitmap_header(size, bits, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def dib_true_colour(rows):
    colour = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    mask = and_mask(rows)
    return bitmap_header(len(rows), 32, len(colour) + len(mask)) + colour + mask


def palette_for(rows):
    """The 256 most used colours of the opaque pixels, at 5 bits a channel."""
    counts = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= 128:
                key = (r >> 3, g >> 3, b >> 3)
                counts[key] = counts.get(key, 0) + 1
    ranked = sorted(counts, key=lambda k: (-counts[k], k))[:256]
    colours = [(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2) for r, g, b in ranked]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def dib_palette(rows):
    palette = palette_for(rows)
    cache = {}

    def nearest(r, g, b):
        key = (r, g, b)
        if key not in cache:
            cache[key] = min(range(256), key=lambda n: (palette[n][0] - r) ** 2
                             + (palette[n][1] - g) ** 2 + (palette[n][2] - b) ** 2)
        return cache[key]

    indices = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            indices.append(nearest(r, g, b) if a >= 128 else 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    mask = and_mask(rows)
    return bitmap_header(len(rows), 8, len(indices) + len(mask)) + table + bytes(indices) + mask


def icon_file(pictures):
    """pictures: (size, bits, data) in directory order."""
    offset = 6 + 16 * len(pictures)
    directory = struct.pack("<HHH", 0, 1, len(pictures))
    body = b""
    for size, bits, data in pictures:
        side = 0 if size == 256 else size
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return directory + body


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    drawn = {size: render(size) for size in TRUE_COLOUR_SIZES}
    pictures = [(size, 8, dib_palette(drawn[size])) for size in PALETTE_SIZES]
    for size in TRUE_COLOUR_SIZES:
        data = png(drawn[size]) if size == 256 else dib_true_colour(drawn[size])
        pictures.append((size, 32, data))
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file(pictures))


if __name__ == "__main__":
    main()
