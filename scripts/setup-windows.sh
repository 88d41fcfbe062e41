#!/usr/bin/env bash
# Installs the Windows cross build (mingw-w64 for i686 and x86_64) and Wine with its 32-bit half,
# the Wine headers (the .idl files widl imports) and Xvfb. Idempotent: installs only what is missing.
set -euo pipefail
source "$(dirname "$0")/install_missing.sh"

windows_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  mingw-w64-tools
  wine wine64 wine32:i386 libwine-dev:i386 wine64-tools
  xvfb xauth
)

# wine32 and libwine-dev come from the i386 half of the archive.
if [ "$(id -u)" -eq 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
install_missing setup-windows "${windows_packages[@]}"
