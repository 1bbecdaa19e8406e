#!/usr/bin/env bash
# Random jobs in the long mode: <count> seeded worlds and jobs from <first seed> on, each run by the
# engine with its file workers under Wine and checked against a snapshot and the model
# (tests/random). Prints progress every 50 jobs, the first failing seeds in full, then a summary:
# what the jobs met, and each broken invariant with its seeds (those that keep every promise once no
# name closes in a dot or blank are told apart), and the smallest case of the first three failing
# seeds as code to paste into the suite.
#   bash scripts/random_jobs.sh [count, default 1000] [first seed, default 1]
# ORV_RANDOM_PLAIN_NAMES=1 makes no names closing in a dot or blank; ORV_RANDOM_SHRINK=0 cuts nothing
# down. One seed again: bash scripts/random_jobs.sh 1 <seed>.
set -uo pipefail
cd "$(dirname "$0")/.."
count=${1:-1000}
first=${2:-1}
. scripts/wine-env.sh
trap orv_stop_display EXIT
orv_ensure_display
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j2 --target random_jobs >/dev/null || exit 2
ORV_RANDOM_JOBS="$first:$count" wine build/win32/random_jobs.exe \
    --gtest_filter='RandomJobs/FixedSeeds.KeepEveryPromise/0' --gtest_brief=1
