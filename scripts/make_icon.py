#!/usr/bin/env python3
"""Draws the program icon, a small 3 x 3 sliding puzzle, into resources/mainicon.ico (standard library only).

Usage: make_icon.py [--check] [output-file]
  --check  compare with the existing file instead of writing; exit 1 on a difference.

The file holds an image for each size Windows asks for at 100 % to 200 % (16 and 32 pixels at
100 %, 20 and 40 at 125 %, 24 and 48 at 150 %, 32 and 64 at 200 %), all with the 16-colour
palette, which every version of Windows shows without dithering; so no size is stretched from
another.
"""

import struct
import sys
from pathlib import Path

# The standard 16-colour palette, as red, green, blue.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, WHITE = 0, 4, 6, 7, 8, 15

# Digits 1 to 8, five pixels wide and seven high.
DIGITS = {
    1: ['..#..', '.##..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    2: ['.###.', '#...#', '....#', '...#.', '..#..', '.#...', '#####'],
    3: ['####.', '....#', '....#', '.###.', '....#', '....#', '####.'],
    4: ['...#.', '..##.', '.#.#.', '#..#.', '#####', '...#.', '...#.'],
    5: ['#####', '#....', '####.', '....#', '....#', '#...#', '.###.'],
    6: ['..##.', '.#...', '#....', '####.', '#...#', '#...#', '.###.'],
    7: ['#####', '....#', '...#.', '..#..', '.#...', '.#...', '.#...'],
    8: ['.###.', '#...#', '#...#', '.###.', '#...#', '#...#', '.###.'],
}


def tile(img, x0, y0, size):
    """A raised tile like the game's: light top and left edge, shadowed bottom and right edge."""
    for y in range(y0, y0 + size):
        for x in range(x0, x0 + size):
            if y == y0 or x == x0:
                img[y][x] = WHITE
            elif y == y0 + size - 1 or x == x0 + size - 1:
                img[y][x] = GREY
            else:
                img[y][x] = SILVER


# The image sizes, largest first.
SIZES = (64, 48, 40, 32, 24, 20, 16)


def board(size):
    """A framed 3 x 3 board, solved but for the empty cell in the bottom-right corner.

    Tiles of 10 pixels and more carry their digits (twice as large from 20 pixels), smaller
    ones a dot."""
    cell = (size - 1) // 3
    with_digits = cell >= 10
    scale = 2 if cell >= 20 else 1
    img = [[TEAL] * size for _ in range(size)]
    # Black frame on the left and top, and on the other two sides where a pixel is left over.
    edge = 1 + 3 * cell
    for i in range(size):
        img[0][i] = img[i][0] = BLACK
        if edge < size:
            img[edge][i] = img[i][edge] = BLACK
    for row in range(3):
        for col in range(3):
            x0, y0 = 1 + col * cell, 1 + row * cell
            if (row, col) == (2, 2):
                continue  # the empty cell keeps the desktop-like teal
            tile(img, x0, y0, cell)
            number = row * 3 + col + 1
            if with_digits:
                left = x0 + (cell - 5 * scale + 1) // 2
                top = y0 + (cell - 7 * scale + 1) // 2
                for dy, line in enumerate(DIGITS[number]):
                    for dx, ch in enumerate(line):
                        if ch == '#':
                            for sy in range(scale):
                                for sx in range(scale):
                                    img[top + dy * scale + sy][left + dx * scale + sx] = NAVY
            else:
                img[y0 + cell // 2][x0 + cell // 2] = NAVY
    return img


def dib(img):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and the 1-bit mask, bottom row first."""
    size = len(img)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         (xor_stride + and_stride) * size, 0, 0, 16, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    pixels = bytearray()
    for row in reversed(img):
        line = bytearray((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
        pixels += line + bytes(xor_stride - len(line))
    # Every pixel opaque: an all-zero mask.
    mask = bytes(and_stride * size)
    return header + palette + bytes(pixels) + mask


def ico(images):
    count = len(images)
    out = struct.pack('<HHH', 0, 1, count)
    offset = 6 + 16 * count
    blobs = []
    for img in images:
        data = dib(img)
        size = len(img)
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
        blobs.append(data)
    return out + b''.join(blobs)


def main(argv):
    check = '--check' in argv
    args = [a for a in argv if a != '--check']
    out = Path(args[0]) if args else Path(__file__).resolve().parent.parent / 'resources' / 'mainicon.ico'
    data = ico([board(size) for size in SIZES])
    if check:
        if not out.is_file() or out.read_bytes() != data:
            print(f'{out} differs from what {Path(__file__).name} generates', file=sys.stderr)
            return 1
        return 0
    out.write_bytes(data)
    print(f'{out}: {len(data)} bytes')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
