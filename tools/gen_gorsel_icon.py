#!/usr/bin/env python3
"""Draws Gorsel's icon: a round orange badge with a white sweeping broom
stroke, 32 and 16 pixels, written as a 32-bit .ico."""
import math
import os
import struct
import sys

ORANGE_TOP = (255, 170, 40)
ORANGE_BOTTOM = (200, 80, 10)
WHITE = (255, 255, 255)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def inside_badge(u, v):
    return math.hypot(u - 0.5, v - 0.5) <= 0.46


def on_stroke(u, v):
    """A handle from top right to the middle, and a fan of bristles below it."""
    def near(ax, ay, bx, by, width):
        px, py = u - ax, v - ay
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - t * dx, py - t * dy) < width

    handle = near(0.72, 0.22, 0.45, 0.55, 0.05)
    bristles = any(near(0.45, 0.55, 0.28 + 0.08 * k, 0.80, 0.035) for k in range(4))
    return handle or bristles


def pixel(x, y, size):
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    if not inside_badge(u, v):
        return None
    if on_stroke(u, v):
        return WHITE
    return mix(ORANGE_TOP, ORANGE_BOTTOM, v)


def icon_image(size):
    colour = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        mask_row = bytearray(mask_stride)
        for x in range(size):
            rgb = pixel(x, y, size)
            if rgb is None:
                colour += bytes((0, 0, 0, 0))
                mask_row[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = rgb
                colour += bytes((b, g, r, 255))
        mask += mask_row
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask),
                       0, 0, 0, 0)
    return info + colour + mask


def main():
    path = sys.argv[1]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    sizes = [32, 16]
    images = [icon_image(size) for size in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
