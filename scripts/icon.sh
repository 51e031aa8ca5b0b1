#!/usr/bin/env bash
# Draws Tolvane's icon with ImageMagick: a window with a grey title bar and the program's green
# client area. From one 256-pixel drawing it writes the Windows icon, src/windows/tolvane.ico, and
# the Linux desktop's, src/linux/icons/<size>.png for the hicolor theme, at the sizes each asks
# for. The icons are committed; run this again only to change them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
drawing=$(mktemp --suffix=.png)
trap 'rm -f "$drawing"' EXIT
convert -size 256x256 xc:none \
    -fill '#303030' -draw 'roundrectangle 8,24 247,231 20,20' \
    -fill '#00ff00' -draw 'rectangle 20,64 235,219' \
    -fill '#e0e0e0' -draw 'circle 206,44 206,52' -draw 'circle 182,44 182,52' \
    -strip -depth 8 "$drawing"
convert "$drawing" -define icon:auto-resize=256,64,48,32,24,16 "$root/src/windows/tolvane.ico"
mkdir -p "$root/src/linux/icons"
for size in 16 22 24 32 48 64 128 256; do
    # No time stamps in the PNGs, so that drawing them again changes nothing that did not change.
    convert "$drawing" -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
        "$root/src/linux/icons/$size.png"
done
