#!/usr/bin/env python3
"""Reads a lock screen's picture (a binary PPM from `grim -t ppm`) for the lock
test: lock_pixels.py FILE ring|caps|marks|fill

  ring   the colour of the unlock indicator's ring, read above, below, left and
         right of the centre, with its disc black: blue (typing), amber
         (checking), red (wrong); none when it is not there (hidden)
  caps   on when the orange Caps Lock ring shows inside the ring, else off
  marks  the number of separate lit marks on the bar of typed characters
  fill   black, white or mixed: the picture away from the indicator
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4 and pos < len(data):
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if len(fields) < 4 or fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit("lock_pixels.py: not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def name(rgb):
    r, g, b = rgb
    if max(rgb) < 24:
        return "black"
    if min(rgb) > 230:
        return "white"
    if b > 200 and r < 90:
        return "blue"
    if r > 200 and 130 < g < 200 and b < 40:
        return "amber"
    if r > 200 and g < 40 and b < 40:
        return "red"
    return "other"


def main():
    width, height, pixels = read_ppm(sys.argv[1])

    def at(x, y):
        i = (y * width + x) * 3
        return tuple(pixels[i:i + 3])

    cx, cy = width // 2, height // 2
    what = sys.argv[2]
    if what == "ring":
        seen = {name(at(cx + dx, cy + dy)) for dx, dy in ((0, -50), (0, 50), (-50, 0), (50, 0))}
        ring = seen.pop() if len(seen) == 1 else "none"
        disc = name(at(cx, cy)) == "black" and name(at(cx + 20, cy - 20)) == "black"
        print(ring if disc and ring in ("blue", "amber", "red") else "none")
    elif what == "caps":
        inner = [at(cx + dx, cy + dy) for dx, dy in ((0, -35), (0, 35), (-35, 0), (35, 0))]
        print("on" if all(r > 230 and 100 < g < 150 and b < 30 for r, g, b in inner) else "off")
    elif what == "marks":
        # The bar holds 32 marks 12 pixels apart: the picture beside it is not read.
        runs, lit = 0, False
        for x in range(cx - 190, cx + 191):
            now = min(at(x, cy + 80)) > 150
            runs += now and not lit
            lit = now
        print(runs)
    elif what == "fill":
        seen = set()
        for y in range(0, height, 7):
            for x in range(0, width, 7):
                if abs(x - cx) < 200 and abs(y - cy) < 120:
                    continue
                seen.add(name(at(x, y)))
        print(seen.pop() if len(seen) == 1 else "mixed")
    else:
        raise SystemExit("usage: lock_pixels.py FILE ring|caps|marks|fill")


main()
