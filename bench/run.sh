#!/usr/bin/env bash
# Benchmarks whole jobs of the engine under Wine (orv_bench.exe, the engine without a window) against
# references measured in the same run:
#   serial: the same engine writing one file at a time (ORV_WORKERS=1), as it did before it wrote
#           several at once
#   fixed2, fixed4, fixed8: the engine with its count of files in flight held there (ORV_WORKERS=N),
#           beside the engine side, whose count follows the rate it gets (the count each run ended
#           with is printed under the case)
#   bare:   a DeleteFileW loop without the attribute call (the delete of small files)
#   verify: the same engine reading every copy back (ORV_VERIFY=1)
#   plain:  bench/Plain.cpp, the platform's own calls for the same contract: a CopyFileExW loop;
#           SetFileAttributesW + DeleteFileW; a FindFirstFileW walk; the Crush writes
#   plainmt: the same calls on as many threads as the engine writes with (ORV_PLAIN_THREADS, the
#           count orv_bench reports), files shared out after the walk: what the platform gives with
#           as many files in flight as the engine (copies, and the delete of small files). plain is
#           the peer of what the system's file manager does (one file at a time), plainmt the peer of
#           the engine's own parallelism: every target against one prints the other beside it
#   contract: bench/Contract.cpp, the engine's own per-file calls (FileCopy, DeleteListedFile) on as
#           many threads as a job writes with, the walk first, nothing of the job around them: the
#           least the engine's contract costs (copy and delete of small files)
#   linked: the same contract written bare (bench/Contract.cpp copylink: opened to go when closed,
#           given the final name as a second link), on the copy of small files (named in SIDES)
#   engine4, contract4: the same with four threads writing, whatever the processor (not run unless
#           named in SIDES): what more threads than cores would give
#   xcopy:  Wine's own xcopy, the peer a user would pick instead under the same runtime
#   native: cp -a, rm -rf, find, shred -n 1 -u on the same trees
#   floor:  bench/Floor.cpp, the engine's earlier design in a tight loop (partial name, rename,
#           attribute calls), on the small copy only
#   cli:    the console program (orvandel-cli.exe copy ... --quiet --report FILE), with its count of
#           the sources and its report, on the small copy only
#   before: another build of orv_bench.exe given as BEFORE_EXE (such as the one before Cut moved files
#           by rename), on the Cut cases only
# Runs are interleaved (each round takes the sides in another order), every run gets fresh names, the
# file system settles after each deletion, large trees are counted to disk (sync inside the timing),
# and medians of the rounds are compared. Every run of every side is checked before its time counts:
# its exit code, the counts it prints (a job's files done and failed, a walk's entries), every copy and
# Cut compared by content with its source (a Cut's source gone), every delete and crush gone. The
# first wrong or failed run stops the bench with a non-zero exit, naming the case, side and round:
# a failed side timed as 0 ms would read as the fastest.
# Usage: bash bench/run.sh [rounds]   (data in $BENCH_DIR, default build/bench-data; ~12 GiB free needed)
#        CASES="copy-small delete-small" bash bench/run.sh 1   picks cases (list below)
#        SKIP="floor xcopy" bash bench/run.sh                  leaves out references (never the engine)
# The Cut cases across volumes write into $OTHER_VOLUME (default /dev/shm, a tmpfs: another volume for
# Wine as for the kernel; about 2.5 GiB of memory while a large case runs).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
bash scripts/setup.sh
command -v python3 >/dev/null || apt-get install -y -q python3
. scripts/wine-env.sh
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target orv_bench orv_plain orv_floor orv_contract orvandel-cli >/dev/null

data=${BENCH_DIR:-$ORV_ROOT/build/bench-data}
mkdir -p "$data/trees" "$data/work"
chattr +T "$data/work" 2>/dev/null || true
# Only the trees the chosen cases use (the window and pre-scan scripts make their own).
trees=()
for c in ${CASES:-small large mixed many}; do
  case "$c" in
    *-small*|*-slow|small) trees+=(small) ;;
    *-large*|large) trees+=(large) ;;
    *-mixed|mixed) trees+=(mixed) ;;
    memory|many) trees+=(many) ;;
  esac
