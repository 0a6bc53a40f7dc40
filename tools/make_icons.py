#!/usr/bin/env python3
"""Draws the program's icons and writes them as 256-colour .ico files into res/icons/, and
the application icon's large sizes for the Linux desktop's icon theme as PNG files into
res/linux/icons/.

    python3 tools/make_icons.py [.ico folder] [PNG folder]

The pictures are built from simple shapes sampled at pixel centres, so each size is drawn
for itself rather than scaled; the large ones are sampled four times across each pixel and
their edges blended. Only the standard library is used; the output is the same on every run.
"""

import math
import os
import struct
import sys

from png import write_png

TRANSPARENT = None

OUTLINE = (40, 40, 40)
WHITE = (255, 255, 255)
FOLDER = (240, 200, 70)
FOLDER_DARK = (200, 150, 30)
ARROW_GREEN = (40, 160, 60)
ARROW_GREEN_DARK = (20, 100, 35)
DOOR = (150, 95, 50)
DOOR_DARK = (95, 55, 25)
FRAME = (120, 120, 120)
KNOB = (250, 220, 90)
CROSS_RED = (215, 35, 35)
CROSS_DARK = (140, 15, 15)
HELP_BLUE = (40, 100, 210)
HELP_DARK = (20, 55, 140)


class Picture:
    """A square of pixels, each a colour triple or TRANSPARENT; shapes are given in units of
    the picture's size (0..1) and filled where they cover a pixel's centre. line: the width
    of outlines, in the same units (one pixel unless given)."""

    def __init__(self, size, line=None):
        self.size = size
        self.line = line if line is not None else 1.0 / size
        self.pixels = [[TRANSPARENT] * size for _ in range(size)]

    def fill(self, colour, inside, box=(0.0, 0.0, 1.0, 1.0)):
        """box (left, top, right, bottom) bounds the shape, so that only its pixels are tried."""
        first_x, first_y = (max(0, math.floor(b * self.size)) for b in box[:2])
        end_x, end_y = (min(self.size, math.ceil(b * self.size)) for b in box[2:])
        for y in range(first_y, end_y):
            for x in range(first_x, end_x):
                if inside((x + 0.5) / self.size, (y + 0.5) / self.size):
                    self.pixels[y][x] = colour

    def rect(self, colour, left, top, right, bottom):
        self.fill(colour, lambda u, v: left <= u < right and top <= v < bottom,
                  (left, top, right, bottom))

    def outlined_rect(self, fill, outline, left, top, right, bottom):
        self.rect(outline, left, top, right, bottom)
        line = self.line
        self.rect(fill, left + line, top + line, right - line, bottom - line)

    def polygon(self, colour, points):
        xs, ys = [x for x, _ in points], [y for _, y in points]
        self.fill(colour, lambda u, v: _inside_polygon(u, v, points),
                  (min(xs), min(ys), max(xs), max(ys)))

    def thick_line(self, colour, start, end, width):
        self.fill(colour, lambda u, v: _distance_to_segment(u, v, start, end) <= width / 2)


