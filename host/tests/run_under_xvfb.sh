#!/bin/sh
# Runs a command (the dialog tests under Wine) on a virtual X server of its
# own, and takes screenshots of that screen when the command asks for them.
#
# usage: run_under_xvfb.sh SHOT-DIR COMMAND [ARG...]
#
# - The server picks a free display number itself (-displayfd), so another
#   server, or a lock file left behind by one that died, can't get in the way.
# - The command gets DISPLAY and ORV_SCREENSHOT_DIR=SHOT-DIR, and no stdin.
# - A screenshot is asked for by putting "x y width height" into
#   SHOT-DIR/dialog.request; the picture of that region of the screen is
#   written to SHOT-DIR/dialog.png, then SHOT-DIR/dialog.done appears
#   (dialog.failed, holding the error, if it can't be taken).
# - Everything is bounded (ORV_XVFB_LIMIT seconds for the command, 300 by
#   default) and the server, the watcher and the Wine server of the prefix
#   in use are gone when the script ends, however it ends.
set -u
shots=$1
shift
limit=${ORV_XVFB_LIMIT:-300}

for tool in Xvfb import timeout; do
  command -v "$tool" >/dev/null 2>&1 || { echo "run_under_xvfb: $tool is missing (scripts/setup.sh)" >&2; exit 2; }
done

mkdir -p "$shots"
rm -f "$shots/dialog.request" "$shots/dialog.request.tmp" "$shots/dialog.done" "$shots/dialog.failed"
work=$(mktemp -d "${TMPDIR:-/tmp}/orv-xvfb.XXXXXX")
xvfb_pid=
watcher_pid=

stop_wine() {
  # A Wine server left running would keep its desktop tied to a display that
  # is about to go away; the next run must start afresh.
  if [ -n "${ORV_WINEPREFIX:-}" ] && command -v wineserver >/dev/null 2>&1; then
    WINEPREFIX=$ORV_WINEPREFIX timeout 20 wineserver -k >/dev/null 2>&1 || true
  fi
}

cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  stop_wine
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

stop_wine
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
  3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!

# The server writes its display number once it accepts connections.
tries=0
while [ ! -s "$work/display" ]; do
  if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$tries" -ge 200 ]; then
    echo "run_under_xvfb: the virtual X server did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 2
  fi
  tries=$((tries + 1))
  sleep 0.1
done
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
ORV_SCREENSHOT_DIR=$shots
export ORV_SCREENSHOT_DIR

# The screenshot watcher: lives as long as this script.
(
  while :; do
    if [ -f "$shots/dialog.request" ]; then
      read -r x y w h <"$shots/dialog.request"
      rm -f "$shots/dialog.request"
      if import -display "$DISPLAY" -silent -window root -crop "${w}x${h}+${x}+${y}" +repage \
           "$shots/dialog.png" 2>"$work/import.log"; then
        touch "$shots/dialog.done"
      else
        cp "$work/import.log" "$shots/dialog.failed"
      fi
    fi
    sleep 0.1
  done
) &
watcher_pid=$!

timeout -k 10 "$limit" "$@" </dev/null
status=$?
[ "$status" -eq 124 ] && echo "run_under_xvfb: the command ran out of its $limit s" >&2
exit "$status"
