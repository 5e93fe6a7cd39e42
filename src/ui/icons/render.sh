#!/usr/bin/env bash
# Renders the program's icon at the sizes the application and the about box use. Run by hand
# after changing marovellix.svg (rsvg-convert comes with Debian's librsvg2-bin); the PNG files
# are kept in the repository so that building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for size in 16 32 48 256; do
  rsvg-convert -w "$size" -h "$size" -o "marovellix-$size.png" marovellix.svg
done
