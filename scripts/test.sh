#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite, saying how long each
# part took.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/setup-windows.sh
SECONDS=0
took() { echo "== $1: $SECONDS s so far"; }

jobs=$(nproc)
# Native: warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"
took "native suites"
# The cipher's decryption against arbitrary input and every size descriptor: libFuzzer with
# clang, one minute for each of the two targets, side by side.
bash scripts/fuzz.sh 60
took "fuzzing"

# Windows: OrvAcctMan.dll cross-built for 32 and 64 bits, each tested under Wine in a private
# prefix of its build tree (regsvr32, the C++ client, VBScript and JScript under cscript); the
# 64-bit prefix then holds the 32-bit DLL beside the 64-bit one. The two suites share nothing
# (prefix, display, files), so they run side by side once both are built.
for preset in windows-i686 windows-x86_64; do
  cmake --preset "$preset" -DORVACCT_OTHER_BITNESS_DLL="$PWD/build/windows-i686/bin/OrvAcctMan.dll" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
took "Windows builds"
pids=()
for preset in windows-i686 windows-x86_64; do
  ctest --preset "$preset" >"build/$preset/ctest.log" 2>&1 &
  pids+=($!)
done
failed=0
for i in 0 1; do
  wait "${pids[$i]}" || failed=1
done
for preset in windows-i686 windows-x86_64; do
  echo "== ctest --preset $preset"
  cat "build/$preset/ctest.log"
done
[ "$failed" = 0 ] || { echo "a Windows suite failed"; exit 1; }
took "Windows suites"

# The release as its users get it, made into dist/ from the Windows builds above and a fresh
# build of the tool, then checked (the zip's files, register.cmd and the samples in fresh Wine
# prefixes, the reg-free client, per-user keys, the .deb unpacked and run).
bash scripts/package.sh --reuse-test-builds
bash tests/package/check_package.sh
took "release and its checks"
