#!/usr/bin/env bash
# Installs what is missing, builds the orvacct tool and shows what it does.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target orvacct
tool=build/release/tools/orvacct/orvacct
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT

echo "== orvacct guid"
"$tool" guid
echo "== orvacct detick \"O'Brien's\""
"$tool" detick "O'Brien's"
echo "== orvacct log (one record into $demo/Logs)"
"$tool" log --app-path "$demo" --app-name DemoApp --number -2147467259 --description "Unspecified error" \
  --module modDemo --procedure "Main()" --major 2 --minor 4 --revision 17
for f in "$demo"/Logs/*.log; do echo "-- $(basename "$f")"; tr -d '\r' < "$f"; done
echo "== orvacct purge-logs (an old file goes, today's stays)"
touch "$demo/Logs/demoapp-01012020.log"
"$tool" purge-logs --app-path "$demo" --app-name DemoApp
ls "$demo/Logs"
