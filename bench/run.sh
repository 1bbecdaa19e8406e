#!/usr/bin/env bash
# Benchmarks whole jobs of the engine under Wine against two peers measured in the same run:
#   floor:  bench/Floor.cpp, the same Win32 calls in a tight loop under Wine (no filters, log, window)
#   native: cp -a, rm -rf, shred -n 1 -u on the same trees
# Runs are interleaved (the rounds go through the six orders of the sides), every run gets fresh
# names, the file system settles after each deletion, large copies are counted to disk (sync inside
# the timing), and medians of the rounds are compared.
# Usage: bash bench/run.sh [rounds]   (data in $BENCH_DIR, default build/bench-data; ~12 GiB free needed)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
bash scripts/setup.sh
command -v python3 >/dev/null || apt-get install -y -q python3
. scripts/wine-env.sh
orv_ensure_prefix
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target orv_bench orv_floor >/dev/null

data=${BENCH_DIR:-$ORV_ROOT/build/bench-data}
mkdir -p "$data/trees" "$data/work"
chattr +T "$data/work" 2>/dev/null || true
python3 bench/make_trees.py "$data/trees" large small mixed many
bin="$ORV_ROOT/build/win32/bench"
winpath() { echo "Z:$1" | sed 's#/#\\#g'; }
n=0
# Sets $fresh to a name no run has used yet (a variable, not $(...): a subshell would lose the count).
next_fresh() { n=$((n + 1)); fresh="$data/work/r$$_$n"; }
now() { date +%s%N; }

# time_run <sync 0|1> <command...>: prints milliseconds
time_run() {
  local s=$1; shift
  local t0 t1
  t0=$(now)
  "$@" >/dev/null
  [ "$s" = 1 ] && sync
  t1=$(now)
  echo $(((t1 - t0) / 1000000))
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
least() { printf '%s\n' "$@" | sort -n | head -1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

declare -A results
record() { results["$1"]="${results[$1]:-} $2"; }

# One measured case: <name> <op> <tree> <sync>
measure() {
  local name=$1 op=$2 tree=$3 s=$4 r side src dst ms
  # The six orders in turn: no side always follows the same one (a run right after the native peer's
  # copy and its deletion was measured slower, whoever ran it).
  local orders=("engine floor native" "engine native floor" "floor engine native" "floor native engine"
                "native engine floor" "native floor engine")
  for r in $(seq "$rounds"); do
    for side in ${orders[$(((r - 1) % 6))]}; do
      src="$data/trees/$tree"
      if [ "$op" != copy ]; then  # destructive: work on a fresh copy (not timed)
        next_fresh; src=$fresh; cp -a "$data/trees/$tree" "$src"; sync
      fi
      next_fresh; dst=$fresh
      case "$side:$op" in
        engine:copy|engine:cut) ms=$(time_run "$s" wine "$bin/orv_bench.exe" "$op" "$(winpath "$dst")" "$(winpath "$src")") ;;
        engine:*)               ms=$(time_run "$s" wine "$bin/orv_bench.exe" "$op" - "$(winpath "$src")") ;;
        floor:copy|floor:cut)   ms=$(time_run "$s" wine "$bin/orv_floor.exe" "$op" "$(winpath "$src")" "$(winpath "$dst")") ;;
        floor:*)                ms=$(time_run "$s" wine "$bin/orv_floor.exe" "$op" "$(winpath "$src")") ;;
        native:copy)            mkdir -p "$dst"; ms=$(time_run "$s" cp -a "$src" "$dst/") ;;
        native:cut)             mkdir -p "$dst"; ms=$(time_run "$s" sh -c 'cp -a "$1" "$2/" && rm -rf "$1"' _ "$src" "$dst") ;;
        native:delete)          ms=$(time_run "$s" rm -rf "$src") ;;
        native:crush)           ms=$(time_run "$s" find "$src" -type f -exec shred -n 1 -u {} +) ;;
      esac
      record "$name:$side" "$ms"
      rm -rf "$dst"; [ "$op" != copy ] && rm -rf "$src"
      sync; sleep "${SETTLE:-2}"  # let the file system settle after the deletion before the next run
    done
  done
  local e f v e0 f0 v0
  e=$(median ${results[$name:engine]}); f=$(median ${results[$name:floor]}); v=$(median ${results[$name:native]})
  e0=$(least ${results[$name:engine]}); f0=$(least ${results[$name:floor]}); v0=$(least ${results[$name:native]})
  printf '%-22s median: engine %6s  floor %6s  native %6s ms  engine/floor %s  engine/native %s\n' \
    "$name" "$e" "$f" "$v" "$(ratio "$e" "$f")" "$(ratio "$e" "$v")"
  printf '%-22s best:   engine %6s  floor %6s  native %6s ms  engine/floor %s  engine/native %s\n' \
    "" "$e0" "$f0" "$v0" "$(ratio "$e0" "$f0")" "$(ratio "$e0" "$v0")"
  echo "    runs: engine${results[$name:engine]} | floor${results[$name:floor]} | native${results[$name:native]}"
}

# CASES picks some of: copy-large copy-small copy-mixed cut-small delete-small crush-large memory
cases=${CASES:-copy-large copy-small copy-mixed cut-small delete-small crush-large memory}
want() { case " $cases " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }

echo "Medians of $rounds interleaved rounds (warm page cache; large trees counted to disk with sync):"
want copy-large   && measure "copy 4 x 512 MiB"      copy   large 1
want copy-small   && measure "copy 20,000 small"     copy   small 0
want copy-mixed   && measure "copy 2,000 mixed"      copy   mixed 1
want cut-small    && measure "cut 20,000 small"      cut    small 0
want delete-small && measure "delete 20,000 small"   delete small 0
want crush-large  && measure "crush 4 x 512 MiB"     crush  large 1
want memory || exit 0

# Memory: a Delete job over 100,000 files; the peak working set the job process reports.
next_fresh; src=$fresh; cp -a "$data/trees/many" "$src"
peak=$(wine "$bin/orv_bench.exe" delete - "$(winpath "$src")" | sed -n 's/.*peak_kb=\([0-9]*\).*/\1/p')
rm -rf "$src"
echo "memory: Delete of 100,000 files, peak working set ${peak} KiB (target under 30 MB)"

# The real program with its window against the engine without it, and its processor time at rest.
bash bench/window.sh "$rounds"
