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
# Each target is compiled as a few large units (CMake's unity build): the headers they share,
# <windows.h> and the test framework above all, are read once per unit instead of once per file,
# which takes about 40 % off a clean build. Two files of a unit may not define the same private
# name (such helpers belong in one shared header anyway). A configure by hand compiles file by
# file, as before.
unity=-DCMAKE_UNITY_BUILD=ON
mkdir -p build
# The release's tool and the fuzzers are built meanwhile at the lowest priority, on what the
# builds below leave of the processors (their link steps leave one idle).
(rm -rf build/package && cmake --preset package-linux $unity >/dev/null && cmake --build --preset package-linux -j "$jobs" &&
  bash scripts/fuzz.sh build) >build/early-builds.log 2>&1 &
early_builds=$!
renice -n 19 -p "$early_builds" >/dev/null

# Native: warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer; the logs report
# in headless Chromium and the metrics through Prometheus too, which a configure by hand leaves
# out unless asked for.
cmake --preset sanitize $unity -DORVACCT_BROWSER_TEST=ON -DORVACCT_MONITORING_TEST=ON >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"
took "native suites"

# OrvAcctMan.dll with its tests and the tool, cross-built for 32 and 64 bits; the 64-bit suite
# then holds the 32-bit DLL beside the 64-bit one.
for preset in windows-i686 windows-x86_64; do
  # The call-rate benchmarks are scripts/figures.sh's, not tests: not built here.
  cmake --preset "$preset" $unity -DORVACCT_OTHER_BITNESS_DLL="$PWD/build/windows-i686/bin/OrvAcctMan.dll" \
    -DORVACCT_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
took "builds"
wait "$early_builds" || { cat build/early-builds.log; echo "failed: the release's tool or the fuzzers did not build"; exit 1; }
took "the release's tool and the fuzzers, built meanwhile"

# Then side by side, since Wine mostly waits and the rest mostly computes:
# - each DLL tested under Wine in a private prefix of its build tree (regsvr32, the C++ client,
#   VBScript and JScript under cscript, code pages, the tool, the About box on Xvfb, ...);
# - the cipher's decryption against arbitrary input and every size descriptor: libFuzzer with
#   clang, one minute for each of the two targets, on whatever the others leave of the machine;
# - the release as its users get it, made into dist/ from the Windows builds above and a fresh
#   build of the tool, then checked (the zip's files, register.cmd and the samples in fresh Wine
#   prefixes, the reg-free client, per-user keys, the MSIs installed, upgraded and removed in a
#   prefix of their own, a release signed with a throwaway certificate, the .deb unpacked and run).
# Computing runs at a lower priority, so Wine's waits are answered at once, and the fuzzers at
# the lowest: their minute is a minute whatever share of the processors it gets.
parts=(windows-i686 windows-x86_64 fuzzing release)
run_part() {
  case $1 in
    # Two tests at a time: the Wine tests wait more than they compute, and those that share a
    # session's display or regional settings take turns in a prefix of their own.
    windows-*) ctest --preset "$1" -j2 ;;
    fuzzing) nice -n 19 bash scripts/fuzz.sh 60 ;;
    release) nice -n 10 bash scripts/package.sh --reuse-test-builds --reuse-linux-build &&
      bash tests/package/check_package.sh ;;
  esac
}
pids=()
for part in "${parts[@]}"; do
  run_part "$part" >"build/$part.log" 2>&1 &
  pids+=($!)
done
failed=()
for i in "${!parts[@]}"; do
  wait "${pids[$i]}" || failed+=("${parts[$i]}")
done
for part in "${parts[@]}"; do
  echo "== $part"
  cat "build/$part.log"
done
took "Windows suites, fuzzing and the release"
[ ${#failed[@]} = 0 ] || { echo "failed: ${failed[*]}"; exit 1; }
