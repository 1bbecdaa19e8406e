# Sourced: the Wine environment of the project. The prefix and a scratch HOME live under build/,
# so tests never touch the user's ~/.wine or Trash.
ORV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$ORV_ROOT/build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$ORV_ROOT/build/home" XDG_DATA_HOME="$ORV_ROOT/build/home/.local/share"
export LC_ALL=C.UTF-8
mkdir -p "$XDG_DATA_HOME"

# Creates the prefix once (no Mono/Gecko prompts, no crash dialog) and keeps one wineserver alive.
orv_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/.orv-ready" ]; then
    echo "wine: creating the project prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.orv-ready"
  fi
  orv_persistent_server
}

# Keeps a wineserver for the prefix alive between test programs (about 20 ms a start instead of a
# server start each), and lets the system services start here, away from any caller's pipes.
# A server already running is fine: cmake/wine-run.sh keeps test output off inherited pipes.
orv_persistent_server() {
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
}

# Starts a virtual display when there is none, and a window manager on the display when it has none;
# sets ORV_XVFB_PID and ORV_WM_PID for orv_stop_display.
orv_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then orv_ensure_wm; return; fi
  # Xvfb picks a free display itself and tells its number once it is ready: display numbers left
  # taken by killed servers (their lock files stay) and other users' servers are skipped.
  local fifo n=""
  fifo=$(mktemp -u /tmp/orv-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  ORV_XVFB_PID=$!
  read -r -t 20 n <"$fifo" || true
  rm -f "$fifo"
  if [ -n "$n" ]; then
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && { orv_ensure_wm; return; }; sleep 0.1; done
  fi
  echo "wine: could not start a virtual display" >&2
  return 1
}

# True once a window manager manages the display: its check window names itself on the root.
orv_wm_running() {
  local id
  id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p')
  [ -n "$id" ] && xprop -id "$id" _NET_WM_NAME >/dev/null 2>&1
}

# Without a window manager Wine waits about 2 s at every show and hide of a window, and a real click
# on an inactive dialog is often taken as its activation only: the display gets openbox.
orv_ensure_wm() {
  orv_wm_running && return 0
  if ! command -v openbox >/dev/null; then
    echo "wine: no openbox (scripts/setup.sh installs it): every window shown costs seconds" >&2
    return 0
  fi
  # Once seen in a loaded run, openbox ended at its start for a reason it did not keep: it is started
  # again (three tries in all), and what it said is kept for the message.
  local log="$ORV_ROOT/build/openbox.log" try
  mkdir -p "$ORV_ROOT/build"
  for try in 1 2 3; do
    openbox --sm-disable </dev/null >"$log" 2>&1 &
    ORV_WM_PID=$!
    for _ in $(seq 400); do
      orv_wm_running && return 0
      kill -0 "$ORV_WM_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill "$ORV_WM_PID" 2>/dev/null || true; wait "$ORV_WM_PID" 2>/dev/null || true
    echo "wine: the window manager did not start (try $try of 3 on $DISPLAY): $(tail -3 "$log" | tr '\n' ' ')" >&2
  done
  ORV_WM_PID=""
  return 1
}

# Stops what orv_ensure_display started (the window manager first: it would complain of a lost display).
# Each step may fail (a process already gone) without ending a caller that runs under set -e.
orv_stop_display() {
  if [ -n "${ORV_WM_PID:-}" ]; then kill "$ORV_WM_PID" 2>/dev/null || true; wait "$ORV_WM_PID" 2>/dev/null || true; fi
  if [ -n "${ORV_XVFB_PID:-}" ]; then kill "$ORV_XVFB_PID" 2>/dev/null || true; wait "$ORV_XVFB_PID" 2>/dev/null || true; fi
  ORV_WM_PID="" ORV_XVFB_PID=""
  true
}
