#!/usr/bin/env python3
"""Draws the reader's small images from the pixel patterns below and writes
them as .bmp and .ico files beside this script. Run it after changing a
pattern and commit the outputs; the build only reads them.

  tools.bmp     bitmap 114: six 16x16 tool-button images side by side
  grid_*.bmp    bitmaps 201-203: 9x9 one-bit outline markers
  lorvan.ico    icon 101: 32x32 and 16x16
  about.bmp     bitmap 113: the About box's 63x40 one-bit picture, an open book
  keyboard.bmp  bitmap 119: the Search dialog's letter keyboard, 154x95, one bit
  icons/lorvan-N.png  the same icon at the sizes desktop menus ask for,
                      installed by scripts/install-desktop.sh

Every .bmp is also written at 1.5x and 2x as NAME_150.bmp and NAME_200.bmp,
for screens of 144 and 192 DPI; the reader takes the scale nearest its own.
"""
import os
import struct
import zlib

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


# Sizes of the launcher icon. Multiples of the 32-pixel pattern stay sharp;
# the others are averaged from it.
LAUNCHER_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def rgba_of(letter):
    if letter == '.':
        return (0, 0, 0, 0)
    return COLOURS[letter] + (255,)


def resampled(rows, size):
    """The pattern scaled to size x size RGBA pixels: each target pixel is
    the average of the pattern pixels it covers, weighted by how much of each
    it covers, with the colours weighted by their opacity."""
    source = len(rows)
    scale = source / size
    pixels = []
    for ty in range(size):
        row = []
        for tx in range(size):
            colour = [0.0, 0.0, 0.0]
            opacity = 0.0
            for sy, wy in covered(ty * scale, (ty + 1) * scale, source):
                for sx, wx in covered(tx * scale, (tx + 1) * scale, source):
                    r, g, b, a = rgba_of(rows[sy][sx])
                    weight = wx * wy * a / 255
                    colour = [c + v * weight for c, v in zip(colour, (r, g, b))]
                    opacity += weight
            if opacity == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / opacity) for c in colour) + (round(255 * opacity / (scale * scale)),))
        pixels.append(row)
    return pixels


def covered(start, end, limit):
    """The source cells that the span [start, end) covers, with the part of each."""
    cell = int(start)
    while cell < end and cell < limit:
        yield cell, min(end, cell + 1) - max(start, cell)
        cell += 1


def png(pixels):
    """A PNG file of 8-bit RGBA rows."""
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def write_launcher_icons(rows):
    folder = os.path.join(HERE, "icons")
    os.makedirs(folder, exist_ok=True)
    for size in LAUNCHER_SIZES:
        with open(os.path.join(folder, "lorvan-%d.png" % size), "wb") as out:
            out.write(png(resampled(rows, size)))


# ---- Larger scales ------------------------------------------------------------
# 2x is Scale2x (EPX): each pixel becomes four, and a corner between two
# equal neighbours takes their colour, so diagonals stay smooth instead of
# turning into stairs, and a one-pixel line becomes two pixels. 1.5x is
# Scale3x halved: each 2 x 2 block of the 3x image takes the colour most of
# it has, ink before background on a tie, so no line gets thinner than it
# was. Images are grids of values (letters or booleans); `background` is the
# value that is not ink.

def scale2x(grid):
    height, width = len(grid), len(grid[0])
    out = [[None] * (2 * width) for _ in range(2 * height)]
    for y in range(height):
        for x in range(width):
            p = grid[y][x]
            a = grid[y - 1][x] if y > 0 else p
            b = grid[y][x + 1] if x < width - 1 else p
            c = grid[y][x - 1] if x > 0 else p
            d = grid[y + 1][x] if y < height - 1 else p
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


