#!/usr/bin/env python3
"""Writes the program's icon: one 32 x 32 image with a 256-colour palette.

A square tile with cut corners fills pixels 3 to 28 both ways: a two-pixel
frame around a lighter fill. On it stands a white block letter e, 16 pixels
wide and 17 high, outlined by one pixel in the frame colour. The three-pixel
margin around the tile is transparent.

    python3 make_icon.py quirnel.ico
"""
import struct
import sys

SIZE = 32
TILE_FIRST, TILE_LAST = 3, 28
CORNER_CUT = 3          # pixels cut off each corner along both edges
FRAME_WIDTH = 2

TRANSPARENT, FRAME, FILL, WHITE = 0, 1, 2, 3
PALETTE = {TRANSPARENT: (0, 0, 0), FRAME: (107, 143, 255), FILL: (177, 199, 255), WHITE: (255, 255, 255)}

# The letter: 16 columns, 17 rows, '#' white.
LETTER = [
    "....########....",
    "..############..",
    ".##############.",
    "#####......#####",
    "####........####",
    "####........####",
    "################",
    "################",
    "################",
    "####............",
    "####............",
    "####............",
    "#####.......####",
    ".##############.",
    ".##############.",
    "..############..",
    "....########....",
]
LETTER_LEFT = (SIZE - 16) // 2      # 8
LETTER_TOP = (SIZE - 17) // 2       # 7


def edge_distances(x, y):
    """How far (x, y) lies inside the tile's square from its nearest edges."""
    return min(x - TILE_FIRST, TILE_LAST - x), min(y - TILE_FIRST, TILE_LAST - y)


def in_tile(x, y):
    dx, dy = edge_distances(x, y)
    return dx >= 0 and dy >= 0 and dx + dy >= CORNER_CUT


def in_fill(x, y):
    # The frame keeps its width along the straight edges and the cut corners.
    dx, dy = edge_distances(x, y)
    return dx >= FRAME_WIDTH and dy >= FRAME_WIDTH and dx + dy >= CORNER_CUT + FRAME_WIDTH + 1


def in_letter(x, y):
    col, row = x - LETTER_LEFT, y - LETTER_TOP
    return 0 <= row < len(LETTER) and 0 <= col < len(LETTER[0]) and LETTER[row][col] == "#"


def near_letter(x, y):
    return any(in_letter(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1))


def pixel(x, y):
    if not in_tile(x, y):
        return TRANSPARENT
    if in_letter(x, y):
        return WHITE
    if near_letter(x, y):
        return FRAME
    if not in_fill(x, y):
        return FRAME
    return FILL


def icon_bytes():
    pixels = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in
                       (PALETTE.get(i, (0, 0, 0)) for i in range(256)))
    rows = range(SIZE - 1, -1, -1)  # bottom-up
    colour = b"".join(bytes(pixels[y]) for y in rows)
    mask = b""
    for y in rows:
        bits = 0
        for x in range(SIZE):
            if pixels[y][x] == TRANSPARENT:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
