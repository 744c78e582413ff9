#!/usr/bin/env bash
# The window under a real X server (Xvfb) with a window manager (openbox),
# driven with the mouse and keys (xdotool) and read the way a screen reader
# reads it (AT-SPI); see scripts/window_under_x.py for the checks.
#
# Usage: scripts/window-under-x.sh PATH_TO_ZIZADOD5
# Exits 0 when every check passes, 1 when one fails, 77 (skipped) where the
# X tools are missing.
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
for tool in Xvfb openbox xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool" >&2; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: no pyatspi" >&2; exit 77; }

if [ -z "${ZIZ_IN_SESSION:-}" ]; then
  # A bus of its own for AT-SPI, gone with the session.
  ZIZ_IN_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# A display number of its own: Xvfb writes the one it took.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)

mkdir "$work/files"
status=0
/usr/bin/python3 "$here/window_under_x.py" "$program" "$work/files" || status=$?
exit "$status"
