#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each for a bounded time
# (seconds, default 60). A crash, a sanitizer report or a broken promise fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DORVACCT_BUILD_FUZZERS=ON -DORVACCT_BUILD_TESTS=OFF \
  -DORVACCT_BUILD_BENCHMARKS=OFF -DORVACCT_BUILD_TOOL=OFF >/dev/null
cmake --build build/fuzz -j 2 --target cipher_fuzz
corpus=build/fuzz/corpus/cipher
mkdir -p "$corpus"
build/fuzz/tests/fuzz/cipher_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" \
  2>build/fuzz/cipher_fuzz.log || { tail -40 build/fuzz/cipher_fuzz.log; exit 1; }
grep -E "^stat::number_of_executed_units|^Done" build/fuzz/cipher_fuzz.log || true
