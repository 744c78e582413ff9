#!/usr/bin/env bash
# Draws the window as a newcomer sees it right after ./run.sh starts it (in a
# scratch folder of copies of the example files) into docs/window.png, on
# Qt's offscreen platform, so no display is needed.
#
#   scripts/screenshot.sh [DPI]
#
# With a DPI other than 96 (144, say), the window is drawn at that scale,
# into docs/window-DPI.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-targets.sh
build_targets zizadod5-screenshot
dpi=${1:-96}
out=$PWD/docs/window.png
[ "$dpi" = 96 ] || out=$PWD/docs/window-$dpi.png

# A fixed folder name keeps the picture the same from one run to the next.
scratch=${TMPDIR:-/tmp}/zizadod5-examples
rm -rf "$scratch"
mkdir -p "$scratch"
cp examples/*.DAT "$scratch/"
cd "$scratch"
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$(echo "scale=4; $dpi / 96" | bc) \
  "$bin/window/qt/zizadod5-screenshot" "$out"
echo "Wrote $out"
