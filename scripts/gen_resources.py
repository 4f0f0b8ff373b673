#!/usr/bin/env python3
"""Writes the program's binary resources: res/softveil.ico, res/colors.ico and
res/link.cur.

The two icons carry every size the shell asks for between 100 % and 200 %
(16, 20, 24, 32, 40 and 48 pixels) and 256 for large views, each drawn for
its size rather than stretched, in 32-bit colour with alpha; the largest is
stored as PNG, as the format allows, to keep the program small.

The images are drawn from small pixel rules and ASCII art here rather than kept
only as opaque binaries, so they can be reviewed and changed as text. The
output is byte-for-byte the same on every run; the build uses the committed
files, and this script is run by hand after changing a picture.

Usage: scripts/gen_resources.py [output directory, default: res/ beside scripts/]
"""
import os
import struct
import sys
import zlib

SIZE = 32
ICON_SIZES = (16, 20, 24, 32, 40, 48, 256)

# The 16-colour palette of the classic Windows icons, as (red, green, blue).
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, LIGHT_GREY, GREY = 0, 7, 8
RED, GREEN, YELLOW, BLUE = 9, 10, 11, 12

# A pixel is a palette index, or None where the picture is transparent.
TRANSPARENT = None


def program_icon_pixels(size=SIZE):
    """Icon 128: a 2 x 2 checkerboard inside a black frame, one pixel wide at
    32 pixels and as wide in proportion at other sizes."""
    frame = max(1, round(size / 32))
    half = size // 2
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if min(x, y, size - 1 - x, size - 1 - y) < frame:
                row.append(BLACK)
            else:
                # Light grey where both halves agree (top-left, bottom-right).
                row.append(LIGHT_GREY if (x < half) == (y < half) else BLACK)
        rows.append(row)
    return rows


def colors_icon_pixels(size=SIZE):
    """Icon 134: four coloured squares in a grey frame, split by a clear cross.

    At 32 pixels 30 remain inside the frame: 14 for a square, 2 for the
    cross, 14 for the other square; other sizes keep those proportions.
    """
    frame = max(1, round(size / 32))
    cross = range(size // 2 - frame, size // 2 + frame)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if min(x, y, size - 1 - x, size - 1 - y) < frame:
                row.append(GREY)
            elif x in cross or y in cross:
                row.append(TRANSPARENT)
            elif y < cross[0]:
                row.append(RED if x < cross[0] else YELLOW)
            else:
                row.append(BLUE if x < cross[0] else GREEN)
        rows.append(row)
    return rows


# The link cursor: the usual arrow shape filled blue, with a blue question mark
# to its right. 'K' is the dark outline that keeps both readable on any
# background, 'B' the blue fill, anything else transparent.
ARROW_ART = [
    "K",
    "KK",
    "KBK",
    "KBBK",
    "KBBBK",
    "KBBBBK",
    "KBBBBBK",
    "KBBBBBBK",
    "KBBBBBBBK",
    "KBBBBBBBBK",
    "KBBBBBBBBBK",
    "KBBBBBBKKKKK",
    "KBBBKBBK",
    "KBBKKBBK",
    "KBK  KBBK",
    "KK   KBBK",
    "K     KBBK",
    "      KBBK",
    "       KK",
]
# Only the fill of the question mark; its outline is grown around it.
QUESTION_FILL = [
    " BBBB ",
    "BBBBBB",
    "BB  BB",
    "    BB",
    "   BBB",
    "  BBB ",
    "  BB  ",
    "  BB  ",
    "      ",
    "  BB  ",
    "  BB  ",
]
CURSOR_HOTSPOT = (6, 7)      # the arrow's tip
QUESTION_ORIGIN = (20, 10)   # top-left of the question mark's fill

# The cursor's palette has 256 entries (8 bits per pixel); only the first two
# are used and the rest stay black.
CUR_BLACK, CUR_BLUE = 0, 1
CURSOR_PALETTE = [(0, 0, 0), (0, 0, 255)]


def paint_art(rows, art, origin, colours):
    ox, oy = origin
    for dy, line in enumerate(art):
        for dx, ch in enumerate(line):
            if ch in colours:
                rows[oy + dy][ox + dx] = colours[ch]


def outline_around(rows, index, outline):
    """Gives every transparent pixel touching a pixel of `index` the outline."""
    touching = set()
    for y in range(SIZE):
        for x in range(SIZE):
            if rows[y][x] != index:
                continue
            for ny in range(y - 1, y + 2):
                for nx in range(x - 1, x + 2):
                    if 0 <= nx < SIZE and 0 <= ny < SIZE and rows[ny][nx] is TRANSPARENT:
                        touching.add((nx, ny))
    for x, y in touching:
        rows[y][x] = outline


def link_cursor_pixels():
    rows = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    mark = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    paint_art(mark, QUESTION_FILL, QUESTION_ORIGIN, {"B": CUR_BLUE})
    outline_around(mark, CUR_BLUE, CUR_BLACK)
    for y in range(SIZE):
        for x in range(SIZE):
            if mark[y][x] is not TRANSPARENT:
                rows[y][x] = mark[y][x]
    paint_art(rows, ARROW_ART, CURSOR_HOTSPOT, {"K": CUR_BLACK, "B": CUR_BLUE})
    return rows


def pack_rows(rows, bits):
    """Colour bits of a DIB: rows bottom-up, each padded to 4 bytes."""
    out = bytearray()
    per_byte = 8 // bits
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, SIZE, per_byte):
            byte = 0
            for p in row[i:i + per_byte]:
                # Transparent pixels are black in the colour bits, so that the
                # AND mask alone decides and the screen shows through unchanged.
                byte = (byte << bits) | (0 if p is TRANSPARENT else p)
            line.append(byte)
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def and_mask(rows):
    """AND mask: 1 bit per pixel, set where the picture is transparent."""
    bitmap = [[1 if p is TRANSPARENT else 0 for p in row] for row in rows]
    return pack_rows(bitmap, 1)


