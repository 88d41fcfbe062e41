#!/usr/bin/env bash
# Makes the release in dist/ from clean builds (build/package/): OrvAcctMan-<version>-windows.zip
# with both DLLs, their side-by-side manifests, register.cmd/unregister.cmd, README.txt, the
# interface header and the samples; OrvAcctMan-<version>-x86.msi and -x64.msi, the Windows
# Installer packages of each bitness (packaging/windows/msi); orvacct_<version>_<arch>.deb (CPack);
# SHA256SUMS.
# usage: package.sh [--reuse-test-builds] [--reuse-linux-build] [--dist DIR]
#   --reuse-test-builds  the Windows files come from the test command's builds (build/windows-*,
#                        the same sources and settings, with the tests beside them) instead of
#                        two more clean builds;
#   --reuse-linux-build  the tool for the .deb is the build the test command made already in
#                        build/package/linux (beside its other builds), only brought up to date,
#                        instead of a clean build;
#   --dist DIR           the release goes to DIR instead of dist/.
# Signing: with ORVACCT_SIGN_CERT and ORVACCT_SIGN_KEY (PEM files; the key unencrypted, or
# encrypted with the password in ORVACCT_SIGN_PASS), both DLLs, both orvacct.exe and both MSIs are
# signed (Authenticode, SHA-256) with osslsigncode, and time-stamped by ORVACCT_SIGN_TIMESTAMP (an
# RFC 3161 server's URL) if it is set. Without them the release is unsigned, which it says.
set -euo pipefail
cd "$(dirname "$0")/.."
reuse_test_builds=false reuse_linux_build=false dist=dist
while [ $# -gt 0 ]; do
  case $1 in
    --reuse-test-builds) reuse_test_builds=true ;;
    --reuse-linux-build) reuse_linux_build=true ;;
    --dist) [ $# -ge 2 ] || { echo "package.sh: --dist needs a folder" >&2; exit 2; }; dist=$2; shift ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
signing=false
if [ -n "${ORVACCT_SIGN_CERT:-}${ORVACCT_SIGN_KEY:-}" ]; then
  [ -f "${ORVACCT_SIGN_CERT:-}" ] && [ -f "${ORVACCT_SIGN_KEY:-}" ] ||
    { echo "package.sh: ORVACCT_SIGN_CERT and ORVACCT_SIGN_KEY must both name PEM files" >&2; exit 2; }
  signing=true
fi
bash scripts/setup.sh
bash scripts/setup-windows.sh

builds=build/package
# The zip's files are staged here, and the MSIs' sources beside them (the package check makes a
# package of a higher version from them); a release made elsewhere stages apart.
stage=$builds/windows-zip
[ "$dist" = dist ] || stage=$builds/windows-zip-$(basename "$dist")
msi_sources=$stage-msi
if $reuse_linux_build; then
  rm -rf "$stage" "$msi_sources" "$dist"
else
  rm -rf "$builds" "$dist"
fi
presets=(package-linux package-windows-i686 package-windows-x86_64)
windows_builds=("$builds/windows-i686" "$builds/windows-x86_64")
if $reuse_test_builds; then
  presets=(package-linux)
  windows_builds=(build/windows-i686 build/windows-x86_64)
  for build in "${windows_builds[@]}"; do
    [ -f "$build/CMakeCache.txt" ] || { echo "package.sh: $build is not built; run the test command first" >&2; exit 1; }
    cmake --build "$build" -j 2 --target OrvAcctMan orvacct
  done
fi
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j 2
done
version=$(cat "$builds/linux/version/VERSION")
mkdir -p "$dist" "$msi_sources"
dist=$(realpath "$dist")

# sign FILE...: each file signed in place. osslsigncode reads the key from its file and the
# password through a pipe: neither is written anywhere else, nor shown.
sign() {
  local file options=(-certs "$ORVACCT_SIGN_CERT" -key "$ORVACCT_SIGN_KEY" -h sha256 -n OrvAcctMan)
  [ -z "${ORVACCT_SIGN_TIMESTAMP:-}" ] || options+=(-ts "$ORVACCT_SIGN_TIMESTAMP")
  for file in "$@"; do
    if [ -n "${ORVACCT_SIGN_PASS:-}" ]; then
      osslsigncode sign "${options[@]}" -readpass <(printf '%s' "$ORVACCT_SIGN_PASS") -in "$file" -out "$file.signed" >/dev/null
    else
      osslsigncode sign "${options[@]}" -in "$file" -out "$file.signed" >/dev/null
    fi
    mv "$file.signed" "$file"
  done
}

# The zip: each Windows build installs its DLL and manifest into x86/ or x64/, and the common
# files; the programs are signed before they go into the zip and the MSIs.
for build in "${windows_builds[@]}"; do
  cmake --install "$build" --component windows_zip --prefix "$stage" >/dev/null
  cp "$build"/msi/OrvAcctMan-*.wxs "$msi_sources/"
done
programs=("$stage"/x86/OrvAcctMan.dll "$stage"/x64/OrvAcctMan.dll "$stage"/x86/orvacct.exe "$stage"/x64/orvacct.exe)
if $signing; then sign "${programs[@]}"; fi
zip_name=OrvAcctMan-$version-windows.zip
(cd "$stage" && zip -X -r -q "$dist/$zip_name" .)

# The Windows Installer packages, one for each bitness.
for arch in x86 x64; do
  msi=$dist/OrvAcctMan-$version-$arch.msi
  bash packaging/windows/msi/build_msi.sh "$msi_sources/OrvAcctMan-$arch.wxs" "$(realpath "$stage")" "$msi"
  if $signing; then sign "$msi"; fi
done
if $signing; then
  echo "signed with $ORVACCT_SIGN_CERT (SHA-256${ORVACCT_SIGN_TIMESTAMP:+, time-stamped by $ORVACCT_SIGN_TIMESTAMP}): both DLLs, both orvacct.exe, both MSIs"
else
  echo "unsigned: ORVACCT_SIGN_CERT and ORVACCT_SIGN_KEY are not set"
fi

# The Debian package of the tool.
(cd "$builds/linux" && cpack -G DEB >/dev/null)
mv "$builds/linux"/orvacct_"$version"_*.deb "$dist/"

(cd "$dist" && sha256sum -- *.zip *.msi *.deb >SHA256SUMS)
echo "$dist:"
ls -l "$dist" | tail -n +2