def scale3x(grid):
    height, width = len(grid), len(grid[0])
    out = [[None] * (3 * width) for _ in range(3 * height)]

    def at(y, x):
        return grid[min(max(y, 0), height - 1)][min(max(x, 0), width - 1)]

    for y in range(height):
        for x in range(width):
            a, b, c = at(y - 1, x - 1), at(y - 1, x), at(y - 1, x + 1)
            d, e, f = at(y, x - 1), at(y, x), at(y, x + 1)
            g, h, i = at(y + 1, x - 1), at(y + 1, x), at(y + 1, x + 1)
            cells = [e] * 9
            if b != h and d != f:
                cells[0] = d if d == b else e
                cells[1] = b if (d == b and e != c) or (b == f and e != a) else e
                cells[2] = f if b == f else e
                cells[3] = d if (d == b and e != g) or (d == h and e != a) else e
                cells[5] = f if (b == f and e != i) or (h == f and e != c) else e
                cells[6] = d if d == h else e
                cells[7] = h if (d == h and e != i) or (h == f and e != g) else e
                cells[8] = f if h == f else e
            for k, value in enumerate(cells):
                out[3 * y + k // 3][3 * x + k % 3] = value
    return out


def halved(grid, background):
    height, width = len(grid), len(grid[0])
    out = []
    for y in range(0, height, 2):
        row = []
        for x in range(0, width, 2):
            block = [grid[yy][xx] for yy in (y, y + 1) if yy < height for xx in (x, x + 1) if xx < width]
            counts = {}
            for value in block:
                counts[value] = counts.get(value, 0) + 1
            best = max(counts.values())
            winners = [v for v in block if counts[v] == best]
            inked = [v for v in winners if v != background]
            row.append(inked[0] if inked else winners[0])
        out.append(row)
    return out


def repeated(grid, factor):
    return [[value for value in row for _ in range(factor)] for row in grid for _ in range(factor)]


def upscaled(grid, percent, background, smooth=True):
    if percent == 200:
        return scale2x(grid) if smooth else repeated(grid, 2)
    if percent == 150:
        return halved(scale3x(grid) if smooth else repeated(grid, 3), background)
    return grid


ART_SCALES = [150, 200]


def scaled_name(name, percent):
    return "%s_%d.bmp" % (name, percent)


def write_bmp_1_grid(path, grid):
    """A one-bit BMP of a grid of booleans, True black."""
    with open(path, "wb") as out:
        out.write(bmp_1(len(grid[0]), len(grid), lambda x, y: grid[y][x]))


def write_scaled_1(name, grid):
    for percent in ART_SCALES:
        write_bmp_1_grid(os.path.join(HERE, scaled_name(name, percent)), upscaled(grid, percent, False))


def write_scaled_tools(tools):
    for percent in ART_SCALES:
        images = [upscaled([list(row) for row in rows], percent, '.') for rows in tools]
        size = len(images[0])
        with open(os.path.join(HERE, scaled_name("tools", percent)), "wb") as out:
            out.write(bmp_24(size * len(images), size,
                             lambda x, y: COLOURS[images[x // size][y][x % size]]))


# ---- Keyboard (bitmap 119) ----------------------------------------------------
# The Search dialog's letter keyboard: 154 x 95, three rows of nine keys of
# 17 x 25 pixels on a one-pixel grid, and the space bar below them. The keys
# run right to left: alef at the top right, tav at the bottom left. The
# glyphs are 10 x 16 ('#' black); rows 3 to 13 are the body, 0 to 2 the
# ascender of lamed, 14 and 15 the descenders.

KEYBOARD_WIDTH, KEYBOARD_HEIGHT = 154, 95
KEY_WIDTH, KEY_HEIGHT = 17, 25
# Letter codes in key order: key k (1 to 27) enters byte k of this string.
KEYBOARD_TABLE = "abcdefghijlkmonqprsutwvxyz{"
SPACE_BAR = (34, 79, 119, 94)  # left, top, right, bottom, inclusive

LETTERS = {
    'a': """
..........
..........
..........
##......##
##......##
.##.....##
..##...##.
..###.##..
...####...
..##.###..
..##..###.
..##...###
..##....##
..##....##
..........
..........
""",
    'b': """
..........
..........
..........
#######...
########..
......##..
......##..
......##..
......##..
......##..
......##..
......##..
#########.
#########.
..........
..........
""",
    'c': """
..........
..........
..........
..####....
..#####...
.....##...
.....##...
.....##...
.....##...
.....###..
....####..
...##.##..
..##..##..
.##...##..
..........
..........
""",
    'd': """
..........
..........
..........
##########
##########
......##..
......##..
......##..
......##..
......##..
......##..
......##..
......##..
......##..
..........
..........
""",
    'e': """
..........
..........
..........
#########.
#########.
.......##.
.......##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
..........
..........
""",
    'f': """
..........
..........
..........
..####....
..####....
....##....
....##....
....##....
....##....
....##....
....##....
....##....
....##....
....##....
..........
..........
""",
    'g': """
..........
..........
..........
.#######..
.#######..
....##....
....##....
....##....
....##....
....##....
....##....
....##....
....##....
....##....
..........
..........
""",
    'h': """
..........
..........
..........
#########.
#########.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
..........
..........
""",
    'i': """
..........
..........
..........
##...###..
##..##.##.
##.##...##
##.##...##
##......##
##......##
##......##
##......##
##......##
.########.
..######..
..........
..........
""",
    'j': """
..........
..........
..........
..####....
..#####...
.....##...
.....##...
....##....
..........
..........
..........
..........
..........
..........
..........
..........
""",
    'k': """
..........
..........
..........
########..
#########.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
""",
    'l': """
..........
..........
..........
#######...
########..
......##..
.......##.
.......##.
.......##.
.......##.
.......##.
......##..
########..
#######...
..........
..........
""",
    'm': """
##........
##........
##........
##........
##........
#########.
#########.
.......##.
.......##.
......##..
.....##...
....##....
...##.....
..##......
..........
..........
""",
    'n': """
..........
..........
..........
#########.
#########.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
##.....##.
#########.
#########.
..........
..........
""",
    'o': """
..........
..........
..........
##..####..
##.##..##.
####....##
###.....##
##......##
##......##
##......##
##......##
##......##
##..######
##..######
..........
..........
""",
    'p': """
..........
..........
..........
..####....
..#####...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
""",
    'q': """
..........
..........
..........
..####....
..#####...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
.....##...
..######..
..######..
..........
..........
""",
    'r': """
..........
..........
..........
########..
#########.
##.....##.
##......##
##......##
##......##
##......##
##.....##.
.##...##..
..#####...
...###....
..........
..........
""",
    's': """
..........
..........
..........
##.....##.
##.....##.
.##....##.
.##....##.
..##...##.
..##..##..
...##.##..
...#####..
...####...
#######...
######....
..........
..........
""",
    'u': """
..........
..........
..........
########..
#########.
##.....##.
###....##.
.##....##.
.......##.
.......##.
.......##.
.......##.
#########.
########..
..........
..........
""",
    't': """
..........
..........
..........
########..
#########.
##.....##.
###....##.
.##....##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
""",
    'w': """
..........
..........
..........
##.....##.
##.....##.
.##....##.
..##...##.
...##.##..
....###...
.....##...
......##..
.......##.
#########.
#########.
..........
..........
""",
    'v': """
..........
..........
..........
##.....##.
##.....##.
.##....##.
..##..##..
...####...
....##....
....##....
....##....
....##....
....##....
....##....
....##....
....##....
""",
    'x': """
..........
..........
..........
#########.
#########.
.......##.
##.....##.
##.....##.
##.....##.
##....##..
##...##...
##........
##........
##........
##........
##........
""",
    'y': """
..........
..........
..........
########..
#########.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
.......##.
..........
..........
""",
    'z': """
..........
..........
..........
##..##..##
##..##..##
##..##..##
##..##..##
##..##..##
##..##.##.
##..####..
##..###...
##.###....
######....
#####.....
..........
..........
""",
    '{': """
..........
..........
..........
#########.
#########.
..##...##.
..##...##.
..##...##.
..##...##.
..##...##.
..##...##.
..##...##.
###....##.
##.....##.
..........
..........
""",
}

# The space bar's own mark, drawn in its middle.
SPACE_MARK = """
##..................##
##..................##
######################
######################
"""


def keyboard_grid_pixels():
    """The keys' frames as a set of black (x, y) pixels."""
    black = set()
    grid_bottom = 3 * KEY_HEIGHT
    for column in range(10):
        for y in range(grid_bottom + 1):
            black.add((column * KEY_WIDTH, y))
    for row in range(4):
        for x in range(9 * KEY_WIDTH + 1):
            black.add((x, row * KEY_HEIGHT))
    return black


def keyboard_drawing_pixels():
    """The letters and the space bar as a set of black (x, y) pixels."""
    black = set()
    for row in range(3):
        for column in range(9):
            code = KEYBOARD_TABLE[9 * (row + 1) - column - 1]
            glyph = rows_of(LETTERS[code])
            assert len(glyph) == 16 and all(len(r) == 10 for r in glyph), code
            left, top = column * KEY_WIDTH + 4, row * KEY_HEIGHT + 4
            for gy, line in enumerate(glyph):
                for gx, pixel in enumerate(line):
                    if pixel == '#':
                        black.add((left + gx, top + gy))
    left, top, right, bottom = SPACE_BAR
    corner = 3
    for x in range(left + corner, right - corner + 1):
        black.update({(x, top), (x, bottom)})
    for y in range(top + corner, bottom - corner + 1):
        black.update({(left, y), (right, y)})
    for step in range(1, corner):  # the rounded corners, one diagonal pixel each
        for cx, cy, dx, dy in ((left, top, 1, 1), (right, top, -1, 1), (left, bottom, 1, -1), (right, bottom, -1, -1)):
            black.add((cx + dx * step, cy + dy * (corner - step)))
    mark = rows_of(SPACE_MARK)
    mark_left = (left + right + 1 - len(mark[0])) // 2
    mark_top = (top + bottom + 1 - len(mark)) // 2
    for my, line in enumerate(mark):
        for mx, pixel in enumerate(line):
            if pixel == '#':
                black.add((mark_left + mx, mark_top + my))
    return black


def write_keyboard():
    assert len(KEYBOARD_TABLE) == 27 and set(KEYBOARD_TABLE) == set(LETTERS)
    frames = keyboard_grid_pixels()
    drawing = keyboard_drawing_pixels()
    black = frames | drawing
    with open(os.path.join(HERE, "keyboard.bmp"), "wb") as out:
        out.write(bmp_1(KEYBOARD_WIDTH, KEYBOARD_HEIGHT, lambda x, y: (x, y) in black))
    # The frames are straight lines, which only grow: smoothing would round
    # every crossing into a blob.
    as_grid = lambda pixels: [[(x, y) in pixels for x in range(KEYBOARD_WIDTH)] for y in range(KEYBOARD_HEIGHT)]
    for percent in ART_SCALES:
        lines = upscaled(as_grid(frames), percent, False, smooth=False)
        letters = upscaled(as_grid(drawing), percent, False)
        merged = [[a or b for a, b in zip(row_a, row_b)] for row_a, row_b in zip(lines, letters)]
        write_bmp_1_grid(os.path.join(HERE, scaled_name("keyboard", percent)), merged)


def main():
    tools = [rows_of(TOOLS[i]) for i in TOOL_ORDER]
    for rows in tools:
        assert len(rows) == 16 and all(len(r) == 16 for r in rows), rows
    with open(os.path.join(HERE, "tools.bmp"), "wb") as out:
        out.write(bmp_24(96, 16, lambda x, y: COLOURS[tools[x // 16][y][x % 16]]))
    write_scaled_tools(tools)
    for name, pattern in (("grid_collapsed", COLLAPSED), ("grid_expanded", EXPANDED), ("grid_page", PAGE)):
        rows = rows_of(pattern)
        assert len(rows) == 9 and all(len(r) == 9 for r in rows), name
        with open(os.path.join(HERE, name + ".bmp"), "wb") as out:
            out.write(bmp_1(9, 9, lambda x, y: rows[y][x] == '#'))
        write_scaled_1(name, [[pixel == '#' for pixel in row] for row in rows])
    about = rows_of(ABOUT)
    assert len(about) == 40 and all(len(r) == 63 for r in about)
    with open(os.path.join(HERE, "about.bmp"), "wb") as out:
        out.write(bmp_1(63, 40, lambda x, y: about[y][x] == '#'))
    write_scaled_1("about", [[pixel == '#' for pixel in row] for row in about])
    icon = rows_of(ICON_32)
    assert len(icon) == 32 and all(len(r) == 32 for r in icon)
    write_icon(os.path.join(HERE, "lorvan.ico"), icon, [32, 16])
    write_launcher_icons(icon)
    write_keyboard()


if __name__ == "__main__":
    main()
