#!/usr/bin/env bash
# Checks the release that scripts/package.sh made, as its users get it:
# - dist/ holds the zip, the two MSIs, the .deb and SHA256SUMS, which match; one version names all of them and
#   is what the packages say inside, beside the component's own version; each change log has
#   the release's dated section and nothing left under [Unreleased];
# - the zip: its file list, Windows line ends in its text files, each DLL in its bitness's folder;
#   README.txt's HKeyHive declarations (the interface's values, working when pasted into a script),
#   its notes on the methods, and a section naming every command and option of the tool;
# - in fresh Wine prefixes, with nothing but the zip: register.cmd and unregister.cmd per machine
#   on 32-bit and on 64-bit Windows, the VBScript sample against each DLL, the C++ sample built
#   from the zip and used without registration (by CLSID and by ProgID, and through a proxy from
#   a multithreaded apartment), and register.cmd /user
#   writing under HKCU\Software\Classes exactly the keys it writes per machine (32-bit Windows);
#   the user's and the folder's names taken as text, whatever cmd would make of them; unregistering
#   twice;
#   orvacct.exe of each bitness reading a log;
# - the .deb: its contents and fields, its README (written for who installed it, an example of
#   every command), and the tool run from a root it was unpacked into;
# - meanwhile, the MSIs (check_msi.sh) and signing (check_signing.sh).
# usage: check_package.sh [DIST]        (default dist/; work files in build/package-check)
set -euo pipefail
cd "$(dirname "$0")/../.."
dist=$(realpath "${1:-dist}")
work=$PWD/build/package-check
rm -rf "$work"
mkdir -p "$work"
keys=tests/windows/class_keys.sh
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

source tests/package/check_support.sh

