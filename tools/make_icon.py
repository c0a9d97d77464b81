#!/usr/bin/env python3
"""Draws the programs' icon (a small receipt printer with a paper strip) and
writes it as a Windows .ico with 16x16 and 32x32 images, 32 bits per pixel."""
import struct
import sys


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, color):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = color

    rect(9, 2, 23, 14, (250, 250, 250, 255))      # paper
    for line in (5, 8, 11):
        rect(11, line, 21, line + 1, (120, 120, 120, 255))
    rect(3, 13, 29, 27, (40, 70, 120, 255))       # body
    rect(5, 15, 27, 17, (20, 30, 50, 255))        # paper slot
    rect(21, 21, 26, 24, (80, 200, 90, 255))      # power light
    rect(3, 27, 29, 29, (25, 45, 80, 255))        # base
    return px


def image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(bytes(b for (r, g, bl, a) in px[y] for b in (bl, g, r, a))
                    for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    return header + rows + b'\0' * mask_row * size


def main(path):
    sizes = (16, 32)
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])
