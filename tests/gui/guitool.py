#!/usr/bin/env python3
"""Helpers for the window drivers in this folder.

  guitool.py expect DATAFILE GROUP=VALUE[,VALUE...] ...
      Prints "name<TAB>picture count" for every species of the catalogue
      that a search with the given ticks must find: within one group any
      ticked value will do, every group given must be satisfied.
      Groups: season (春 夏 秋 冬) and colour (白 赤 黄 青 紫 目立たない).

  guitool.py icons PNG
      Prints "x y" (window coordinates) of every enabled tool button on the
      tool bar of a window picture, left to right. Enabled glyphs are drawn
      in colour; disabled ones are greyed, separators and frames are light
      grey, so the tool bar band is the first run of rows that hold
      coloured pixels, and each button is a run of columns in that band
      holding coloured or dark pixels.
"""
import subprocess
import sys

SEASONS = ["春", "夏", "秋", "冬"]
COLOURS = ["白", "赤", "黄", "青", "紫", "目立たない"]


def read_catalogue(path):
    """Records of a data file: (name, [15 integers])."""
    with open(path, "rb") as f:
        text = f.read().decode("cp932")
    records = []
    for line in text.splitlines():
        fields = [x.strip() for x in line.split(",")]
        if len(fields) < 16 or not fields[0]:
            continue
        records.append((fields[0], [int(v) for v in fields[1:16]]))
    return records


def expect(path, conditions):
    groups = []
    for cond in conditions:
        group, _, values = cond.partition("=")
        table = {"season": (SEASONS, 0), "colour": (COLOURS, 4)}.get(group)
        if table is None:
            sys.exit(f"unknown condition group: {group}")
        names, offset = table
        wanted = []
        for v in values.split(","):
            if v not in names:
                sys.exit(f"unknown {group} value: {v}")
            wanted.append(offset + names.index(v))
        groups.append(wanted)
    for name, values in read_catalogue(path):
        if all(any(values[i] == 1 for i in wanted) for wanted in groups):
            print(f"{name}\t{values[14]}")


def load_ppm(png, top_rows):
    data = subprocess.run(
        ["convert", png, "-crop", f"100000x{top_rows}+0+0", "+repage", "-depth", "8", "ppm:-"],
        capture_output=True, check=True).stdout
    # P6 header: magic, width, height, maxval, then one whitespace byte.
    parts = data.split(maxsplit=4)
    return int(parts[1]), int(parts[2]), parts[4]


def icons(png):
    width, height, px = load_ppm(png, 90)

    def pixel(x, y):
        i = 3 * (y * width + x)
        return px[i], px[i + 1], px[i + 2]

    def coloured(p):
        return max(p) - min(p) > 60

    def dark(p):
        return max(p) < 110

    rows = [any(coloured(pixel(x, y)) for x in range(width)) for y in range(height)]
    if True not in rows:
        return
    top = rows.index(True)
    bottom = top
    while bottom + 1 < height and rows[bottom + 1]:
        bottom += 1
    # A glyph may begin or end with a few dark but colourless rows.
    top, bottom = max(0, top - 3), min(height - 1, bottom + 3)
    marked = [any(coloured(pixel(x, y)) or dark(pixel(x, y)) for y in range(top, bottom + 1))
              for x in range(width)]
    x = 0
    while x < width:
        if not marked[x]:
            x += 1
            continue
        start = x
        # Pixels of one glyph may be a few columns apart.
        gap = 0
        while x < width and gap <= 3:
            gap = 0 if marked[x] else gap + 1
            x += 1
        end = x - gap - 1
        if end - start >= 6:
            print((start + end) // 2, (top + bottom) // 2)


def main(argv):
    if len(argv) >= 3 and argv[1] == "expect":
        expect(argv[2], argv[3:])
    elif len(argv) == 3 and argv[1] == "icons":
        icons(argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
