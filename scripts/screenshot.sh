#!/usr/bin/env bash
# Draws the window as a newcomer sees it right after ./run.sh starts it (in a
# scratch folder of copies of the example files) into docs/window.png, on
# Qt's offscreen platform, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-targets.sh
build_targets zizadod5-screenshot
out=$PWD/docs/window.png

# A fixed folder name keeps the picture the same from one run to the next.
scratch=${TMPDIR:-/tmp}/zizadod5-examples
rm -rf "$scratch"
mkdir -p "$scratch"
cp examples/*.DAT "$scratch/"
cd "$scratch"
QT_QPA_PLATFORM=offscreen "$bin/window/qt/zizadod5-screenshot" "$out"
echo "Wrote $out"
