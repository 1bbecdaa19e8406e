#!/usr/bin/env bash
# The virtual display of the test and bench scripts, under set -e as they run: a window manager that
# fails at its start is started again (three tries in all), and a display given up on is stopped.
set -euo pipefail
cd "$(dirname "$0")/../.."
real_openbox=$(command -v openbox)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "display_start_test: $*" >&2; failed=1; }

# A stand-in openbox that fails its first <n> starts and then becomes the real one.
stand_in() {
  mkdir -p "$work/bin"
  cat >"$work/bin/openbox" <<STANDIN
#!/bin/sh
echo start >>"$work/starts"
[ \$(wc -l <"$work/starts") -gt $1 ] && exec "$real_openbox" "\$@"
echo "stand-in openbox fails" >&2
exit 1
STANDIN
  chmod +x "$work/bin/openbox"
  : >"$work/starts"
}

# Starts a display the way the scripts do, under set -e (not as the left side of || or an if, where
# bash ignores it); the display's Xvfb is written down on the way out. Sets $started to its status.
start_display() {
  set +e
  (
    set -euo pipefail
    unset DISPLAY
    export PATH="$work/bin:$PATH"
    . scripts/wine-env.sh
    trap 'echo "${ORV_XVFB_PID:-}" >"$work/xvfb"; orv_stop_display' EXIT
    orv_ensure_display
    orv_wm_running
  ) 2>"$work/said"
  started=$?
  set -e
  xvfb=$(cat "$work/xvfb" 2>/dev/null || true)
}

# A display left running is a fault of the scripts; the test stops it all the same.
left_running() {
  [ -n "$xvfb" ] && kill -0 "$xvfb" 2>/dev/null && { kill "$xvfb"; return 0; }
  return 1
}

stand_in 2
start_display
[ "$started" = 0 ] || fail "two failed starts of the window manager ended the display: $(cat "$work/said")"
[ "$(wc -l <"$work/starts")" = 3 ] || fail "expected 3 starts, saw $(wc -l <"$work/starts")"
if left_running; then fail "the display still runs after the script ended"; fi

stand_in 9
start_display
if [ "$started" = 0 ]; then fail "a window manager that never starts was taken as started"; fi
[ "$(wc -l <"$work/starts")" = 3 ] || fail "expected 3 tries, saw $(wc -l <"$work/starts")"
grep -q "try 3 of 3.*stand-in openbox fails" "$work/said" || fail "the message does not say why: $(cat "$work/said")"
[ -n "$xvfb" ] || fail "no display was started"
if left_running; then fail "the display given up on still runs"; fi

[ "$failed" = 0 ] && echo "display_start_test: passed"
exit "$failed"
