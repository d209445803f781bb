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
  # A DLL that the tests want in the system folder (the fake nvcuda.dll). Put
  # in place by renaming, so a program of the prefix that has the old copy
  # loaded keeps it intact.
  if [ -n "$ORV_WINE_SYSTEM_DLL" ]; then
    target="$WINEPREFIX/drive_c/windows/system32/$(basename "$ORV_WINE_SYSTEM_DLL")"
    if ! cmp -s "$ORV_WINE_SYSTEM_DLL" "$target"; then
      cp "$ORV_WINE_SYSTEM_DLL" "$target.new" && mv -f "$target.new" "$target"
    fi
  fi
) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
