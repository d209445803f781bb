#!/bin/sh
# Runs a Windows program under Wine with a prefix that belongs to this build
# tree, made on first use, so that nothing depends on the state of ~/.wine.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
: "${ORV_WINEPREFIX:=$here/build/wine-prefix}"
export WINEPREFIX="$ORV_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=$(command -v wine64 || command -v wine)
mkdir -p "$WINEPREFIX"
# Only one process may create the prefix; the others wait for it.
(
  flock 9
  if [ ! -f "$WINEPREFIX/.orv-ready" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.orv-ready"
  fi
) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
