#!/usr/bin/env bash
# Takes docs/zizadod5-win32.png: zizadod5.exe under Wine right after start,
# in a scratch folder of copies of the example files, on a private X server
# with openbox (scripts/with-display.sh), with its title bar.
# Needs the Windows build (cmake --preset windows).
#
#   scripts/screenshot-windows.sh [DPI]
#
# With a DPI other than 96 (144, say), the screen has that scale, in a
# scratch copy of the Wine prefix, and the picture goes to
# docs/zizadod5-win32-DPI.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages netpbm x11-apps
if [ -z "${DISPLAY:-}" ]; then
  exec scripts/with-display.sh "$0" "$@"
fi
dpi=${1:-96}
out=$PWD/docs/zizadod5-win32.png
exe=$PWD/build-windows/window/win32/zizadod5.exe
prefix=$PWD/build-windows/wineprefix
if [ "$dpi" != 96 ]; then
  out=$PWD/docs/zizadod5-win32-$dpi.png
  scaled=$(mktemp -d)
  cp -a "$prefix/." "$scaled/"
  prefix=$scaled
  WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
fi

# A fixed folder name keeps the picture the same from one run to the next.
scratch=${TMPDIR:-/tmp}/zizadod5-examples
rm -rf "$scratch"
mkdir -p "$scratch"
cp examples/*.DAT "$scratch/"
cd "$scratch"
LC_ALL=C.UTF-8 WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 "$exe" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null; [ -z "${scaled:-}" ] || rm -rf "$scaled"' EXIT
window=$(xdotool search --sync --onlyvisible --name '^KOVA/DTA Conversor 0\.9$' | head -1)
sleep 1  # drawn
# The client area and openbox's frame around it (title bar and borders).
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF }
  /Absolute upper-left Y/ { y = $NF } END { print x, y }')
read -r width height < <(xwininfo -id "$window" | awk '/Width:/ { w = $NF } /Height:/ { h = $NF }
  END { print w, h }')
IFS=', ' read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //')
xwd -silent -root | xwdtopnm 2>/dev/null |
  pnmcut -left $((x - left)) -top $((y - top)) -width $((width + left + right)) \
    -height $((height + top + bottom)) | pnmtopng >"$out"
echo "Wrote $out"
