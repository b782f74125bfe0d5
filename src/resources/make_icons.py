#!/usr/bin/env python3
"""Draws the program's icons and writes them as 16-colour .ico files.

serverbrowser.ico (icon 107, the class icon) holds a 256x256, a 48x48, a 32x32 and a 16x16
image, small.ico (icon 108, the small class icon and the tray icon) a 48x48, a 32x32 and a
16x16 image: at 125 % and more the program loads each scaled down from a larger one, never
the 16x16 or 32x32 one scaled up. shell.ico (icon 1, the file's first icon group, which
Explorer, shortcuts and the list of installed programs show) holds the same drawing at 256,
48, 32 and 16 pixels. The picture: a dark disc with three light rows, a list of servers, and
a green signal dot.

    make_icons.py [output folder]      (default: this script's folder)
"""

import os
import struct
import sys

# The standard 16-colour palette, (blue, green, red, 0) as .ico files store it.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, GREY, BRIGHT_GREEN, WHITE, SILVER = 0, 4, 8, 10, 15, 7
CLEAR = None


def draw(size):
    """Returns size rows of size palette indices (None for transparent), top row first."""
    pixels = [[CLEAR] * size for _ in range(size)]
    centre = (size - 1) / 2.0
    radius = size / 2.0 - 0.5
    for y in range(size):
        for x in range(size):
            d2 = (x - centre) ** 2 + (y - centre) ** 2
            if d2 <= radius ** 2:
                pixels[y][x] = BLACK if d2 > (radius - 1.2) ** 2 else DARK_BLUE
    # Three rows of a list: a light bar with a dark gap, like a table of servers.
    unit = size // 16
    for row in range(3):
        top = (4 + row * 3) * unit
        for y in range(top, top + 2 * unit):
            for x in range(4 * unit, 12 * unit):
                if pixels[y][x] is not CLEAR:
                    pixels[y][x] = WHITE if x < 9 * unit else SILVER
    # The signal dot of an answering server, at the upper right of the disc.
    for y in range(2 * unit, 5 * unit):
        for x in range(11 * unit, 14 * unit):
            pixels[y][x] = BRIGHT_GREEN
    return pixels


def bitmap(pixels):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows, 1-bit mask rows."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bitmaps are stored bottom row first
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour += line
        mask += bits
    return header + palette + bytes(colour) + bytes(mask)


def icon_file(sizes):
    images = [bitmap(draw(size)) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        # A directory entry says 0 for 256 pixels.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, sizes in (("serverbrowser.ico", (256, 48, 32, 16)), ("small.ico", (48, 32, 16)),
                        ("shell.ico", (256, 48, 32, 16))):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(icon_file(sizes))


if __name__ == "__main__":
    main()
