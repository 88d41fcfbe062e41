#!/usr/bin/env bash
# Makes the release in dist/ from clean builds (build/package/): OrvAcctMan-<version>-windows.zip
# with both DLLs, their side-by-side manifests, register.cmd/unregister.cmd, README.txt, the
# interface header and the samples; orvacct_<version>_<arch>.deb (CPack); SHA256SUMS.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/setup-windows.sh

builds=build/package
rm -rf "$builds" dist
for preset in package-linux package-windows-i686 package-windows-x86_64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j 2
done
version=$(cat "$builds/linux/version/VERSION")
mkdir -p dist

# The zip: each Windows build installs its DLL and manifest into x86/ or x64/, and the common files.
stage=$builds/windows-zip
for bitness in i686 x86_64; do
  cmake --install "$builds/windows-$bitness" --component windows_zip --prefix "$stage" >/dev/null
done
zip_name=OrvAcctMan-$version-windows.zip
(cd "$stage" && zip -X -r -q "$OLDPWD/dist/$zip_name" .)

# The Debian package of the tool.
(cd "$builds/linux" && cpack -G DEB >/dev/null)
mv "$builds/linux"/orvacct_"$version"_*.deb dist/

(cd dist && sha256sum -- *.zip *.deb >SHA256SUMS)
echo "dist/:"
ls -l dist | tail -n +2
