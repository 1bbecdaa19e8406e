#!/usr/bin/env bash
# Builds the release and writes build/release/Orvandel-<version>.zip: the program, its logon
# launcher and the console program without debug information, the animations, the help with its pictures and a text for
# Windows users. The version is the project's (CMakeLists.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

bash scripts/configure.sh win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target Orvandel run orvandel-cli
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
if [ -z "$version" ]; then
  echo "release: no project version in build/win32/CMakeCache.txt" >&2
  exit 1
fi

name="Orvandel-$version"
out="build/release"
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage"
i686-w64-mingw32-strip --strip-all -o "$stage/Orvandel.exe" build/win32/bin/Orvandel.exe
i686-w64-mingw32-strip --strip-all -o "$stage/run.exe" build/win32/bin/run.exe
i686-w64-mingw32-strip --strip-all -o "$stage/orvandel-cli.exe" build/win32/bin/orvandel-cli.exe
cp res/a0.avi res/a1.avi res/a2.avi res/a3.avi "$stage/"
cp res/help/* "$stage/"
# The text for Windows users, with the version and Windows line ends.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' res/release/ReadMe.txt >"$stage/ReadMe.txt"

# Stored without the build machine's owners and extra times; one folder inside.
(cd "$out" && zip -q -X -r "$name.zip" "$name")
echo "release: $out/$name.zip"
unzip -l "$out/$name.zip"
