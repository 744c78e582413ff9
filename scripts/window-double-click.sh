#!/usr/bin/env bash
# Starts zizadod5.exe in a folder holding the example files, checks its
# title and client area, double-clicks the second file's row with the X
# server's own pointer, and fails unless exactly that file was converted,
# to the CSV the Linux dta2csv makes of it. Needs an X display with a
# window manager (scripts/with-display.sh).
#
#   scripts/window-double-click.sh LINUX_DTA2CSV WINE_COMMAND... ZIZADOD5_EXE
#
# Exits 77 (a skip for CTest) when the Linux build is not there.
set -euo pipefail
examples=$(cd "$(dirname "$0")/../examples" && pwd)
linux=$1
shift
[ -x "$linux" ] || { echo "no Linux build at $linux: skipped"; exit 77; }

scratch=$(mktemp -d)
window_pid=
cleanup() {
  [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir "$scratch/linux" "$scratch/window"
cp "$examples"/*.DAT "$scratch/linux"
cp "$examples"/*.DAT "$scratch/window"
names=("$examples"/*.DAT)
second=$(basename "${names[1]}")

(cd "$scratch/window" && exec "$@" 2>/dev/null) &
window_pid=$!
window=
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name '^KOVA/DTA Conversor 0\.9$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "zizadod5.exe showed no window titled KOVA/DTA Conversor 0.9" >&2; exit 1; }
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$size" = 757x560 ] || { echo "client area $size, not 757x560" >&2; exit 1; }

# fileDTA's inside starts 82 pixels down, 26 across; rows are 11 to 20
# pixels high at 96 dots per inch, so 21 pixels down is on the second row.
xdotool mousemove --window "$window" 60 103 click --repeat 2 --delay 80 1
csv=${second%.DAT}.CSV
for _ in $(seq 100); do
  [ -s "$scratch/window/$csv" ] && break
  sleep 0.1
done
sleep 0.5  # the run has ended once the window answers again; then compare
(cd "$scratch/linux" && LC_ALL=C.UTF-8 "$linux" "$second" >/dev/null)
cmp "$scratch/linux/$csv" "$scratch/window/$csv"
converted=$(cd "$scratch/window" && echo ./*.CSV)
converted=${converted#./}
[ "$converted" = "$csv" ] || { echo "converted: $converted; expected only $csv" >&2; exit 1; }
echo "double click on $second converted exactly it, as on Linux"
