#!/usr/bin/env bash
# Renders the PNG sizes of the program's icon and of the toolbar's own icons
# from their SVG sources. The PNGs are committed: run this after changing an
# SVG (needs rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
data="$(cd "$(dirname "$0")" && pwd)"

render() { # svg size png
  mkdir -p "$(dirname "$3")"
  rsvg-convert --width "$2" --height "$2" --output "$3" "$1"
}

for size in 16 22 24 32 48 64 128 256; do
  render "$data/icons/zeldl.svg" "$size" "$data/icons/hicolor/${size}x${size}/apps/zeldl.png"
done
for svg in "$data"/toolbar/*.svg; do
  for size in 16 24 32 48; do
    render "$svg" "$size" "$data/toolbar/png/$size/$(basename "$svg" .svg).png"
  done
done
