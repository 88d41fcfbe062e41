#!/usr/bin/env bash
# Installs every Debian package the native build, the tests, the benchmarks and the packaging use.
# Idempotent: installs only what is missing, refreshing the package lists first when needed.
set -euo pipefail
source "$(dirname "$0")/install_missing.sh"

native_packages=(
  build-essential cmake pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev uuid-dev libssl-dev
  clang libclang-rt-14-dev
  time jq hyperfine
  zip unzip dpkg-dev groff-base wixl msitools osslsigncode openssl
  python3 nodejs chromium lnav util-linux
  prometheus prometheus-node-exporter
)

install_missing setup "${native_packages[@]}"
