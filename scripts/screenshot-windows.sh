#!/usr/bin/env bash
# Takes docs/zizadod5-win32.png: zizadod5.exe under Wine right after start,
# in a scratch folder of copies of the example files, on a private X server
# with openbox (scripts/with-display.sh), with its title bar.
#
#   scripts/screenshot-windows.sh [DPI]
#
# At a DPI other than 96 (144, say) the screen has that scale, in a Wine
# prefix of its own made once (build-windows/wineprefix-dpiDPI), and the
# picture is docs/zizadod5-win32-DPIdpi.png.
# Needs the Windows build (cmake --preset windows).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages netpbm x11-apps
if [ -z "${DISPLAY:-}" ]; then
  exec scripts/with-display.sh "$0" "$@"
fi
dpi=${1:-96}
[[ $dpi =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [DPI]" >&2; exit 2; }
exe=$PWD/build-windows/window/win32/zizadod5.exe
if [ "$dpi" = 96 ]; then
  out=$PWD/docs/zizadod5-win32.png
  prefix=$PWD/build-windows/wineprefix
else
  out=$PWD/docs/zizadod5-win32-${dpi}dpi.png
  prefix=$PWD/build-windows/wineprefix-dpi$dpi
fi
wine=(env LC_ALL=C.UTF-8 WINEPREFIX="$prefix" WINEDEBUG=-all /usr/lib/wine/wine64)
if [ ! -f "$prefix/system.reg" ]; then
  WINEDLLOVERRIDES=mscoree,mshtml= "${wine[@]}" wineboot --init >/dev/null 2>&1
  # The screen's scale, where Wine's settings keep it.
  "${wine[@]}" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  "${wine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
fi

# A fixed folder name keeps the picture the same from one run to the next.
scratch=${TMPDIR:-/tmp}/zizadod5-examples
rm -rf "$scratch"
mkdir -p "$scratch"
cp examples/*.DAT "$scratch/"
cd "$scratch"
"${wine[@]}" "$exe" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
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
