#!/usr/bin/env bash
# Installs the Windows cross build (mingw-w64 for i686 and x86_64) and Wine with its 32-bit half,
# the Wine headers (the .idl files widl imports) and Xvfb. Idempotent: installs only what is missing.
set -euo pipefail

windows_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  mingw-w64-tools
  wine wine64 wine32:i386 libwine-dev:i386 wine64-tools
  xvfb xauth
)

missing=()
for p in "${windows_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup-windows: missing packages (${missing[*]}) and not root; install them first" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi
