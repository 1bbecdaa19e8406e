#!/usr/bin/env bash
# The window in the bench: the real Orvandel.exe, driven from outside by orv_drive (Add a source, type
# the destination, Begin, wait until Begin is enabled again), against orv_bench (the same engine
# without a window) on the same tree in the same run. A fresh program for every window run (a job
# hides its window to the tray). Rounds are interleaved, each starting with the other side; large
# copies are counted to disk (sync after the job). Prints medians and their ratios, the longest the
# window left a message unanswered during a large copy, and the processor time of the program and
# of the Wine server while a copy is paused and at rest. Every run is checked before its time counts:
# the driver's and orv_bench's exit codes, a time printed, every copy compared by content with its
# source (a Cut's source gone); the first wrong run stops the script with a non-zero exit naming it.
# Usage: bash bench/window.sh [rounds]   (data in $BENCH_DIR, default build/bench-data)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
command -v python3 >/dev/null || apt-get install -y -q python3
. scripts/wine-env.sh
trap orv_stop_display EXIT
orv_ensure_display
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j2 --target Orvandel orv_bench orv_drive >/dev/null

data=${BENCH_DIR:-$ORV_ROOT/build/bench-data}
mkdir -p "$data/trees" "$data/work"
chattr +T "$data/work" 2>/dev/null || true
python3 bench/make_trees.py "$data/trees" large
# 2,000 files of 0-16 KiB in 40 folders: a job of small files through the window.
if [ ! -e "$data/trees/small2k.done" ]; then
  python3 - "$data/trees/small2k" <<'EOF'
