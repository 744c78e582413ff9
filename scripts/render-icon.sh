#!/usr/bin/env bash
# Renders window/icons/zizadod5.svg into the 16 x 16 and 32 x 32 PNGs the
# window's resource file embeds. Run it after changing the drawing and
# check the PNGs in; the build itself does not need an SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages librsvg2-bin

for size in 16 32; do
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "window/icons/zizadod5-$size.png" window/icons/zizadod5.svg
done
