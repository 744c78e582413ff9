#!/usr/bin/env bash
# Runs a command with an X display: the caller's if DISPLAY is set, else a
# private Xvfb with openbox, so Win32 windows under Wine get drawn, placed
# and activated as on a desktop. Both end with the command, and so does the
# Wine server of $WINEPREFIX, if set, which drew on that display.
#
# Each wait has a deadline, and a start that fails says which one failed.
# With ZIZ_STAGES set, each step is also told on standard error with the
# time it was reached.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi

stage() {
  [ -z "${ZIZ_STAGES:-}" ] || printf '%(%T)T.%s with-display.sh: %s\n' -1 "${EPOCHREALTIME#*.}" "$*" >&2
}
fail() {
  echo "with-display.sh: $*" >&2
  exit 1
}

fd_file=$(mktemp)
openbox_log=$(mktemp)
# -noreset: by default the server starts afresh whenever its last client
# leaves, and drops every client that connects meanwhile. A look at the
# screen (xprop below) that ended as openbox connected then cost openbox
# its connection: it never managed the screen, and every later look
# started the server afresh again, keymap and all, until the deadline.
stage "Xvfb starting"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" 2>/dev/null &
xvfb=$!
openbox_pid=
cleanup() {
  # Wine's processes drew on this display; they end with it. A command
  # that ended before Wine started leaves no server to end, which must not
  # stop the rest of the cleanup.
  [ -n "${WINEPREFIX:-}" ] && { /usr/lib/wine/wineserver -k 2>/dev/null || true; }
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -f "$fd_file" "$openbox_log"
}
trap cleanup EXIT

# Waits up to $1 seconds, checking every 50 ms, until the command after
# it succeeds; fails with what is awaited ($2) when the process $3 ends
# first or the time is up.
await() {
  local seconds=$1 what=$2 pid=$3
  shift 3
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    kill -0 "$pid" 2>/dev/null || return 2
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
  stage "$what"
}
# The window manager owns the screen once it has set its check window; a
# window mapped before that stays unmanaged, never placed or activated.
managed() {
  timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

status=0
await 30 "Xvfb up" "$xvfb" test -s "$fd_file" || status=$?
[ "$status" -ne 2 ] || fail "Xvfb ended before it took a display"
[ "$status" -eq 0 ] || fail "Xvfb took no display within 30 s"
DISPLAY=":$(head -1 "$fd_file")"
export DISPLAY
stage "openbox starting on $DISPLAY"
openbox --sm-disable >"$openbox_log" 2>&1 &
openbox_pid=$!
await 30 "openbox manages the screen" "$openbox_pid" managed || status=$?
[ "$status" -ne 2 ] || fail "openbox ended before it managed the screen: $(head -c 300 "$openbox_log")"
[ "$status" -eq 0 ] || fail "openbox did not manage the screen within 30 s"
"$@"
