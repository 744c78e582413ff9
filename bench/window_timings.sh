#!/usr/bin/env bash
# The two windows side by side on one X server (scripts/with-display.sh:
# a private Xvfb with openbox unless DISPLAY is set), each started RUNS
# times in a fresh copy of examples/:
#   start-up      from the start of the process to its window shown, titled
#                 "KOVA/DTA Conversor 0.9";
#   double click  from a double click on the second file's row (the X
#                 server's own pointer; from the second press) to that
#                 file's CSV written in full, which is the run's last step
#                 before its closing log lines.
# Prints the median and the spread of each. Both are measured from outside
# the programs, the same way for both, so they include what a user waits
# for: for zizadod5.exe, Wine's own start.
#
#   bench/window_timings.sh [RUNS]   (default 11; needs build/ and build-windows/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-11}
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/with-display.sh" "$0" "$@"
fi

qt=("$root/build/window/qt/zizadod5")
wine=(env LC_ALL=C.UTF-8 WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all
  "WINEDLLOVERRIDES=mscoree,mshtml=" /usr/lib/wine/wine64 "$root/build-windows/window/win32/zizadod5.exe")
# Wine's server stays up between runs, as on a desktop where a Windows
# program has run before; it ends with the script.
"${wine[@]:0:5}" /usr/lib/wine/wineserver -p 10 </dev/null >/dev/null 2>&1
trap '"${wine[@]:0:5}" /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

now() { date +%s%N; }
ms() { echo $((($2 - $1) / 1000000)); }

# One run of `$@`: prints "start-up-ms double-click-ms".
measure() {
  local scratch window_pid window start shown clicked done_at size last=-1
  scratch=$(mktemp -d)
  cp "$root"/examples/*.DAT "$scratch"
  start=$(now)
  (cd "$scratch" && exec "$@" >/dev/null 2>&1) &
  window_pid=$!
  until window=$(xdotool search --onlyvisible --name '^KOVA/DTA Conversor 0\.9$' 2>/dev/null | head -1) &&
      [ -n "$window" ]; do
    sleep 0.005
  done
  shown=$(now)
  sleep 1  # settled, as a user would find it
  xdotool mousemove --window "$window" 60 103
  xdotool click --repeat 2 --delay 50 1
  clicked=$(now)  # the second press has reached the X server
  # Written in full: the file's size stops changing.
  while :; do
    size=$(stat -c %s "$scratch/MOV0712.CSV" 2>/dev/null || echo -1)
    if [ "$size" -gt 0 ] && [ "$size" = "$last" ]; then break; fi
    last=$size
    done_at=$(now)
    sleep 0.002
  done
  kill "$window_pid" 2>/dev/null
  wait "$window_pid" 2>/dev/null || true
  while xdotool search --onlyvisible --name '^KOVA/DTA Conversor' >/dev/null 2>&1; do sleep 0.05; done
  rm -rf "$scratch"
  echo "$(ms "$start" "$shown") $(ms "$clicked" "$done_at")"
}

median_and_spread() {
  sort -n | awk '{ v[NR] = $1 } END { printf "median %d ms (%d to %d)", v[int((NR + 1) / 2)], v[1], v[NR] }'
}

results=$(mktemp)
for ((run = 0; run < runs; ++run)); do
  # In turn, so that a slower moment of the machine falls on both.
  echo "qt $(measure "${qt[@]}")" >>"$results"
  echo "win32 $(measure "${wine[@]}")" >>"$results"
done
for window in qt win32; do
  label=$([ "$window" = qt ] && echo "Qt window (Linux)      " || echo "zizadod5.exe under Wine")
  printf '%s  start-up %s, double click to CSV %s\n' "$label" \
    "$(awk -v w="$window" '$1 == w { print $2 }' "$results" | median_and_spread)" \
    "$(awk -v w="$window" '$1 == w { print $3 }' "$results" | median_and_spread)"
done
rm -f "$results"
