#!/usr/bin/env bash
# Installs whatever the project needs on Debian 12 (as root). Idempotent: fast when nothing is missing.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt_update_needed=1
fi

for p in wine wine32:i386 g++-mingw-w64-i686-posix binutils-mingw-w64-i686 cmake make ninja-build g++ xvfb x11-utils \
         googletest xdotool imagemagick python3 zip unzip openbox; do
  have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ] || [ -n "${apt_update_needed:-}" ]; then
  echo "setup: installing ${need[*]:-(package lists)}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  if [ ${#need[@]} -gt 0 ]; then
    apt-get install -y -q --no-install-recommends "${need[@]}"
  fi
fi