import os, random, sys
random.seed(2000)
for i in range(2000):
    folder = os.path.join(sys.argv[1], f"s{i % 40:02d}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"f{i:04d}.dat"), "wb") as f:
        f.write(random.randbytes(random.randint(0, 16 << 10)))
EOF
  touch "$data/trees/small2k.done"
fi

bin="$ORV_ROOT/build/win32/bench"
winpath() { echo "Z:$1" | sed 's#/#\\#g'; }
# The driver starts this build's program under this exact name, by which its process is found.
export ORV_EXE; ORV_EXE=$(winpath "$ORV_ROOT/build/win32/bin/Orvandel.exe")
drive() { wine "$bin/orv_drive.exe" "$@"; }
n=0
next_fresh() { n=$((n + 1)); fresh="$data/work/w$$_$n"; }
now() { date +%s%N; }
sync_ms() { local t0; t0=$(now); sync; echo $((($(now) - t0) / 1000000)); }
fail() { echo "window bench: FAILED: $*" >&2; exit 1; }
# <what> <source folder> <destination>: the copy of the folder inside the destination is its source.
check_copy() {
  diff -rq "$2" "$3/$(basename "$2")" >"$data/work/last-diff" 2>&1 ||
    fail "$1: the copy differs from its source: $(head -c 600 "$data/work/last-diff")"
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

# One job through the window: sets job_result to "<ms> <gap ms>@<ms after the press it began>
# <job ms>+<sync ms>" (ms with the sync when asked). Run in this shell, not in $(...): a failure stops
# the script.
window_job() {
  local src=$1 dst=$2 s=$3 out ms gap at flush=0
  # A second's rest before Begin: the job is timed, not what the program still does after its start.
  out=$(drive start "set|sourceEdit|$(winpath "$src")" "click|sourceButtonAdd" "set|cbPath|$(winpath "$dst")" \
              "sleep|1000" "job|bbBegin" close 2>&1) || fail "window job on $src: the driver failed: $(tail -c 400 <<<"$out")"
  ms=$(sed -n 's/.*ms=\([0-9]*\).*/\1/p' <<<"$out"); gap=$(sed -n 's/.*gap=\([0-9]*\).*/\1/p' <<<"$out")
  at=$(sed -n 's/.*gap_at=\([0-9]*\).*/\1/p' <<<"$out")
  [[ "$ms" =~ ^[0-9]+$ ]] || fail "window job on $src: no time printed: $(tail -c 400 <<<"$out")"
  [ "$s" = 1 ] && flush=$(sync_ms)
  job_result="$((ms + flush)) $gap@$at $ms+$flush"
}

# One job through orv_bench: sets job_result to "<ms> <gap ms> <job ms>+<sync ms>" (ms with the sync
# when asked; the gap is the longest the engine went without asking for its messages).
headless_job() {
  local src=$1 dst=$2 s=$3 out ms gap flush=0
  out=$(wine "$bin/orv_bench.exe" copy "$(winpath "$dst")" "$(winpath "$src")" 2>&1) ||
    fail "headless job on $src: orv_bench failed: $(head -c 400 <<<"$out")"
  ms=$(sed -n 's/^ms=\([0-9]*\).*/\1/p' <<<"$out"); gap=$(sed -n 's/.*gap_ms=\([0-9]*\).*/\1/p' <<<"$out")
  [[ "$ms" =~ ^[0-9]+$ ]] || fail "headless job on $src: no time printed: $(head -c 400 <<<"$out")"
  [ "$s" = 1 ] && flush=$(sync_ms)
  job_result="$((ms + flush)) $gap $ms+$flush"
}

# <name> <tree> <sync>: rounds of both sides, interleaved; sets gaps and headless_gaps to the longest
# waits of each side's runs.
measure() {
  local name=$1 tree=$2 s=$3 r side w=() h=() g=() hg=() ws=() hs=() out f
  for r in $(seq "$rounds"); do
    for side in $([ $((r % 2)) = 1 ] && echo "window headless" || echo "headless window"); do
      next_fresh
      if [ "$side" = window ]; then
        window_job "$data/trees/$tree" "$fresh" "$s"; read -ra f <<<"$job_result"
        w+=("${f[0]}"); g+=("${f[1]}"); ws+=("${f[2]}")
      else
        headless_job "$data/trees/$tree" "$fresh" "$s"; read -ra f <<<"$job_result"
        h+=("${f[0]}"); hg+=("${f[1]}"); hs+=("${f[2]}")
      fi
      check_copy "$name, round $r, $side" "$data/trees/$tree" "$fresh"
      rm -rf "$fresh"; sync; sleep "${SETTLE:-2}"
    done
  done
  local wm hm
  wm=$(median "${w[@]}"); hm=$(median "${h[@]}")
  printf '%-64s %s  (window %s ms, headless %s ms; target <= 1.1)\n' \
    "window job / headless job: $name" "$(ratio "$wm" "$hm")" "$wm" "$hm"
  echo "    runs: window ${w[*]} | headless ${h[*]}"
  # Counted to disk, each run is its job and the sync after it.
  [ "$s" = 1 ] && echo "    job+sync: window ${ws[*]} | headless ${hs[*]}"
  gaps=("${g[@]}"); headless_gaps=("${hg[@]}")
}

# Processor time (utime + stime, in clock ticks) of the given processes.
ticks() { local p t=0; for p in "$@"; do t=$((t + $(awk '{print $14 + $15}' "/proc/$p/stat" 2>/dev/null || echo 0))); done; echo "$t"; }
# The program: a Wine process whose command line names this build's Orvandel.exe.
program_pid() {
  local p
  for p in /proc/[0-9]*; do
    tr "\\0" "\\n" 2>/dev/null <"$p/cmdline" | grep -qxF "$ORV_EXE" && { echo "${p#/proc/}"; return; }
  done
}
# This prefix's Wine server: it works in /tmp/.wine-<uid>/server-<device>-<inode> of the prefix.
server_pid() {
  local p want
  want=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  for p in /proc/[0-9]*; do
    [ "$(basename "$(readlink "$p/cwd" 2>/dev/null)")" = "$want" ] &&
      case "$(cat "$p/comm" 2>/dev/null)" in wineserver*) echo "${p#/proc/}"; return ;; esac
  done
}
# <label>: percent of one core used by the program and by the server over 5 seconds.
cpu_row() {
  local prog serv hz a0 b0 a1 b1
  prog=$(program_pid); serv=$(server_pid); hz=$(getconf CLK_TCK)
  [ -n "$prog" ] && [ -n "$serv" ] || fail "CPU $1: the program ($prog) or the server ($serv) not found"
  a0=$(ticks "$prog"); b0=$(ticks "$serv"); sleep 5; a1=$(ticks "$prog"); b1=$(ticks "$serv")
  awk -v l="$1" -v a=$((a1 - a0)) -v b=$((b1 - b0)) -v hz="$hz" 'BEGIN {
    printf "%-64s %.1f%% of a core  (program %.1f%%, Wine server %.1f%%; target <= 1%%)\n",
           "CPU of the program plus the Wine server, " l, 100 * (a + b) / (5 * hz), 100 * a / (5 * hz), 100 * b / (5 * hz) }'
}

