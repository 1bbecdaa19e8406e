#!/usr/bin/env bash
# Sets up what is missing, builds Orvandel.exe and runs it under Wine. Arguments go to the program.
# Without a display it starts a virtual one, saves a screenshot once the window is up, and keeps
# the program running until Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh

headless=
if [ -z "${DISPLAY:-}" ]; then headless=1; fi
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  wineserver -k 2>/dev/null || true
  orv_stop_display
  true
}
trap cleanup EXIT INT TERM  # before the display: one whose window manager never starts is stopped too
orv_ensure_display
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target Orvandel

exe="$ORV_ROOT/build/win32/bin/Orvandel.exe"
wine "$exe" "$@" &
program=$!

if [ -n "$headless" ]; then
  shot="$ORV_ROOT/build/screenshot.png"
  for _ in $(seq 200); do
    if xdotool search --onlyvisible --class TVorCopyPasteWin >/dev/null 2>&1 \
       || xdotool search --onlyvisible --name 'Marrowick' >/dev/null 2>&1; then
      sleep 1
      import -window root "$shot"
      echo "Orvandel is running on the virtual display $DISPLAY; screenshot saved to $shot"
      break
    fi
    sleep 0.1
  done
  echo "Press Ctrl+C to stop."
fi
wait "$program"