def _inside_polygon(u, v, points):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > v) != (y2 > v) and u < x1 + (v - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def _distance_to_segment(u, v, start, end):
    (x1, y1), (x2, y2) = start, end
    dx, dy = x2 - x1, y2 - y1
    t = max(0.0, min(1.0, ((u - x1) * dx + (v - y1) * dy) / (dx * dx + dy * dy)))
    return math.hypot(u - (x1 + t * dx), v - (y1 + t * dy))


def up_arrow(picture, colour, dark, left, top, right, bottom):
    middle = (left + right) / 2
    head = top + (bottom - top) * 0.45
    shaft = (right - left) * 0.2
    points = [(middle, top), (right, head), (middle + shaft, head), (middle + shaft, bottom),
              (middle - shaft, bottom), (middle - shaft, head), (left, head)]
    grown = [(x + (x - middle) * 0.18, y + (y - (top + bottom) / 2) * 0.12) for x, y in points]
    picture.polygon(dark, grown)
    picture.polygon(colour, points)


def right_arrow(picture, colour, dark, left, top, right, bottom):
    middle = (top + bottom) / 2
    head = left + (right - left) * 0.5
    shaft = (bottom - top) * 0.2
    points = [(right, middle), (head, top), (head, middle - shaft), (left, middle - shaft),
              (left, middle + shaft), (head, middle + shaft), (head, bottom)]
    grown = [(x + (x - (left + right) / 2) * 0.12, y + (y - middle) * 0.18) for x, y in points]
    picture.polygon(dark, grown)
    picture.polygon(colour, points)


def draw_app(size, samples=1):
    """A folder with an up arrow: files going up to the storage. samples: sub-pixels across
    each pixel; the outlines grow with the size, one pixel wide up to 48 pixels."""
    p = Picture(size * samples, line=max(1, round(size / 48)) / size)
    line = p.line
    p.outlined_rect(FOLDER_DARK, OUTLINE, 0.06, 0.16, 0.46, 0.32)  # the tab
    p.outlined_rect(FOLDER, OUTLINE, 0.03, 0.25, 0.97, 0.90)       # the body
    p.rect(FOLDER_DARK, 0.03 + line, 0.25 + line, 0.97 - line, 0.25 + 2 * line)
    up_arrow(p, ARROW_GREEN, ARROW_GREEN_DARK, 0.30, 0.34, 0.72, 0.86)
    return p


def blended_rows(picture, samples):
    """RGBA rows of the picture shrunk by samples: each pixel the mean of its sub-pixels'
    colours, and as opaque as the share of them that is not transparent."""
    size = picture.size // samples
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            covered = [picture.pixels[y * samples + j][x * samples + i]
                       for j in range(samples) for i in range(samples)]
            covered = [c for c in covered if c is not TRANSPARENT]
            if not covered:
                row += bytes(4)
                continue
            row += bytes(round(sum(c[k] for c in covered) / len(covered)) for k in range(3))
            row.append(round(255 * len(covered) / samples ** 2))
        rows.append(row)
    return rows


def draw_logon(size):
    """A green arrow going into a door."""
    p = Picture(size)
    p.outlined_rect(FRAME, OUTLINE, 0.50, 0.03, 0.97, 0.97)
    p.outlined_rect(DOOR, DOOR_DARK, 0.57, 0.10, 0.90, 0.97)
    p.rect(KNOB, 0.63, 0.50, 0.69, 0.56)
    right_arrow(p, ARROW_GREEN, ARROW_GREEN_DARK, 0.03, 0.28, 0.74, 0.72)
    return p


def draw_cancel(size):
    """A red cross."""
    p = Picture(size)
    for start, end in (((0.2, 0.2), (0.8, 0.8)), ((0.8, 0.2), (0.2, 0.8))):
        p.thick_line(CROSS_DARK, start, end, 0.34)
    for start, end in (((0.2, 0.2), (0.8, 0.8)), ((0.8, 0.2), (0.2, 0.8))):
        p.thick_line(CROSS_RED, start, end, 0.20)
    return p


def draw_help(size):
    """A white question mark on a blue disc."""
    p = Picture(size)
    p.fill(HELP_DARK, lambda u, v: math.hypot(u - 0.5, v - 0.5) <= 0.48)
    p.fill(HELP_BLUE, lambda u, v: math.hypot(u - 0.5, v - 0.5) <= 0.40)

    def hook(u, v):
        d = math.hypot(u - 0.5, v - 0.38)
        upper_arc = 0.10 <= d <= 0.20 and not (u < 0.5 and v > 0.38)
        return upper_arc
    p.fill(WHITE, hook)
    p.rect(WHITE, 0.44, 0.50, 0.57, 0.64)   # the stem
    p.rect(WHITE, 0.44, 0.71, 0.57, 0.82)   # the dot
    return p


def ico_image(picture, palette):
    """One 8-bit image of an .ico file: header, palette, colour rows and transparency mask,
    both bottom-up."""
    size = picture.size
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 8, 0, 0, 0, 0, 0, 0)
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    colours += b'\0' * (4 * (256 - len(palette)))
    index = {colour: i for i, colour in enumerate(palette)}

    row_bytes = (size + 3) & ~3
    mask_bytes = ((size + 31) // 32) * 4
    pixels, mask = b'', b''
    for row in reversed(picture.pixels):
        pixels += bytes(0 if c is TRANSPARENT else index[c] for c in row)
        pixels += b'\0' * (row_bytes - size)
        bits = bytearray(mask_bytes)
        for x, c in enumerate(row):
            if c is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colours + pixels + mask


def ico_file(pictures):
    """An .ico file holding one 8-bit image per picture, sharing one palette."""
    palette = [(0, 0, 0)]
    for picture in pictures:
        for row in picture.pixels:
            for colour in row:
                if colour is not TRANSPARENT and colour not in palette:
                    palette.append(colour)
    assert len(palette) <= 256

    images = [ico_image(p, palette) for p in pictures]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for picture, image in zip(pictures, images):
        data += struct.pack('<BBBBHHII', picture.size % 256, picture.size % 256, 0, 0, 1, 8,
                            len(image), offset)
        offset += len(image)
    return data + b''.join(images)


ICONS = {
    'app.ico': (draw_app, (16, 24, 32, 48)),
    'logon.ico': (draw_logon, (16, 20, 24, 32)),
    'cancel.ico': (draw_cancel, (16, 20, 24, 32)),
    'help.ico': (draw_help, (16, 20, 24, 32)),
}

# The icon theme's sizes above the .ico's: PNG files for the Linux desktop only, so that the
# Windows exe does not grow.
LARGE_APP_SIZES = (64, 128, 256)
LARGE_SAMPLES = 4


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'icons')
    png_folder = (sys.argv[2] if len(sys.argv) > 2
                  else os.path.join(here, '..', 'res', 'linux', 'icons'))
    os.makedirs(folder, exist_ok=True)
    os.makedirs(png_folder, exist_ok=True)
    for name, (draw, sizes) in ICONS.items():
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(ico_file([draw(size) for size in sizes]))
    for size in LARGE_APP_SIZES:
        rows = blended_rows(draw_app(size, LARGE_SAMPLES), LARGE_SAMPLES)
        write_png(os.path.join(png_folder, f'app-{size}.png'), size, size, rows, alpha=True)


if __name__ == '__main__':
    main()
