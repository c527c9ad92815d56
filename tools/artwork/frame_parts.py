#!/usr/bin/env python3
"""Cuts each animation frame down to the part where it differs from the first.

    frame_parts.py FRAMES IMAGES SCRIPT ANIMATION...

FRAMES holds the whole frames, one folder per ANIMATION (0.png, 1.png...).
Into IMAGES/ANIMATION go the first frame whole and, for every later frame, the
rectangle in which it differs from the first; a frame equal to an earlier one
gets no picture of its own. SCRIPT (JavaScript for the idle screen) receives
where each part goes and which picture holds it.

The idle screen holds every frame it shows for as long as it runs: whole
frames cost a window-sized texture each, where most of each frame repeats the
first. Laid over the first frame at its place, a part shows the whole frame
again pixel for pixel.
"""
import os
import sys

from PIL import Image, ImageChops


def frame_count(folder):
    n = 0
    while os.path.exists(os.path.join(folder, f"{n}.png")):
        n += 1
    return n


def main():
    frames_dir, images_dir, script = sys.argv[1:4]
    tables = []
    for animation in sys.argv[4:]:
        source = os.path.join(frames_dir, animation)
        target = os.path.join(images_dir, animation)
        os.makedirs(target, exist_ok=True)
        for name in os.listdir(target):
            if name.endswith(".png"):
                os.remove(os.path.join(target, name))
        frames = [Image.open(os.path.join(source, f"{n}.png")).convert("RGB")
                  for n in range(frame_count(source))]
        first = frames[0]
        first.save(os.path.join(target, "0.png"))
        table = [[0, 0, 0]]
        for n, frame in enumerate(frames[1:], start=1):
            if frame.size != first.size:
                sys.exit(f"{animation}/{n}.png: {frame.size}, the first frame is {first.size}")
            same = next((m for m in range(1, n) if ImageChops.difference(frames[m], frame).getbbox() is None),
                        None)
            if same is not None:
                table.append(list(table[same]))
                continue
            box = ImageChops.difference(first, frame).getbbox()
            if box is None:
                table.append([0, 0, 0])
                continue
            frame.crop(box).save(os.path.join(target, f"{n}.png"))
            table.append([box[0], box[1], n])
        tables.append(table)

    with open(script, "w") as out:
        out.write(".pragma library\n")
        out.write("// Written by tools/artwork/frame_parts.py from the animation frames: do not edit.\n")
        out.write("// For each animation (the card's, the ticket's) and each frame: where its part sits\n")
        out.write("// on the first frame (x, y) and the frame whose picture holds it (0: none, the\n")
        out.write("// frame is the first).\n")
        out.write("var parts = [\n")
        for table in tables:
            out.write("    [" + ", ".join(f"[{x}, {y}, {n}]" for x, y, n in table) + "],\n")
        out.write("]\n")


if __name__ == "__main__":
    main()
