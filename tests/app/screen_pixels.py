#!/usr/bin/env python3
"""Reads an X window dump (xwd, 24 or 32 bits per pixel, ZPixmap) and checks that the viewer
drew what it must: the page frame (a dark rectangle edge) and a frame line of the report.

The screen holds the viewer at zoom 1 showing a report that is one box of ASCII frame lines.
Usage: screen_pixels.py SCREEN.xwd [--png OUT.png]
Exit status 0 when both are found, 1 otherwise (with what was missing on stderr).
"""
import struct
import sys
import zlib


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, fmt, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    ncolors = header[19]
    if fmt != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit(f"unsupported dump: format {fmt}, {bits_per_pixel} bits per pixel")
    red_mask, green_mask, blue_mask = header[14:17]
    start = header_size + ncolors * 12
    step = bits_per_pixel // 8
    little = byte_order == 0

    def shift(mask):
        s = 0
        while mask and not mask & 1:
            mask >>= 1
            s += 1
        return s

    shifts = [(m, shift(m)) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * step]
        row = []
        for x in range(width):
            px = int.from_bytes(line[x * step:(x + 1) * step], "little" if little else "big")
            row.append(tuple((px & m) >> s for m, s in shifts))
        rows.append(row)
    return width, height, rows


def write_png(path, width, height, rows):
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def dark(px):
    return sum(px) < 3 * 96


def runs(cells):
    """(start, length) of every run of dark pixels in a sequence of pixels."""
    out, start = [], None
    for i, px in enumerate(cells + [(255, 255, 255)]):
        if dark(px):
            start = i if start is None else start
        elif start is not None:
            out.append((start, i - start))
            start = None
    return out


def check(width, height, rows):
    """What is missing of the page frame and the report's box, as messages."""
    columns = [[rows[y][x] for y in range(height)] for x in range(width)]
    # Lines wholly inside the screen's window area, not the window's own borders: a run that
    # spans the whole screen is a widget's edge.
    horizontal = [(y, s, n) for y in range(height) for s, n in runs(rows[y]) if n < width - 40]
    vertical = [(x, s, n) for x in range(width) for s, n in runs(columns[x]) if n < height - 120]
    missing = []
    # The page frame at zoom 1: a right edge and a bottom edge, each longer than 250 pixels,
    # meeting at the page's corner.
    right = [(x, s, n) for x, s, n in vertical if n > 250]
    bottom = [(y, s, n) for y, s, n in horizontal if n > 250]
    corner = [(r, b) for r in right for b in bottom
              if abs(r[0] - (b[1] + b[2] - 1)) <= 2 and abs(b[0] - (r[1] + r[2] - 1)) <= 2]
    if not corner:
        missing.append("no page frame (a right and a bottom edge meeting at a corner)")
    # The report's box: two horizontal lines of the same extent joined by vertical bars at both
    # ends, all smaller than the page.
    box = None
    short = [(y, s, n) for y, s, n in horizontal if 60 <= n <= 250]
    for top in short:
        for low in short:
            if low[0] - top[0] < 6 or abs(low[1] - top[1]) > 1 or abs(low[2] - top[2]) > 1:
                continue
            reach = low[0] - top[0] + 1
            ends = [x for x, s, n in vertical if abs(s - top[0]) <= 1 and abs(n - reach) <= 1
                    and (abs(x - top[1]) <= 1 or abs(x - (top[1] + top[2] - 1)) <= 1)]
            if len(ends) >= 2:
                box = (top, low)
                break
        if box:
            break
    if not box:
        missing.append("no closed box of the report's frame lines")
    return missing


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    width, height, rows = read_xwd(args[0])
    if "--png" in args:
        write_png(args[args.index("--png") + 1], width, height, rows)
    missing = check(width, height, rows)
    for m in missing:
        print(m, file=sys.stderr)
    if not missing:
        print("page frame and the report's box found")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
