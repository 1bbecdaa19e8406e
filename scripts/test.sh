#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every suite (native, then under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh
# Each stage's time, so that a slow run tells where it went.
stage_start=$SECONDS
stage() { echo "test.sh: $1 took $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }
stage "set-up"

bash scripts/configure.sh native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)"
stage "native build and tests"
# The virtual display's own start, under set -e as here, before this script relies on it.
bash tests/scripts/display_start_test.sh

# The trap first: a display whose window manager never starts is still stopped on the way out.
trap 'orv_stop_display; wineserver -k 2>/dev/null || true' EXIT
orv_ensure_display
orv_ensure_prefix
bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)"
stage "Windows build"
# The release zip as a user gets it: its files, the programs' libraries and manifests, and the program
# started from it (before the suites, so that their summary is the run's last word).
bash scripts/release.sh >/dev/null
python3 tests/release/check_release.py "build/release/Orvandel-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' \
  build/win32/CMakeCache.txt).zip" build/win32
stage "release zip"
# Engine tests share one wineserver and real disks; two at a time is what 2 cores carry.
status=0
ctest --preset win32 -j2 "$@" || status=$?
stage "Windows tests"
# The run's last lines: every test and end-to-end scenario skipped, with its reason (a green run can
# hide them; in CI only the reasons named in ORV_ALLOWED_SKIPS may skip at all).
python3 scripts/list_skips.py build/native build/win32
exit $status
