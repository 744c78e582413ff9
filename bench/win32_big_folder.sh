#!/usr/bin/env bash
# zizadod5.exe's window in big folders under Wine, and the Qt window in the
# same folders' sizes, in turn on one X server (scripts/with-display.sh: a
# private Xvfb with openbox unless DISPLAY is set). The folders are made
# here, from the Linux side, and removed at the end.
#
#   bench/win32_big_folder.sh [RUNS]   (default 7; needs build/ and build-windows/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/with-display.sh" "$0" "$@"
fi
cmake --build "$root/build-windows" --target bench_win32_big_folder >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
for folder in big:50000 medium:20000; do
  mkdir "$home/${folder%:*}"
  (cd "$home/${folder%:*}" &&
    seq 0 $((${folder#*:} - 1)) | awk '{ printf "MOV%06d.%s\0", $1, $1 % 2 ? "CSV" : "DAT" }' |
    xargs -0 touch)
done
echo "zizadod5.exe under Wine:"
LC_ALL=C.UTF-8 WINEPREFIX="$root/build-windows/wineprefix-x11" WINEDEBUG=-all \
  WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64 \
  "$root/build-windows/bench/bench_win32_big_folder.exe" "Z:$home" "$runs" 2>/dev/null
if [ -x "$root/build/bench/bench_big_folder" ]; then
  echo "The Qt window:"
  "$root/build/bench/bench_big_folder" "$runs"
fi
