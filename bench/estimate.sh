#!/usr/bin/env bash
# The time remaining as the window shows it, against the time the job really still took: the real
# Orvandel.exe driven from outside by orv_drive, which reads the time label every 100 ms while the job
# runs. At 25%, 50% and 75% of each job's length it prints what the label said and what truly
# remained, and whether the label lay within 35% (or 3 s) of it. Jobs: a Copy of 20,000 small files,
# a Copy of three files of 600 MiB, a Delete of 20,000 small files (a copy of the tree, made before).
# Usage: bash bench/estimate.sh [rounds]   (data in $BENCH_DIR, default build/bench-data; CASES picks
# some of "copy-small copy-large delete-small"; each job's readings stay in $BENCH_DIR/work/estimate-*)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-1}
. scripts/wine-env.sh
trap orv_stop_display EXIT
orv_ensure_display
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j2 --target Orvandel orv_drive >/dev/null

data=${BENCH_DIR:-$ORV_ROOT/build/bench-data}
mkdir -p "$data/trees" "$data/work"
chattr +T "$data/work" 2>/dev/null || true
python3 bench/make_trees.py "$data/trees" small
# Three files of 600 MiB, each its own bytes.
if [ ! -e "$data/trees/three600.done" ]; then
  mkdir -p "$data/trees/three600"
  for i in 1 2 3; do head -c $((600 << 20)) /dev/urandom >"$data/trees/three600/big$i.bin"; done
  touch "$data/trees/three600.done"
fi

bin="$ORV_ROOT/build/win32/bench"
winpath() { echo "Z:$1" | sed 's#/#\\#g'; }
export ORV_EXE; ORV_EXE=$(winpath "$ORV_ROOT/build/win32/bin/Orvandel.exe")
drive() { wine "$bin/orv_drive.exe" "$@"; }
n=0
next_fresh() { n=$((n + 1)); fresh="$data/work/e$$_$n"; }
fail() { echo "estimate bench: $*" >&2; exit 1; }

# <readings>: the "at=<ms> Time Remaining XmYs" lines and the job's "ms=" line; prints one row per
# share of the job: what the label said then, what truly remained, and whether it lay within bounds.
judge() {
  python3 - "$1" "$2" <<'PY'
import re, sys
name, text = sys.argv[1], sys.argv[2]
m = re.search(r"ms=(\d+)", text)
if not m:
    sys.exit(f"estimate bench: {name}: the job's end was not seen")
total = int(m.group(1))
readings = []
for at, minutes, seconds in re.findall(r"at=(\d+) Time Remaining (\d+)m(\d+)s", text):
    readings.append((int(at), int(minutes) * 60 + int(seconds)))
if not readings:
    sys.exit(f"estimate bench: {name}: the label never showed a time remaining")
bad = 0
for share in (0.25, 0.5, 0.75):
    at = share * total
    before = [r for r in readings if r[0] <= at]
    if not before:
        print(f"  {name} at {share:.0%}: no reading yet (job {total} ms)")
        bad += 1
        continue
    shown = before[-1][1]
    truly = (total - at) / 1000
    ok = abs(shown - truly) <= max(0.35 * truly, 3)
    bad += not ok
    print(f"  {name} at {share:.0%} of {total / 1000:.1f} s: shown {shown} s, truly {truly:.1f} s "
          f"(shown / truly {shown / truly if truly else 0:.2f}) {'within' if ok else 'NOT within'} 35% or 3 s")
sys.exit(2 if bad else 0)
PY
}

# <name> <operation radio> <source> <destination or ''> <expected files>
watch_job() {
  local name=$1 op=$2 src=$3 dst=$4 files=$5 steps out status=0
  steps=(start "click|$op" "set|sourceEdit|$(winpath "$src")" "click|sourceButtonAdd"
         "until|ProgressLabel|( $files files are found )" "wait|StopSearch|disabled")
  [ -n "$dst" ] && steps+=("set|cbPath|$(winpath "$dst")")
  out=$(drive "${steps[@]}" "sleep|500" "watch|bbBegin|TimeLabel|AllProgressLabel" close) || fail "$name: the driver failed"
  # Every reading stays for a look afterwards.
  printf '%s\n' "$out" >"$data/work/estimate-$(tr -c 'a-zA-Z0-9\n' '_' <<<"$name" | head -c 40).txt"
  judge "$name" "$out" || status=$?
  [ "$status" = 1 ] && exit 1
  return "$status"
}

misses=0
cases=${CASES:-"copy-small copy-large delete-small"}
for r in $(seq "$rounds"); do
  echo "round $r"
  for c in $cases; do
    next_fresh
    case $c in
    copy-small)
      watch_job "Copy of 20,000 small files" rbCopy "$data/trees/small" "$fresh" 20000 || misses=$((misses + 1))
      diff -rq "$data/trees/small" "$fresh/small" >/dev/null || fail "the Copy of small files differs from its source" ;;
    copy-large)
      watch_job "Copy of three files of 600 MiB" rbCopy "$data/trees/three600" "$fresh" 3 || misses=$((misses + 1))
      for i in 1 2 3; do
        cmp -s "$data/trees/three600/big$i.bin" "$fresh/three600/big$i.bin" || fail "the Copy of big$i.bin differs"
      done ;;
    delete-small)
      mkdir -p "$fresh"; cp -a "$data/trees/small" "$fresh/small"; sync
      watch_job "Delete of 20,000 small files" rbDelete "$fresh/small" "" 20000 || misses=$((misses + 1))
      [ -e "$fresh/small" ] && fail "the Delete left its source" ;;
    *) fail "no case $c (copy-small copy-large delete-small)" ;;
    esac
    rm -rf "$fresh"; sync
  done
done
echo "time remaining within 35% (or 3 s) at 25/50/75% of each job: $([ "$misses" = 0 ] && echo met || echo "NOT MET ($misses jobs off)")"
