#!/usr/bin/env bash
# Builds the converter and starts its window in a scratch folder holding
# copies of the example movement files. Without a display, converts the
# examples there with dta2csv instead, printing each conversion's log and
# where the CSV went.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/build-targets.sh
build_targets zizadod5 dta2csv

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zizadod5-examples.XXXXXX")
cp examples/*.DAT "$scratch/"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting zizadod5 in $scratch"
  cd "$scratch"
  exec "$bin/window/qt/zizadod5"
fi

echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): converting the" \
     "examples with dta2csv instead of starting the window." >&2
cd "$scratch"
status=0
for file in *.DAT; do
  echo "== $file"
  "$bin/cli/dta2csv" "$file" || status=$?
  csv="${file%????}.CSV"
  [ -f "$csv" ] && echo "-> $scratch/$csv"
  echo
done
exit "$status"
