#!/usr/bin/env bash
# Installs what is missing, builds the orvacct tool and shows what it does; then builds
# OrvAcctMan.dll, registers it in a private Wine prefix and shows a VBScript client using it.
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

echo "== orvacct pwd: a password to cipher text and back (key from the environment)"
export DEMO_KEY="Demo key"
cipher=$("$tool" pwd encrypt --key-env DEMO_KEY "s3cret päss")
echo "$cipher"
"$tool" pwd decrypt --key-env DEMO_KEY "$cipher"
echo "== orvacct pwd decrypt with the wrong key: a clear error"
"$tool" pwd decrypt --key "wrong key" "$cipher" || echo "(exit code $?)"
echo "== orvacct file: encrypt and decrypt a file"
head -c 100000 /dev/urandom > "$demo/plain.bin"
"$tool" file encrypt --key-env DEMO_KEY "$demo/plain.bin" "$demo/cipher.bin"
"$tool" file decrypt --key-env DEMO_KEY "$demo/cipher.bin" "$demo/back.bin"
ls -l "$demo/plain.bin" "$demo/cipher.bin" "$demo/back.bin" | awk '{print $5, $NF}'
cmp "$demo/plain.bin" "$demo/back.bin" && echo "decrypted file is identical"

echo "== OrvAcctMan.dll (32-bit) under Wine: regsvr32, then a VBScript client"
bash scripts/setup-windows.sh
cmake --preset windows-i686 >/dev/null
cmake --build --preset windows-i686 -j "$(nproc)" --target OrvAcctMan
export WINEPREFIX=$PWD/build/windows-i686/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash tests/windows/make_wine_prefix.sh "$WINEPREFIX"
dll=$(winepath -w build/windows-i686/bin/OrvAcctMan.dll)
wine regsvr32 /s "$dll" && echo "regsvr32 $dll: registered"
mkdir -p "$demo/com"
wine 'C:\windows\syswow64\cscript.exe' //nologo "$(winepath -w scripts/com_demo.vbs)" "$(winepath -w "$demo/com")" | tr -d '\r'
