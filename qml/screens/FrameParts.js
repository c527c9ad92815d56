.pragma library
// Written by tools/artwork/frame_parts.py from the animation frames: do not edit.
// For each animation (the card's, the ticket's) and each frame: where its part sits
// on the first frame (x, y) and the frame whose picture holds it (0: none, the
// frame is the first).
var parts = [
    [[0, 0, 0], [225, 280, 1], [149, 205, 2], [102, 161, 3], [86, 144, 4], [39, 58, 5], [17, 58, 6]],
    [[0, 0, 0], [208, 381, 1], [149, 357, 2], [114, 340, 3], [100, 275, 4], [100, 275, 5], [100, 275, 6], [100, 275, 5], [100, 275, 5]],
]
