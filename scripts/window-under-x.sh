#!/usr/bin/env bash
# The window under a real X server (Xvfb) with a window manager (openbox),
# driven with the mouse and keys (xdotool) and read the way a screen reader
# reads it (AT-SPI); see scripts/window_under_x.py for the checks.
#
# Usage: scripts/window-under-x.sh PATH_TO_ZIZADOD5
# Exits 0 when every check passes, 1 when one fails, 77 (skipped) where the
# X tools are missing. Each stage is told on standard error with its time
# (the D-Bus session, Xvfb, openbox, then those of window_under_x.py), and
# each has a deadline: a stage that does not end fails the test by name.
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
for tool in Xvfb openbox xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool" >&2; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: no pyatspi" >&2; exit 77; }

stage() { printf '%(%T)T.%s window-under-x.sh: %s\n' -1 "${EPOCHREALTIME#*.}" "$*" >&2; }

if [ -z "${ZIZ_IN_SESSION:-}" ]; then
  # A bus of its own for AT-SPI, gone with the session, and an X server of
  # its own (with-display.sh), whatever display the caller has. The whole
  # has a deadline too, below CTest's, should a step outside the stages'
  # own deadlines block.
  unset DISPLAY
  stage "the D-Bus session starts"
  status=0
  ZIZ_IN_SESSION=1 ZIZ_STAGES=1 timeout -k 5 75 dbus-run-session -- \
    "$here/with-display.sh" "$0" "$@" || status=$?
  [ "$status" -ne 124 ] ||
    echo "window-under-x.sh: not over within 75 s; the last stage above is the one that blocked" >&2
  exit "$status"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The accessibility bus and its registry start when the checks first ask
# for them, before the program starts: the bus activates them and answers
# once they are up, so the program finds them from its first moment.
stage "the checks start"
mkdir "$work/files"
status=0
/usr/bin/python3 "$here/window_under_x.py" "$program" "$work/files" || status=$?
exit "$status"