done
[ ${#trees[@]} -gt 0 ] && python3 bench/make_trees.py "$data/trees" $(printf '%s\n' "${trees[@]}" | sort -u)
bin="$ORV_ROOT/build/win32/bench"
engine_exe=${ENGINE_EXE:-$bin/orv_bench.exe}  # another build of the engine, to compare two versions
cli_exe="$ORV_ROOT/build/win32/bin/orvandel-cli.exe"
before_exe=${BEFORE_EXE:-}                     # a build of the engine to compare the Cut cases with
other_volume=${OTHER_VOLUME:-/dev/shm}/orv-bench-$$
trap 'rm -rf "$other_volume"' EXIT
winpath() { echo "Z:$1" | sed 's#/#\\#g'; }
n=0
# Sets $fresh to a name no run has used yet (a variable, not $(...): a subshell would lose the count).
next_fresh() { n=$((n + 1)); fresh="$data/work/r$$_$n"; }
now() { date +%s%N; }
fail() { echo "bench: FAILED: $*" >&2; exit 1; }

# How many files the engine writes at once here: the platform loop on the same threads uses as many.
threads=$(wine "$bin/orv_bench.exe" workers | tr -d '\r')
[[ "$threads" =~ ^[1-9][0-9]*$ ]] || fail "orv_bench workers printed \"$threads\", not a thread count"

# time_run <sync 0|1> <command...>: prints milliseconds, or FAILED when the command failed; what the
# command printed stays in $data/work/last-out and last-error for the checks.
time_run() {
  local s=$1; shift
  local t0 t1
  t0=$(now)
  if ! "$@" >"$data/work/last-out" 2>"$data/work/last-error"; then
    echo FAILED; return
  fi
  [ "$s" = 1 ] && sync
  t1=$(now)
  echo $(((t1 - t0) / 1000000))
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
least() { printf '%s\n' "$@" | sort -n | head -1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

declare -A results
record() { results["$1"]="${results[$1]:-} $2"; }

# One run of one side: <side> <op> <source> <fresh destination> <sync>; prints milliseconds.
run_side() {
  local side=$1 op=$2 src=$3 dst=$4 s=$5 name
  name=$(basename "$src")
  case "$side:$op" in
    engine:copy)  time_run "$s" wine "$engine_exe" copy "$(winpath "$dst")" "$(winpath "$src")" ;;
    engine:cut)   time_run "$s" wine "$engine_exe" cut "$(winpath "$dst")" "$(winpath "$src")" ;;
    serial:*)     ORV_WORKERS=1 run_side engine "$2" "$3" "$4" "$5" ;;
    fixed[0-9]:*) ORV_WORKERS=${side#fixed} run_side engine "$2" "$3" "$4" "$5" ;;
    bare:delete)  time_run "$s" wine "$bin/orv_plain.exe" deletebare "$(winpath "$src")" ;;
    bare4:delete) time_run "$s" env ORV_PLAIN_THREADS=4 wine "$bin/orv_plain.exe" deletebare "$(winpath "$src")" ;;
    verify:*)     ORV_VERIFY=1 run_side engine "$2" "$3" "$4" "$5" ;;
    engine4:*)    ORV_WORKERS=4 run_side engine "$2" "$3" "$4" "$5" ;;
    contract4:*)  ORV_CONTRACT_THREADS=4 run_side contract "$2" "$3" "$4" "$5" ;;
    before:cut)   time_run "$s" wine "$before_exe" cut "$(winpath "$dst")" "$(winpath "$src")" ;;
    # The console program as a script runs it: its count first, the job, the report file; exit code 1
    # (files done) is its success.
    cli:copy)     time_run "$s" bash -c 'wine "$0" copy "$1" --to "$2" --quiet --report "$3"; [ $? = 1 ]' \
                    "$cli_exe" "$(winpath "$src")" "$(winpath "$dst")" "$(winpath "$data/work/cli-report.csv")" ;;
    plain:cut)    time_run "$s" wine "$bin/orv_plain.exe" move "$(winpath "$src")" "$(winpath "$dst")" ;;
    plain:cutx)   time_run "$s" wine "$bin/orv_plain.exe" copydelete "$(winpath "$src")" "$(winpath "$dst")" ;;
    native:cut)   mkdir -p "$dst"; time_run "$s" mv "$src" "$dst/" ;;
    engine:walk)  time_run "$s" wine "$engine_exe" walk - "$(winpath "$src")" ;;
    engine:*)     time_run "$s" wine "$engine_exe" "$op" - "$(winpath "$src")" ;;
    plain:copy)   time_run "$s" wine "$bin/orv_plain.exe" copy "$(winpath "$src")" "$(winpath "$dst")" ;;
    plainmt:copy) time_run "$s" env ORV_PLAIN_THREADS="$threads" wine "$bin/orv_plain.exe" copy "$(winpath "$src")" "$(winpath "$dst")" ;;
    plainmt:*)    time_run "$s" env ORV_PLAIN_THREADS="$threads" wine "$bin/orv_plain.exe" "$op" "$(winpath "$src")" ;;
    plain:*)      time_run "$s" wine "$bin/orv_plain.exe" "$op" "$(winpath "$src")" ;;
    contract:copy) time_run "$s" wine "$bin/orv_contract.exe" copy "$(winpath "$src")" "$(winpath "$dst")" ;;
    linked:copy)  time_run "$s" wine "$bin/orv_contract.exe" copylink "$(winpath "$src")" "$(winpath "$dst")" ;;
    contract:delete) time_run "$s" wine "$bin/orv_contract.exe" delete "$(winpath "$src")" ;;
    floor:copy)   time_run "$s" wine "$bin/orv_floor.exe" copy "$(winpath "$src")" "$(winpath "$dst")" ;;
    xcopy:copy)   mkdir -p "$dst"
                  time_run "$s" wine xcopy "$(winpath "$src")" "$(winpath "$dst/$name")" /E /I /Q /H /K /Y ;;
    native:copy)  mkdir -p "$dst"; time_run "$s" cp -a "$src" "$dst/" ;;
    native:delete) time_run "$s" rm -rf "$src" ;;
    native:walk)  time_run "$s" find "$src" ;;
    native:crush) time_run "$s" sh -c 'find "$1" -type f -exec shred -n 1 -u {} + && rm -r "$1"' _ "$src" ;;
    *)            echo "no side $side for $op" >"$data/work/last-error"; echo FAILED ;;
  esac
}

