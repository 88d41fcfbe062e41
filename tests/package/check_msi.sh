#!/usr/bin/env bash
# Checks the two Windows Installer packages of the release in DIST:
# - msiinfo: no SelfReg rows, the Upgrade table with the package's upgrade code, the release's
#   ProductVersion, Add/Remove Programs without Modify; the registry rows, with the DLL's path
#   put in, are exactly the keys the packaged DLL's DllRegisterServer writes (regsvr32, last);
# - in a fresh 64-bit Wine prefix of its own: both installed silently (the x86 one into a folder
#   of its own, INSTALLDIR, without the tool, ADDLOCAL=OrvAcctMan: ADDLOCAL=CommandLineTool adds
#   it there later), the installed VBScript sample passes under the 32-bit and the
#   64-bit cscript, orvacct.exe runs from PATH; the x86 package removed, the 64-bit client still works and the type
#   library's keys are whole; a package of a higher version (made here) replaces the x64 one, and
#   the lower one is then refused; removal by product code; then the prefix's registry is what it
#   was before the first install, and no file is left.
# usage: check_msi.sh DIST WORK        (WORK: a fresh folder of its own)
set -euo pipefail
cd "$(dirname "$0")/../.."
dist=$(realpath "$1")
work=$(realpath "$2")
source tests/package/check_support.sh
keys=tests/windows/class_keys.sh
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$work/prefix

