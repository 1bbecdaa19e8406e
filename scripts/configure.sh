#!/usr/bin/env bash
# Configures a preset's build folder (cmake --preset NAME). A folder configured earlier for another
# generator (the presets name Ninja; older folders were made for Makefiles) is configured anew:
# CMake refuses to switch generators in place.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="$1"
cache="build/$preset/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
  rm -rf "$cache" "build/$preset/CMakeFiles"
fi
cmake --preset "$preset"