# The number printed as <key>=N in the last run's output, or nothing.
printed() { sed -n "s/.*\b$1=\([0-9]*\).*/\1/p" "$data/work/last-out" | head -1; }

# check_run <case> <round> <side> <op> <tree> <source> <destination>: stops the bench when the run
# just timed did not do its work whole.
check_run() {
  local name=$1 r=$2 side=$3 op=$4 tree=$5 src=$6 dst=$7 what files entries got
  what="$name, round $r, side $side"
  files=$(find "$data/trees/$tree" -type f | wc -l); entries=$(find "$data/trees/$tree" -mindepth 1 | wc -l)
  case "$side" in
    engine|serial|verify|engine4|before|fixed[0-9])
      [ "$(printed failed)" = 0 ] || fail "$what: the job reports failed=$(printed failed): $(head -c 300 "$data/work/last-out")"
      [ "$(printed examined)" = "$files" ] ||
        fail "$what: the job examined \"$(printed examined)\" files of $files: $(head -c 300 "$data/work/last-out")"
      [ "$op" = walk ] || [ "$(printed done)" = "$files" ] || fail "$what: the job did $(printed done) files of $files"
      got=$(printed workers)
      [[ "$got" =~ ^[1-8]$ ]] || fail "$what: the job ended with \"$got\" files written at once, not 1 to 8"
      [ "$side" = engine ] && results["$name:count"]="${results[$name:count]:-} $got"
      case "$side" in fixed*) [ "$got" = "${side#fixed}" ] || fail "$what: the count held at ${side#fixed} ended at $got" ;; esac ;;
    contract|contract4|linked)
      [ "$(printed files)" = "$files" ] || fail "$what: the contract's run listed $(printed files) files of $files" ;;
    plain|plainmt|bare|bare4)
      [ "$(printed failed)" = 0 ] || fail "$what: the loop reports failed=$(printed failed)"
      [ "$(printed entries)" = "$entries" ] || fail "$what: the loop met $(printed entries) entries of $entries" ;;
    cli)
      [ "$(wc -l <"$data/work/cli-report.csv")" = $((files + 2)) ] ||
        fail "$what: the report holds $(wc -l <"$data/work/cli-report.csv") lines for $files files"
      grep -q "done $files; failed 0;" "$data/work/cli-report.csv" ||
        fail "$what: the report's summary: $(tail -1 "$data/work/cli-report.csv")" ;;
    floor)
      [ "$(printed files)" = "$files" ] || fail "$what: the loop met $(printed files) files of $files" ;;
    native)
      [ "$op" != walk ] || [ "$(wc -l <"$data/work/last-out")" = $((entries + 1)) ] ||
        fail "$what: find listed $(wc -l <"$data/work/last-out") entries of $((entries + 1))" ;;
  esac
  case "$op" in
    copy|cut|cutx)
      diff -rq "$data/trees/$tree" "$dst/$tree" >"$data/work/last-diff" 2>&1 ||
        fail "$what: the result differs from its source: $(head -c 600 "$data/work/last-diff")" ;;
  esac
  case "$op" in
    cut|cutx|delete|crush) [ ! -e "$src" ] || fail "$what: the source $src is still there ($(find "$src" | wc -l) entries)" ;;
  esac
}

