#!/usr/bin/env python3
"""Draws the reader's small images from the pixel patterns below and writes
them as .bmp and .ico files beside this script. Run it after changing a
pattern and commit the outputs; the build only reads them.

  tools.bmp     bitmap 114: six 16x16 tool-button images side by side
  grid_*.bmp    bitmaps 201-203: 9x9 one-bit outline markers
  lorvan.ico    icon 101: 32x32 and 16x16
  about.bmp     bitmap 113: the About box's 63x40 one-bit picture, an open book
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Tool images. '.' is the button face (light grey, which the toolbar maps to
# the face colour); the other letters are colours.
COLOURS = {
    '.': (192, 192, 192),
    'k': (0, 0, 0),
    'g': (96, 96, 96),
    'w': (255, 255, 255),
    'b': (0, 64, 160),
    'l': (96, 160, 224),
    'r': (192, 0, 0),
    'y': (240, 200, 40),
}

PREVIOUS = """
................
................
.......k........
......kk........
.....kbk........
....kbbkkkkkkk..
...kbbbbbbbbbk..
..kbbbbbbbbbbk..
..kbbbbbbbbbbk..
...kbbbbbbbbbk..
....kbbkkkkkkk..
.....kbk........
......kk........
.......k........
................
................
"""

NEXT = "\n".join(row[::-1] for row in PREVIOUS.strip("\n").split("\n"))

INDEX = """
................
.kkkkkkkkkkkkk..
.kwwwwwwwwwwwk..
.kwbwkkkkkkkwk..
.kwwwwwwwwwwwk..
.kwbwkkkkkkwwk..
.kwwwwwwwwwwwk..
.kwbwkkkkkkkwk..
.kwwwwwwwwwwwk..
.kwbwkkkkkwwwk..
.kwwwwwwwwwwwk..
.kwbwkkkkkkkwk..
.kwwwwwwwwwwwk..
.kkkkkkkkkkkkk..
................
................
"""

FONT = """
................
................
......kkk.......
......kkk.......
.....kk.kk......
.....kk.kk......
....kk...kk.....
....kk...kk.....
...kkkkkkkkk....
...kk.....kk....
..kk.......kk...
..kk.......kk...
.kkkk.....kkkk..
................
.bbbbbbbbbbbbb..
................
"""

SEARCH = """
................
....kkkkk.......
...kllllwk......
..klllllwlk.....
.kllllllllllk...
.klllllllllk....
.klllllllllk....
.klllllllllk....
..klllllllk.....
...klllllk......
....kkkkkgg.....
..........ggg...
...........ggg..
............gg..
................
................
"""

SEARCH_AGAIN = """
................
....kkkkk.......
...kllllwk......
..klllllwlk.....
.kllllllllk.....
.kllllllllk.....
.kllllllllk.....
.kllllllllk.....
..klllllllk.....
...klllllk..r...
....kkkkkgg.rr..
..........rrrrr.
............rr..
............r...
................
................
"""

TOOLS = [PREVIOUS, NEXT, INDEX, FONT, SEARCH, SEARCH_AGAIN]
# Order of the images in the bitmap: previous, choose, next, font, search, again.
TOOL_ORDER = [0, 2, 1, 3, 4, 5]

# Markers: '#' black, '.' white.
COLLAPSED = """
#########
#.......#
#...#...#
#...#...#
#.#####.#
#...#...#
#...#...#
#.......#
#########
"""

EXPANDED = """
#########
#.......#
#.......#
#.......#
#.#####.#
#.......#
#.......#
#.......#
#########
"""

PAGE = """
.#####...
.#...##..
.#...#.#.
.#...####
.#......#
.#......#
.#......#
.#......#
.########
"""

# The open book of the About box: '#' black, '.' white.
ABOUT = """
...............................................................
...............................................................
...............................................................
...............................................................
...............................................................
..###############.............................###############..
..#..............######.................######..............#..
..#....................####.........####....................#..
..#........................###...###........................#..
..#...........................###...........................#..
..#............................#............................#..
..#......##..#####..###..####..#....#####..######..######...#..
..#............................#............................#..
..#............................#............................#..
..#......####..##..######..##..#...#..######..##..###..##...#..
..#............................#............................#..
..#............................#............................#..
..#....##..######..##..######..#...####..###..#####..####...#..
..#............................#............................#..
..#............................#............................#..
..#......#####..#####..##..##..#...####..####..######..##...#..
..#............................#............................#..
..#............................#............................#..
..#....#..######..##..###..##..#...#####..######..##..###...#..
..#............................#............................#..
..#............................#............................#..
..#............##..######..##..#................####..###...#..
..#............................#............................#..
..#............................#............................#..
..#............#..######..###..#...............######..##...#..
..#............................#............................#..
..###############..............#..............###############..
.................######........#........######.................
.......................####....#....####.......................
...........................###.#.###...........................
..............................###..............................
...............................................................
...............................................................
...............................................................
...............................................................
"""

ICON_32 = """
................................
................................
................................
................................
...kkkkkkkkkkkk..kkkkkkkkkkkk...
..kwwwwwwwwwwwwkkwwwwwwwwwwwwk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwbbbbbbbbbwwkkwwbbbbbrrbbwk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwbbbbbbbbbwwkkwwbbbbbrrbbwk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwbbbbbbbbbwwkkwwbbbbbrrbbwk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwbbbbbbbbbwwkkwwbbbbbrrbbwk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwbbbbbbbbbwwkkwwbbbbbrrbbwk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwyyyyyyyyywwkkwwyyyyyrryywk..
..kwyyyyyyyyywwkkwwyyyyyrryywk..
..kwwwwwwwwwwwwkkwwwwwwwrrwwwk..
..kwbbbbbbbbbwwkkwwbbbbbrrbbwk..
..kwwwwwwwwwwwwkkwwwwwwwrwrwwk..
..kwbbbbbbbbbwwkkwwbbbbbbbbbwk..
..kwwwwwwwwwwwwkkwwwwwwwwwwwwk..
..kwwwwwwwwwwwwkkwwwwwwwwwwwwk..
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
...gggggggggggggggggggggggggg...
................................
................................
................................
................................
................................
"""


def rows_of(pattern):
    return [row for row in pattern.strip("\n").split("\n")]


def bmp_24(width, height, pixel):
    """A bottom-up 24-bit BMP file; pixel(x, y) gives (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    return file_header + header + bytes(data)


def bmp_1(width, height, is_black):
    """A bottom-up monochrome BMP file, palette black then white."""
    stride = ((width + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            if not is_black(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    offset = 14 + 40 + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return file_header + header + palette + bytes(data)


def icon_image(rows, size):
    """One icon image: 32-bit BGRA bottom-up pixels and a 1-bit AND mask."""
    scale = len(rows) // size
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        mask_row = bytearray(mask_stride)
        for x in range(size):
            letter = rows[y * scale][x * scale]
            if letter == '.':
                pixels += bytes((0, 0, 0, 0))
                mask_row[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = COLOURS[letter]
                pixels += bytes((b, g, r, 255))
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def write_icon(path, rows, sizes):
    images = [icon_image(rows, size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


def main():
    tools = [rows_of(TOOLS[i]) for i in TOOL_ORDER]
    for rows in tools:
        assert len(rows) == 16 and all(len(r) == 16 for r in rows), rows
    with open(os.path.join(HERE, "tools.bmp"), "wb") as out:
        out.write(bmp_24(96, 16, lambda x, y: COLOURS[tools[x // 16][y][x % 16]]))
    for name, pattern in (("grid_collapsed", COLLAPSED), ("grid_expanded", EXPANDED), ("grid_page", PAGE)):
        rows = rows_of(pattern)
        assert len(rows) == 9 and all(len(r) == 9 for r in rows), name
        with open(os.path.join(HERE, name + ".bmp"), "wb") as out:
            out.write(bmp_1(9, 9, lambda x, y: rows[y][x] == '#'))
    about = rows_of(ABOUT)
    assert len(about) == 40 and all(len(r) == 63 for r in about)
    with open(os.path.join(HERE, "about.bmp"), "wb") as out:
        out.write(bmp_1(63, 40, lambda x, y: about[y][x] == '#'))
    icon = rows_of(ICON_32)
    assert len(icon) == 32 and all(len(r) == 32 for r in icon)
    write_icon(os.path.join(HERE, "lorvan.ico"), icon, [32, 16])


if __name__ == "__main__":
    main()
