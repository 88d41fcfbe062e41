#!/usr/bin/env bash
# Makes the release in dist/ from clean builds (build/package/): OrvAcctMan-<version>-windows.zip
# with both DLLs, their side-by-side manifests, register.cmd/unregister.cmd, README.txt, the
# interface header and the samples; orvacct_<version>_<arch>.deb (CPack); SHA256SUMS.
# usage: package.sh [--reuse-test-builds] [--reuse-linux-build]
#   --reuse-test-builds  the Windows files come from the test command's builds (build/windows-*,
#                        the same sources and settings, with the tests beside them) instead of
#                        two more clean builds;
#   --reuse-linux-build  the tool for the .deb is the build the test command made already in
#                        build/package/linux (beside its other builds), only brought up to date,
#                        instead of a clean build.
set -euo pipefail
cd "$(dirname "$0")/.."
reuse_test_builds=false reuse_linux_build=false
for argument in "$@"; do
  case $argument in
    --reuse-test-builds) reuse_test_builds=true ;;
    --reuse-linux-build) reuse_linux_build=true ;;
    *) echo "package.sh: unknown argument $argument" >&2; exit 2 ;;
  esac
done
bash scripts/setup.sh
bash scripts/setup-windows.sh

builds=build/package
if $reuse_linux_build; then
  rm -rf "$builds/windows-zip" dist
else
  rm -rf "$builds" dist
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
mkdir -p dist

# The zip: each Windows build installs its DLL and manifest into x86/ or x64/, and the common files.
stage=$builds/windows-zip
for build in "${windows_builds[@]}"; do
  cmake --install "$build" --component windows_zip --prefix "$stage" >/dev/null
done
zip_name=OrvAcctMan-$version-windows.zip
(cd "$stage" && zip -X -r -q "$OLDPWD/dist/$zip_name" .)

# The Debian package of the tool.
(cd "$builds/linux" && cpack -G DEB >/dev/null)
mv "$builds/linux"/orvacct_"$version"_*.deb dist/

(cd dist && sha256sum -- *.zip *.deb >SHA256SUMS)
echo "dist/:"
ls -l dist | tail -n +2
