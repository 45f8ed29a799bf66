#!/usr/bin/env bash
# Draws app/korvalin.ico (32 x 32, 32 bits per pixel, with alpha): two
# arrows in opposite directions on a tile, "switch between versions".
# Drawn at 256 x 256 and scaled down for smooth edges. Needs ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
  -fill '#1f4e8c' -draw 'roundrectangle 6,6 249,249 44,44' \
  -fill '#5fd068' -draw 'polygon 40,62 156,62 156,26 220,86 156,146 156,110 40,110' \
  -fill '#ffb13b' -draw 'polygon 216,150 100,150 100,114 36,174 100,234 100,198 216,198' \
  "$tmp/big.png"
convert "$tmp/big.png" -filter Lanczos -resize 32x32 -define png:color-type=6 "PNG32:$tmp/small.png"
# BMP entries (not PNG) keep the icon readable by every Windows version.
convert "$tmp/small.png" -define icon:format=bmp "ICO:$root/app/korvalin.ico"
