#!/usr/bin/env bash
# The pre-scan through the real window against two peers measured in the same run, on the
# benchmark's 20,000 small files in 500 folders:
#   window: Orvandel.exe under Wine and Xvfb, driven by orv_drive: from the press of Add to the end of
#           the count (Stop searching enabled, then disabled); the program's start is not timed
#   floor:  orv_floor scan, a bare FindFirstFileW/FindNextFileW walk adding up files and bytes, timed
#           inside its process
#   native: find <tree> | wc -l
# The window's figure is given twice: from the press of Add (the request timer's 10 ms, the filter
# reset and the header refresh included) and for the count itself (while Stop searching is enabled).
# Then the window's count over 10,000 files with 10,000 distinct modification times against the same
# tree with one time for all: the preset list must not make the scan quadratic. Last, a tree shaped
# as the small one (20,000 files in 500 folders) where every file has its own time, spread so that
# each folder's times fall between the earlier folders' ones, as in a photo or document tree: the
# window's count against the floor walk over the same tree (target: counting <= 1.5x the floor,
# from the press of Add <= 2x). The window's count ends once both preset lists are complete.
# Then the window's answers during a count (orv_drive scangap: a no-op message sent every 10 ms from
# another thread, the longest wait for an answer), over that tree and over one folder of 20,000
# files with distinct times (target: <= 100 ms).
# Rounds are interleaved, each starting with another side; medians and best runs are compared. A run
# that fails, counts wrong or prints no figure stops the script with a non-zero exit naming it.
# Run it alone on the machine (other engineers' builds move the figures a lot):
#   flock /tmp/orv-bench.lock bash bench/prescan.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
. scripts/wine-env.sh
trap orv_stop_display EXIT
orv_ensure_display
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j2 --target Orvandel orv_floor orv_drive >/dev/null

data=${BENCH_DIR:-$ORV_ROOT/build/bench-data}
mkdir -p "$data/trees"
python3 bench/make_trees.py "$data/trees" small
tree="$data/trees/small"
wintree=$(echo "Z:$tree" | sed 's#/#\\#g')
bin="$ORV_ROOT/build/win32/bench"
expected=$(find "$tree" -type f | wc -l)

now() { date +%s%N; }
fail() { echo "pre-scan bench: FAILED: $*" >&2; exit 1; }
# The runs below print their figures from inside $(...), where an exit ends only the subshell: each
# caller takes the figures with "|| fail" and checks they are numbers.
figures() {  # <what> <figure>...: stops unless every figure is a number
  local what=$1 x; shift
  [ $# -gt 0 ] || fail "$what: no figure printed"
  for x in "$@"; do [[ "$x" =~ ^[0-9]+(\.[0-9]+)?$ ]] || fail "$what: \"$x\" is no figure"; done
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
least() { printf '%s\n' "$@" | sort -g | head -1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

# window_run <tree> <files>: prints "scan_ms count_ms"
window_run() {
  local out
  out=$(wine "$bin/orv_drive.exe" start "scan|$(echo "Z:$1" | sed 's#/#\\#g')" 'show|ProgressLabel' close)
  grep -q "( $2 files are found )" <<<"$out" || { echo "window counted wrong: $out" >&2; return 1; }
  sed -n 's/^scan_ms=\([0-9.]*\) count_ms=\([0-9.]*\).*/\1 \2/p' <<<"$out"
}
floor_run() {
  local out
  out=$(wine "$bin/orv_floor.exe" scan "$wintree")
  grep -q "files=$expected " <<<"$out" || { echo "floor counted wrong: $out" >&2; return 1; }
  sed -n 's/.*scan_ms=//p' <<<"$out"
}
native_run() {
  local t0 t1
  t0=$(now)
  find "$tree" | wc -l >/dev/null
  t1=$(now)
  awk -v d=$((t1 - t0)) 'BEGIN { printf "%.1f", d / 1e6 }'
}

w=() c=() f=() v=()
find "$tree" >/dev/null  # warm page cache for every side
for r in $(seq "$rounds"); do
  case $((r % 3)) in
    1) order="window floor native" ;;
    2) order="floor native window" ;;
    0) order="native window floor" ;;
  esac
  for side in $order; do
    case $side in
      window) out=$(window_run "$tree" "$expected") || fail "window, round $r"; read -r a b <<<"$out"
              figures "window, round $r" "$a" "$b"; w+=("$a"); c+=("$b") ;;
      floor)  out=$(floor_run) || fail "floor, round $r"; figures "floor, round $r" "$out"; f+=("$out") ;;
      native) out=$(native_run) || fail "native, round $r"; figures "native, round $r" "$out"; v+=("$out") ;;
    esac
  done
done

wm=$(median "${w[@]}"); cm=$(median "${c[@]}"); fm=$(median "${f[@]}"); vm=$(median "${v[@]}")
wb=$(least "${w[@]}"); cb=$(least "${c[@]}"); fb=$(least "${f[@]}"); vb=$(least "${v[@]}")
echo "pre-scan of $expected files in $(find "$tree" -mindepth 1 -type d | wc -l) folders, $rounds interleaved rounds (warm cache), ms:"
printf '  median: window from Add %7s  counting %7s  floor %7s  native %7s   from-Add/floor %s  counting/floor %s  counting/native %s\n' \
  "$wm" "$cm" "$fm" "$vm" "$(ratio "$wm" "$fm")" "$(ratio "$cm" "$fm")" "$(ratio "$cm" "$vm")"
printf '  best:   window from Add %7s  counting %7s  floor %7s  native %7s   from-Add/floor %s  counting/floor %s  counting/native %s\n' \
  "$wb" "$cb" "$fb" "$vb" "$(ratio "$wb" "$fb")" "$(ratio "$cb" "$fb")" "$(ratio "$cb" "$vb")"
