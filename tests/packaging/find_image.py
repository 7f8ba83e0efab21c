#!/usr/bin/python3
"""Finds a picture, pixel for pixel, inside a region of a larger one.

    find_image.py <picture.png> <screenshot.png> <x> <y> <width> <height>

Prints "found at DX,DY" (the picture's offset from the region's top left
corner) and exits 0 when every pixel matches somewhere in the region;
otherwise prints the closest offset with its count of differing pixels and
exits 1.
"""
import subprocess
import sys

import numpy as np


def load(path):
    """The image as an array of rows of RGB pixels (read through ImageMagick)."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         capture_output=True).stdout
    magic, size, _maximum, pixels = ppm.split(b"\n", 3)
    assert magic == b"P6", path
    width, height = map(int, size.split())
    return np.frombuffer(pixels, dtype=np.uint8).reshape(height, width, 3)


def main(argv):
    picture, screenshot = load(argv[1]), load(argv[2])
    x, y, width, height = map(int, argv[3:7])
    rows, columns = picture.shape[:2]
    best = None
    for dy in range(height - rows + 1):
        for dx in range(width - columns + 1):
            window = screenshot[y + dy:y + dy + rows, x + dx:x + dx + columns]
            if window.shape != picture.shape:
                continue
            wrong = int(np.count_nonzero(np.any(window != picture, axis=2)))
            if best is None or wrong < best[0]:
                best = (wrong, dx, dy)
    if best is None:
        print("the %dx%d picture does not fit in the %dx%d region" % (columns, rows, width, height))
        return 1
    wrong, dx, dy = best
    if wrong:
        print("not found: closest at %d,%d with %d differing pixels" % (dx, dy, wrong))
        return 1
    print("found at %d,%d" % (dx, dy))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
