#!/usr/bin/env python3
"""What the Xvfb tests read from a window dump (xwd, 32 bits a pixel), with no font assumed.

  xwd_window.py painted DUMP      exit 0 when the main window's page area holds text
  xwd_window.py fields DUMP       "N WIDTH": the status bar's fields (runs of dark columns in
                                  its row) and the width of the second, the page field
  xwd_window.py same DUMP DUMP    exit 0 when both show the same page area
"""
import struct
import sys


def load(path):
    data = open(path, "rb").read()
    if len(data) < 100:
        return None
    h = struct.unpack(">25I", data[:100])
    # header size + colour map entries * 12; bytes per line; width; height
    return data, h[0] + h[19] * 12, h[12], h[4], h[5]


def painted(path):
    dump = load(path)
    if not dump or dump[4] < 600:
        return False  # no dump, or the start-up window
    data, start, per_line = dump[0], dump[1], dump[2]
    area = data[start + 80 * per_line:start + 600 * per_line]
    return sum(1 for v in area[1::4] if v < 64) > 200


def fields(path):
    dump = load(path)
    if not dump:
        return 0, 0
    data, start, per_line, width, height = dump
    cols = set()
    for y in range(height - 19, height):
        row = data[start + y * per_line:start + y * per_line + width * 4]
        cols.update(x for x in range(width) if row[x * 4 + 1] < 64)
    runs = []
    for x in sorted(cols):
        if runs and x - runs[-1][1] <= 14:
            runs[-1][1] = x
        else:
            runs.append([x, x])
    return len(runs), runs[1][1] - runs[1][0] if len(runs) > 1 else 0


def page(path):
    data, start, per_line = load(path)[:3]
    return [data[start + y * per_line:start + y * per_line + 1200 * 4] for y in range(80, 900)]


if __name__ == "__main__":
    what = sys.argv[1]
    if what == "painted":
        sys.exit(0 if painted(sys.argv[2]) else 1)
    if what == "fields":
        print(*fields(sys.argv[2]))
        sys.exit(0)
    if what == "same":
        sys.exit(0 if page(sys.argv[2]) == page(sys.argv[3]) else 1)
    sys.exit(2)