echo "  runs: from Add ${w[*]} | counting ${c[*]} | floor ${f[*]} | native ${v[*]}"

# 10,000 files in 20 folders: every one with its own modification time, or all with the same one.
python3 - "$data/trees" <<'PY'
import os, sys
for name, distinct in (("times-distinct", True), ("times-same", False)):
    root = os.path.join(sys.argv[1], name)
    if os.path.exists(root + ".done"):
        continue
    for i in range(10000):
        d = os.path.join(root, f"d{i % 20:02d}")
        os.makedirs(d, exist_ok=True)
        p = os.path.join(d, f"t{i:05d}.dat")
        open(p, "wb").close()
        t = 1577836800 + (2 * i if distinct else 0)
        os.utime(p, (t, t))
    open(root + ".done", "w").close()
PY
d=() s=()
for r in $(seq "$rounds"); do
  out=$(window_run "$data/trees/times-distinct" 10000) || fail "distinct times, round $r"; read -r _ a <<<"$out"
  figures "distinct times, round $r" "$a"; d+=("$a")
  out=$(window_run "$data/trees/times-same" 10000) || fail "one time, round $r"; read -r _ b <<<"$out"
  figures "one time, round $r" "$b"; s+=("$b")
done
dm=$(median "${d[@]}"); sm=$(median "${s[@]}")
echo "10,000 files, counting in the window (median ms): 10,000 distinct times $dm, one time $sm, ratio $(ratio "$dm" "$sm")"
echo "  runs: distinct ${d[*]} | same ${s[*]}"

# 20,000 files in 500 folders, each with its own modification time (file i of folder f at step
# i * 500 + f, two seconds apart).
python3 - "$data/trees" <<'PY2'
import os, sys
root = os.path.join(sys.argv[1], "times-distinct-20k")
if not os.path.exists(root + ".done"):
    for f in range(500):
        d = os.path.join(root, f"d{f:03d}")
        os.makedirs(d, exist_ok=True)
        for i in range(40):
            p = os.path.join(d, f"f{i:02d}.jpg")
            open(p, "wb").close()
            t = 1577836800 + 2 * (i * 500 + f)
            os.utime(p, (t, t))
    open(root + ".done", "w").close()
PY2
dtree="$data/trees/times-distinct-20k"
dwintree=$(echo "Z:$dtree" | sed 's#/#\\#g')
dfloor_run() {
  local out
  out=$(wine "$bin/orv_floor.exe" scan "$dwintree")
  grep -q "files=20000 " <<<"$out" || { echo "floor counted wrong: $out" >&2; return 1; }
  sed -n 's/.*scan_ms=//p' <<<"$out"
}
w=() c=() f=()
find "$dtree" >/dev/null
for r in $(seq "$rounds"); do
  if [ $((r % 2)) = 1 ]; then order="window floor"; else order="floor window"; fi
  for side in $order; do
    case $side in
      window) out=$(window_run "$dtree" 20000) || fail "20,000 distinct times, window, round $r"
              read -r a b <<<"$out"; figures "20,000 distinct times, window, round $r" "$a" "$b"; w+=("$a"); c+=("$b") ;;
      floor)  out=$(dfloor_run) || fail "20,000 distinct times, floor, round $r"
              figures "20,000 distinct times, floor, round $r" "$out"; f+=("$out") ;;
    esac
  done
done
wm=$(median "${w[@]}"); cm=$(median "${c[@]}"); fm=$(median "${f[@]}")
echo "20,000 files in 500 folders, 20,000 distinct times, $rounds interleaved rounds (median ms):"
printf '  window from Add %7s  counting %7s  floor %7s   counting/floor %s (target <= 1.5)  from-Add/floor %s (target <= 2)\n' \
  "$wm" "$cm" "$fm" "$(ratio "$cm" "$fm")" "$(ratio "$wm" "$fm")"
echo "  runs: from Add ${w[*]} | counting ${c[*]} | floor ${f[*]}"

python3 - "$data/trees" <<'PY2'
import os, sys
root = os.path.join(sys.argv[1], "times-flat-20k")
if not os.path.exists(root + ".done"):
    os.makedirs(root, exist_ok=True)
    for i in range(20000):
        p = os.path.join(root, f"f{i:05d}.jpg")
        open(p, "wb").close()
        t = 1577836800 + 2 * i
        os.utime(p, (t, t))
    open(root + ".done", "w").close()
PY2
gap_run() {
  local out
  out=$(wine "$bin/orv_drive.exe" start "scangap|$(echo "Z:$1" | sed 's#/#\\#g')" 'show|ProgressLabel' close)
  grep -q "( 20000 files are found )" <<<"$out" || { echo "window counted wrong: $out" >&2; return 1; }
  sed -n 's/^scan_ms=.* gap=\([0-9]*\).*/\1/p' <<<"$out"
}
g=() h=()
for r in $(seq "$rounds"); do
  out=$(gap_run "$dtree") || fail "answers during a count over 500 folders, round $r"
  figures "answers during a count over 500 folders, round $r" "$out"; g+=("$out")
  out=$(gap_run "$data/trees/times-flat-20k") || fail "answers during a count over one folder, round $r"
  figures "answers during a count over one folder, round $r" "$out"; h+=("$out")
done
most() { printf '%s\n' "$@" | sort -g | tail -1; }
echo "longest wait for the window's answer during a count (ms, median and worst of $rounds; target <= 100):"
echo "  500 folders: $(median "${g[@]}") / $(most "${g[@]}")   one folder of 20,000 files: $(median "${h[@]}") / $(most "${h[@]}")"
echo "  runs: 500 folders ${g[*]} | one folder ${h[*]}"