# One measured case: <name> <op> <tree> <sync> <sides...>; the first side is the engine. The op "cut"
# moves into a folder beside the trees (one volume), "cutx" into $other_volume; the plain side of
# "cutx" is the platform's copy and delete, the other sides run their Cut.
measure() {
  local name=$1 op=$2 tree=$3 s=$4; shift 4
  local sides=() count r i side src dst ms order holder
  for side in "$@"; do case " ${SKIP:-} " in *" $side "*) ;; *) sides+=("$side") ;; esac; done
  count=${#sides[@]}
  for r in $(seq "$rounds"); do
    # Each round starts with another side, and every other round runs backwards: no side always
    # follows the same one (a run right after a large copy and its deletion was measured slower).
    order=()
    for i in $(seq 0 $((count - 1))); do order+=("${sides[$(((r - 1 + i) % count))]}"); done
    [ $((r % 2)) = 0 ] && order=($(printf '%s\n' "${order[@]}" | tac))
    for side in "${order[@]}"; do
      src="$data/trees/$tree"; holder=""
      case "$op" in  # destructive: work on a fresh copy (not timed); a Cut's keeps the tree's name
        delete|crush) next_fresh; src=$fresh; cp -a "$data/trees/$tree" "$src"; sync ;;
        cut|cutx) next_fresh; holder=$fresh; mkdir -p "$holder"; src=$holder/$tree; cp -a "$data/trees/$tree" "$src"; sync ;;
      esac
      next_fresh; dst=$fresh
      [ "$op" = cutx ] && { mkdir -p "$other_volume"; dst=$other_volume/$(basename "$fresh"); }
      local sideop=$op
      [ "$op" = cutx ] && [ "$side" != plain ] && sideop=cut
      ms=$(run_side "$side" "$sideop" "$src" "$dst" "$s")
      [ "$ms" != FAILED ] ||
        fail "$name, round $r, side $side: exit code not 0: $(head -c 300 "$data/work/last-error") $(head -c 300 "$data/work/last-out")"
      [[ "$ms" =~ ^[0-9]+$ ]] || fail "$name, round $r, side $side: no time measured (\"$ms\")"
      check_run "$name" "$r" "$side" "$sideop" "$tree" "$src" "$dst"
      record "$name:$side" "$ms"
      rm -rf "$dst" $holder; [ "$src" != "$data/trees/$tree" ] && rm -rf "$src"
      sync; sleep "${SETTLE:-2}"  # let the file system settle after the deletion before the next run
    done
  done
  local line="" best="" ratios="" m b e e0 runs
  for side in "${sides[@]}"; do  # no median over a missing run
    runs=(${results[$name:$side]:-})
    [ "${#runs[@]}" = "$rounds" ] || fail "$name: side $side has ${#runs[@]} timed runs of $rounds"
  done
  e=$(median ${results[$name:engine]}); e0=$(least ${results[$name:engine]})
  for side in "${sides[@]}"; do
    m=$(median ${results[$name:$side]}); b=$(least ${results[$name:$side]})
    line+=$(printf '  %s %6s' "$side" "$m"); best+=$(printf '  %s %6s' "$side" "$b")
    [ "$side" != engine ] && ratios+="  engine/$side $(ratio "$e" "$m") (best $(ratio "$e0" "$b"))"
    results["median:$name:$side"]=$m
  done
  printf '%-20s median ms:%s\n%-20s best ms:  %s\n%-20s%s\n' "$name" "$line" "" "$best" "" "$ratios"
  for side in "${sides[@]}"; do echo "    runs $side:${results[$name:$side]:-}"; done
  echo "    files in flight the engine side ended with, per round:${results[$name:count]:-}"
}

