#!/usr/bin/env bash
# Installs every Debian package the native build, the tests and the benchmarks use.
# Idempotent: installs only what is missing, refreshing the package lists first when needed.
set -euo pipefail

native_packages=(
  build-essential cmake pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev uuid-dev libssl-dev
  clang libclang-rt-14-dev
  time jq
)

missing=()
for p in "${native_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}) and not root; install them first" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