def image_data(rows, bits, palette):
    colour_count = 1 << bits
    pal = [palette[i] if i < len(palette) else (0, 0, 0) for i in range(colour_count)]
    xor = pack_rows(rows, bits)
    mask = and_mask(rows)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,            # BITMAPINFOHEADER
        SIZE,
        SIZE * 2,      # colour bits and AND mask stacked
        1, bits,
        0,             # BI_RGB
        len(xor) + len(mask),
        0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    return header + quads + xor + mask


def icon_file(rows, bits, palette, kind=1, hotspot=None):
    """An .ico (kind 1) or .cur (kind 2) holding one image."""
    data = image_data(rows, bits, palette)
    colour_count = 0 if bits >= 8 else 1 << bits
    if kind == 1:
        field_a, field_b = 1, bits                 # planes, bit count
    else:
        field_a, field_b = hotspot                 # hot spot x, y
    directory = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, colour_count, 0,
                        field_a, field_b, len(data), 6 + 16)
    return directory + entry + data


def bgra_rows(rows, palette):
    """32-bit pixels, blue, green, red, alpha; transparent pixels clear."""
    return [[(0, 0, 0, 0) if p is TRANSPARENT else palette[p][::-1] + (255,) for p in row]
            for row in rows]


def bmp_image(pixels):
    """An icon image as a DIB: 32-bit colour bottom-up, then the AND mask
    (set where transparent, for systems that ignore the alpha)."""
    size = len(pixels)
    colour = b"".join(bytes(v for px in row for v in px) for row in reversed(pixels))
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray((size + 7) // 8)
        for x, px in enumerate(row):
            if px[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        line.extend(b"\0" * (-len(line) % 4))
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + bytes(mask)


def png_image(pixels):
    """An icon image as PNG: 8-bit RGBA, rows unfiltered."""
    size = len(pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(v for b, g, r, a in row for v in (r, g, b, a)) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def multi_size_icon(draw, palette):
    """An .ico with one image per size of ICON_SIZES, drawn by draw(size)."""
    images = []
    for size in ICON_SIZES:
        pixels = bgra_rows(draw(size), palette)
        images.append((size, png_image(pixels) if size >= 256 else bmp_image(pixels)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        # A size of 256 is written as 0 in the directory's byte.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    default_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    out_dir = sys.argv[1] if len(sys.argv) > 1 else default_dir
    files = {
        "softveil.ico": multi_size_icon(program_icon_pixels, VGA16),
        "colors.ico": multi_size_icon(colors_icon_pixels, VGA16),
        "link.cur": icon_file(link_cursor_pixels(), 8, CURSOR_PALETTE,
                              kind=2, hotspot=CURSOR_HOTSPOT),
    }
    for name, data in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
