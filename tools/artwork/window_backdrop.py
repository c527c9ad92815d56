#!/usr/bin/env python3
"""Turns the rendered backdrop into the picture the window shows.

    window_backdrop.py SOURCE.png OUT.png [HEADER]

The window stretches the 480 x 800 backdrop over the header as well
(HEADER pixels, 120 by default) and shows its lower 800 rows. Doing that
stretch here, once, lets the window draw the backdrop pixel for pixel
without filtering, which costs the renderer less on every frame of the idle
animation. The rows are interpolated as the window's bilinear sampling did
(texel centres, edge clamped), so the screens look as they did.
"""
import sys

from PIL import Image


def main():
    source, out = sys.argv[1], sys.argv[2]
    header = int(sys.argv[3]) if len(sys.argv) > 3 else 120
    image = Image.open(source).convert("RGB")
    width, height = image.size
    shown = height + header
    pixels = image.load()
    result = Image.new("RGB", (width, height))
    target = result.load()
    for row in range(height):
        texel = (row + header + 0.5) * height / shown - 0.5
        low = min(max(int(texel // 1), 0), height - 1)
        high = min(low + 1, height - 1)
        weight = texel - texel // 1
        for column in range(width):
            a, b = pixels[column, low], pixels[column, high]
            target[column, row] = tuple(int(a[c] + (b[c] - a[c]) * weight + 0.5) for c in range(3))
    result.save(out)


if __name__ == "__main__":
    main()
