#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs them side by side for a bounded
# time (seconds, default 60). A crash, a sanitizer report or a broken promise fails the script.
# usage: fuzz.sh [SECONDS | build]     (build: only build them)
#   cipher_fuzz         arbitrary cipher text: hex reading, DecryptString, DecryptByte
#   cipher_header_fuzz  encrypted data with a fuzzer-chosen header: every size descriptor value
#   log_fuzz            arbitrary bytes as a log file and as its name, through the readers and
#                       every quoting of the log commands' output
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DORVACCT_BUILD_FUZZERS=ON -DORVACCT_BUILD_TESTS=OFF \
  -DORVACCT_BUILD_BENCHMARKS=OFF -DORVACCT_BUILD_TOOL=OFF -DCMAKE_UNITY_BUILD=ON >/dev/null
targets=(cipher_fuzz cipher_header_fuzz log_fuzz state_fuzz)
cmake --build build/fuzz -j 2 --target "${targets[@]}"
[[ $seconds == build ]] && exit 0
# Side by side.
pids=()
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  # A target whose input has a structure starts from seeds of it (a state the tool wrote).
  seeds=()
  [[ -d tests/fuzz/seeds/$target ]] && seeds=("tests/fuzz/seeds/$target")
  build/fuzz/tests/fuzz/$target -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" "${seeds[@]}" \
    2>"build/fuzz/$target.log" &
  pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
  log=build/fuzz/${targets[$i]}.log
  if wait "${pids[$i]}"; then
    echo "${targets[$i]}: $(grep -E "^stat::number_of_executed_units" "$log" || true)"
  else
    tail -40 "$log"
    failed=1
  fi
done
exit "$failed"