step "files, checksums, version"
shopt -s nullglob
zips=("$dist"/OrvAcctMan-*-windows.zip)
[ "${#zips[@]}" = 1 ] || fail "expected one OrvAcctMan-<version>-windows.zip in $dist"
zip=${zips[0]}
version=${zip##*/OrvAcctMan-}
version=${version%-windows.zip}
# The component keeps its own version whatever the release's (CMakeLists.txt defines both).
component_version=$(sed -n 's/^set(ORVACCT_COMPONENT_VERSION \([0-9.]*\))$/\1/p' CMakeLists.txt)
[ -n "$component_version" ] || fail "CMakeLists.txt defines no ORVACCT_COMPONENT_VERSION"
IFS=. read -r major minor revision <<<"$component_version"
assembly_version=$major.$minor.0.$revision
deb=$dist/orvacct_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"
msis=("OrvAcctMan-$version-x86.msi" "OrvAcctMan-$version-x64.msi")
[ "$(ls "$dist" | sort | tr '\n' ' ')" = "$(printf '%s\n' SHA256SUMS "${zip##*/}" "${msis[@]}" "${deb##*/}" | sort | tr '\n' ' ')" ] ||
  fail "dist/ holds other files than the zip, the two MSIs, the .deb and SHA256SUMS: $(ls "$dist")"
(cd "$dist" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
[ "$(wc -l <"$dist/SHA256SUMS")" = 4 ] || fail "SHA256SUMS should name the four packages"
ok "version $version in every name; SHA256SUMS matches"

# The MSIs in a Wine prefix of their own, and a signed release made and verified, meanwhile: each
# reports at the end.
side_checks=(msi signing)
side_pids=()
for check in "${side_checks[@]}"; do
  mkdir -p "$work/$check"
  bash "tests/package/check_$check.sh" "$dist" "$work/$check" >"$work/$check.log" 2>&1 &
  side_pids+=($!)
done
trap 'for pid in "${side_pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT

# check_changelog FILE WHAT: the release has a dated section of its own, no version has two, and
# [Unreleased] holds no entries.
check_changelog() {
  local unreleased twice
  grep -qE "^## \[${version//./\\.}\] - [0-9]{4}-[0-9]{2}-[0-9]{2}"$'\r?$' "$1" ||
    fail "$2 has no dated section [$version] of the release"
  unreleased=$(tr -d '\r' <"$1" | awk '/^## \[Unreleased\]/ { on = 1; next } /^## / { on = 0 } on && /^[-*] /')
  [ -z "$unreleased" ] || fail "$2 still lists entries under [Unreleased], which belong in [$version]: $unreleased"
  twice=$(grep -oE '^## \[[0-9][0-9.]*\]' "$1" | sort | uniq -d)
  [ -z "$twice" ] || fail "$2 has two sections of one version: $twice"
}

step "zip: file list, line ends, DLL bitness"
unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/zip-list.txt"
sort >"$work/zip-expected.txt" <<'EOF'
CHANGELOG.txt
README.txt
include/OrvAcctMan.h
include/OrvAcctMan_i.c
lnav/orvacct_log.json
register.cmd
samples/cpp/client.cpp
samples/cpp/client.exe.manifest
samples/cpp/client.rc
samples/vba/OrvAcctManSample.bas
samples/vbscript/OrvAcctManSample.vbs
unregister.cmd
x64/OrvAcctMan.dll
x64/OrvAcctMan.sxs.manifest
x64/orvacct.exe
x86/OrvAcctMan.dll
x86/OrvAcctMan.sxs.manifest
x86/orvacct.exe
EOF
diff "$work/zip-expected.txt" "$work/zip-list.txt" || fail "the zip's files differ from the list above"
unzip -q "$zip" -d "$work/zip"
# README.txt describes every method of the interface.
for method in $(grep -o 'HRESULT [A-Za-z_]*(' src/com/OrvAcctMan.idl.in | sed 's/HRESULT //; s/($//' | sort -u); do
  grep -q "^  $method(" "$work/zip/README.txt" || fail "README.txt does not describe $method"
done
# What ships names no folder of the machine that built it (widl writes its input's path).
built_here=$(grep -rl -- "$PWD" "$work/zip" || true)
[ -z "$built_here" ] || fail "shipped files hold this machine's build path: $built_here"
cd "$work/zip"
for text in *.txt *.cmd samples/*/* x86/*.manifest x64/*.manifest; do
  if grep -q -v $'\r$' "$text"; then fail "$text has lines without CR LF"; fi
done
x86_64-w64-mingw32-objdump -f x86/OrvAcctMan.dll | grep -q 'file format pei-i386' || fail "x86/OrvAcctMan.dll is not 32-bit"
x86_64-w64-mingw32-objdump -f x64/OrvAcctMan.dll | grep -q 'file format pei-x86-64' || fail "x64/OrvAcctMan.dll is not 64-bit"
x86_64-w64-mingw32-objdump -f x86/orvacct.exe | grep -q 'file format pei-i386' || fail "x86/orvacct.exe is not 32-bit"
x86_64-w64-mingw32-objdump -f x64/orvacct.exe | grep -q 'file format pei-x86-64' || fail "x64/orvacct.exe is not 64-bit"
contains README.txt "OrvAcctMan $version for Windows"
contains README.txt "Release $version, component $component_version"
contains README.txt "msiexec /i OrvAcctMan-$version-x64.msi /qn"
check_changelog CHANGELOG.txt "the zip's CHANGELOG.txt"
# Scripts cannot see the type library's enumeration: README.txt declares the interface's values
# for VBScript and JScript, and the VBScript sample declares them the same way.
while read -r name value; do
  contains README.txt "    Const $name = &H${value#0x}"
  contains README.txt "    var $name = $value;"
  contains samples/vbscript/OrvAcctManSample.vbs "Const $name = &H${value#0x}"
done < <(sed -n 's/^ *\(Hkey[A-Za-z]*\) = \(0x[0-9a-f]*\),*\r*$/\1 \2/p' include/OrvAcctMan.h)
[ "$(grep -c '^    Const Hkey' README.txt)" = 5 ] || fail "README.txt should declare the five HKeyHive values"
# What users stumbled on, said where the methods are described.
for note in "the application's name WITHOUT" 'PurgeLogs ..., "MyApp" never deletes' '"Version Number: .."' \
  'one more for each line break' 'text value of at most four bytes gives its bytes as a number' \
  'Unattended callers use Create_Session instead' "that thread's message loop"; do
  contains README.txt "$note"
done
contains README.txt "name=\"OrvAcctMan.sxs\""
contains README.txt "version=\"$assembly_version\""
for arch in x86:x86 x64:amd64; do
  contains "${arch%%:*}/OrvAcctMan.sxs.manifest" "version=\"$assembly_version\""
  contains "${arch%%:*}/OrvAcctMan.sxs.manifest" "processorArchitecture=\"${arch##*:}\""
done
contains samples/cpp/client.exe.manifest "version=\"$assembly_version\""
# VBA cannot run here: at least every method and HKeyHive name the VBA sample uses is the
# interface's.
for name in $(grep -o 'account\.[A-Za-z_]*' samples/vba/OrvAcctManSample.bas | cut -d. -f2 | sort -u); do
  grep -q "STDMETHODCALLTYPE $name(" include/OrvAcctMan.h || fail "the VBA sample calls $name, which the interface lacks"
done
grep -q 'HkeyCurrentUser = ' include/OrvAcctMan.h || fail "the interface has no HkeyCurrentUser"
cd - >/dev/null
ok "17 files; text with CR LF; x86 and x64 DLLs and orvacct.exe of their bitness; manifests of version $assembly_version; README.txt's declarations and notes; the change log's section $version"

zip_windows=$(winepath -w "$work/zip" 2>/dev/null)
register="$zip_windows\\register.cmd"
unregister="$zip_windows\\unregister.cmd"
sample="$zip_windows\\samples\\vbscript\\OrvAcctManSample.vbs"

# server_of PREFIX KEY_PREFIX [SCOPE]: the registered InprocServer32 path of the class, per
# machine or per user.
server_of() {
  bash "$keys" "$1" "${3:-machine}" | awk -F' [|] ' -v key="$2clsid\\{85391336-700c-4414-9d10-8db84c045eaa}\\inprocserver32" \
    '$1 == key && $2 ~ /^@=/ { print substr($2, 3) }'
}

step "32-bit Windows: register.cmd, the VBScript sample, unregister.cmd; the same with /user"
export WINEPREFIX=$work/prefix32
WINEARCH=win32 bash tests/windows/make_wine_prefix.sh "$WINEPREFIX"
expect_run 0 "$work/register32.log" wine cmd /c "$register"
contains "$work/register32.log" "x86\\OrvAcctMan.dll registered for 32-bit clients for every user"
if grep -q x64 "$work/register32.log"; then fail "register.cmd on 32-bit Windows touched the x64 DLL"; fi
[ "$(server_of "$WINEPREFIX" "")" = "\"$zip_windows\\x86\\OrvAcctMan.dll\"" ] || fail "the class is not served by x86\\OrvAcctMan.dll"
bash "$keys" "$WINEPREFIX" machine >"$work/machine-keys.txt"
run_sample wine 'C:\windows\system32' "$sample"
expect_run 0 "$work/unregister32.log" wine cmd /c "$unregister"
[ -z "$(bash "$keys" "$WINEPREFIX" machine)" ] || fail "unregister.cmd left keys behind"
# Per user: Wine's COM does not read HKCU\Software\Classes, so only the keys are checked.
expect_run 0 "$work/register-user32.log" wine cmd /c "$register" /user
contains "$work/register-user32.log" "x86\\OrvAcctMan.dll registered for 32-bit clients for "
bash "$keys" "$WINEPREFIX" user | diff "$work/machine-keys.txt" - || fail "per-user keys differ from the per-machine ones (< machine, > user)"
[ -z "$(bash "$keys" "$WINEPREFIX" machine)" ] || fail "register.cmd /user wrote machine keys"
expect_run 0 "$work/unregister-user32.log" wine cmd /c "$unregister" /user
[ -z "$(bash "$keys" "$WINEPREFIX" user)" ] || fail "unregister.cmd /user left keys behind"
expect_run 2 "$work/usage.log" wine cmd /c "$register" /everyone
cp -r "$work/zip" "$work/zip-without-x86"
rm "$work/zip-without-x86/x86/OrvAcctMan.dll"
expect_run 1 "$work/missing.log" wine cmd /c "$(winepath -w "$work/zip-without-x86")\\register.cmd"
contains "$work/missing.log" "x86\\OrvAcctMan.dll is missing"
ok "x86 only, per machine and per user ($(wc -l <"$work/machine-keys.txt") keys and values, the same in both); sample passed; unregistered without a trace; wrong usage 2, missing DLL 1"

user='Tom & Jerry (R&D) 100% ^!|<>'
step "32-bit Windows: the zip in \"R&D (Tools) 100%!\", register.cmd and unregister.cmd (twice) run there by \"$user\""
# Both names hold what cmd takes as command separators, groups, redirections, variables and
# escapes. Programs named as the pieces after each & wait in the current folder (the zip's), as
# README.txt has it, to leave a mark if cmd ran them. (Started by a full path that holds a %,
# a script loses that % to Wine's cmd, not to Windows'.)
named=$work/names/'R&D (Tools) 100%!'
mkdir -p "$named"
cp -r "$work/zip/." "$named/"
names_windows=$(winepath -w "$work/names")
for stray in Jerry D; do printf '@echo ran>"%s\\%s-ran.txt"\r\n' "$names_windows" "$stray" >"$named/$stray.cmd"; done
# Wine's cmd sets USERNAME itself: the user's name is set in the cmd that runs the script.
printf '@echo off\r\nset "USERNAME=%s"\r\n%%*\r\n' "${user//%/%%}" >"$work/names/as-user.cmd"
# in_named LOG COMMAND...: the command (a script and its options) run as that user in the zip's
# folder; it must succeed and run nothing planted.
in_named() {
  local log=$1 ran
  shift
  (cd "$named" && expect_run 0 "$log" wine cmd /c "$names_windows\\as-user.cmd" "$@")
  ran=$(compgen -G "$work/names/*-ran.txt" || true)
  [ -z "$ran" ] || fail "$* ran a program named by a piece of a name: $ran"
}
in_named "$work/names-register-user.log" register.cmd /user
contains "$work/names-register-user.log" "x86\\OrvAcctMan.dll registered for 32-bit clients for $user alone"
[ "$(server_of "$WINEPREFIX" "" user)" = "\"$(winepath -w "$named")\\x86\\OrvAcctMan.dll\"" ] ||
  fail "per user, the class is not served by the DLL in the named folder"
for round in 1 2; do
  in_named "$work/names-unregister-user$round.log" unregister.cmd /user
  contains "$work/names-unregister-user$round.log" "x86\\OrvAcctMan.dll unregistered for 32-bit clients for $user alone"
done
[ -z "$(bash "$keys" "$WINEPREFIX" user)" ] || fail "unregister.cmd /user in the named folder left keys behind"
in_named "$work/names-register.log" register.cmd
[ "$(server_of "$WINEPREFIX" "")" = "\"$(winepath -w "$named")\\x86\\OrvAcctMan.dll\"" ] ||
  fail "the class is not served by the DLL in the named folder"
for round in 1 2; do
  in_named "$work/names-unregister$round.log" unregister.cmd
  contains "$work/names-unregister$round.log" "x86\\OrvAcctMan.dll unregistered for 32-bit clients for every user"
done
[ -z "$(bash "$keys" "$WINEPREFIX" machine)" ] || fail "unregister.cmd in the named folder left keys behind"
ok "registered and unregistered twice, per user and per machine; the user named as is; nothing else ran"
stop_wine

step "64-bit Windows, not registered: the C++ sample through its manifest"
export WINEPREFIX=$work/prefix64
bash tests/windows/make_wine_prefix.sh "$WINEPREFIX"
[ -z "$(bash "$keys" "$WINEPREFIX" machine)$(bash "$keys" "$WINEPREFIX" user)" ] || fail "a fresh prefix has the component registered"
for pair in i686:x86:wine x86_64:x64:$wine64; do
  IFS=: read -r cross folder loader <<<"$pair"
  app=$work/app-$folder
  mkdir -p "$app"
  (cd "$work/zip/samples/cpp" && "$cross-w64-mingw32-windres" client.rc -O coff -o "$app/client.res.o")
  for program in "$work/zip/samples/cpp/client.cpp" tests/package/cross_apartment_client.cpp; do
    "$cross-w64-mingw32-g++-posix" -Wall -Wextra -Werror -I"$work/zip/include" "$program" \
      "$work/zip/include/OrvAcctMan_i.c" "$app/client.res.o" -lole32 -loleaut32 -static \
      -o "$app/$(basename "$program" .cpp).exe"
  done
  # Without the assembly beside it the program cannot have the component: the manifest is what serves it.
  cp "$work/zip/$folder/OrvAcctMan.dll" "$app/"
  code=0
  "$loader" "$app/client.exe" >"$work/regfree-$folder-without.log" 2>&1 || code=$?
  [ "$code" != 0 ] || fail "$folder client.exe found the component without OrvAcctMan.sxs.manifest"
  cp "$work/zip/$folder/OrvAcctMan.sxs.manifest" "$app/"
  expect_run 0 "$work/regfree-$folder.log" "$loader" "$app/client.exe"
  contains "$work/regfree-$folder.log" "by ProgID OrvAcctMan.clsOrvAcctMan"
  contains "$work/regfree-$folder.log" "OrvAcctMan works."
  if grep -q FAIL "$work/regfree-$folder.log"; then fail "$folder client.exe: a call answered wrongly"; fi
done
[ -z "$(bash "$keys" "$WINEPREFIX" machine)$(bash "$keys" "$WINEPREFIX" user)" ] || fail "the reg-free clients registered something"
ok "x86 and x64 client.exe created the class by ProgID and by CLSID with nothing registered (exit 1 without the assembly manifest)"

step "64-bit Windows: register.cmd (from 32-bit cmd), both VBScript samples, unregister.cmd (from 64-bit cmd)"
expect_run 0 "$work/register64.log" wine cmd /c "$register"
contains "$work/register64.log" "x64\\OrvAcctMan.dll registered for 64-bit clients for every user"
contains "$work/register64.log" "x86\\OrvAcctMan.dll registered for 32-bit clients for every user"
[ "$(server_of "$WINEPREFIX" "")" = "\"$zip_windows\\x64\\OrvAcctMan.dll\"" ] || fail "64-bit class not served by x64\\OrvAcctMan.dll"
[ "$(server_of "$WINEPREFIX" 'wow6432node\')" = "\"$zip_windows\\x86\\OrvAcctMan.dll\"" ] || fail "32-bit class not served by x86\\OrvAcctMan.dll"
run_sample wine 'C:\windows\syswow64' "$sample"
run_sample "$wine64" 'C:\windows\system32' "$sample"
# README.txt's declarations, pasted into a script as it says: a setting written under
# HkeyCurrentUser reads back (with an undeclared name it would go nowhere).
{
  tr -d '\r' <"$work/zip/README.txt" | sed -n 's/^    \(Const Hkey.*\)$/\1/p'
  printf '%s\n' 'Set account = CreateObject("OrvAcctMan.clsOrvAcctMan")' \
    'account.Reg_SaveSettingString HkeyCurrentUser, "Software\OrvAcctMan\Readme", "v", "declared"' \
    'WScript.Echo "read back: " & account.Reg_GetSettingString(HkeyCurrentUser, "Software\OrvAcctMan\Readme", "v", "")' \
    'account.Reg_DeleteKey HkeyCurrentUser, "Software\OrvAcctMan\Readme"'
} | sed 's/$/\r/' >"$work/readme.vbs"
{
  tr -d '\r' <"$work/zip/README.txt" | sed -n 's/^    \(var Hkey.*\)$/\1/p'
  printf '%s\n' 'var account = new ActiveXObject("OrvAcctMan.clsOrvAcctMan");' \
    'account.Reg_SaveSettingString(HkeyCurrentUser, "Software\\OrvAcctMan\\Readme", "v", "declared");' \
    'WScript.Echo("read back: " + account.Reg_GetSettingString(HkeyCurrentUser, "Software\\OrvAcctMan\\Readme", "v", ""));' \
    'account.Reg_DeleteKey(HkeyCurrentUser, "Software\\OrvAcctMan\\Readme");'
} | sed 's/$/\r/' >"$work/readme.js"
for script in readme.vbs readme.js; do
  expect_run 0 "$work/$script.log" wine 'C:\windows\syswow64\cscript.exe' //nologo "$(winepath -w "$work/$script")"
  contains "$work/$script.log" "read back: declared"
done
for round in 1 2; do
  expect_run 0 "$work/unregister64-$round.log" "$wine64" cmd /c "$unregister"
  contains "$work/unregister64-$round.log" "x64\\OrvAcctMan.dll unregistered for 64-bit clients for every user"
done
[ -z "$(bash "$keys" "$WINEPREFIX" machine)" ] || fail "unregister.cmd left keys behind"
ok "both DLLs registered with their regsvr32, both samples and README.txt's declarations in VBScript and JScript passed, unregistered (twice) without a trace"

step "64-bit Windows: register.cmd /user, unregister.cmd /user"
# Wine keeps one view of HKCU\Software\Classes for both bitnesses, where Windows keeps the 32-bit
# class keys apart (Wow6432Node): here the two DLLs' per-user class keys fall together, so only
# that both are done and undone is checked.
expect_run 0 "$work/register-user64.log" wine cmd /c "$register" /user
contains "$work/register-user64.log" "x64\\OrvAcctMan.dll registered for 64-bit clients for "
contains "$work/register-user64.log" "x86\\OrvAcctMan.dll registered for 32-bit clients for "
[ -n "$(bash "$keys" "$WINEPREFIX" user)" ] || fail "register.cmd /user wrote no keys"
[ -z "$(bash "$keys" "$WINEPREFIX" machine)" ] || fail "register.cmd /user wrote machine keys"
for round in 1 2; do
  expect_run 0 "$work/unregister-user64-$round.log" "$wine64" cmd /c "$unregister" /user
  contains "$work/unregister-user64-$round.log" "x64\\OrvAcctMan.dll unregistered for 64-bit clients for "
done
[ -z "$(bash "$keys" "$WINEPREFIX" user)" ] || fail "unregister.cmd /user left keys behind"
ok "both DLLs registered and unregistered (twice) per user; no machine keys"

step "64-bit Windows, not registered: a multithreaded client through the manifest's interface entries"
# Last, since Wine's type library marshaler registers the type library it builds the proxy from.
for pair in x86:wine x64:$wine64; do
  IFS=: read -r folder loader <<<"$pair"
  expect_run 0 "$work/regfree-mta-$folder.log" "$loader" "$work/app-$folder/cross_apartment_client.exe"
done
ok "x86 and x64: a working proxy from a multithreaded apartment"

step "64-bit Windows: orvacct.exe of each bitness reads a log"
mkdir -p "$work/gathered/PC01/Logs"
printf '%s\r\n' "$(printf '+%.0s' $(seq 41))" 'Error Description: Invalid procedure call' 'Error Number: 5' \
  'Module Name: modMain' 'Procedure Name: Main' 'Version Number: 1.0.1' 'Date: 3/5/2002 2:07:09 PM' '' \
  >"$work/gathered/PC01/Logs/sampleapp-03052002.log"
for pair in x86:wine x64:$wine64; do
  IFS=: read -r folder loader <<<"$pair"
  expect_run 0 "$work/logs-$folder.log" "$loader" "$work/zip/$folder/orvacct.exe" logs export "$(winepath -w "$work/gathered")"
  contains "$work/logs-$folder.log" '"time":"2002-03-05T14:07:09","number":5,"description":"Invalid procedure call"'
done
ok "x86 and x64 orvacct.exe export the record"
stop_wine

step ".deb: contents, fields, the tool from an unpacked root"
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }' | sort >"$work/deb-list.txt"
diff - "$work/deb-list.txt" <<'EOF' || fail "the .deb's files differ from the list above"
./etc/lnav/formats/orvacct/orvacct_log.json
./usr/bin/orvacct
./usr/share/doc/orvacct/README
./usr/share/doc/orvacct/changelog.gz
./usr/share/doc/orvacct/copyright
./usr/share/man/man1/orvacct.1.gz
EOF
[ "$(dpkg-deb -f "$deb" Package)" = orvacct ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "Depends lacks libc6: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Maintainer | grep -Eq '^[^<]+ <[^@ ]+@[^> ]+>$' ||
  fail "Maintainer is not a name with an address: $(dpkg-deb -f "$deb" Maintainer)"
root=$work/root
dpkg -x "$deb" "$root"
grep -q '^Copyright: Copyright © 2026 Orv Software$' "$root/usr/share/doc/orvacct/copyright" &&
  grep -q 'All Rights Reserved' "$root/usr/share/doc/orvacct/copyright" || fail "the copyright file"
built_here=$(grep -rl -- "$PWD" "$root" || true)
[ -z "$built_here" ] || fail "the .deb's files hold this machine's build path: $built_here"
tool=$root/usr/bin/orvacct
if ldd "$tool" | grep -q 'not found'; then fail "orvacct needs a library that is not installed"; fi
[ "$("$tool" --version)" = "orvacct $version, component $component_version" ] ||
  fail "orvacct --version says $("$tool" --version)"
cipher=$("$tool" pwd encrypt --key 'package key' 's3cret')
[ "$("$tool" pwd decrypt --key 'package key' "$cipher")" = s3cret ] || fail "orvacct pwd round trip"
"$tool" log --app-path "$work" --app-name PackageCheck --number 5 --description 'Invalid call' --module m --procedure p
compgen -G "$work/Logs/packagecheck-*.log" >/dev/null || fail "orvacct log wrote no record"
zcat "$root/usr/share/man/man1/orvacct.1.gz" | groff -man -Tutf8 -ww -z 2>"$work/man-warnings.txt"
[ ! -s "$work/man-warnings.txt" ] || fail "the manual page has roff warnings: $(cat "$work/man-warnings.txt")"
zcat "$root/usr/share/man/man1/orvacct.1.gz" | grep -q '^\.TH ORVACCT 1' || fail "orvacct.1 is not the manual page"
# The README is for who installed the package: the release, an example of every command, the
# manual page; nothing of the repository it was made in.
readme=$root/usr/share/doc/orvacct/README
contains "$readme" "orvacct $version (component $component_version)"
contains "$readme" "man orvacct"
python3 tests/docs/check_tool_docs.py examples "$tool" "$readme" | sed 's/^/      /'
if grep -nE 'scripts/|build/|docs/|[.]png|tests/' "$readme"; then fail "the .deb's README names files of the repository"; fi
zcat "$root/usr/share/doc/orvacct/changelog.gz" >"$work/changelog"
check_changelog "$work/changelog" "the .deb's change log"
# lnav, given the format as the package installs it, reads the tool's export.
dpkg-deb -I "$deb" conffiles | grep -qx /etc/lnav/formats/orvacct/orvacct_log.json || fail "the lnav format is no conffile"
mkdir -p "$work/lnav-home/.lnav/formats"
cp -r "$root/etc/lnav/formats/orvacct" "$work/lnav-home/.lnav/formats/"
"$tool" logs export "$work/Logs" >"$work/records.jsonl"
[ "$(HOME=$work/lnav-home lnav -n -c ';SELECT app || " " || number FROM orvacct_log' -c ':write-csv-to -' \
  "$work/records.jsonl" | tail -1)" = "packagecheck 5" ] || fail "lnav does not read the export with the installed format"
# The zip's README.txt is the manual of orvacct.exe: every command and option the tool has.
python3 tests/docs/check_tool_docs.py manual "$tool" "$work/zip/README.txt" "The command line tool: orvacct.exe" |
  sed 's/^/      /'

ok "6 files, copyright, Maintainer, Depends: $(dpkg-deb -f "$deb" Depends); orvacct $version runs from the unpacked root"

for i in "${!side_checks[@]}"; do
  code=0
  wait "${side_pids[$i]}" || code=$?
  cat "$work/${side_checks[$i]}.log"
  [ "$code" = 0 ] || fail "the ${side_checks[$i]} check failed"
done
trap - EXIT
rm -rf "$work"
echo "package check passed"
