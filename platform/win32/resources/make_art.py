#!/usr/bin/env python3
"""Draws the program's icon (32x32 and 16x16, 16 colours) and its 37x35 logo.

The picture is a game disc with a small bar chart in front of it, computed from geometry so
that every size is drawn from the same shapes. Run it to regenerate kavristat.ico and logo.bmp.
"""
import struct
import sys
from pathlib import Path

# The 16-colour VGA palette as (blue, green, red, 0).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255),
]  # (red, green, blue)
BLACK, DARK_GRAY, LIGHT_GRAY, WHITE = 0, 8, 7, 15
GREEN, YELLOW, RED, CYAN, BLUE = 10, 14, 12, 11, 9
CLEAR = None

BARS = [(0.56, 0.68, 0.60, GREEN), (0.70, 0.82, 0.42, YELLOW), (0.84, 0.96, 0.24, RED)]


def colour_at(u, v, px):
    """Palette index at the centre (u, v) of a pixel of size px (all in 0..1 units)."""
    for left, right, top, colour in BARS:
        if left <= u <= right and top <= v <= 0.96:
            # Outlined where the bar is wide enough to keep its colour inside the outline.
            outlined = right - left > 3 * px
            edge = u - left < px or right - u < px or v - top < px or 0.96 - v < px
            return BLACK if outlined and edge else colour
    du, dv = u - 0.42, v - 0.44
    r = (du * du + dv * dv) ** 0.5
    if r > 0.41:
        return CLEAR
    if r > 0.41 - px:
        return DARK_GRAY
    if r < 0.07:
        return CLEAR
    if r < 0.07 + px:
        return DARK_GRAY
    if r < 0.15:
        return LIGHT_GRAY
    # A light band across the disc, as light catches its surface.
    return CYAN if 0.10 < du - dv < 0.22 else (BLUE if du - dv > 0.22 and r > 0.3 else WHITE)


def draw(width, height):
    rows = []
    for y in range(height):
        rows.append([colour_at((x + 0.5) / width, (y + 0.5) / height, 1.0 / min(width, height))
                     for x in range(width)])
    return rows


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def pack_4bit(row, background):
    values = [background if c is CLEAR else c for c in row]
    if len(values) % 2:
        values.append(0)
    data = bytes((values[i] << 4) | values[i + 1] for i in range(0, len(values), 2))
    return data + b"\0" * (-len(data) % 4)


def pack_mask(row):
    bits = [1 if c is CLEAR else 0 for c in row]
    bits += [0] * (-len(bits) % 8)
    data = bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    return data + b"\0" * (-len(data) % 4)


def icon_image(size):
    rows = draw(size, size)
    xor = b"".join(pack_4bit(r, BLACK) for r in reversed(rows))
    mask = b"".join(pack_mask(r) for r in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return header + palette_bytes() + xor + mask


def icon_file(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def bitmap_file(width, height):
    # Light gray stands for the window's face colour when the program loads the bitmap.
    rows = draw(width, height)
    pixels = b"".join(pack_4bit(r, LIGHT_GRAY) for r in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + 64
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + palette_bytes() + pixels


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    (folder / "kavristat.ico").write_bytes(icon_file([32, 16]))
    (folder / "logo.bmp").write_bytes(bitmap_file(37, 35))


if __name__ == "__main__":
    main()
