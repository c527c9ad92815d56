#!/usr/bin/env bash
# Regenerates the PNG artwork under qml/images/ from the sources in this folder:
#   src/flags/*.svg, src/icons/*.svg   hand-written, rendered as they are
#   scenes.py                          writes the backdrop and the animation frames as SVG
#   window_backdrop.py, compose_frames.py  fit them to the window: see each
#   frame_parts.py                     cuts the frames down to what the idle screen holds
# The whole animation frames stay in frames/ (the capture test holds the screen to them);
# the bundle gets each animation's first frame and the parts where the others differ.
# The SVG icons under qml/images/Icons/ are sources themselves and are not touched.
#
#   tools/artwork/render.sh [--sheet FILE]
#
# --sheet also writes a contact sheet of every animation frame over the backdrop, for review.
# Needs python3 (with python3-pil), rsvg-convert (librsvg2-bin), optipng and, for --sheet, ImageMagick.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
img=$(cd "$here/../.." && pwd)/qml/images
sheet=""
if [ "${1:-}" = "--sheet" ]; then
    sheet=${2:?--sheet needs a file name}
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Lossless throughout: a 256-colour palette bands the glows and fades visibly.
lossless() {
    rsvg-convert "$1" -o "$2"
    optipng -quiet -o3 -strip all "$2"
}

mkdir -p "$img/Flags" "$img/Icons" "$here/frames/NFC" "$here/frames/Barcode"
lossless "$here/src/flags/gr.svg" "$img/Flags/gr.png"
lossless "$here/src/flags/uk.svg" "$img/Flags/uk.png"
lossless "$here/src/icons/menu.svg" "$img/Icons/menu.png"
lossless "$here/src/icons/vorn.svg" "$img/Icons/vorn.png"

python3 "$here/scenes.py" "$tmp"
# The backdrop as the window shows it: stretched over the header, at the window's size.
lossless "$tmp/background.svg" "$tmp/background.png"
python3 "$here/window_backdrop.py" "$tmp/background.png" "$img/background.png"
optipng -quiet -o3 -strip all "$img/background.png"
for svg in "$tmp"/nfc-*.svg; do
    [ -e "$svg" ] || continue
    n=$(basename "$svg" .svg); n=${n#nfc-}
    lossless "$svg" "$here/frames/NFC/$n.png"
done
for svg in "$tmp"/barcode-*.svg; do
    [ -e "$svg" ] || continue
    n=$(basename "$svg" .svg); n=${n#barcode-}
    lossless "$svg" "$here/frames/Barcode/$n.png"
done
# The ticket animation holds its scanning pose: frames 7 and 8 are frame 5, byte for byte.
if [ -e "$here/frames/Barcode/5.png" ]; then
    cp "$here/frames/Barcode/5.png" "$here/frames/Barcode/7.png"
    cp "$here/frames/Barcode/5.png" "$here/frames/Barcode/8.png"
fi
# Every frame laid onto the backdrop where the idle screen places it: x 0, y 202 of the window
# (under the 120-pixel header, centred 10 below the middle of the 680-pixel page).
python3 "$here/compose_frames.py" "$img/background.png" 0 202 "$here"/frames/NFC/*.png "$here"/frames/Barcode/*.png
for png in "$here"/frames/NFC/*.png "$here"/frames/Barcode/*.png; do
    optipng -quiet -o3 -strip all "$png"
done
python3 "$here/frame_parts.py" "$here/frames" "$img" "$img/../screens/FrameParts.js" NFC Barcode
for png in "$img"/NFC/*.png "$img"/Barcode/*.png; do
    optipng -quiet -o3 -strip all "$png"
done

if [ -n "$sheet" ]; then
    tiles=()
    for d in NFC Barcode; do
        for p in "$here/frames/$d"/*.png; do
            [ -e "$p" ] || continue
            t="$tmp/tile-$d-$(basename "$p")"
            # each frame as the idle screen places it: centred, 10 below the middle of the page
            convert "$img/background.png" -crop 480x680+0+120 +repage \
                "$p" -geometry +0+82 -composite -resize 50% "$t"
            tiles+=("$t")
        done
    done
    montage "${tiles[@]}" -tile 8x -geometry +4+4 -background '#222' "$sheet"
fi
