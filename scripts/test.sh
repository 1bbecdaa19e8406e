#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every suite (native, then under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh

bash scripts/configure.sh native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)"

orv_ensure_display
trap orv_stop_display EXIT
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
# The release zip as a user gets it: its files, the programs' libraries and manifests, and the program
# started from it (before the suites, so that their summary is the run's last word).
bash scripts/release.sh >/dev/null
python3 tests/release/check_release.py "build/release/Orvandel-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' \
  build/win32/CMakeCache.txt).zip" build/win32
# Engine tests share one wineserver and real disks; two at a time is what 2 cores carry.
ctest --preset win32 -j2 "$@"
