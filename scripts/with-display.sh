#!/usr/bin/env bash
# Runs a command with an X display: the caller's if DISPLAY is set, else a
# private Xvfb with openbox, so Win32 windows under Wine get drawn, placed
# and activated as on a desktop. Both end with the command, and so does the
# Wine server of $WINEPREFIX, if set, which drew on that display.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi

fd_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" 2>/dev/null &
xvfb=$!
openbox_pid=
cleanup() {
  # Wine's processes drew on this display; they end with it. A command
  # that ended before Wine started leaves no server to end, which must not
  # stop the rest of the cleanup.
  [ -n "${WINEPREFIX:-}" ] && { /usr/lib/wine/wineserver -k 2>/dev/null || true; }
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -f "$fd_file"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$fd_file" ] && break
  sleep 0.05
done
DISPLAY=":$(head -1 "$fd_file")"
export DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
openbox_pid=$!
# The window manager owns the screen once it has set its check window; a
# window mapped before that stays unmanaged, never placed or activated.
# On a loaded machine that can take seconds: waited for up to 60.
for _ in $(seq 1200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  { echo "with-display.sh: openbox did not start" >&2; exit 1; }
"$@"
