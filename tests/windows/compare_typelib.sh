#!/usr/bin/env bash
# The registered type library, dumped as text, must equal the expected dump, whose counts of
# methods come from the suites' method table: the interface's own, and on the dispatch side
# those with IUnknown's three and IDispatch's four before them.
set -euo pipefail
dumper=$1 expected=$2
methods=$(wine "$dumper" --methods | tr -d '\r')
actual=$(wine "$dumper" | tr -d '\r')
diff -u <(sed "s/%METHODS%/$methods/g; s/%DISPATCH_FUNCS%/$((methods + 7))/g" "$expected") <(echo "$actual")
echo "1 passed, 0 failed"
