#!/usr/bin/env bash
# Draws Tolvane's icon, src/windows/tolvane.ico, with ImageMagick: a window with a grey title bar
# and the program's green client area, at the sizes Windows asks for. The icon is committed; run
# this again only to change it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
convert -size 256x256 xc:none \
    -fill '#303030' -draw 'roundrectangle 8,24 247,231 20,20' \
    -fill '#00ff00' -draw 'rectangle 20,64 235,219' \
    -fill '#e0e0e0' -draw 'circle 206,44 206,52' -draw 'circle 182,44 182,52' \
    -strip -depth 8 -define icon:auto-resize=256,64,48,32,24,16 "$root/src/windows/tolvane.ico"
