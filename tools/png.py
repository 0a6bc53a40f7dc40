"""Writes PNG files with the standard library: from the driver's 24-bit BMP screenshots, from
the images of an .ico file and from the XWD screen dump of an Xvfb server.

    python3 tools/png.py <shot.bmp> <shot.png>
    python3 tools/png.py icon-theme <app.ico> <name> <folder>
        writes <folder>/<n>x<n>/apps/<name>.png for each image of the .ico
"""
import pathlib
import struct
import sys
import zlib


def write_png(png_path, width, height, rows, alpha=False):
    """rows: height rows of width pixels, 3 bytes each (RGB) or 4 with alpha (RGBA)."""

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    pixels = b"".join(b"\0" + bytes(row) for row in rows)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + \
        chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b"")
    pathlib.Path(png_path).write_bytes(png)


def bmp_to_png(bmp_path, png_path):
    data = open(bmp_path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError("only 24-bit bitmaps are written by the driver")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = height - 1 - y if height > 0 else y
        row = data[offset + source * stride: offset + source * stride + width * 3]
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
        rows.append(rgb)
    write_png(png_path, width, abs(height), rows)


def ico_images(data):
    """[(size, RGBA rows top-down)] of an .ico file's 8-bit and 32-bit images."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an .ico file")
    images = []
    for i in range(count):
        _, _, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        image = data[offset:offset + length]
        _, width, double_height, _, bits, compression = struct.unpack_from("<IiiHHI", image, 0)
        height = double_height // 2
        if compression != 0 or bits not in (8, 32) or width != height or width <= 0:
            raise ValueError(f"image {i}: only square uncompressed 8- or 32-bit images are read")
        palette_size = 256 if bits == 8 else 0
        palette = [image[40 + 4 * p:44 + 4 * p] for p in range(palette_size)]
        pixels_at = 40 + 4 * palette_size
        stride = (width * bits // 8 + 3) & ~3
        mask_at = pixels_at + stride * height
        mask_stride = ((width + 31) // 32) * 4
        rows = []
        for y in range(height):
            source = height - 1 - y  # bottom-up
            row = bytearray()
            for x in range(width):
                if bits == 8:
                    b, g, r, _ = palette[image[pixels_at + source * stride + x]]
                    transparent = image[mask_at + source * mask_stride + x // 8] & (0x80 >> x % 8)
                    row += bytes((r, g, b, 0 if transparent else 255))
                else:
                    b, g, r, a = image[pixels_at + source * stride + 4 * x:][:4]
                    row += bytes((r, g, b, a))
            rows.append(row)
        images.append((width, rows))
    return images


def ico_to_icon_theme(ico_path, name, folder):
    """Writes each image of the .ico as <folder>/<n>x<n>/apps/<name>.png, as an icon theme
    lays out its sizes."""
    for size, rows in ico_images(pathlib.Path(ico_path).read_bytes()):
        target = pathlib.Path(folder) / f"{size}x{size}" / "apps" / f"{name}.png"
        target.parent.mkdir(parents=True, exist_ok=True)
        write_png(target, size, size, rows, alpha=True)


def xwd_to_png(xwd_path, png_path, area=None):
    """The screen an Xvfb server keeps in an XWD file (Xvfb -fbdir), 24 or 32 bits per pixel
    in the server's byte order; area (x, y, width, height) crops it."""
    data = pathlib.Path(xwd_path).read_bytes()
    order = ">" if struct.unpack_from(">I", data, 4)[0] == 7 else "<"
    (header_size, _, _, depth, width, height, _, byte_order, _, _, _, bits_per_pixel,
     bytes_per_line, _, red_mask, green_mask, blue_mask, _, _, colours, _, _, _, _,
     _) = struct.unpack_from(order + "25I", data, 0)
    if bits_per_pixel not in (24, 32) or depth < 24:
        raise ValueError(f"only 24-bit screens are read, not {depth} bits")
    pixels_at = header_size + 12 * colours
    pixel_order = "<" if byte_order == 0 else ">"
    left, top, w, h = area or (0, 0, width, height)
    step = bits_per_pixel // 8
    shifts = [(mask, (mask & -mask).bit_length() - 1) for mask in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(max(top, 0), min(top + h, height)):
        row = bytearray()
        for x in range(max(left, 0), min(left + w, width)):
            at = pixels_at + y * bytes_per_line + x * step
            value = int.from_bytes(data[at:at + step], "little" if pixel_order == "<" else "big")
            row += bytes((value & mask) >> shift for mask, shift in shifts)
        rows.append(row)
    write_png(png_path, len(rows[0]) // 3 if rows else 0, len(rows), rows)


if __name__ == "__main__":
    if sys.argv[1] == "icon-theme":
        ico_to_icon_theme(*sys.argv[2:5])
    else:
        bmp_to_png(sys.argv[1], sys.argv[2])
