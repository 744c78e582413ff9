#!/usr/bin/env bash
# Builds the converter and converts the example movement files in a
# scratch copy, printing each conversion's log and where the CSV went.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${ENGINE_PACKAGES[@]}"

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target dta2csv >/dev/null

scratch=$(mktemp -d "${TMPDIR:-/tmp}/zizadod5-examples.XXXXXX")
cp examples/*.DAT "$scratch/"
cd "$scratch"
status=0
for file in *.DAT; do
  echo "== $file"
  "$OLDPWD/$build/cli/dta2csv" "$file" || status=$?
  csv="${file%????}.CSV"
  [ -f "$csv" ] && echo "-> $scratch/$csv"
  echo
done
exit "$status"
