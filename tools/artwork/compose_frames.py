#!/usr/bin/env python3
"""Lays animation frames onto the backdrop they are shown over, in place.

    compose_frames.py BACKDROP X Y FRAME.png...

BACKDROP is the window's backdrop (see window_backdrop.py); X and Y are where
the idle screen places the frames in the window. Each frame becomes opaque:
the window then draws it without blending, and hides the backdrop under it,
which saves the renderer most of a frame's work on every step of the idle
animation. The arithmetic is the window's own: colours premultiplied by alpha
and the backdrop scaled by the frame's transparency, each rounded to 8 bits,
so the screen looks as it did when the frames were blended there.
"""
import sys

from PIL import Image


def scale(value, factor):
    # A product of two 8-bit values scaled back to 8 bits, rounded.
    return (value * factor + 127) // 255


def main():
    backdrop = Image.open(sys.argv[1]).convert("RGB")
    x, y = int(sys.argv[2]), int(sys.argv[3])
    for path in sys.argv[4:]:
        frame = Image.open(path)
        if frame.mode != "RGBA":
            print(f"{path}: already opaque, left as it is")
            continue
        width, height = frame.size
        under = backdrop.crop((x, y, x + width, y + height)).load()
        pixels = frame.load()
        result = Image.new("RGB", frame.size)
        target = result.load()
        for row in range(height):
            for column in range(width):
                r, g, b, a = pixels[column, row]
                d = under[column, row]
                target[column, row] = tuple(
                    min(255, scale(c, a) + scale(d[i], 255 - a)) for i, c in enumerate((r, g, b)))
        result.save(path)


if __name__ == "__main__":
    main()