shopt -s nullglob
msis=("$dist"/OrvAcctMan-*-x64.msi)
[ "${#msis[@]}" = 1 ] || fail "expected one OrvAcctMan-<version>-x64.msi in $dist"
version=${msis[0]##*/OrvAcctMan-}
version=${version%-x64.msi}
msi_x64=$dist/OrvAcctMan-$version-x64.msi
msi_x86=$dist/OrvAcctMan-$version-x86.msi
[ -f "$msi_x86" ] || fail "no $msi_x86"

# A fresh prefix, and a package of a higher version from the release's own sources, meanwhile.
IFS=. read -r major minor patch <<<"$version"
higher=$major.$minor.$((patch + 1))
(
  mkdir -p "$work/higher"
  sed "s/ Version=\"$version\"/ Version=\"$higher\"/" build/package/windows-zip-msi/OrvAcctMan-x64.wxs >"$work/higher/OrvAcctMan-x64.wxs"
  bash packaging/windows/msi/build_msi.sh "$work/higher/OrvAcctMan-x64.wxs" "$(realpath build/package/windows-zip)" \
    "$work/higher/OrvAcctMan-$higher-x64.msi"
) >"$work/higher.log" 2>&1 &
higher_build=$!
bash tests/windows/make_wine_prefix.sh "$WINEPREFIX"

# property MSI NAME: a property of the package.
property() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'; }
# registry_rows MSI DLL: the package's registry rows below HKEY_CLASSES_ROOT (the others are the
# package's own: the folder chosen) as class_keys.sh lists keys, with the DLL's
# Windows path and its folder put in; a 32-bit package's class and interface keys are in the
# 32-bit view.
registry_rows() {
  local dll=$2 view=""
  [[ $1 == *-x86.msi ]] && view='wow6432node\'
  # Through the environment: awk -v would take the backslashes for escapes.
  msiinfo export "$1" Registry | tr -d '\r' | tail -n +4 | DLL=$dll FOLDER="${dll%\\*}\\" VIEW=$view awk -F'\t' '
    $2 != 0 { next }
    {
      key = tolower($3)
      if (key ~ /^(clsid|interface)\\/) key = ENVIRON["VIEW"] key
      value = $5
      if (value == "[#OrvAcctMan.dll]") value = ENVIRON["DLL"]
      if (value == "[INSTALLDIR]") value = ENVIRON["FOLDER"]
      print key
      print key " | " ($4 == "" ? "@" : "\"" $4 "\"") "=\"" value "\""
    }' | sort -u
}
# registry: every value of the prefix with its key, without the times of writing. Left out: keys
# without values (the installer leaves its own bookkeeping keys empty, as Windows does; the
# component's keys are looked for by class_keys.sh, empty ones too) and the device classes and
# network cards, which Wine writes afresh whenever a session starts.
registry() {
  wineserver -w
  for file in system.reg user.reg; do
    awk -v file="$file" '
      /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); next }
      /^#/ || /^$/ || index(key, "[System\\\\CurrentControlSet\\\\Control\\\\Class\\\\") == 1 || key ~ /NetworkCards/ { next }
      { print file ": " key " " $0 }' "$WINEPREFIX/$file"
  done | sort
}
# uninstall_entries NAME FIELD: that field of each Add/Remove Programs entry of a product of that
# name, as system.reg writes it (the Uninstall keys; the installer's own records are not counted).
uninstall_entries() {
  wineserver -w
  awk -v name="\"DisplayName\"=\"$1\"" -v field="\"$2\"=" '
    function flush() { if (found) print value; found = 0; value = "" }
    /^\[/ { flush(); entry = index($0, "\\\\Uninstall\\\\") > 0; next }
    entry && $0 == name { found = 1 }
    entry && index($0, field) == 1 { value = substr($0, length(field) + 1) }
    END { flush() }' "$WINEPREFIX/system.reg"
}
products() { uninstall_entries "$1" DisplayName | wc -l; }
uninstall_entry() { uninstall_entries "$1" "$2" | head -1; }
windows() { winepath -w "$1" 2>/dev/null; }
x64_folder="$WINEPREFIX/drive_c/Program Files/OrvAcctMan"
# The x86 package goes to a folder of the deployer's choice.
x86_windows_folder='C:\Apps\OrvAcctMan x86'
x86_folder="$WINEPREFIX/drive_c/Apps/OrvAcctMan x86"
sample='samples\vbscript\OrvAcctManSample.vbs'
library_keys() { bash "$keys" "$WINEPREFIX" machine | grep '^typelib\\' | grep -v ' | '; }

step "MSI tables: no self-registration, upgrade codes, versions, Add/Remove Programs"
for pair in x86:X86 x64:X64; do
  IFS=: read -r arch name <<<"$pair"
  msi=$dist/OrvAcctMan-$version-$arch.msi
  upgrade_code=$(sed -n "s/^set(ORVACCT_MSI_UPGRADE_CODE_$name \\([0-9A-F-]*\\))$/\\1/p" cmake/Identities.cmake)
  [ -n "$upgrade_code" ] || fail "cmake/Identities.cmake defines no ORVACCT_MSI_UPGRADE_CODE_$name"
  # grep reads to the end (no -q): msiinfo would be stopped by a closed pipe and fail the line.
  if msiinfo tables "$msi" | grep -x SelfReg >/dev/null && [ -n "$(msiinfo export "$msi" SelfReg | tail -n +4)" ]; then
    fail "$arch: the SelfReg table has rows"
  fi
  msiinfo export "$msi" Upgrade | grep "^{$upgrade_code}"$'\t' >/dev/null || fail "$arch: no Upgrade row with {$upgrade_code}"
  [ "$(property "$msi" UpgradeCode)" = "{$upgrade_code}" ] || fail "$arch: UpgradeCode $(property "$msi" UpgradeCode)"
  [ "$(property "$msi" ProductVersion)" = "$version" ] || fail "$arch: ProductVersion $(property "$msi" ProductVersion)"
  [ "$(property "$msi" ARPNOMODIFY)" = 1 ] || fail "$arch: Add/Remove Programs would offer Modify"
  [ "$(property "$msi" ALLUSERS)" = 1 ] || fail "$arch: not per machine"
  msiinfo export "$msi" LaunchCondition | grep >/dev/null $'^NOT WIX_DOWNGRADE_DETECTED\tA newer version of \\[ProductName\\] is already installed' ||
    fail "$arch: no launch condition refusing a downgrade with a message"
  msiinfo suminfo "$msi" | grep >/dev/null "^Template: $([ "$arch" = x64 ] && echo x64 || echo Intel);1033$" || fail "$arch: platform"
done
ok "no SelfReg rows; each package's upgrade code from cmake/Identities.cmake, ProductVersion $version, per machine, no Modify"

step "Wine: both packages installed silently, the x86 one into a folder of its own without the command line tool"
# Wine's script host registers its own type library when it first runs: before the first dump.
printf 'WScript.Quit 0\r\n' >"$work/nothing.vbs"
wine 'C:\windows\syswow64\cscript.exe' //nologo "$(windows "$work/nothing.vbs")"
"$wine64" 'C:\windows\system32\cscript.exe' //nologo "$(windows "$work/nothing.vbs")"
registry >"$work/registry-before.txt"
SECONDS=0
expect_run 0 "$work/install-x64.log" wine msiexec /i "$(windows "$msi_x64")" /qn '/l*v' "$(windows "$work/install-x64-verbose.log")"
install_time=$SECONDS
expect_run 0 "$work/install-x86.log" wine msiexec /i "$(windows "$msi_x86")" /qn ADDLOCAL=OrvAcctMan "INSTALLDIR=$x86_windows_folder"
grep -q '^=== Logging started' "$work/install-x64-verbose.log" && grep -q 'InstallFiles' "$work/install-x64-verbose.log" ||
  fail "/l*v wrote no readable log"
for folder in "$x64_folder" "$x86_folder"; do
  for file in OrvAcctMan.dll OrvAcctMan.sxs.manifest README.txt CHANGELOG.txt include/OrvAcctMan.h include/OrvAcctMan_i.c \
    samples/vbscript/OrvAcctManSample.vbs samples/vba/OrvAcctManSample.bas samples/cpp/client.cpp; do
    [ -f "$folder/$file" ] || fail "not installed: $folder/$file"
  done
done
[ -f "$x64_folder/orvacct.exe" ] || fail "the x64 package did not install orvacct.exe"
[ ! -e "$x86_folder/orvacct.exe" ] || fail "ADDLOCAL=OrvAcctMan installed orvacct.exe all the same"
x86_64-w64-mingw32-objdump -f "$x64_folder/OrvAcctMan.dll" | grep >/dev/null 'pei-x86-64' || fail "Program Files holds no 64-bit DLL"
x86_64-w64-mingw32-objdump -f "$x86_folder/OrvAcctMan.dll" | grep >/dev/null 'pei-i386' || fail "INSTALLDIR holds no 32-bit DLL"
mkdir -p "$work/installed/x64" "$work/installed/x86"
cp "$x64_folder/OrvAcctMan.dll" "$work/installed/x64/"
cp "$x86_folder/OrvAcctMan.dll" "$work/installed/x86/"
[ "$(products "OrvAcctMan (x64)")" = 1 ] && [ "$(products "OrvAcctMan (x86)")" = 1 ] || fail "Add/Remove Programs does not list both"
[ "$(uninstall_entry "OrvAcctMan (x64)" Publisher)" = '"Orv Software"' ] || fail "publisher: $(uninstall_entry "OrvAcctMan (x64)" Publisher)"
[ "$(uninstall_entry "OrvAcctMan (x64)" DisplayVersion)" = "\"$version\"" ] || fail "version in Add/Remove Programs"
[ "$(uninstall_entry "OrvAcctMan (x64)" HelpLink)" = '"C:\\Program Files\\OrvAcctMan\\README.txt"' ] ||
  fail "help link: $(uninstall_entry "OrvAcctMan (x64)" HelpLink)"
[ "$(uninstall_entry "OrvAcctMan (x64)" NoModify)" = dword:00000001 ] || fail "Add/Remove Programs offers Modify"
ok "x64 in ${install_time} s; files in Program Files and INSTALLDIR; listed with publisher, version $version, README.txt as help, no Modify"

step "Wine: the command line tool added to the x86 package later, orvacct.exe from PATH"
expect_run 0 "$work/addlocal-x86.log" wine msiexec /i "$(windows "$msi_x86")" /qn ADDLOCAL=CommandLineTool
[ -f "$x86_folder/orvacct.exe" ] || fail "ADDLOCAL=CommandLineTool did not install orvacct.exe in the folder chosen first"
expect_run 0 "$work/path.log" wine cmd /c orvacct --version
contains "$work/path.log" "orvacct $version, component"
wine cmd /c 'echo %PATH%' 2>&1 | tr -d '\r' | tr ';' '\n' >"$work/path.txt"
grep -qxF 'C:\Program Files\OrvAcctMan\' "$work/path.txt" || fail "the x64 folder is not on PATH: $(cat "$work/path.txt")"
grep -qxF "$x86_windows_folder\\" "$work/path.txt" || fail "the x86 folder is not on PATH: $(cat "$work/path.txt")"
ok "ADDLOCAL=CommandLineTool installed it in the INSTALLDIR of the first install; both folders on PATH, orvacct.exe found there"

step "Wine: the installed sample under each cscript"
run_sample wine 'C:\windows\syswow64' "$x86_windows_folder\\$sample"
run_sample "$wine64" 'C:\windows\system32' 'C:\Program Files\OrvAcctMan\'"$sample"
ok "32-bit and 64-bit clients pass"

step "Wine: the x86 package removed, the x64 one whole"
library_keys >"$work/library-keys-both.txt"
SECONDS=0
expect_run 0 "$work/remove-x86.log" wine msiexec /x "$(windows "$msi_x86")" /qn
remove_time=$SECONDS
[ ! -e "$x86_folder" ] || fail "files left in INSTALLDIR: $(find "$x86_folder")"
run_sample "$wine64" 'C:\windows\system32' 'C:\Program Files\OrvAcctMan\'"$sample"
grep -v '\\409\\win32$' "$work/library-keys-both.txt" | diff - <(library_keys) || fail "the type library's keys changed (< expected, > left)"
ok "x86 removed in ${remove_time} s; the 64-bit client passes; the type library's keys but win32 are there"

step "Wine: a package of a higher version replaces the x64 one, the lower one is refused"
wait "$higher_build" || { cat "$work/higher.log"; fail "the package of version $higher was not made"; }
msi_higher=$work/higher/OrvAcctMan-$higher-x64.msi
expect_run 0 "$work/upgrade.log" wine msiexec /i "$(windows "$msi_higher")" /qn
[ "$(products "OrvAcctMan (x64)")" = 1 ] || fail "$(products "OrvAcctMan (x64)") products installed after the upgrade"
[ "$(uninstall_entry "OrvAcctMan (x64)" DisplayVersion)" = "\"$higher\"" ] || fail "the upgrade left version $(uninstall_entry "OrvAcctMan (x64)" DisplayVersion)"
run_sample "$wine64" 'C:\windows\system32' 'C:\Program Files\OrvAcctMan\'"$sample"
code=0
wine msiexec /i "$(windows "$msi_x64")" /qn '/l*v' "$(windows "$work/downgrade.log")" >/dev/null 2>&1 || code=$?
[ "$code" != 0 ] || fail "the lower version installed over the higher one"
# Silent, the message goes nowhere: the log shows the newer product found and the launch
# condition that carries the message (above) stopping the install.
grep -q '^Property(S): WIX_DOWNGRADE_DETECTED = {' "$work/downgrade.log" || fail "the newer product was not found"
grep -q '^Action ended .*: LaunchConditions. Return value 0.' "$work/downgrade.log" || fail "the launch condition did not stop it"
[ "$(uninstall_entry "OrvAcctMan (x64)" DisplayVersion)" = "\"$higher\"" ] || fail "the refused downgrade changed the product"
product_code=$(property "$msi_higher" ProductCode)
SECONDS=0
expect_run 0 "$work/remove-x64.log" wine msiexec /x "$product_code" /qn
remove_time=$SECONDS
ok "one product of version $higher after the upgrade; $version refused (exit $code); removed by product code in ${remove_time} s"

step "Wine: nothing left"
[ ! -e "$x64_folder" ] || fail "files left in Program Files: $(find "$x64_folder")"
[ -z "$(bash "$keys" "$WINEPREFIX" machine)$(bash "$keys" "$WINEPREFIX" user)" ] || fail "keys of the component left"
if grep -n 'Orv Software' "$WINEPREFIX/system.reg"; then fail "the packages' own key (the folder chosen) is left"; fi
registry >"$work/registry-after.txt"
diff "$work/registry-before.txt" "$work/registry-after.txt" >"$work/registry.diff" || true
[ ! -s "$work/registry.diff" ] || { sed 's/^/      /' "$work/registry.diff"; fail "the registry differs from before the first install (< before, > after)"; }
ok "the prefix's registry ($(wc -l <"$work/registry-before.txt") values) is as before the first install; no key of the component"

step "the packages' registry rows are what DllRegisterServer writes"
for arch in x64 x86; do
  if [ "$arch" = x64 ]; then
    loader=$wine64 system='C:\windows\system32' folder='C:\Program Files\OrvAcctMan' unix_folder=$x64_folder
  else
    loader=wine system='C:\windows\syswow64' folder='C:\Program Files (x86)\OrvAcctMan'
    unix_folder="$WINEPREFIX/drive_c/Program Files (x86)/OrvAcctMan"
  fi
  mkdir -p "$unix_folder"
  cp "$work/installed/$arch/OrvAcctMan.dll" "$unix_folder/"
  expect_run 0 "$work/regsvr32-$arch.log" "$loader" "$system\\regsvr32.exe" /s "$folder\\OrvAcctMan.dll"
  registry_rows "$dist/OrvAcctMan-$version-$arch.msi" "$folder\\OrvAcctMan.dll" >"$work/rows-$arch.txt"
  bash "$keys" "$WINEPREFIX" machine | diff "$work/rows-$arch.txt" - ||
    fail "$arch: DllRegisterServer's keys differ from the package's rows (< package, > regsvr32)"
  expect_run 0 "$work/unregsvr32-$arch.log" "$loader" "$system\\regsvr32.exe" /s /u "$folder\\OrvAcctMan.dll"
done
ok "x64 and x86: $(grep -c ' | ' "$work/rows-x64.txt") values each, the same"
stop_wine
echo "MSI check passed"