# CASES picks some of: copy-small copy-large copy-mixed delete-small copy-slow walk-small crush-large cut-small cut-large
#                      cut-small-across cut-large-across memory window prescan
cases=${CASES:-copy-small copy-large delete-small copy-slow walk-small crush-large copy-mixed cut-small cut-large cut-small-across cut-large-across memory window prescan}
want() { case " $cases " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }

echo "Engine: $engine_exe (files in flight follow the rate; plainmt runs the platform loop on $threads threads)"
echo "Medians of $rounds interleaved rounds (warm page cache; large trees counted to disk with sync):"
counts="serial fixed2 fixed4 fixed8"
want copy-small   && measure "copy 20,000 small"   copy   small 0 engine plain plainmt contract ${SIDES:-} $counts xcopy native floor cli
want copy-large   && measure "copy 4 x 512 MiB"    copy   large 1 engine plain plainmt $counts verify native
want delete-small && measure "delete 20,000 small" delete small 0 engine plain bare bare4 plainmt contract ${SIDES:-} $counts native
if want copy-slow; then
  # A slow volume: every file written goes through a model of a slow device (bench/BenchJob.cpp,
  # ORV_SLOW_DEVICE: one request at a time, 2 ms each and half that again for every other file being
  # written meanwhile), on 2,000 of the small files; one file at a time runs on a worker there too.
  if [ ! -d "$data/trees/small2k" ]; then
    mkdir -p "$data/trees/small2k.part"
    for d in $(ls "$data/trees/small" | head -50); do cp -a "$data/trees/small/$d" "$data/trees/small2k.part/"; done
    mv "$data/trees/small2k.part" "$data/trees/small2k"
  fi
  ORV_SLOW_DEVICE=2 measure "copy 2,000 small, slow volume" copy small2k 0 engine $counts
fi
want walk-small   && measure "walk 20,000 small"   walk   small 0 engine plain native
want crush-large  && measure "crush 4 x 512 MiB"   crush  large 1 engine plain native
want copy-mixed   && measure "copy 2,000 mixed"    copy   mixed 1 engine plain native
# A Cut within one volume against a MoveFileExW loop; across volumes (into a tmpfs) against the
# platform's copy and delete and, given BEFORE_EXE, the engine that always copied and deleted.
before=(); [ -n "$before_exe" ] && before=(before)
want cut-small    && measure "cut 20,000 small"    cut    small 0 engine plain native
want cut-large    && measure "cut 4 x 512 MiB"     cut    large 1 engine plain native
want cut-small-across && measure "cut 20,000 small across" cutx small 0 engine plain "${before[@]}" native
want cut-large-across && measure "cut 4 x 512 MiB across"  cutx large 1 engine plain "${before[@]}" native

peak=""
if want memory; then
  # A Delete job over 100,000 files; the peak working set the job process reports.
  next_fresh; src=$fresh; cp -a "$data/trees/many" "$src"
  out=$(wine "$engine_exe" delete - "$(winpath "$src")" 2>"$data/work/last-error") ||
    fail "memory: the Delete of 100,000 files failed: $(head -c 300 "$data/work/last-error")"
  peak=$(sed -n 's/.*peak_kb=\([0-9]*\).*/\1/p' <<<"$out")
  [ -n "$peak" ] || fail "memory: the Delete printed no peak working set: $out"
  [ ! -e "$src" ] || fail "memory: the Delete of 100,000 files left $(find "$src" | wc -l) entries"
  echo "memory: Delete of 100,000 files, peak working set ${peak} KiB"
fi

