#!/usr/bin/env python3
"""Draws the demo program's pictures and writes them as Windows files:
SSIKovoDemo.ico (icon 128: 32x32 and 16x16, 16 colours, a grey instrument
panel with a red six-digit seven-segment display) and logo.bmp (bitmap 131:
120x45, 256-colour palette, an encoder disc beside the name).

Standard library only; the generated files are kept in the repository, so the
build does not run this. Run it from anywhere: it writes beside itself."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the standard VGA palette, as (r, g, b).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_RED, SILVER, GREY, RED, WHITE = 0, 1, 7, 8, 9, 15

# Segments a..g of each digit: a top, b upper right, c lower right, d bottom,
# e lower left, f upper left, g middle.
SEGMENTS = {'0': 'abcdef', '1': 'bc', '2': 'abdeg', '3': 'abcdg', '4': 'bcfg',
            '5': 'acdfg', '6': 'acdefg', '7': 'abc', '8': 'abcdefg', '9': 'abcdfg'}


def seven_segment_pixels(digit, width, height):
    """The (x, y) pixels of each segment of a digit cell, lit or not."""
    mid, right, bottom = height // 2, width - 1, height - 1
    cells = {
        'a': [(x, 0) for x in range(width)],
        'g': [(x, mid) for x in range(width)],
        'd': [(x, bottom) for x in range(width)],
        'f': [(0, y) for y in range(0, mid + 1)],
        'e': [(0, y) for y in range(mid, bottom + 1)],
        'b': [(right, y) for y in range(0, mid + 1)],
        'c': [(right, y) for y in range(mid, bottom + 1)],
    }
    lit = set()
    for segment in SEGMENTS[digit]:
        lit.update(cells[segment])
    every = set(p for pixels in cells.values() for p in pixels)
    return lit, every - lit


def panel_icon(size):
    """Pixels (colour indices) and transparency of one icon image, top row first."""
    pixels = [[BLACK] * size for _ in range(size)]
    transparent = [[True] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour
                transparent[y][x] = False

    if size == 32:
        panel, display, digit_size, step, origin, knobs = (1, 5, 30, 26), (3, 8, 28, 16), (3, 5), 4, (4, 10), True
    else:
        panel, display, digit_size, step, origin, knobs = (0, 2, 15, 13), (1, 4, 14, 10), (2, 5), 2, (2, 5), False
    px0, py0, px1, py1 = panel
    fill(px0, py0, px1, py1, SILVER)
    fill(px0, py0, px1, py0, WHITE)           # raised edge: light on top and left,
    fill(px0, py0, px0, py1, WHITE)
    fill(px0, py1, px1, py1, BLACK)           # dark below and on the right
    fill(px1, py0, px1, py1, BLACK)
    fill(px0 + 1, py1 - 1, px1 - 1, py1 - 1, GREY)
    fill(px1 - 1, py0 + 1, px1 - 1, py1 - 1, GREY)
    fill(*display, BLACK)
    for i, digit in enumerate('123456'):
        lit, dark = seven_segment_pixels(digit, *digit_size)
        # At 16 pixels unlit segments would run the digits together.
        unlit = DARK_RED if size == 32 else BLACK
        for colour, cells in ((unlit, dark), (RED, lit)):
            for x, y in cells:
                pixels[origin[1] + y][origin[0] + i * step + x] = colour
    if knobs:
        for x in (5, 11, 17):
            fill(x, 20, x + 3, 23, GREY)
            fill(x, 20, x + 3, 20, WHITE)
        fill(23, 20, 26, 23, RED)               # the power lamp
    return pixels, transparent


def icon_image(pixels, transparent):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in VGA)
    xor = b''
    for row in reversed(pixels):                 # bottom row first
        line = bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2))
        xor += line + b'\0' * (-len(line) % 4)
    mask = b''
    for row in reversed(transparent):
        bits = 0
        line = b''
        for x, clear in enumerate(row):
            bits = (bits << 1) | (1 if clear else 0)
            if x % 8 == 7:
                line += bytes([bits])
                bits = 0
        mask += line + b'\0' * (-len(line) % 4)
    return header + palette + xor + mask


def write_icon(path):
    images = [icon_image(*panel_icon(size)) for size in (32, 16)]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(data + b''.join(images))


FONT = {  # 5 x 7 letters, one string per row
    'S': ['01111', '10000', '10000', '01110', '00001', '00001', '11110'],
    'I': ['11111', '00100', '00100', '00100', '00100', '00100', '11111'],
    'K': ['10001', '10010', '10100', '11000', '10100', '10010', '10001'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'V': ['10001', '10001', '10001', '10001', '01010', '01010', '00100'],
}


def logo_palette():
    """A 6x6x6 colour cube (indices 0..215) and a grey ramp (216..255)."""
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    ramp = [(round(i * 255 / 39),) * 3 for i in range(40)]
    return cube + ramp


def cube(r, g, b):
    return r * 36 + g * 6 + b


def grey(level):  # level 0..39
    return 216 + level


def logo_pixels(width=120, height=45):
    pixels = [[grey(36 - y * 6 // height) for x in range(width)] for y in range(height)]
    # An absolute encoder's code disc: four Gray-code tracks, the outermost
    # carrying the least significant bit.
    cx, cy, tracks = 22.0, 22.0, 4
    for y in range(height):
        for x in range(44):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            r = math.hypot(dx, dy)
            if r > 20.5:
                continue
            if r < 4.5:
                pixels[y][x] = grey(10)          # the hub
                continue
            sector = int((math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 16) % 16
            gray_code = sector ^ (sector >> 1)
            track = min(int((r - 4.5) / 4), tracks - 1)
            bit = (gray_code >> (tracks - 1 - track)) & 1
            pixels[y][x] = cube(0, 0, 3) if bit else grey(39)
            if r > 19.5:
                pixels[y][x] = grey(6)           # the rim

    def text(word, x0, y0, scale, colour):
        for i, letter in enumerate(word):
            for row, bits in enumerate(FONT[letter]):
                for col, bit in enumerate(bits):
                    if bit == '1':
                        for sy in range(scale):
                            for sx in range(scale):
                                pixels[y0 + row * scale + sy][x0 + i * 6 * scale + col * scale + sx] = colour

    text('SSI', 52, 4, 3, cube(4, 0, 0))
    text('KOVO', 52, 29, 2, cube(0, 0, 3))
    return pixels


def write_bitmap(path):
    pixels = logo_pixels()
    height, width = len(pixels), len(pixels[0])
    rows = b''
    for row in reversed(pixels):
        rows += bytes(row) + b'\0' * (-width % 4)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in logo_palette())
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + palette + rows)


if __name__ == '__main__':
    write_icon(os.path.join(HERE, 'SSIKovoDemo.ico'))
    write_bitmap(os.path.join(HERE, 'logo.bmp'))
