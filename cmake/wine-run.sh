#!/bin/sh
# Usage: wine-run.sh WINE_FOLDER PROGRAM.exe [ARGUMENTS...]
# Runs a Windows program under Wine with the Wine folder (WINEPREFIX) given,
# making that folder first if it does not exist yet. Quiet and headless: no
# display, no standard input needed, no dialogs offering Mono or Gecko.
set -e
prefix="$1"
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/.plotwright-ready" ]; then
  mkdir -p "$WINEPREFIX"
  # Tests run side by side: one of them makes the folder, the others wait.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.plotwright-ready" ]; then
      wineboot -i </dev/null >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.plotwright-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