# A Cut of 4 x 512 MiB into another folder of the same volume through the window, each run on a fresh
# copy of the tree (made before, not timed): prints the median and the target (the files move by
# rename, so the job takes the same time whatever their size).
cut_part() {
  local r holder out job flush ms=() parts=()
  for r in $(seq "$rounds"); do
    next_fresh; holder=$fresh; mkdir -p "$holder"; cp -a "$data/trees/large" "$holder/large"; sync
    next_fresh
    out=$(drive start "click|rbCut" "set|sourceEdit|$(winpath "$holder/large")" "click|sourceButtonAdd" \
                "set|cbPath|$(winpath "$fresh")" "sleep|1000" "job|bbBegin" close 2>&1) ||
      fail "Cut through the window, round $r: the driver failed: $(tail -c 400 <<<"$out")"
    job=$(sed -n 's/.*ms=\([0-9]*\).*/\1/p' <<<"$out"); flush=$(sync_ms)
    [[ "$job" =~ ^[0-9]+$ ]] || fail "Cut through the window, round $r: no time printed: $(tail -c 400 <<<"$out")"
    ms+=($((job + flush))); parts+=("$job+$flush")
    [ ! -e "$holder/large" ] || fail "Cut through the window, round $r: the Cut left its source behind"
    check_copy "Cut through the window, round $r" "$data/trees/large" "$fresh"
    rm -rf "$holder" "$fresh"; sync; sleep "${SETTLE:-2}"
  done
  local m
  m=$(median "${ms[@]}")
  printf '%-64s %s ms  (target <= 500) %s\n' "Cut of 4 x 512 MiB within one volume through the window" "$m" \
    "$(awk -v m="$m" 'BEGIN { print (m <= 500) ? "met" : "NOT MET" }')"
  echo "    runs (job + sync): ${parts[*]}"
}

# PARTS picks some of: small small20k large cut cpu
parts=${PARTS:-small small20k large cut cpu}
want() { case " $parts " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }
# The copy rows' tree of 20,000 small files (0-16 KiB in 500 folders), as bench/run.sh makes it.
want small20k && python3 bench/make_trees.py "$data/trees" small

echo "The window against the engine without it: medians of $rounds interleaved rounds (warm page cache):"
want small && measure "2,000 small files" small2k 0
want small20k && measure "20,000 small files (the copy rows' tree)" small 0
if want large; then
measure "4 x 512 MiB" large 1
# Each round's longest wait, as <ms>@<ms after the press of Begin it began>: the median of the rounds
# and the longest of all (one stall of the machine shows in the second only).
longest=$(printf '%s\n' "${gaps[@]}" | sort -n | tail -1); longest=${longest%@*}
printf '%-64s %s ms, longest %s ms  (window, rounds: %s; headless engine: %s; target <= 100)\n' \
  "longest gap between two message pumps during a 4 x 512 MiB copy" "$(median "${gaps[@]%@*}")" "$longest" \
  "${gaps[*]}" "${headless_gaps[*]}"
fi
want cut && cut_part
want cpu || exit 0

# A copy paused in its first file, then cancelled; then the program at rest (its window in the tray).
next_fresh
drive start "set|sourceEdit|$(winpath "$data/trees/large")" "click|sourceButtonAdd" "set|cbPath|$(winpath "$fresh")" \
      "post|bbBegin" >/dev/null || fail "CPU: the driver could not start the copy to pause"
# Pause once the copy is seen writing (after the pre-scan the program may take a moment to begin).
for _ in $(seq 200); do
  [ -n "$(find "$fresh" -type f -size +0 2>/dev/null | head -1)" ] && break
  sleep 0.02
done
drive attach "post|bbPause" "sleep|1000" >/dev/null
paused=$(drive attach "show|bbPause" | tr -d "\r")
[ "$paused" = "Go On" ] || fail "CPU: the job was not paused: bbPause reads \"$paused\""
cpu_row "while a job is paused"
drive attach "post|bbCancel" "wait|bbBegin|enabled" "sleep|1000" >/dev/null
cpu_row "at rest"
drive attach close
rm -rf "$fresh"
