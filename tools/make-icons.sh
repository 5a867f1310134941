#!/usr/bin/env bash
# Draws the PNG icons from the SVGs in packaging/icons (run after changing an
# SVG; the PNGs are checked in so a build needs no SVG tools). Needs
# rsvg-convert from Debian's librsvg2-bin.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for program in ostrak crimp; do
  for size in 48 128 256; do
    rsvg-convert -w "$size" -h "$size" "$program.svg" -o "$program-$size.png"
  done
done
