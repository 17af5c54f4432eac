#!/usr/bin/env bash
# Renders the PNG icons from packaging/icons/drive-console.svg (needs
# rsvg-convert from librsvg2-bin). Run after changing the SVG; commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" drive-console.svg -o "drive-console-$size.png"
done
