#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
# Native: warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"
# The cipher's decryption against arbitrary input: libFuzzer with clang, one minute.
bash scripts/fuzz.sh 60