# The targets: each ratio of medians against its reference, measured above. Against a platform loop,
# the line also gives the other loop (one file at a time, or on the engine's threads) where measured.
target() {  # <label> <case> <reference side> <comparison> <limit>
  local e=${results["median:$2:engine"]:-} ref=${results["median:$2:$3"]:-} r other="" peer
  [ -z "$e" ] || [ -z "$ref" ] && return 0
  r=$(ratio "$e" "$ref")
  case "$3" in
    plain) peer=plainmt; other="; on $threads threads" ;;
    plainmt) peer=plain; other="; one at a time" ;;
    bare) peer=bare4; other="; the same loop on 4 threads" ;;
    *) peer="" ;;
  esac
  if [ -n "$peer" ] && [ -n "${results["median:$2:$peer"]:-}" ]; then
    other="$other $(ratio "$e" "${results["median:$2:$peer"]}")"
  else
    other=""
  fi
  printf '  %-60s %5s  (target %s %s%s) %s\n' "$1" "$r" "$4" "$5" "$other" \
    "$(awk -v r="$r" -v l="$5" -v c="$4" 'BEGIN { ok = r + 0 > 0 && ((c == "<") ? r < l : r <= l); print ok ? "met" : "NOT MET" }')"
}
echo "Targets (ratios of medians):"
target "engine copy / CopyFileExW loop, 20,000 small" "copy 20,000 small" plain "<=" 0.6
target "engine copy / CopyFileExW loop on $threads threads, 20,000 small" "copy 20,000 small" plainmt "<=" 1.2
target "engine copy / CopyFileExW loop, 4 x 512 MiB" "copy 4 x 512 MiB" plain "<=" 1.0
target "engine delete / attribute-and-delete loop, 20,000 small" "delete 20,000 small" plain "<=" 0.6
target "engine delete / bare DeleteFileW loop, 20,000 small" "delete 20,000 small" bare "<=" 0.8
target "engine on a slow volume / one file at a time, 2,000 small" "copy 2,000 small, slow volume" serial "<=" 1.05
target "engine copy / Wine's xcopy, 20,000 small" "copy 20,000 small" xcopy "<" 1
target "crush / shred -n 1 -u, 4 x 512 MiB" "crush 4 x 512 MiB" native "<" 1
target "engine cut / MoveFileExW loop, 20,000 small, one volume" "cut 20,000 small" plain "<=" 1.2
target "engine cut / the engine before, 20,000 small across" "cut 20,000 small across" before "<=" 1.0
target "engine cut / the engine before, 4 x 512 MiB across" "cut 4 x 512 MiB across" before "<=" 1.0
# Verify on against verify off: the engine side is verify off here, so the ratio is turned round.
if [ -n "${results["median:copy 4 x 512 MiB:verify"]:-}" ]; then
  v=$(ratio "${results["median:copy 4 x 512 MiB:verify"]}" "${results["median:copy 4 x 512 MiB:engine"]}")
  printf '  %-52s %5s  (target <= 1.5) %s\n' "verify on / verify off, 4 x 512 MiB" "$v" \
    "$(awk -v r="$v" 'BEGIN { print (r <= 1.5) ? "met" : "NOT MET" }')"
fi
# The console program against the engine it runs: its count of the sources and its report included.
if [ -n "${results["median:copy 20,000 small:cli"]:-}" ]; then
  v=$(ratio "${results["median:copy 20,000 small:cli"]}" "${results["median:copy 20,000 small:engine"]}")
  printf '  %-60s %5s  (target <= 1.05) %s\n' "orvandel-cli copy / engine copy, 20,000 small" "$v" \
    "$(awk -v r="$v" 'BEGIN { print (r <= 1.05) ? "met" : "NOT MET" }')"
fi
# What the contract itself allows: its own calls with nothing of the job, against the same loop; and
# how far the engine stays above them.
contract_line() {  # <label> <case>
  local c=${results["median:$2:contract"]:-} p=${results["median:$2:plain"]:-} e=${results["median:$2:engine"]:-}
  local t=${results["median:$2:plainmt"]:-}
  [ -z "$c" ] || [ -z "$p" ] && return 0
  printf '  %-60s %5s  (on %s threads %s; engine / contract %s)\n' "$1" "$(ratio "$c" "$p")" "$threads" \
    "$([ -n "$t" ] && ratio "$c" "$t" || echo "not measured")" "$(ratio "$e" "$c")"
}
contract_line "contract alone / CopyFileExW loop, 20,000 small" "copy 20,000 small"
contract_line "contract alone / attribute-and-delete loop, 20,000 small" "delete 20,000 small"
if [ -n "$peak" ]; then
  printf '  %-52s %5s  (target < 30 MB) %s\n' "peak working set, Delete of 100,000 files" \
    "$(awk -v k="$peak" 'BEGIN { printf "%.1f MB", k * 1024 / 1e6 }')" \
    "$(awk -v k="$peak" 'BEGIN { print (k * 1024 < 30e6) ? "met" : "NOT MET" }')"
fi

# The window case: the real program with its window against the engine without it, and its processor
# time at rest and while paused, in its own script.
if want window; then
  bash bench/window.sh "$rounds"
fi

# The pre-scan of the window against a bare FindFirstFileW walk and native find, in its own script.
if want prescan; then
  bash bench/prescan.sh "$rounds"
fi
