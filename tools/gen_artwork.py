#!/usr/bin/env python3
"""Draws the window's artwork: the header picture, the pictures of the
progress bars' tracks and fills, and the program icon.

Usage: gen_artwork.py OUT_DIR

Everything is drawn from shapes here, so the pictures are ours and are
rebuilt with the program. Sizes are those the window lays them out in.
"""
import math
import os
import struct
import sys

FORM = (46, 52, 58)
DARK = (19, 23, 26)
GREEN = (7, 173, 65)
WHITE = (255, 255, 255)

# Track geometry in the window's pixels: the groove runs from the left end's
# x 6 to 6 pixels before the right end's edge, rows 1 to 29, round ends.
TRACK_HEIGHT = 32
GROOVE_TOP, GROOVE_BOTTOM = 1, 29
GROOVE_INSET = 6

FILL_HEIGHT = 25

# 5 x 7 letters for the wordmark.
LETTERS = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
}


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def write_bmp(path, pixels):
    """pixels[y][x] = (r, g, b), top row first; written as a 24-bit DIB."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + body)


def groove_colour(y):
    """The groove is dark at the top and lighter below, as a sunken channel."""
    return mix((10, 12, 14), (34, 39, 44), (y - GROOVE_TOP) / (GROOVE_BOTTOM - GROOVE_TOP))


def track_pixel(x, y, length):
    """One pixel of a whole track `length` pixels long."""
    radius = (GROOVE_BOTTOM - GROOVE_TOP) / 2.0
    centre_y = GROOVE_TOP + radius
    left = GROOVE_INSET + radius
    right = length - GROOVE_INSET - radius
    cx = min(max(x + 0.5, left), right)
    distance = math.hypot(x + 0.5 - cx, y + 0.5 - centre_y)
    if distance > radius + 0.5:
        return FORM
    if distance > radius - 0.7:
        return (78, 88, 96)  # the rim
    return groove_colour(y)


def track_pictures():
    length = 96
    left = [[track_pixel(x, y, length) for x in range(32)] for y in range(TRACK_HEIGHT)]
    middle = [[track_pixel(length // 2, y, length)] for y in range(TRACK_HEIGHT)]
    right = [[track_pixel(length - 32 + x, y, length) for x in range(32)] for y in range(TRACK_HEIGHT)]
    return left, middle, right


def fill_colour(y):
    t = y / (FILL_HEIGHT - 1)
    if t < 0.35:
        return mix((150, 240, 170), (40, 200, 95), t / 0.35)
    return mix((40, 200, 95), (5, 120, 45), (t - 0.35) / 0.65)


def fill_pictures():
    middle = [[fill_colour(y)] for y in range(FILL_HEIGHT)]
    # The caps round the fill's ends; their corners show the groove behind.
    behind = [groove_colour(y + 2) for y in range(FILL_HEIGHT)]
    cut = [3, 2, 1, 1]  # rows cut at each corner, outermost column first

    def cap(mirrored):
        rows = []
        for y in range(FILL_HEIGHT):
            row = []
            for x in range(4):
                column = 3 - x if mirrored else x
                inside = cut[column] <= y < FILL_HEIGHT - cut[column]
                row.append(fill_colour(y) if inside else behind[y])
            rows.append(row)
        return rows

    return cap(False), middle, cap(True)


def shield_inside(x, y, size):
    """A shield: straight top half, pointed bottom."""
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    if v < 0.08 or v > 0.95:
        return False
    half = 0.40 if v < 0.5 else 0.40 * (1 - (v - 0.5) / 0.45) ** 0.8
    return abs(u - 0.5) <= half


def check_mark(x, y, size):
    u = (x + 0.5) / size
    v = (y + 0.5) / size

    def near(ax, ay, bx, by):
        px, py = u - ax, v - ay
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - t * dx, py - t * dy) < 0.06

    return near(0.30, 0.48, 0.45, 0.65) or near(0.45, 0.65, 0.72, 0.32)


def shield_pixel(x, y, size, background):
    if not shield_inside(x, y, size):
        return background
    if check_mark(x, y, size):
        return WHITE
    return mix((60, 210, 110), (5, 110, 40), (y + 0.5) / size)


def header_picture():
    width, height = 478, 95
    pixels = [[mix(DARK, FORM, y / (height - 1)) for _ in range(width)] for y in range(height)]
    for y in range(height - 4, height - 2):
        for x in range(width):
            pixels[y][x] = mix(GREEN, FORM, x / width)
    # The shield, 64 pixels, then the wordmark beside it.
    size = 64
    top = (height - 4 - size) // 2
    for y in range(size):
        for x in range(size):
            pixels[top + y][16 + x] = shield_pixel(x, y, size, pixels[top + y][16 + x])
    scale = 6
    x0 = 16 + size + 20
    y0 = (height - 4 - 7 * scale) // 2
    for index, letter in enumerate("QUELLIX"):
        for row, bits in enumerate(LETTERS[letter]):
            for column, bit in enumerate(bits):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        px = x0 + index * 6 * scale + column * scale + dx
                        pixels[y0 + row * scale + dy][px] = WHITE
    return pixels


def icon_image(size):
    """One 32-bit image of the icon: header, colours bottom-up, mask."""
    colour = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        mask_row = bytearray(mask_stride)
        for x in range(size):
            if shield_inside(x, y, size):
                r, g, b = shield_pixel(x, y, size, (0, 0, 0))
                colour += bytes((b, g, r, 255))
            else:
                colour += bytes((0, 0, 0, 0))
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + mask


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    track_left, track_middle, track_right = track_pictures()
    fill_left, fill_middle, fill_right = fill_pictures()
    write_bmp(os.path.join(out, "header.bmp"), header_picture())
    write_bmp(os.path.join(out, "trackleft.bmp"), track_left)
    write_bmp(os.path.join(out, "trackmiddle.bmp"), track_middle)
    write_bmp(os.path.join(out, "trackright.bmp"), track_right)
    write_bmp(os.path.join(out, "fillleft.bmp"), fill_left)
    write_bmp(os.path.join(out, "fillmiddle.bmp"), fill_middle)
    write_bmp(os.path.join(out, "fillright.bmp"), fill_right)
    write_icon(os.path.join(out, "quellix.ico"), [32, 16])


if __name__ == "__main__":
    main()
