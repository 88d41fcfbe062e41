#!/usr/bin/env bash
# The registered type library, dumped as text, must equal the expected dump.
set -euo pipefail
dumper=$1 expected=$2
actual=$(wine "$dumper" | tr -d '\r')
diff -u "$expected" <(echo "$actual")
echo "1 passed, 0 failed"
