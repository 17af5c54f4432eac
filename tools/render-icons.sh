#!/usr/bin/env bash
# Renders the PNG icons from packaging/icons/drive-console.svg (needs
# rsvg-convert from librsvg2-bin), and the Windows .ico made of them. Run after
# changing the SVG; commit the results.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" drive-console.svg -o "drive-console-$size.png"
done
# The Windows program's icon: both sizes in one .ico (PNG entries, as Windows
# Vista and later read them).
python3 - drive-console-48.png drive-console-256.png > drive-console.ico <<'PY'
import struct, sys
images = [open(name, "rb").read() for name in sys.argv[1:]]
sizes = [struct.unpack(">II", data[16:24]) for data in images]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for (w, h), data in zip(sizes, images):
    out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
sys.stdout.buffer.write(out + b"".join(images))
PY
